rem bm2: Rugg/Feldman benchmark 2 in Bywater BASIC (see bench/programs/bm2.bas).
n = 50000
k = 0
l500:
k = k + 1
if k < n then goto l500
print k
system
