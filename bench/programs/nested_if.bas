REM nested_if: two nested FOR loops around nested block IF / ELSE / ENDIF. Measures the
REM conditionals: a False condition and a THEN block that reaches its ELSE both scan
REM forward for their partner row at run time (no jump table).
REM The conditions are parenthesised: = < > AND OR share one level, left to right.
REM Checksum: C, the sum over I = 1..N, J = 1..100 of 1 (J < 50, I > J), 2 (J < 50,
REM I <= J), 3 (J >= 50 and (J = 75 or I = J)), else 0.
LET N = 20000
LET C = 0
FOR I = 1 TO N
FOR J = 1 TO 100
IF J < 50 THEN
IF I > J THEN
LET C = C + 1
ELSE
LET C = C + 2
ENDIF
ELSE
IF (J = 75) OR (I = J) THEN
LET C = C + 3
ENDIF
ENDIF
NEXT J
NEXT I
OUTPUTDEBUG C
STOP
