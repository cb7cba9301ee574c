REM Hello from Tarnwick: variables, expressions and the debug window.
REM Numbers are worked out in numeric expressions first; in an expression that
REM holds text, every operand is text and + joins.
LET NAME = "Tarnwick"
OUTPUTDEBUG "Hello from " + NAME + "!"
LET SUM = 2 + 3 * 4
OUTPUTDEBUG "Two plus three times four is " + SUM
LET THIRD = 1.0 / 3
OUTPUTDEBUG "A third is " + THIRD
LET SAME = 0.1 + 0.2 = 0.3
OUTPUTDEBUG "0.1 + 0.2 = 0.3 gives " + SAME + ", and TRUE is " + TRUE
QUIT
