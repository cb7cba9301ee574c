rem strings: the work of bench/programs/strings.bas in Bywater BASIC.
n = 20000
s$ = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
t$ = "X"
c = 0
for i = 1 to n
  p = i - int(i / 26) * 26 + 1
  t$ = t$ + mid$(s$, p, 1)
  if len(t$) > 40 then t$ = left$(t$, 10) + mid$(t$, 32, 10)
  c = c + len(t$)
next i
print c
print t$
system
