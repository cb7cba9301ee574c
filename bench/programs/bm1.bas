REM bm1: an empty FOR/NEXT loop.
REM Rugg/Feldman BASIC benchmark 1 (Kilobaud, June 1977), ported to this dialect. The
REM original counts K to 1000 and prints "S" and "E" around the timed part; here the count
REM is N and a checksum is printed at the end instead.
REM   400 FOR K=1 TO 1000
REM   500 NEXT K
REM Checksum: K after the loop, N + 1.
LET N = 30000000
FOR K = 1 TO N
NEXT K
OUTPUTDEBUG K
STOP
