10 REM bm5: Rugg/Feldman benchmark 5 in BBC BASIC (Brandy), with the original line
20 REM numbers (see bench/programs/bm5.bas). The count is N instead of 1000; "S" and "E"
30 REM are not printed; the checksum goes to stderr (SYS "OS_Write0", R1 = R2 = 42).
100 N = 1000000
400 K = 0
500 K = K + 1
510 A = K / 2 * 3 + 4 - 5
520 GOSUB 820
600 IF K < N THEN 500
700 PROCout(STR$(A))
800 QUIT
820 RETURN
900 DEF PROCout(S$)
910 SYS "OS_Write0", S$ + CHR$(10), 42, 42
920 ENDPROC
