REM BATS - a bat-and-ball game for Tarnwick.
REM
REM Move the bat along the bottom with the cursor keys (or Z and X). Each time the ball
REM hits the bat scores a point, and every brick it knocks out of the wall scores more
REM (red 5, yellow 3); a cleared wall is built again. Where the ball meets the bat sets
REM its angle, and every fifth hit the ball gets faster. Three misses end the game;
REM then Enter plays again and Q ends. Q ends the program at any time.
REM
REM Shows off: a whole frame redrawn with plain drawing commands (BAR, PIE, CENTER)
REM and shown at once by DISPLAY UPDATE, and a wall of bricks kept in one text.

REM ---------------------------------------------------------------------------------------
REM Set-up: screen 1 is the status bar over the top, screen 0 the playfield below it.
SET AUTO UPDATE OFF
RANDOMIZE TICKCOUNT
LET HISCORE = 0
LET GAMES = 0
LET R = 7
LET FRAMETIME = TICKCOUNT
FONT NAME "DejaVu Sans"
FONT SIZE 24
FONT STYLE 1
FONT DMODE 2
GOSUB OPENSTATUSBAR

NEWGAME:
LET SCORE = 0
LET HITS = 0
LET BRICKS = 0
LET MISSES = 0
LET SPEED = 5
LET BATX = 350
LET PLAYING = TRUE
INC GAMES
GOSUB BUILDWALL
GOSUB SERVE
GOSUB SHOWSTATUS

REM ---------------------------------------------------------------------------------------
REM One pass of this loop is one frame: the bat, the ball, then the picture.
DO
  IF KEYDOWN(203) THEN LET BATX = BATX - 9
  IF KEYDOWN(44) THEN LET BATX = BATX - 9
  IF KEYDOWN(205) THEN LET BATX = BATX + 9
  IF KEYDOWN(45) THEN LET BATX = BATX + 9
  IF BATX < 12 THEN LET BATX = 12
  IF BATX > 687 THEN LET BATX = 687
  REM After a serve or a miss the ball waits a moment before it moves.
  IF WAITING > 0 THEN DEC WAITING ELSE GOSUB MOVEBALL
  GOSUB DRAWFIELD
  GOSUB SHOWFRAME
  IF KEYDOWN(16) THEN GOSUB ENDPROGRAM
  IF PLAYING = FALSE THEN BREAK LOOP
LOOP

REM ---------------------------------------------------------------------------------------
REM Game over: a panel in front of the playfield until Enter (play again) or Q (end).
OUTPUTDEBUG "Game " + GAMES + " over, score " + SCORE + " (" + HITS + " hits, " + BRICKS + " bricks)"
SCREEN OPEN 2, 400, 150
SCREEN OFFSET 2, 200, 240
CLS 4
INK 254
BOX 0, 0 TO 399, 149
BOX 3, 3 TO 396, 146
FONT NAME "DejaVu Sans"
FONT SIZE 28
FONT STYLE 1
FONT COLOR 251
FONT DMODE 2
GFXLOCATE 0, 18
CENTER "GAME OVER"
FONT SIZE 14
FONT STYLE 0
FONT COLOR 255
GFXLOCATE 0, 70
CENTER "Score " + SCORE + "    Best " + HISCORE
FONT COLOR 254
GFXLOCATE 0, 108
CENTER "ENTER plays again, Q ends"
DO
  GOSUB SHOWFRAME
  IF KEYDOWN(16) THEN GOSUB ENDPROGRAM
  IF KEYDOWN(28) THEN BREAK LOOP
LOOP
SCREEN CLOSE 2
SCREEN CURRENT 0
GOTO NEWGAME

REM ---------------------------------------------------------------------------------------
REM The ball's centre is BX, BY (radius R); it moves DX, DY a frame. The playfield's
REM walls are at x 12 and 787 and y 44; the bat's top is at y 560.
MOVEBALL:
LET BX = BX + DX
LET BY = BY + DY
IF BX - R < 12 THEN
  LET BX = 12 + R
  LET DX = ABS(DX)
ENDIF
IF BX + R > 787 THEN
  LET BX = 787 - R
  LET DX = 0 - ABS(DX)
ENDIF
IF BY - R < 44 THEN
  LET BY = 44 + R
  LET DY = ABS(DY)
ENDIF
REM The wall's band: two rows of bricks from y 90 to 136.
IF (BY + R > 90) AND (BY - R < 136) THEN GOSUB HITBRICK
REM The bat: the ball's bottom crossed the bat's top in this frame, over the bat.
IF (DY > 0) AND (BY + R >= 560) AND (BY + R - DY <= 560) THEN
  IF (BX + R > BATX) AND (BATX + 100 + R > BX) THEN GOSUB HITBAT
ENDIF
IF BY - R > 600 THEN GOSUB MISSED
RETURN

REM Where the ball meets the bat sets its sideways step: the ends send it out steeply.
HITBAT:
LET BY = 560 - R
LET DX = INT((BX - BATX - 50) / 7)
IF DX < -7 THEN LET DX = -7
IF DX > 7 THEN LET DX = 7
INC HITS
INC SCORE
REM The remainder goes in a variable first: a product is best kept out of a comparison.
LET N = HITS - 5 * INT(HITS / 5)
IF (N = 0) AND (SPEED < 11) THEN INC SPEED
LET DY = 0 - SPEED
GOSUB SHOWSTATUS
RETURN

REM The wall is the text WALL, 20 characters, "B" for a brick and "-" for a gap (not digits:
REM a text of digits would be taken as a number). Characters 1 to 10 are the red row
REM (y 90 to 110), 11 to 20 the yellow row (y 116 to 136).
HITBRICK:
LET C = INT((BX - 20) / 76)
IF (C < 0) OR (C > 9) THEN RETURN
IF BY < 113 THEN LET I = C + 1 ELSE LET I = C + 11
IF MID(WALL, I, 1) = "-" THEN RETURN
LET WALL = LEFT(WALL, I - 1) + "-" + MID(WALL, I + 1, 20)
LET DY = 0 - DY
INC BRICKS
IF I < 11 THEN ADD SCORE, 5 ELSE ADD SCORE, 3
DEC WALLLEFT
IF WALLLEFT = 0 THEN GOSUB BUILDWALL
GOSUB SHOWSTATUS
RETURN

BUILDWALL:
LET WALL = STRING("B", 20)
LET WALLLEFT = 20
RETURN

MISSED:
INC MISSES
IF MISSES = 3 THEN LET PLAYING = FALSE ELSE GOSUB SERVE
GOSUB SHOWSTATUS
RETURN

REM A new ball from the middle of the playfield, dropping towards the bat at an angle.
SERVE:
LET BX = 250 + INT(RANDOM * 300)
LET BY = 220
LET DX = 2 + INT(RANDOM * 3)
IF RANDOM < 0.5 THEN LET DX = 0 - DX
LET DY = SPEED
LET WAITING = 60
RETURN

REM ---------------------------------------------------------------------------------------
REM The picture, drawn whole each frame: walls, bricks, bat, ball, and any message.
DRAWFIELD:
CLS 0
INK 247
BRUSH 248
BAR 0, 32 TO 799, 43
BAR 0, 32 TO 11, 599
BAR 788, 32 TO 799, 599
FOR I = 1 TO 20
  IF MID(WALL, I, 1) = "B" THEN
    IF I < 11 THEN
      LET X = 20 + (I - 1) * 76
      LET Y = 90
      BRUSH 249
      INK 1
    ELSE
      LET X = 20 + (I - 11) * 76
      LET Y = 116
      BRUSH 251
      INK 3
    ENDIF
    BAR X, Y TO X + 72, Y + 20
  ENDIF
NEXT I
INK 255
BRUSH 254
BAR BATX, 560 TO BATX + 100, 572
INK 6
LINE BATX + 2, 571 TO BATX + 99, 571
INK 255
BRUSH 255
PIE BX - R, BY - R, BX + R, BY + R, BX + R, BY, BX + R, BY
IF WAITING > 0 THEN
  FONT COLOR 250
  GFXLOCATE 0, 300
  IF MISSES = 0 THEN CENTER "GET READY" ELSE CENTER "MISSED!  " + (3 - MISSES) + " LEFT"
ENDIF
RETURN

REM Shows the frame, at most one every 16 ms: about 60 frames a second.
SHOWFRAME:
REPEAT
UNTIL TICKCOUNT - FRAMETIME > 15
LET FRAMETIME = TICKCOUNT
DISPLAY UPDATE
RETURN

REM ---------------------------------------------------------------------------------------
REM The status bar: screen 1, over the top of the playfield, written when something changes.
OPENSTATUSBAR:
SCREEN OPEN 1, 800, 32
SCREEN OFFSET 1, 0, 0
CLS 4
INK 254
LINE 0, 31 TO 799, 31
SET TEXT GRID ON
FONT NAME "Courier"
FONT SIZE 14
FONT STYLE 1
FONT COLOR 255
BRUSH 4
SCREEN CURRENT 0
RETURN

SHOWSTATUS:
SCREEN CURRENT 1
IF SCORE > HISCORE THEN LET HISCORE = SCORE
LOCATE 1, 0
PRINT "SCORE " + RIGHT("00000" + SCORE, 5)
LOCATE 20, 0
PRINT "BALLS " + LEFT("O O O", 6 - MISSES * 2) + "    "
LOCATE 34, 0
PRINT "SPEED " + (SPEED - 4) + " "
LOCATE 47, 0
PRINT "BEST " + RIGHT("00000" + HISCORE, 5)
LOCATE 66, 0
PRINT "BATS"
SCREEN CURRENT 0
RETURN

REM Q: the scores go to the debug window and the program ends.
ENDPROGRAM:
OUTPUTDEBUG "Quit in game " + GAMES + " with score " + SCORE + ", best " + HISCORE
QUIT
