REM STAR PATROL - a small shooting game for Tarnwick.
REM
REM Move the ship with the cursor keys (Z and X also steer left and right), fire with Space.
REM Invaders drop from the mothership: shoot one for 10 points; one that rams the ship or lands
REM costs a life. Every 100 points the invaders fall faster. Three lives; Enter plays again
REM after the game, Q ends the game at any time and Escape stops the program.
REM
REM Each game over and the end (Q) write a line with the scores to the debug window, so a run
REM without a window can be checked. Under a run clock that starts at 0 the invaders
REM fall the same way every time (RANDOMIZE TICKCOUNT).
REM
REM The language, briefly: + - comparisons AND OR are one level, worked left to right, so
REM comparisons go in brackets and a sum goes on the left of a comparison ("PX + 32 > IX", not
REM "IX < PX + 32"); True is 0 and False is -1; "A = 1" without LET does nothing.

REM ---------------------------------------------------------------------------------------
REM Set-up: the display is composed once a frame by DISPLAY UPDATE, not by the 20 ms timer.
SET AUTO UPDATE OFF
RANDOMIZE TICKCOUNT
LET HISCORE = 0
LET GAMES = 0
LET FRAMETIME = TICKCOUNT
GOSUB DRAWBACKDROP
GOSUB OPENSTATUSBAR
GOSUB MAKESPRITES

NEWGAME:
LET SCORE = 0
LET LIVES = 3
LET LEVEL = 1
LET RAMMED = 0
LET LANDED = 0
LET PX = 384
LET PY = 500
LET SHOT = FALSE
LET BX = -100
LET BY = -100
LET BOOMTIME = 0
SPRITE 10, -100, -100
LET I1X = 100
LET I1Y = -30
LET I1D = 1
LET I2X = 380
LET I2Y = -190
LET I2D = -2
LET I3X = 640
LET I3Y = -350
LET I3D = 2
LET PLAYING = TRUE
INC GAMES
GOSUB SHOWSTATUS

REM ---------------------------------------------------------------------------------------
REM One pass of this loop is one frame.
DO
  REM The ship: held keys move it every frame.
  IF KEYDOWN(203) THEN LET PX = PX - 6
  IF KEYDOWN(44) THEN LET PX = PX - 6
  IF KEYDOWN(205) THEN LET PX = PX + 6
  IF KEYDOWN(45) THEN LET PX = PX + 6
  IF KEYDOWN(200) THEN LET PY = PY - 4
  IF KEYDOWN(208) THEN LET PY = PY + 4
  IF PX < 4 THEN LET PX = 4
  IF PX > 764 THEN LET PX = 764
  IF PY < 380 THEN LET PY = 380
  IF PY > 520 THEN LET PY = 520
  SPRITE 0, PX, PY

  REM The shot: one at a time, fired from the nose of the ship.
  IF SHOT THEN
    LET BY = BY - 12
    IF BY < 20 THEN LET SHOT = FALSE
  ELSE
    IF KEYDOWN(57) THEN
      LET SHOT = TRUE
      LET BX = PX + 14
      LET BY = PY - 10
    ELSE
      LET BY = -100
    ENDIF
  ENDIF
  SPRITE 4, BX, BY

  REM The three invaders, one after the other through the same subroutine.
  LET IX = I1X
  LET IY = I1Y
  LET ID = I1D
  GOSUB MOVEINVADER
  LET I1X = IX
  LET I1Y = IY
  LET I1D = ID
  SPRITE 1, IX, IY
  LET IX = I2X
  LET IY = I2Y
  LET ID = I2D
  GOSUB MOVEINVADER
  LET I2X = IX
  LET I2Y = IY
  LET I2D = ID
  SPRITE 2, IX, IY
  LET IX = I3X
  LET IY = I3Y
  LET ID = I3D
  GOSUB MOVEINVADER
  LET I3X = IX
  LET I3Y = IY
  LET I3D = ID
  SPRITE 3, IX, IY

  REM The explosion stays for a few frames, then leaves the display.
  IF BOOMTIME > 0 THEN
    DEC BOOMTIME
    IF BOOMTIME = 0 THEN SPRITE 10, -100, -100
  ENDIF

  GOSUB SHOWFRAME
  IF KEYDOWN(16) THEN GOSUB ENDPROGRAM
  IF PLAYING = FALSE THEN BREAK LOOP
LOOP

REM ---------------------------------------------------------------------------------------
REM Game over: a panel in front of the playfield until Enter (play again) or Q (end).
GOSUB TALLYUP
OUTPUTDEBUG "Game " + GAMES + " over, " + TALLY
GOSUB SHOWSTATUS
SPRITE 1, -100, -100
SPRITE 2, -100, -100
SPRITE 3, -100, -100
SPRITE 4, -100, -100
SCREEN OPEN 2, 400, 140
SCREEN OFFSET 2, 200, 220
CLS 4
INK 254
BOX 0, 0 TO 399, 139
BOX 3, 3 TO 396, 136
FONT NAME "Courier"
FONT SIZE 28
FONT STYLE 1
FONT COLOR 251
FONT DMODE 2
GFXLOCATE 0, 16
CENTER "GAME OVER"
FONT SIZE 14
FONT STYLE 0
FONT COLOR 255
GFXLOCATE 0, 66
CENTER "Score " + SCORE + "   Best " + HISCORE
FONT COLOR 254
GFXLOCATE 0, 100
CENTER "ENTER plays again, Q ends"
DO
  GOSUB SHOWFRAME
  IF KEYDOWN(16) THEN GOSUB ENDPROGRAM
  IF KEYDOWN(28) THEN BREAK LOOP
LOOP
SCREEN CLOSE 2
SCREEN CURRENT 1
GOTO NEWGAME

REM ---------------------------------------------------------------------------------------
REM Shows the frame. A flip waits for the monitor's next refresh; on a monitor faster than
REM 60 Hz the wait before it keeps the game at about 60 frames a second.
SHOWFRAME:
REPEAT
UNTIL TICKCOUNT - FRAMETIME > 15
LET FRAMETIME = TICKCOUNT
DISPLAY UPDATE
RETURN

REM Moves the invader IX, IY (sideways step ID) one frame and settles what it meets.
MOVEINVADER:
IF PLAYING = FALSE THEN RETURN
LET IX = IX + ID
LET IY = IY + LEVEL
IF (IX < 4) OR (IX > 764) THEN LET ID = 0 - ID
REM Hit by the shot?
IF SHOT THEN
  LET DX = BX - IX
  LET DY = BY - IY
  IF (DX > -4) AND (DX < 32) AND (DY > -12) AND (DY < 24) THEN
    LET SHOT = FALSE
    LET BY = -100
    SPRITE 4, BX, BY
    ADD SCORE, 10
    IF SCORE > HISCORE THEN LET HISCORE = SCORE
    LET LEVEL = 1 + SCORE \ 100
    IF LEVEL > 5 THEN LET LEVEL = 5
    GOSUB EXPLODE
    GOSUB SHOWSTATUS
    GOSUB NEWINVADER
    RETURN
  ENDIF
ENDIF
REM Rammed the ship, or landed?
LET DX = ABS(PX - IX)
LET DY = ABS(PY - IY)
IF (DX < 26) AND (DY < 20) THEN
  INC RAMMED
  GOSUB LOSELIFE
  RETURN
ENDIF
IF IY > 540 THEN
  INC LANDED
  GOSUB LOSELIFE
ENDIF
RETURN

LOSELIFE:
GOSUB EXPLODE
DEC LIVES
IF LIVES = 0 THEN LET PLAYING = FALSE
GOSUB SHOWSTATUS
GOSUB NEWINVADER
RETURN

REM A new invader above the top edge, at a random place, drifting left or right.
NEWINVADER:
LET IX = 40 + INT(RANDOM * 700)
LET IY = -30 - INT(RANDOM * 120)
LET ID = 1 + INT(RANDOM * 3)
IF RANDOM < 0.5 THEN LET ID = 0 - ID
RETURN

EXPLODE:
SPRITE 10, IX, IY - 4
LET BOOMTIME = 12
RETURN

REM ---------------------------------------------------------------------------------------
REM The status bar: screen 1, a strip over the top of the playfield; it stays current.
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
RETURN

SHOWSTATUS:
LOCATE 1, 0
PRINT "SCORE " + RIGHT("00000" + SCORE, 5)
LOCATE 20, 0
PRINT "LIVES " + LEFT("***", LIVES) + "   "
LOCATE 34, 0
PRINT "LEVEL " + LEVEL
LOCATE 47, 0
PRINT "BEST " + RIGHT("00000" + HISCORE, 5)
LOCATE 61, 0
PRINT "STAR PATROL"
RETURN

REM ---------------------------------------------------------------------------------------
REM The backdrop on screen 0: night sky, a ringed planet, the ground. Drawn once.
DRAWBACKDROP:
SCREEN CURRENT 0
CLS 0
FOR S = 1 TO 140
  LET SX = INT(RANDOM * 800)
  LET SY = 34 + INT(RANDOM * 520)
  IF RANDOM < 0.3 THEN PLOT SX, SY, 255 ELSE PLOT SX, SY, 7
NEXT S
INK 252
CIRCLE 660, 170, 40
BRUSH 4
INK 0
PAINT 660, 170, 0
INK 254
ELLIPSE 660, 170, 64, 12
INK 9
CIRCLE 660, 170, 40
BRUSH 2
INK 250
BAR 0, 560 TO 799, 599
INK 251
LINE 0, 560 TO 799, 560
RETURN

REM ---------------------------------------------------------------------------------------
REM Sprites: 0 ship, 1-3 invaders, 4 shot, 5 mothership, 6-7 satellites, 8 comet, 10 boom.
REM Paths, by their project IDs: 10 the mothership's wave, bounced; 20 the orbit round the
REM planet, looped by two satellites going opposite ways; 30 the comet's run, looped.
MAKESPRITES:
SPRITE CREATE 0, 384, 500, "ship.spr"
SPRITE CREATE 1, -100, -100, "invader.spr"
SPRITE CREATE 2, -100, -100, "invader.spr"
SPRITE CREATE 3, -100, -100, "invader.spr"
SPRITE CREATE 4, -100, -100, "bullet.spr"
SPRITE CREATE 5, 16, 44, "ufo.spr"
SPRITE CREATE 6, -100, -100, "satellite.spr"
SPRITE CREATE 7, -100, -100, "satellite.spr"
SPRITE CREATE 8, -100, -100, "comet.spr"
SPRITE CREATE 10, -100, -100, "boom.spr"
REM Black (display colour 0) is the background of every sprite picture. The numbers of
REM SPRITE TRANSPARENT are plain numbers, not expressions.
SPRITE TRANSPARENT YES, 0, 0
SPRITE TRANSPARENT YES, 1, 0
SPRITE TRANSPARENT YES, 2, 0
SPRITE TRANSPARENT YES, 3, 0
SPRITE TRANSPARENT YES, 4, 0
SPRITE TRANSPARENT YES, 5, 0
SPRITE TRANSPARENT YES, 6, 0
SPRITE TRANSPARENT YES, 7, 0
SPRITE TRANSPARENT YES, 8, 0
SPRITE TRANSPARENT YES, 10, 0
SPRITE PATH ADD 5, 10
SPRITE PATH END 5, BOUNCE
SPRITE PATH ADD 6, 20
SPRITE PATH END 6, LOOP
SPRITE PATH ADD 7, 20
SPRITE PATH POS 7, 60
SPRITE PATH DIR 7, BACKWARD
SPRITE PATH END 7, LOOP
SPRITE PATH ADD 8, 30
RETURN

REM Q: the scores go to the debug window and the program ends.
ENDPROGRAM:
GOSUB TALLYUP
OUTPUTDEBUG "Quit in game " + GAMES + " with " + TALLY + ", best " + HISCORE
QUIT

REM The score and how the lives went, as text in TALLY.
TALLYUP:
LET TALLY = "score " + SCORE + " (rammed " + RAMMED + ", landed " + LANDED + ")"
RETURN
