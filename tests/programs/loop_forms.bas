REM FOR: the body always runs once, and the loop goes on while the new value is at
REM most the end value, whatever the sign of the step.
LET T = "F"
FOR I = 1 TO 3
LET T = T + " " + I
NEXT I
OUTPUTDEBUG T + " / " + I
LET T = "F"
FOR I = 5 TO 1
LET T = T + " " + I
NEXT
OUTPUTDEBUG T + " / " + I
LET T = "F"
FOR I = 10 TO 1 STEP -1
LET T = T + " " + I
NEXT
OUTPUTDEBUG T + " / " + I
LET T = "F"
FOR I = 1 TO 10 STEP -1
LET T = T + " " + I
IF I = -1 THEN BREAK LOOP
NEXT
OUTPUTDEBUG T + " / " + I
LET N = 0
FOR I = 1 TO 10 STEP 0
INC N
IF N = 3 THEN BREAK LOOP
NEXT
OUTPUTDEBUG N + " / " + I

REM Start, end and step are whole numbers fixed when the loop starts.
LET T = "F"
FOR I = 1.6 TO 3.4
LET T = T + " " + I
NEXT
OUTPUTDEBUG T + " / " + I
LET T = "F"
FOR I = 2 * 2 TO 3 + 6 STEP 1 + 2
LET T = T + " " + I
NEXT
OUTPUTDEBUG T + " / " + I
LET T = "F"
LET E = 2
FOR I = 1 TO E
LET T = T + " " + I
LET E = 9
NEXT
OUTPUTDEBUG T + " / " + I
LET T = "F"
FOR I = 1 TO 5
LET T = T + " " + I
LET I = I + 1
NEXT
OUTPUTDEBUG T + " / " + I

REM REPEAT ends on 0 (True); WHILE enters on 0 and WEND re-reads its condition.
LET T = "R"
REPEAT
LET T = T + " once"
UNTIL 0
OUTPUTDEBUG T
LET N = 0
REPEAT
INC N
UNTIL N = 3
OUTPUTDEBUG N
LET T = "W"
WHILE -1
LET T = T + " wrong"
WEND
OUTPUTDEBUG T
LET N = 0
WHILE N < 3
INC N
WEND
OUTPUTDEBUG N

REM BREAK LOOP leaves the active loop; BREAK with another word does nothing.
LET N = 0
DO
INC N
BREAK NOTHING
IF N = 3 THEN BREAK LOOP
LOOP
OUTPUTDEBUG N
BREAK LOOP
OUTPUTDEBUG "BREAK LOOP outside a loop ignored"

REM A jump back to the line of the running FOR neither restarts it nor resets I.
LET N = 0
top:
FOR I = 1 TO 3
INC N
IF N = 2 THEN GOTO top
NEXT
OUTPUTDEBUG N + " / " + I
STOP
