REM Escape stops the loop and opens the console, whose typed lines see the program's X; a
REM line typed with the keys themselves runs when Enter is pressed.
LET X = 0
DO
LET X = X + 1
LOOP
