10 REM bm3: Rugg/Feldman benchmark 3 in BBC BASIC (Brandy), with the original line
20 REM numbers (see bench/programs/bm3.bas). The count is N instead of 1000; "S" and "E"
30 REM are not printed; the checksum goes to stderr (SYS "OS_Write0", R1 = R2 = 42).
100 N = 1000000
400 K = 0
500 K = K + 1
510 A = K / K * K + K - K
600 IF K < N THEN 500
700 PROCout(STR$(K + A))
800 QUIT
900 DEF PROCout(S$)
910 SYS "OS_Write0", S$ + CHR$(10), 42, 42
920 ENDPROC
