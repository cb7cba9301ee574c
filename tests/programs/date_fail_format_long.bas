REM A literal run is copied whole, then each "c" writes 19 letters: the result would pass the
REM longest text a value may hold.
OUTPUTDEBUG LEN(FORMATDATETIME(REPEAT("q", 67108860) + "cc", 45000.5))
