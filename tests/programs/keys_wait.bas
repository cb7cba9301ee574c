REM WAIT 500 holds the statements for just over 500 ms; WAIT KEY until a key arrives, even
REM after INKEY has taken the characters typed before it.
LET T = TICKCOUNT
WAIT 500
LET D = TICKCOUNT - T
OUTPUTDEBUG (D > 500) AND (D < 510)
LET A = INKEY
OUTPUTDEBUG A
WAIT KEY
OUTPUTDEBUG TICKCOUNT > 800
OUTPUTDEBUG INKEY
QUIT
