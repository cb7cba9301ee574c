REM bm8: a loop with a power, a logarithm and a sine.
REM Rugg/Feldman BASIC benchmark 8 (the eighth test, added by Personal Computer World in
REM 1978), ported to this dialect. The original counts K to 1000 and prints "S" and "E"
REM around the timed part; here the count is N and a checksum is printed at the end
REM instead. Line numbers become labels (L500 stands for line 500), and IF K < 1000 THEN
REM 500 becomes a one-line IF ... THEN GOTO L500.
REM   400 K=0
REM   500 K=K+1
REM   530 A=K^2
REM   540 B=LOG(K)
REM   550 C=SIN(K)
REM   600 IF K<1000 THEN 500
REM There is no ^ operator: K^2 becomes K * K (SQR would also do: in this dialect SQR is
REM the square). The original's LOG is the natural logarithm, which is LN here (LOG is
REM base 10).
REM Checksum: K + INT(B * 1000) + INT(C * 1000) from the last pass.
LET N = 500000
LET K = 0
L500:
LET K = K + 1
LET A = K * K
LET B = LN(K)
LET C = SIN(K)
IF K < N THEN GOTO L500
LET Z = K + INT(B * 1000) + INT(C * 1000)
OUTPUTDEBUG Z
STOP
