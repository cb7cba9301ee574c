REM bm2: a loop counted by hand with LET, IF and GOTO.
REM Rugg/Feldman BASIC benchmark 2 (Kilobaud, June 1977), ported to this dialect. The
REM original counts K to 1000 and prints "S" and "E" around the timed part; here the count
REM is N and a checksum is printed at the end instead. Line numbers become labels (L500
REM stands for line 500), and IF K < 1000 THEN 500 becomes a one-line IF ... THEN GOTO
REM L500.
REM   400 K=0
REM   500 K=K+1
REM   600 IF K<1000 THEN 500
REM Checksum: K, that is N.
LET N = 2000000
LET K = 0
L500:
LET K = K + 1
IF K < N THEN GOTO L500
OUTPUTDEBUG K
STOP
