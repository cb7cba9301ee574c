REM bm3: BM2 plus arithmetic on variables.
REM Rugg/Feldman BASIC benchmark 3 (Kilobaud, June 1977), ported to this dialect. The
REM original counts K to 1000 and prints "S" and "E" around the timed part; here the count
REM is N and a checksum is printed at the end instead. Line numbers become labels (L500
REM stands for line 500), and IF K < 1000 THEN 500 becomes a one-line IF ... THEN GOTO
REM L500.
REM   400 K=0
REM   500 K=K+1
REM   510 A=K/K*K+K-K
REM   600 IF K<1000 THEN 500
REM Checksum: K + A, that is 2 * N.
LET N = 1000000
LET K = 0
L500:
LET K = K + 1
LET A = K / K * K + K - K
IF K < N THEN GOTO L500
LET Z = K + A
OUTPUTDEBUG Z
STOP
