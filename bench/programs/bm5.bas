REM bm5: BM4 plus a GOSUB to a subroutine that only returns.
REM Rugg/Feldman BASIC benchmark 5 (Kilobaud, June 1977), ported to this dialect. The
REM original counts K to 1000 and prints "S" and "E" around the timed part; here the count
REM is N and a checksum is printed at the end instead. Line numbers become labels (L500
REM stands for line 500), and IF K < 1000 THEN 500 becomes a one-line IF ... THEN GOTO
REM L500.
REM   400 K=0
REM   500 K=K+1
REM   510 A=K/2*3+4-5
REM   520 GOSUB 820
REM   600 IF K<1000 THEN 500
REM   800 END
REM   820 RETURN
REM Checksum: A, that is N / 2 * 3 - 1 (N is even).
LET N = 1000000
LET K = 0
L500:
LET K = K + 1
LET A = K / 2 * 3 + 4 - 5
GOSUB L820
IF K < N THEN GOTO L500
OUTPUTDEBUG A
STOP
L820:
RETURN
