REM for_loop: the counting loop the speed target is set on. Measures the FOR/NEXT machinery and one
REM integer LET per iteration (LET X = X + 1 re-reads X as text and stores it back).
REM Per iteration: LET and NEXT, two statements. Checksum: X = N.
LET N = 10000000
LET X = 0
FOR I = 1 TO N
LET X = X + 1
NEXT I
OUTPUTDEBUG X
STOP
