FOR I = 1 TO 3
LET I = "abc"
NEXT
