10 REM strings: the work of bench/programs/strings.bas in BBC BASIC (Brandy).
20 REM The checksum goes to stderr: SYS "OS_Write0" with R1 = R2 = 42 writes there.
100 N = 400000
110 S$ = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
120 T$ = "X"
130 C = 0
140 FOR I = 1 TO N
150 P = I - (I DIV 26) * 26 + 1
160 T$ = T$ + MID$(S$, P, 1)
170 IF LEN(T$) > 40 THEN T$ = LEFT$(T$, 10) + MID$(T$, 32, 10)
180 C = C + LEN(T$)
190 NEXT I
200 PROCout(STR$(C))
210 PROCout(T$)
220 QUIT
900 DEF PROCout(S$)
910 SYS "OS_Write0", S$ + CHR$(10), 42, 42
920 ENDPROC
