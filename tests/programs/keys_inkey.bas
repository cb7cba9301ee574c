REM X, Y and Z typed in turn come out of INKEY newest first; then the buffer is empty.
WAIT 500
OUTPUTDEBUG INKEY
OUTPUTDEBUG INKEY
OUTPUTDEBUG INKEY
LET E = INKEY
OUTPUTDEBUG LEN(E)
REM Shift held with A for 350 ms: A at the press and again every 100 ms.
WAIT 700
LET S = INKEY + INKEY + INKEY + INKEY + INKEY
OUTPUTDEBUG S
QUIT
