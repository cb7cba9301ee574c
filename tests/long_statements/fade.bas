REM A fade of two thousand million steps gives way to the time limit.
FADE 2147483647
OUTPUTDEBUG 1
STOP
