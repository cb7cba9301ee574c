REM The seed is 0 when the process starts, and the display's default palette takes the
REM first 708 draws (236 entries, three components each); each draw is seed := seed * 134775813 + 1
REM (mod 2^32) divided by 2^32. RANDOMIZE n sets the seed, RANDOMIZE alone adds one.
OUTPUTDEBUG RANDOM
OUTPUTDEBUG RANDOM
RANDOMIZE 5
OUTPUTDEBUG RANDOM
OUTPUTDEBUG RANDOM
RANDOMIZE 5
OUTPUTDEBUG RANDOM
RANDOMIZE 5
RANDOMIZE
OUTPUTDEBUG RANDOM
RANDOMIZE 2 + 3, 9
OUTPUTDEBUG RANDOM
RANDOMIZE -1
OUTPUTDEBUG RANDOM
STOP
