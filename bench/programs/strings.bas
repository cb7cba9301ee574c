REM strings: string building with MID, LEFT and LEN. Each iteration appends one letter
REM of the alphabet (picked with MID), cuts the text back to 20 characters with LEFT and
REM MID once it passes 40, and adds its length to a sum.
REM T holds letters only, so its text never reads back as a number and T + MID(...) is
REM a text expression (+ joins); it starts as "X", not empty. P is computed in its own
REM LET, a numeric expression.
REM Checksum: the sum of the lengths C, then the final text T.
LET N = 400000
LET S = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
LET T = "X"
LET C = 0
FOR I = 1 TO N
LET P = I - I \ 26 * 26 + 1
LET T = T + MID(S, P, 1)
IF LEN(T) > 40 THEN
LET T = LEFT(T, 10) + MID(T, 32, 10)
ENDIF
LET C = C + LEN(T)
NEXT I
OUTPUTDEBUG C
OUTPUTDEBUG T
STOP
