rem bm3: Rugg/Feldman benchmark 3 in Bywater BASIC (see bench/programs/bm3.bas).
n = 20000
k = 0
l500:
k = k + 1
a = k / k * k + k - k
if k < n then goto l500
print k + a
system
