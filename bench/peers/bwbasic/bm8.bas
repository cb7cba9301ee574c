rem bm8: Rugg/Feldman benchmark 8 in Bywater BASIC (see bench/programs/bm8.bas).
rem As in the Tarnwick port, K^2 becomes k * k; the original's LOG is log() here.
rem INT rounds down here: sgn(x) * int(abs(x)) truncates toward zero as INT does in Tarnwick.
n = 20000
k = 0
l500:
k = k + 1
a = k * k
b = log(k)
c = sin(k)
if k < n then goto l500
z = k + sgn(b * 1000) * int(abs(b * 1000)) + sgn(c * 1000) * int(abs(c * 1000))
print z
system
