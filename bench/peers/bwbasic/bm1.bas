rem bm1: Rugg/Feldman benchmark 1 in Bywater BASIC (see bench/programs/bm1.bas).
n = 1000000
for k = 1 to n
next k
print k
system
