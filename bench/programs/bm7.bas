REM bm7: BM6 with a store into an array element in the inner loop.
REM Rugg/Feldman BASIC benchmark 7 (Kilobaud, June 1977), ported to this dialect. The
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
REM   535 M(L)=A
REM   540 NEXT L
REM   600 IF K<1000 THEN 500
REM   800 END
REM   820 RETURN
REM This dialect has no arrays (DIM is accepted and does nothing), so M(L)=A becomes a
REM store into the plain variable M: one assignment per pass of the inner loop, as in
REM the original, without the indexing. The peers run the same plain-variable form.
REM Checksum: M + L, that is N / 2 * 3 - 1 + 6 (N is even; L ends at 6).
LET N = 500000
LET K = 0
DIM M(5)
LET M = 0
L500:
LET K = K + 1
LET A = K / 2 * 3 + 4 - 5
GOSUB L820
FOR L = 1 TO 5
LET M = A
NEXT L
IF K < N THEN GOTO L500
LET Z = M + L
OUTPUTDEBUG Z
STOP
L820:
RETURN
