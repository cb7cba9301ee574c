REM 51 GOSUB return lines fit. The 52nd GOSUB (to last) still jumps but records
REM nothing, so its RETURN goes back to the 51st GOSUB and unwinds from there.
LET D = 0
LET R = 0
GOSUB deeper
OUTPUTDEBUG D
OUTPUTDEBUG R
STOP
deeper:
INC D
IF D = 51 THEN
GOSUB last
OUTPUTDEBUG "wrong: the 52nd GOSUB recorded its line"
ENDIF
IF D < 51 THEN
GOSUB deeper
INC R
ENDIF
DEC D
RETURN
last:
OUTPUTDEBUG "in last"
RETURN
