REM Formats of many letters are read in one pass: a run of one letter is cut into specifiers as
REM it is read, and a literal run is copied whole.
LET A = FORMATDATETIME(REPEAT("d", 200000), 45000.5)
OUTPUTDEBUG LEN(A)
OUTPUTDEBUG LEFT(A, 15)
LET A = FORMATDATETIME(REPEAT("hn", 100000), 45000.5)
OUTPUTDEBUG LEN(A)
LET A = FORMATDATETIME(REPEAT("q", 500000) + "yyyy", 45000.5)
OUTPUTDEBUG LEN(A)
OUTPUTDEBUG RIGHT(A, 6)
STOP
