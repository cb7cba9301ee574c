rem gosub_call: the work of bench/programs/gosub_call.bas in Bywater BASIC: a GOSUB to
rem a label and a CALL of a SUB with two parameters per iteration (bwbasic takes the
rem arguments of CALL without parentheses).
n = 50000
s = 0
m = 0
for i = 1 to n
  gosub addone
  call addthree i, 3
next i
print s
print m
system

addone:
  s = s + 1
  return

sub addthree(a, b)
  s = s + b
  m = a
end sub
