10 REM bm1: Rugg/Feldman benchmark 1 in BBC BASIC (Brandy), with the original line
20 REM numbers (see bench/programs/bm1.bas). The count is N instead of 1000; "S" and "E"
30 REM are not printed; the checksum goes to stderr (SYS "OS_Write0", R1 = R2 = 42).
100 N = 30000000
400 FOR K = 1 TO N
500 NEXT K
700 PROCout(STR$(K))
800 QUIT
900 DEF PROCout(S$)
910 SYS "OS_Write0", S$ + CHR$(10), 42, 42
920 ENDPROC
