GOSUB missing
