REM IF runs its THEN block only for the value 0 (True); any other value skips it.
IF 0 THEN
OUTPUTDEBUG "0 runs"
ENDIF
IF -1 THEN
OUTPUTDEBUG "wrong: -1 runs"
ENDIF
IF 5 THEN
OUTPUTDEBUG "wrong: 5 runs"
ENDIF
IF "0" THEN
OUTPUTDEBUG "text 0 runs"
ENDIF
IF NOT(1 = 2) THEN
OUTPUTDEBUG "NOT False runs"
ENDIF

IF 1 = 2 THEN
OUTPUTDEBUG "wrong"
ELSE
OUTPUTDEBUG "else runs"
ENDIF
IF 2 = 2 THEN
OUTPUTDEBUG "then runs"
ELSE
OUTPUTDEBUG "wrong"
ENDIF

REM A skipped THEN block hides a nested IF with its ELSE and ENDIF.
IF -1 THEN
IF 0 THEN
OUTPUTDEBUG "wrong"
ELSE
OUTPUTDEBUG "wrong"
ENDIF
ELSE
OUTPUTDEBUG "outer else after nested block"
ENDIF
IF 0 THEN
OUTPUTDEBUG "then before else"
ELSE
IF 0 THEN
OUTPUTDEBUG "wrong"
ENDIF
OUTPUTDEBUG "wrong"
ENDIF

REM One-line forms; comparisons share one level with + and apply left to right.
LET X = 5
IF X = 5 THEN OUTPUTDEBUG "inline yes" ELSE OUTPUTDEBUG "wrong"
IF X = 4 THEN OUTPUTDEBUG "wrong" ELSE OUTPUTDEBUG "inline no"
IF X = 4 THEN OUTPUTDEBUG "wrong"
IF X = 1 + 1 THEN OUTPUTDEBUG "(5 = 1) + 1 is True"
IF X = 2 + 3 THEN OUTPUTDEBUG "wrong: (5 = 2) + 3 is 2"
IF (X = 5) AND (X > 4) THEN OUTPUTDEBUG "and"
IF "abc" < "abd" THEN OUTPUTDEBUG "text compare"

REM The last IF has no ENDIF, which is no fault while its THEN block runs.
OUTPUTDEBUG "end"
IF 0 THEN
STOP
