REM SET AUTO UPDATE takes ON or any other word; SET CURS takes eight whole-number
REM literals; a SET of an unknown word does nothing.
SET AUTO UPDATE OFF
SET AUTO UPDATE ON
SET AUTO UPDATE MAYBE
SET CURS (1, 2, 3, 4, 5, 6, 7, 8)
SET NOTHING 1
OUTPUTDEBUG "set ok"
STOP
