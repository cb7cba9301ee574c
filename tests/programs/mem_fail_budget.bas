REM Each 64 MiB text is held twice, by its variable and by the expression stack, whose levels
REM keep their values: the fourth copy would pass the 256 MiB the texts may hold together.
LET A = REPEAT("x", 67108864)
LET B = A
OUTPUTDEBUG 1
LET C = A
OUTPUTDEBUG 2
LET D = A
OUTPUTDEBUG 3
STOP
