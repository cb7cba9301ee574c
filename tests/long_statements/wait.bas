REM A wait of two thousand million milliseconds gives way to the time limit.
WAIT 2147483647
OUTPUTDEBUG 1
STOP
