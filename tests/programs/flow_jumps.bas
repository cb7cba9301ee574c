REM GOTO looks for the label after the jump first, then before it; names ignore case.
OUTPUTDEBUG "start"
GOTO first
mark:
OUTPUTDEBUG "wrong: the nearer label before the jump"
first:
GOTO mark
OUTPUTDEBUG "wrong"
mark:
OUTPUTDEBUG "mark after the jump"
goto mixed_case
OUTPUTDEBUG "wrong"
Mixed_Case:
OUTPUTDEBUG "mixed case label"
GOTO plain
plain
OUTPUTDEBUG "wrong: a name without colon is no label"
plain:
OUTPUTDEBUG "plain label"
LET N = 0
again:
INC N
IF N < 3 THEN GOTO again
OUTPUTDEBUG N

REM RETURN with no GOSUB recorded does nothing.
RETURN
OUTPUTDEBUG "lone RETURN ignored"
GOSUB sub
OUTPUTDEBUG "back from sub"

REM A GOTO out of a subroutine leaves its return line on the stack for a later RETURN.
LET K = 0
GOSUB abandon
INC K
OUTPUTDEBUG "stale return " + K
GOTO finish
sub:
OUTPUTDEBUG "in sub"
RETURN
abandon:
GOTO resume
resume:
GOSUB inner
OUTPUTDEBUG "inner returned"
RETURN
inner:
EXITGOSUB
finish:
OUTPUTDEBUG "finish"
STOP
