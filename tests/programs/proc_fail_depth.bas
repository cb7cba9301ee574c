REM The 52nd nested CALL finds no free frame.
LET D = 0
CALL deep
PROCEDURE deep
INC D
IF D > 50 THEN OUTPUTDEBUG D
CALL deep
ENDPROC
