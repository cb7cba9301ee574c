rem bm4: Rugg/Feldman benchmark 4 in Bywater BASIC (see bench/programs/bm4.bas).
n = 20000
k = 0
l500:
k = k + 1
a = k / 2 * 3 + 4 - 5
if k < n then goto l500
print a
system
