LET X = 4
SET CURS (1, 2, 3, X, 5, 6, 7, 8)
