LET A = 1

REM rows are statements, not source lines
LET B = A + 1
OUTPUTDEBUG B
