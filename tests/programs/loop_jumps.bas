REM A GOTO out of a loop leaves its entry active. The outer NEXT then finds the inner
REM FOR loop, runs it to its end, and becomes that loop's end line.
LET N = 0
FOR I = 1 TO 2
FOR J = 1 TO 3
INC N
GOTO out
NEXT
out:
NEXT
OUTPUTDEBUG I + " " + J + " " + N
NEXT
OUTPUTDEBUG "done " + I

REM UNTIL works on whatever loop is active, here a WHILE left by a GOTO. When it
REM ends, the REPEAT is active again, and BREAK LOOP goes on after its UNTIL.
LET N = 0
LET V = 0
REPEAT
WHILE 0
INC N
GOTO out2
WEND
out2:
UNTIL N = 3
INC V
OUTPUTDEBUG N + " " + V
BREAK LOOP
OUTPUTDEBUG "end"
STOP
