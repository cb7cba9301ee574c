REM WEND evaluates the condition tokens of its WHILE again.
LET X = 0
WHILE X
LET X = 7
WEND
