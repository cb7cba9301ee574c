10 REM gosub_call: the work of bench/programs/gosub_call.bas in BBC BASIC (Brandy): a
20 REM GOSUB (to a line number) and a PROC call with two parameters per iteration.
30 REM The checksum goes to stderr: SYS "OS_Write0" with R1 = R2 = 42 writes there.
100 N = 1000000
110 S = 0
120 M = 0
130 FOR I = 1 TO N
140 GOSUB 500
150 PROCaddthree(I, 3)
160 NEXT I
170 PROCout(STR$(S))
180 PROCout(STR$(M))
190 QUIT
500 S = S + 1
510 RETURN
600 DEF PROCaddthree(A, B)
610 S = S + B
620 M = A
630 ENDPROC
900 DEF PROCout(S$)
910 SYS "OS_Write0", S$ + CHR$(10), 42, 42
920 ENDPROC
