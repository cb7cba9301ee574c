REM Two DO rows taken in turn defeat the re-entry guard: 51 loops nest and the
REM 52nd opening fails.
LET N = 0
again:
INC N
DO
INC N
IF N > 50 THEN OUTPUTDEBUG N
DO
GOTO again
LOOP
LOOP
