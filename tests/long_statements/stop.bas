REM A program that stops at once: what follows is typed into the console.
STOP
