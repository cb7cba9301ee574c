REM The row of a failure is shown, with the position of its token.
LET A = 1

LET B = "text"
OUTPUTDEBUG A
LET C = A + B * 2
OUTPUTDEBUG "not reached"
STOP
