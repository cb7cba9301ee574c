REM CALL finds a procedure anywhere by name, in any case; falling into one skips it.
PROCEDURE show(A, B)
OUTPUTDEBUG A + "," + B
ENDPROC
REM Lookup finds the first slot of a name: a parameter named like an existing
REM variable assigns that variable, and its own new slot stays 0.
LET G = 1
CALL clobber(9)
OUTPUTDEBUG G
REM Arguments are evaluated in order, after the parameters before them are bound;
REM a missing argument is the empty string.
LET X = 4
CALL SHOW(1 + 2, X)
CALL show(7, A + 1)
CALL show(5)
OUTPUTDEBUG A
REM All frames of a recursion share the name: the first return frees every N.
CALL down(3)
REM Locals (LOCAL, LET or FOR of a new name inside) go at ENDPROC; globals, a name
REM made GLOBAL, and locals owned by nobody (the main program's) stay.
GLOBAL GV
LOCAL L0
LET L0 = 3
CALL scopes
OUTPUTDEBUG L1 + " " + L2 + " " + NEWV + " " + FV
OUTPUTDEBUG G + " " + GV + " " + T + " " + L0
REM A GOTO out of a procedure keeps its frame and locals until the next ENDPROC.
CALL leaver
OUTPUTDEBUG "back " + LV
REM EXITPROC inside a loop returns at once.
GLOBAL HIT
CALL finder
OUTPUTDEBUG HIT + " " + I
REM ENDPROC and EXITPROC with no call in progress do nothing.
GOTO stray
back_main:
OUTPUTDEBUG "stray ENDPROC ignored " + L0
STOP
PROCEDURE clobber(G)
OUTPUTDEBUG G
ENDPROC
PROCEDURE down(N)
OUTPUTDEBUG N
IF N > 0 THEN CALL down(N - 1)
OUTPUTDEBUG N
ENDPROC
PROCEDURE scopes
LOCAL L1, L2
LET L1 = 5
LET NEWV = 6
LET G = 8
LET T = 1
GLOBAL T
FOR FV = 1 TO 2
NEXT
LOCAL GV
FOR GV = 1 TO 2
NEXT
OUTPUTDEBUG L1 + " " + L2 + " " + NEWV + " " + FV
ENDPROC
PROCEDURE leaver
LOCAL LV
LET LV = 11
GOTO outside
ENDPROC
outside:
OUTPUTDEBUG "outside " + LV
ENDPROC
PROCEDURE finder
FOR I = 1 TO 9
LET HIT = I
IF I = 3 THEN EXITPROC
NEXT
OUTPUTDEBUG "wrong"
ENDPROC
stray:
ENDPROC
EXITPROC
GOTO back_main
