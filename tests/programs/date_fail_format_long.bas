REM Each "ct" writes 27 letters: the result would pass the longest text a value may hold.
OUTPUTDEBUG LEN(FORMATDATETIME(REPEAT("ct", 33554432), 45000.5))
