rem bm7: Rugg/Feldman benchmark 7 in Bywater BASIC (see bench/programs/bm7.bas).
rem As in the Tarnwick port, M(L)=A becomes a store into the plain variable m.
n = 20000
k = 0
dim m(5)
m = 0
l500:
k = k + 1
a = k / 2 * 3 + 4 - 5
gosub l820
for l = 1 to 5
  m = a
next l
if k < n then goto l500
print m + l
system
l820:
return
