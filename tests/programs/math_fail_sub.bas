SUB zz, 1
