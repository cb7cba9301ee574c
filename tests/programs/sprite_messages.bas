REM Every message of SPRITE and SPRITE PATH, typed one after another in the console of a
REM stopped run (a failure there adds its message and the console goes on).
SPRITE CREATE 0, 10, 20, "ball.spr"
LET X = 5
STOP
