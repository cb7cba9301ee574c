REM STARFIELD - a flight through the stars for Tarnwick.
REM
REM Keys: cursor up flies faster, cursor down slower (and on below 0, backwards);
REM cursor left and right steer. Q fades the picture out and ends.
REM
REM Shows off: a field of 180 stars without a single array. No star is stored: where a star
REM is follows from how far the ship has flown, and a small hash made of SIN gives each
REM star a new place every time it comes round again, so flying backwards replays the
REM same stars. The stars are PLOTted brighter as they come closer, the picture fades in
REM by capping the brightness of every colour at the start, and FADE darkens it at the end.
REM
REM The language, briefly: + - comparisons AND OR are one level, worked left to right, so
REM comparisons go in brackets; True is 0 and False is -1; "A = 1" without LET does nothing.

REM ---------------------------------------------------------------------------------------
REM Set-up. The picture is composed once a frame by DISPLAY UPDATE.
SET AUTO UPDATE OFF
RANDOMIZE TICKCOUNT
SCREEN CURRENT 0
REM Each run starts the flight at another place in the endless field.
LET TRAVEL = 100000 + INT(RANDOM * 50000)
LET SPEED = 4
LET STEER = 0
LET DRIFT = 0
LET FRAMES = 0
LET TOPSPEED = 4
LET FRAMETIME = TICKCOUNT
REM The field: NSTARS stars, their depths spread evenly over a tunnel DEPTH deep and
REM WIDE by HIGH across; the screen's centre is the point the ship flies towards, and LENS
REM sets the field of view.
LET NSTARS = 180
LET DEPTH = 512
LET WIDE = 1600
LET HIGH = 900
REM Half the width is kept in a variable of its own: a comparison is safest with a plain
REM value on its right (X >= HALFWIDE rather than X >= WIDE / 2).
LET HALFWIDE = WIDE / 2
LET LENS = 200
LET CX = 400
LET CY = 300

REM ---------------------------------------------------------------------------------------
REM One pass of this loop is one frame.
DO
  GOSUB READKEYS
  LET TRAVEL = TRAVEL + SPEED
  LET DRIFT = DRIFT + STEER
  IF DRIFT >= WIDE THEN LET DRIFT = DRIFT - WIDE
  IF DRIFT < 0 THEN LET DRIFT = DRIFT + WIDE
  REM The fade-in: for the first frames no colour may be brighter than CAP (0 to 4).
  LET CAP = FRAMES \ 10 - 1
  CLS 0
  FOR I = 1 TO NSTARS
    GOSUB DRAWSTAR
  NEXT I
  GOSUB DRAWTITLE
  GOSUB SHOWFRAME
  INC FRAMES
  IF KEYDOWN(16) THEN GOSUB ENDPROGRAM
LOOP

REM ---------------------------------------------------------------------------------------
REM Held keys: up and down change the speed by half a step a frame, left and right steer,
REM and the steering eases back to straight ahead when they are let go.
READKEYS:
IF KEYDOWN(200) THEN LET SPEED = SPEED + 0.5
IF KEYDOWN(208) THEN LET SPEED = SPEED - 0.5
IF SPEED > 40 THEN LET SPEED = 40
IF SPEED < -12 THEN LET SPEED = -12
IF SPEED > TOPSPEED THEN LET TOPSPEED = SPEED
IF KEYDOWN(203) THEN
  LET STEER = STEER + 1
ELSE
  IF KEYDOWN(205) THEN
    LET STEER = STEER - 1
  ELSE
    IF STEER > 0 THEN LET STEER = STEER - 1
    IF STEER < 0 THEN LET STEER = STEER + 1
  ENDIF
ENDIF
IF STEER > 16 THEN LET STEER = 16
IF STEER < -16 THEN LET STEER = -16
RETURN

REM ---------------------------------------------------------------------------------------
REM Star I. Its road is TRAVEL plus its own offset; every DEPTH units of road it comes round
REM again (lap LAP) at the far end, at a new place that the hash of LAP and I gives.
DRAWSTAR:
LET ROAD = TRAVEL + I * DEPTH / NSTARS
LET LAP = INT(ROAD / DEPTH)
LET Z = DEPTH - (ROAD - LAP * DEPTH)
IF Z < 3 THEN RETURN
LET SEED = LAP * 12.9898 + I * 78.233
GOSUB HASH
LET X = H * WIDE - HALFWIDE + DRIFT
IF X >= HALFWIDE THEN LET X = X - WIDE
LET SEED = LAP * 39.346 + I * 11.135
GOSUB HASH
LET Y = H * HIGH - HIGH / 2
REM The projection: a star twice as far away is half as far from the centre.
LET SX = CX + X * LENS / Z
LET SY = CY + Y * LENS / Z
IF (SX < 0) OR (SX > 798) OR (SY < 0) OR (SY > 598) THEN RETURN
REM Brightness 1 (far) to 4 (near), never above the fade-in's cap.
LET B = 5 - INT(Z * 5 / DEPTH)
IF B > 4 THEN LET B = 4
IF B > CAP THEN LET B = CAP
IF B < 0 THEN RETURN
GOSUB SHADE
REM Every seventh star is yellow and every eleventh cyan; it shows when the star is near.
IF B >= 3 THEN
  LET TINT = I - I \ 7 * 7
  IF TINT = 0 THEN LET COLOUR = 251
  LET TINT = I - I \ 11 * 11
  IF TINT = 0 THEN LET COLOUR = 254
ENDIF
REM At speed a star leaves a streak: a line back to where it was a few frames ago.
IF ABS(SPEED) > 10 THEN
  LET ZT = Z + SPEED * 3
  IF ZT > 1 THEN
    INK SHADEOF
    LINE SX, SY TO CX + X * LENS / ZT, CY + Y * LENS / ZT
  ENDIF
ENDIF
PLOT SX, SY, COLOUR
REM Near stars are bigger: a 2 by 2 point, then a small cross.
IF B >= 3 THEN
  PLOT SX + 1, SY, COLOUR
  PLOT SX, SY + 1, COLOUR
  PLOT SX + 1, SY + 1, COLOUR
ENDIF
IF B = 4 THEN
  PLOT SX - 1, SY, SHADEOF
  PLOT SX + 2, SY, SHADEOF
  PLOT SX, SY - 1, SHADEOF
  PLOT SX, SY + 2, SHADEOF
ENDIF
RETURN

REM A number from 0 up to 1 that looks random but is always the same for the same SEED.
HASH:
LET H = ABS(SIN(SEED) * 43758.5453)
LET H = H - INT(H)
RETURN

REM The fixed colours from dark to bright: COLOUR for brightness B, SHADEOF one step darker.
SHADE:
IF B = 0 THEN LET COLOUR = 248
IF B = 1 THEN LET COLOUR = 247
IF B = 2 THEN LET COLOUR = 7
IF B = 3 THEN LET COLOUR = 246
IF B = 4 THEN LET COLOUR = 255
LET SHADEOF = 248
IF B = 3 THEN LET SHADEOF = 7
IF B = 4 THEN LET SHADEOF = 7
RETURN

REM ---------------------------------------------------------------------------------------
REM The title and the speed, in front of the stars; they fade in with them.
DRAWTITLE:
LET B = CAP
IF B > 4 THEN LET B = 4
IF B < 0 THEN RETURN
GOSUB SHADE
FONT NAME "Courier"
FONT SIZE 36
FONT STYLE 1
FONT DMODE 2
FONT COLOR COLOUR
GFXLOCATE 0, 24
CENTER "S T A R F I E L D"
IF B = 4 THEN FONT COLOR 254
FONT SIZE 12
FONT STYLE 0
GFXLOCATE 0, 72
CENTER "up/down: speed    left/right: steer    Q: quit"
GFXLOCATE 0, 568
CENTER "speed " + INT(SPEED) + "    frame " + FRAMES
RETURN

REM ---------------------------------------------------------------------------------------
REM Shows the frame, at most one every 16 milliseconds (about 60 a second).
SHOWFRAME:
REPEAT
UNTIL TICKCOUNT - FRAMETIME > 15
LET FRAMETIME = TICKCOUNT
DISPLAY UPDATE
RETURN

REM Q: the picture fades to black, the flight's figures go to the debug window, and the
REM program ends.
ENDPROGRAM:
FADE 40
OUTPUTDEBUG "Frames " + FRAMES + ", final speed " + SPEED + ", top speed " + TOPSPEED
QUIT
