LET S = "abc"
INC S
