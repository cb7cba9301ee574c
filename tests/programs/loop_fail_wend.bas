REM WHILE -1 skips past its WEND without starting a loop.
WHILE -1
WEND
WEND
