REM Every row here fails a rule.
BELL 1
LET A = 1
ADD 9X, 1
ADD A, 1 +
AUTO
APPEAR 1 TO 16
STOP
