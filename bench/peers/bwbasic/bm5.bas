rem bm5: Rugg/Feldman benchmark 5 in Bywater BASIC (see bench/programs/bm5.bas).
n = 20000
k = 0
l500:
k = k + 1
a = k / 2 * 3 + 4 - 5
gosub l820
if k < n then goto l500
print a
system
l820:
return
