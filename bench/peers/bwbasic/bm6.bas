rem bm6: Rugg/Feldman benchmark 6 in Bywater BASIC (see bench/programs/bm6.bas).
n = 20000
k = 0
dim m(5)
l500:
k = k + 1
a = k / 2 * 3 + 4 - 5
gosub l820
for l = 1 to 5
next l
if k < n then goto l500
print a + l
system
l820:
return
