rem for_loop: the work of bench/programs/for_loop.bas in Bywater BASIC.
n = 100000
x = 0
for i = 1 to n
  x = x + 1
next i
print x
system
