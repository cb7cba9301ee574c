LET Q = 1
ADD qq, 1
