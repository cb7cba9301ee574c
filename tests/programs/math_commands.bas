REM ADD and SUB work on whole numbers and wrap into a range: above high gives low,
REM then below low gives high.
LET V = 10
ADD V, 1, 1 TO 10
OUTPUTDEBUG V
SUB V, 1, 1 TO 10
OUTPUTDEBUG V
LET V = 9
ADD V, 1, 1 TO 10
OUTPUTDEBUG V
ADD V, 25, 1 TO 10
OUTPUTDEBUG V
SUB V, 7, 1 TO 10
OUTPUTDEBUG V
ADD v, 2 * 3
OUTPUTDEBUG V
SUB V, 20
OUTPUTDEBUG V
LET R = 2.7
ADD R, 1
OUTPUTDEBUG R

REM INC and DEC add or take one by value arithmetic (a real stays real);
REM a name that is no variable is passed over.
LET C = 1
INC c
INC C
DEC C
OUTPUTDEBUG C
LET F = 1.5
INC F
OUTPUTDEBUG F
DEC F
DEC F
OUTPUTDEBUG F
INC MISSING
DEC MISSING
OUTPUTDEBUG MISSING
STOP
