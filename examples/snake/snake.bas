REM SNAKE - steer a hungry snake round a walled garden.
REM
REM The cursor keys turn the snake (the first one starts it). Each apple eaten scores a
REM point and makes the snake one cell longer, and each apple makes it a little faster. The
REM game ends when the snake runs into the wall or into itself. Enter plays again after
REM the game, Q ends the program at any time.
REM
REM Shows off: a list kept in a text. There are no arrays, so the snake's body is one text
REM of five-character cells (":" + column + 10, row + 10), head first. INSTR finds a cell in
REM it (the ":" keeps a match on a cell's boundary), LEFT drops the tail and MID reads the
REM head back. Only the cells that change are drawn each step.

REM Set-up: a 38 by 26 grid of 20-pixel cells; the frame is shown by DISPLAY UPDATE.
SET AUTO UPDATE OFF
RANDOMIZE TICKCOUNT
LET COLS = 38
LET ROWS = 26
LET CELL = 20
LET OX = 20
LET OY = 56
LET BEST = 0
LET GAMES = 0
REM TRACE = TRUE writes each step, apple and start to the debug window.
LET TRACE = FALSE
LET FRAMETIME = TICKCOUNT

NEWGAME:
INC GAMES
LET SCORE = 0
LET STEPTIME = 140
LET DIR = 2
LET ND = 2
LET STARTED = FALSE
LET HOW = ""
GOSUB DRAWFIELD
REM The snake: three cells in the middle of the garden (row 13), facing right.
LET BODY = ":2223:2123:2023"
LET Y = 13
FOR X = 10 TO 11
  GOSUB DRAWBODY
NEXT X
LET X = 12
GOSUB DRAWHEAD
GOSUB NEWFOOD
GOSUB SHOWSTATUS

REM One pass is one frame. The snake steps on a timetable of its own, every STEPTIME
REM milliseconds, however long the frames take.
DO
  GOSUB READKEYS
  IF STARTED THEN
    IF TICKCOUNT >= NEXTSTEP THEN
      LET NEXTSTEP = NEXTSTEP + STEPTIME
      GOSUB STEP
    ENDIF
  ENDIF
  GOSUB SHOWFRAME
  IF KEYDOWN(16) THEN GOSUB ENDPROGRAM
  IF HOW <> "" THEN BREAK LOOP
LOOP

REM Game over: the head turns red, and a panel waits for Enter (play again) or Q (end).
LET X = MID(BODY, 2, 2) - 10
LET Y = MID(BODY, 4, 2) - 10
LET HEADCOLOUR = 249
GOSUB DRAWHEAD
IF SCORE > BEST THEN LET BEST = SCORE
OUTPUTDEBUG "Game " + GAMES + " over: Score " + SCORE + ", " + HOW
GOSUB SHOWSTATUS
INK 254
BRUSH 4
BAR 220, 220 TO 580, 360
FONT SIZE 28
FONT COLOR 251
GFXLOCATE 0, 238
CENTER "GAME OVER"
FONT SIZE 14
FONT COLOR 255
GFXLOCATE 0, 286
CENTER "Score " + SCORE + " - you " + HOW
FONT COLOR 254
GFXLOCATE 0, 318
CENTER "ENTER plays again, Q ends"
DO
  GOSUB SHOWFRAME
  IF KEYDOWN(16) THEN GOSUB ENDPROGRAM
  IF KEYDOWN(28) THEN BREAK LOOP
LOOP
GOTO NEWGAME

REM The cursor keys choose the next direction (1 up, 2 right, 3 down, 4 left). A turn
REM straight back is refused: it is checked against the direction of the last step.
READKEYS:
LET K = 0
IF KEYDOWN(200) THEN LET K = 1
IF KEYDOWN(205) THEN LET K = 2
IF KEYDOWN(208) THEN LET K = 3
IF KEYDOWN(203) THEN LET K = 4
IF K = 0 THEN RETURN
IF ABS(K - DIR) = 2 THEN RETURN
LET ND = K
IF STARTED = FALSE THEN
  LET STARTED = TRUE
  IF TRACE THEN OUTPUTDEBUG "start " + TICKCOUNT
  LET NEXTSTEP = TICKCOUNT + STEPTIME
ENDIF
RETURN

REM One step: the head moves on; the tail follows unless an apple was eaten.
STEP:
LET DIR = ND
IF TRACE THEN OUTPUTDEBUG "step " + TICKCOUNT + " " + NEXTSTEP + " " + DIR + " " + BODY
LET X = MID(BODY, 2, 2) - 10
LET Y = MID(BODY, 4, 2) - 10
IF DIR = 1 THEN DEC Y
IF DIR = 2 THEN INC X
IF DIR = 3 THEN INC Y
IF DIR = 4 THEN DEC X
IF (X < 0) OR (X >= COLS) OR (Y < 0) OR (Y >= ROWS) THEN LET HOW = "hit the wall"
IF HOW <> "" THEN RETURN
GOSUB CELLTEXT
LET EAT = (C = FOOD)
REM The cells the new head must miss: the whole body, less the tail when it moves away.
IF EAT THEN LET REST = BODY ELSE LET REST = LEFT(BODY, LEN(BODY) - 5)
IF INSTR(REST, C) <> -1 THEN LET HOW = "bit yourself"
IF HOW <> "" THEN RETURN
LET NX = X
LET NY = Y
IF EAT = FALSE THEN
  LET X = MID(BODY, LEN(BODY) - 3, 2) - 10
  LET Y = RIGHT(BODY, 2) - 10
  GOSUB DRAWEMPTY
ENDIF
REM The old head becomes a body cell.
LET X = MID(BODY, 2, 2) - 10
LET Y = MID(BODY, 4, 2) - 10
GOSUB DRAWBODY
LET BODY = C + REST
LET X = NX
LET Y = NY
GOSUB DRAWHEAD
IF EAT THEN
  INC SCORE
  LET STEPTIME = 140 - SCORE * 5
  IF STEPTIME < 60 THEN LET STEPTIME = 60
  GOSUB NEWFOOD
  GOSUB SHOWSTATUS
ENDIF
RETURN

REM An apple on a random free cell: try again while the cell is in the body.
NEWFOOD:
REPEAT
  LET X = INT(RANDOM * COLS)
  LET Y = INT(RANDOM * ROWS)
  GOSUB CELLTEXT
UNTIL INSTR(BODY, C) = -1
LET FOOD = C
IF TRACE THEN OUTPUTDEBUG "food " + C
GOSUB DRAWFOOD
RETURN

REM The text of cell X, Y in C: ":" then column + 10 and row + 10, two digits each.
CELLTEXT:
LET CX = X + 10
LET CY = Y + 10
LET C = ":" + CX + CY
RETURN

REM Drawing one cell at X, Y; PX, PY is its top left corner on the display.
DRAWEMPTY:
LET PX = OX + X * CELL
LET PY = OY + Y * CELL
INK 0
BRUSH 0
BAR PX, PY TO PX + 19, PY + 19
INK 4
BRUSH 4
BAR PX + 9, PY + 9 TO PX + 10, PY + 10
RETURN

DRAWBODY:
LET PX = OX + X * CELL
LET PY = OY + Y * CELL
INK 2
REM Stripes: neighbouring cells differ in X + Y by one, so its evenness alternates.
LET ODD = X + Y - ((X + Y) \ 2) * 2
IF ODD = 0 THEN BRUSH 250 ELSE BRUSH 2
BAR PX + 2, PY + 2 TO PX + 17, PY + 17
RETURN

REM The head looks the way it goes: its eyes sit on the leading side.
DRAWHEAD:
LET PX = OX + X * CELL
LET PY = OY + Y * CELL
INK 2
BRUSH HEADCOLOUR
BAR PX + 1, PY + 1 TO PX + 18, PY + 18
LET E1X = 5
LET E1Y = 5
LET E2X = 14
LET E2Y = 14
IF DIR = 1 THEN LET E2Y = 5
IF DIR = 2 THEN LET E1X = 14
IF DIR = 3 THEN LET E1Y = 14
IF DIR = 4 THEN LET E2X = 5
INK 0
BRUSH 0
BAR PX + E1X - 2, PY + E1Y - 2 TO PX + E1X + 1, PY + E1Y + 1
BAR PX + E2X - 2, PY + E2Y - 2 TO PX + E2X + 1, PY + E2Y + 1
PLOT PX + E1X - 1, PY + E1Y - 1, 255
PLOT PX + E2X - 1, PY + E2Y - 1, 255
RETURN

DRAWFOOD:
LET PX = OX + X * CELL
LET PY = OY + Y * CELL
INK 249
CIRCLE PX + 10, PY + 11, 7
INK 0
BRUSH 249
PAINT PX + 10, PY + 11, 0
PLOT PX + 7, PY + 8, 255
INK 250
LINE PX + 10, PY + 4 TO PX + 14, PY + 1
RETURN

REM The whole display: status bar, stone wall and the dotted garden.
DRAWFIELD:
CLS 0
LET HEADCOLOUR = 251
INK 254
LINE 0, 40 TO 799, 40
INK 7
BRUSH 248
BAR OX - 8, OY - 8 TO OX + COLS * CELL + 7, OY + ROWS * CELL + 7
INK 0
BRUSH 0
BAR OX, OY TO OX + COLS * CELL - 1, OY + ROWS * CELL - 1
INK 4
BRUSH 4
FOR Y = 0 TO ROWS - 1
  LET PY = OY + Y * CELL + 9
  FOR X = 0 TO COLS - 1
    LET PX = OX + X * CELL + 9
    BAR PX, PY TO PX + 1, PY + 1
  NEXT X
NEXT Y
FONT DMODE 2
FONT STYLE 0
FONT SIZE 10
FONT COLOR 254
GFXLOCATE 0, 586
CENTER "A cursor key starts the snake and turns it - Q quits"
RETURN

SHOWSTATUS:
INK 4
BRUSH 4
BAR 0, 0 TO 799, 39
FONT STYLE 1
FONT SIZE 18
FONT COLOR 250
GFXLOCATE 20, 9
PRINT "SNAKE"
FONT COLOR 255
GFXLOCATE 320, 9
PRINT "SCORE " + RIGHT("000" + SCORE, 3)
FONT COLOR 251
GFXLOCATE 620, 9
PRINT "BEST " + RIGHT("000" + BEST, 3)
RETURN

REM Shows the frame, at most one every 16 milliseconds.
SHOWFRAME:
REPEAT
UNTIL TICKCOUNT - FRAMETIME > 15
LET FRAMETIME = TICKCOUNT
DISPLAY UPDATE
RETURN

REM Q: the result goes to the debug window and the program ends.
ENDPROGRAM:
IF SCORE > BEST THEN LET BEST = SCORE
OUTPUTDEBUG "Quit in game " + GAMES + ": Score " + SCORE + ", best " + BEST
QUIT
