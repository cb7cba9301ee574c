10 REM bm8: Rugg/Feldman benchmark 8 in BBC BASIC (Brandy), with the original line
20 REM numbers (see bench/programs/bm8.bas). The count is N instead of 1000; "S" and "E"
30 REM are not printed; the checksum goes to stderr (SYS "OS_Write0", R1 = R2 = 42).
40 REM As in the Tarnwick port, K^2 becomes K * K; the original's LOG is LN here.
50 REM INT rounds down in BBC BASIC: FNtrunc truncates toward zero as INT does in Tarnwick.
100 N = 500000
400 K = 0
500 K = K + 1
530 A = K * K
540 B = LN(K)
550 C = SIN(K)
600 IF K < N THEN 500
700 PROCout(STR$(K + FNtrunc(B * 1000) + FNtrunc(C * 1000)))
800 QUIT
850 DEF FNtrunc(X) = SGN(X) * INT(ABS(X))
900 DEF PROCout(S$)
910 SYS "OS_Write0", S$ + CHR$(10), 42, 42
920 ENDPROC
