rem nested_if: the work of bench/programs/nested_if.bas in Bywater BASIC.
n = 300
c = 0
for i = 1 to n
  for j = 1 to 100
    if j < 50 then
      if i > j then
        c = c + 1
      else
        c = c + 2
      end if
    else
      if j = 75 or i = j then
        c = c + 3
      end if
    end if
  next j
next i
print c
system
