10 REM for_loop: the work of bench/programs/for_loop.bas in BBC BASIC (Brandy).
20 REM The checksum goes to stderr: SYS "OS_Write0" with R1 = R2 = 42 writes there.
100 N = 10000000
110 X = 0
120 FOR I = 1 TO N
130 X = X + 1
140 NEXT I
150 PROCout(STR$(X))
160 QUIT
900 DEF PROCout(S$)
910 SYS "OS_Write0", S$ + CHR$(10), 42, 42
920 ENDPROC
