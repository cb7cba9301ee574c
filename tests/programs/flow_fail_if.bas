REM rows, not source lines: the one-line IF makes five rows.
IF 1 = 1 THEN LET A = 1 ELSE LET A = 2
IF A = 2 THEN
OUTPUTDEBUG "never"
