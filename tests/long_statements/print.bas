REM Drawing the longest text a value may hold gives way to the time limit.
LET A = REPEAT("W", 67108864)
DO
PRINT A
TEXT 0, 0, A
LOOP
