10 REM nested_if: the work of bench/programs/nested_if.bas in BBC BASIC (Brandy).
20 REM It uses the multi-line IF ... THEN / ELSE / ENDIF of BASIC V.
30 REM The checksum goes to stderr: SYS "OS_Write0" with R1 = R2 = 42 writes there.
100 N = 20000
110 C = 0
120 FOR I = 1 TO N
130 FOR J = 1 TO 100
140 IF J < 50 THEN
150 IF I > J THEN
160 C = C + 1
170 ELSE
180 C = C + 2
190 ENDIF
200 ELSE
210 IF (J = 75) OR (I = J) THEN
220 C = C + 3
230 ENDIF
240 ENDIF
250 NEXT J
260 NEXT I
270 PROCout(STR$(C))
280 QUIT
900 DEF PROCout(S$)
910 SYS "OS_Write0", S$ + CHR$(10), 42, 42
920 ENDPROC
