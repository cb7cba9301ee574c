REM gosub_call: a GOSUB to a label and a CALL of a procedure with two parameters in
REM every iteration. Measures the label search of GOSUB, the GOSUB stack, the search of
REM CALL for its PROCEDURE row, the binding of parameters as local variables and their
REM release at ENDPROC.
REM Checksum: S = N + 3 * N, then M = N (the last first argument).
LET N = 1000000
LET S = 0
LET M = 0
FOR I = 1 TO N
GOSUB ADDONE
CALL ADDTHREE(I, 3)
NEXT I
OUTPUTDEBUG S
OUTPUTDEBUG M
STOP

ADDONE:
LET S = S + 1
RETURN

PROCEDURE ADDTHREE(A, B)
LET S = S + B
LET M = A
ENDPROC
