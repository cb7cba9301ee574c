REM bm6: BM5 plus an empty inner FOR/NEXT loop of five.
REM Rugg/Feldman BASIC benchmark 6 (Kilobaud, June 1977), ported to this dialect. The
REM original counts K to 1000 and prints "S" and "E" around the timed part; here the count
REM is N and a checksum is printed at the end instead. Line numbers become labels (L500
REM stands for line 500), and IF K < 1000 THEN 500 becomes a one-line IF ... THEN GOTO
REM L500.
REM   400 K=0
REM   430 DIM M(5)
REM   500 K=K+1
REM   510 A=K/2*3+4-5
REM   520 GOSUB 820
REM   530 FOR L=1 TO 5
REM   540 NEXT L
REM   600 IF K<1000 THEN 500
REM   800 END
REM   820 RETURN
REM DIM is accepted and does nothing in this dialect (there are no arrays); BM6 never
REM uses M, so the line is kept as it is.
REM Checksum: A + L, that is N / 2 * 3 - 1 + 6 (N is even; L ends at 6).
LET N = 500000
LET K = 0
DIM M(5)
L500:
LET K = K + 1
LET A = K / 2 * 3 + 4 - 5
GOSUB L820
FOR L = 1 TO 5
NEXT L
IF K < N THEN GOTO L500
LET Z = A + L
OUTPUTDEBUG Z
STOP
L820:
RETURN
