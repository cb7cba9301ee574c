REM THE LOST LANTERN - a tiny text adventure for Tarnwick.
REM
REM Find the old smuggler's treasure hidden somewhere under the house. One key a command:
REM N, S, E, W walk north, south, east, west; T takes what lies here; U uses what you carry
REM (light the lamp, unlock, prise open); L looks around again; Q quits at any time.
REM Each find scores points (100 in all); the score and the moves are printed at the end.
REM
REM Shows off the text grid: SET TEXT GRID ON, FONT SIZE, LOCATE and PRINT with colours,
REM bold and inverse text, framed panels, a map that fills in as you explore, and INKEY.

SET AUTO UPDATE OFF
SET TEXT GRID ON
FONT SIZE 14
REM There are no arrays: the tables are texts of letters (a text of digits would be taken as
REM a number). Rooms 1 to 6 (a to f) have 8-letter names; LINKS holds the room north, south,
REM east and west of each (x for a wall); MAPCOL and MAPROW place them on the map; VISITED
REM has a y for each room seen.
LET NAMES = "Hall    Library Kitchen Garden  Shed    Cellar  "
LET LINKS = "xdcbxxaxxxxaafxexxdxdxxx"
LET MAPCOL = "BACBAB"
LET MAPROW = "AAABBC"
LET VISITED = "ynnnnn"
LET ROOM = 1
LET MOVES = 0
LET SCORE = 0
REM Where things are: a room number, or 0 when carried.
LET LAMPAT = 3
LET KEYAT = 2
LET BARAT = 5
LET LAMPLIT = FALSE
LET TRAPOPEN = FALSE
LET WON = FALSE
LET MSG = "You wake in a dusty hall. Somewhere below lies the treasure."
LET MSGC = 251
LET BLINK = 0
LET FRAMETIME = TICKCOUNT
GOSUB DRAWALL

REM The main loop: one pass a frame; a key is one command.
DO
  LET K = LOWERCASE(INKEY)
  IF K = "q" THEN GOSUB ENDGAME
  IF (K <> "") AND (INSTR("nsewtul", K) > 0) THEN
    IF INSTR("nsew", K) > 0 THEN GOSUB WALK
    IF K = "t" THEN GOSUB TAKE
    IF K = "u" THEN GOSUB USE
    IF K = "l" THEN LET MSG = "You look around carefully."
    IF K = "l" THEN LET MSGC = 254
    INC MOVES
    GOSUB DRAWALL
  ENDIF
  REM The prompt's cursor blinks: on for 20 frames, off for 20.
  INC BLINK
  IF BLINK = 40 THEN LET BLINK = 0
  LOCATE 3, 20
  FONT COLOR 251
  IF BLINK < 20 THEN PRINT "_" ELSE PRINT " "
  REM Wait for the next 16 ms frame, then show it.
  REPEAT
  UNTIL TICKCOUNT - FRAMETIME > 15
  LET FRAMETIME = TICKCOUNT
  DISPLAY UPDATE
LOOP

REM ---- Commands ------------------------------------------------------------------------
REM N, S, E, W: the next room is the letter of LINKS for this room and direction.
WALK:
LET DEST = INSTR("abcdef", MID(LINKS, ROOM * 4 - 4 + INSTR("nsew", K), 1))
LET MSGC = 249
LET MSG = "You cannot go that way."
IF (DEST = 6) AND (TRAPOPEN = FALSE) THEN LET MSG = "The trapdoor is locked with a heavy padlock."
IF (DEST = 6) AND (TRAPOPEN = FALSE) THEN LET DEST = -1
IF DEST < 1 THEN RETURN
LET ROOM = DEST
LET VISITED = LEFT(VISITED, ROOM - 1) + "y" + MID(VISITED, ROOM + 1, 6)
GOSUB ROOMTEXT
LET MSG = "You walk into the " + RN + "."
LET MSGC = 254
RETURN

TAKE:
LET MSGC = 250
LET MSG = "There is nothing here you can take."
IF (KEYAT = ROOM) AND (LAMPLIT) THEN
  LET KEYAT = 0
  ADD SCORE, 15
  LET MSG = "You take the small iron key from the shelf."
ENDIF
IF BARAT = ROOM THEN
  LET BARAT = 0
  ADD SCORE, 10
  LET MSG = "You take the rusty crowbar. Heavy, but useful."
ENDIF
IF LAMPAT = ROOM THEN
  LET LAMPAT = 0
  ADD SCORE, 10
  LET MSG = "You take the brass lamp. It is cold and unlit."
ENDIF
REM Nothing taken: the message stays, in red.
IF LEFT(MSG, 5) = "There" THEN LET MSGC = 249
RETURN

REM U tries each use in turn: the first that fits the place and the things carried wins.
USE:
LET MSGC = 250
IF (ROOM = 4) AND (KEYAT = 0) AND (TRAPOPEN = FALSE) THEN
  LET TRAPOPEN = TRUE
  ADD SCORE, 20
  LET MSG = "The key turns with a screech. The trapdoor swings open!"
  RETURN
ENDIF
IF (ROOM = 6) AND (BARAT = 0) AND (LAMPLIT) AND (WON = FALSE) THEN
  LET WON = TRUE
  ADD SCORE, 35
  LET MSG = "You prise the chest open: GOLD! The lost treasure is yours."
  LET MSGC = 251
  RETURN
ENDIF
IF (LAMPAT = 0) AND (LAMPLIT = FALSE) THEN
  LET LAMPLIT = TRUE
  ADD SCORE, 10
  LET MSG = "You light the lamp. A warm glow pushes back the shadows."
  RETURN
ENDIF
LET MSG = "Nothing happens."
LET MSGC = 249
RETURN

REM Q: the result goes to the debug window (stdout when run headless) and the game ends.
ENDGAME:
IF WON THEN LET R = "treasure found" ELSE LET R = "treasure not found"
OUTPUTDEBUG "Score " + SCORE + " of 100 in " + MOVES + " moves, " + R
QUIT

REM ---- Words ---------------------------------------------------------------------------
REM The room's name RN, its description D and what lies there SEE (lines split by |), and
REM its exits EX, read from LINKS.
ROOMTEXT:
LET RN = MID(NAMES, ROOM * 8 - 7, 8)
LET RN = LEFT(RN, INSTR(RN, " ") - 1)
LET SEE = ""
IF ROOM = 1 THEN LET D = "A draughty hall with a cracked mirror|and portraits of stern old sailors.|Doors lead west and east; the garden|lies to the south."
IF ROOM = 2 THEN LET D = "Shelves of mouldy sea charts reach the|ceiling. The lamplight glints on metal|on the lowest shelf."
IF (ROOM = 2) AND (KEYAT = 2) THEN LET SEE = "a small iron key"
IF ROOM = 3 THEN LET D = "Copper pots hang over a cold stove and|the smell of old fish lingers. A nook|by the chimney holds odds and ends."
IF (ROOM = 3) AND (LAMPAT = 3) THEN LET SEE = "a brass lamp"
IF ROOM = 4 THEN LET D = "Weeds choke a ring of flower beds. In|the middle, set in stone, lies an oak|trapdoor. A shed leans to the west."
IF ROOM = 4 THEN LET SEE = "a padlocked trapdoor"
IF (ROOM = 4) AND (TRAPOPEN) THEN LET SEE = "an open trapdoor"
IF ROOM = 5 THEN LET D = "Rakes, sacks and broken crates. The|spiders have been busy here for many|years."
IF (ROOM = 5) AND (BARAT = 5) THEN LET SEE = "a rusty crowbar"
IF ROOM = 6 THEN LET D = "A low vault of dripping brick. Against|the far wall stands an iron-bound sea|chest, nailed shut."
IF ROOM = 6 THEN LET SEE = "a sea chest"
IF (ROOM = 6) AND (WON) THEN LET SEE = "an open chest full of gold"
IF (ROOM = 6) AND (WON) THEN LET D = "A low vault of dripping brick. The sea|chest by the far wall stands open, its|lid thrown back."
REM The library and the cellar are dark until the lamp is lit.
LET DARK = (ROOM = 2) OR (ROOM = 6)
IF (DARK) AND (LAMPLIT = FALSE) THEN
  LET D = "It is pitch dark. You can make out|nothing at all, but you hear something|drip, drip, drip in the blackness."
  LET SEE = ""
ENDIF
LET EX = ""
FOR I = 1 TO 4
  LET W = MID("North South East  West  ", I * 6 - 5, 6)
  IF MID(LINKS, ROOM * 4 - 4 + I, 1) <> "x" THEN LET EX = EX + LEFT(W, INSTR(W, " ")) + " "
NEXT I
RETURN

REM Prints the text T from cell TX, TY, starting a new row at each |.
PRINTLINES:
REPEAT
  LET P = INSTR(T + "|", "|")
  LOCATE TX, TY
  PRINT LEFT(T, P - 1)
  LET T = MID(T, P + 1, 200)
  INC TY
UNTIL T = ""
RETURN

REM ---- Drawing -------------------------------------------------------------------------
REM The whole screen, drawn after each command. A cell is 11 by 23 pixels at 14 points.
DRAWALL:
GOSUB ROOMTEXT
CLS 0
REM The title bar: navy, the text printed on the navy brush. Codes built by PRELOCATE,
REM PREINK and PRESTYLE move the cursor and change colour and style inside one PRINT.
INK 4
BRUSH 4
BAR 0, 0 TO 799, 22
LET B = PRESTYLE(BOLD)
PRINT PRELOCATE(1, 0) + PREINK(251) + B + "THE LOST LANTERN" + B
PRINT PRELOCATE(44, 0) + PREINK(255) + "Score " + RIGHT("  " + SCORE, 3) + "    Moves " + MOVES
BRUSH 0
REM The panels' frames; the room's glows gold once the lamp is lit.
IF LAMPLIT THEN INK 251 ELSE INK 6
BOX 6, 40 TO 445, 378
INK 6
BOX 457, 40 TO 793, 196
BOX 457, 247 TO 793, 378
INK 254
BOX 6, 408 TO 793, 494
REM The hunt's progress: a bar of 4 pixels a point.
PRINT PRELOCATE(2, 14) + PREINK(247) + "Treasure hunt"
INK 248
BOX 22, 350 TO 424, 368
BRUSH 251
IF SCORE > 0 THEN BAR 23, 351 TO 23 + SCORE * 4, 367
BRUSH 0
REM The room: name, description, exits, what lies here.
PRINT PRELOCATE(2, 2) + PREINK(251) + B + UPPERCASE(RN) + B + PREINK(246)
LET T = D
LET TX = 2
LET TY = 4
GOSUB PRINTLINES
PRINT PRELOCATE(2, 9) + PREINK(254) + "Exits:  " + PREINK(255) + EX
PRINT PRELOCATE(2, 11) + PREINK(250) + "You see:" + PRELOCATE(4, 12) + PREINK(255)
IF SEE = "" THEN PRINT PREINK(247) + "nothing of interest" ELSE PRINT SEE
REM The map: the paths first, then the rooms; rooms not yet seen are question marks, and
REM the current room is inverse.
PRINT PRELOCATE(43, 2) + PREINK(254) + "MAP" + PREINK(247) + PRELOCATE(51, 3) + "-"
PRINT PRELOCATE(61, 3) + "-" + PRELOCATE(56, 4) + "|" + PRELOCATE(51, 5) + "-"
IF TRAPOPEN THEN PRINT PRELOCATE(56, 6) + "|" ELSE PRINT PRELOCATE(56, 6) + PREINK(249) + "#"
FOR MR = 1 TO 6
  LOCATE 32 + 10 * INSTR("ABC", MID(MAPCOL, MR, 1)), 1 + 2 * INSTR("ABC", MID(MAPROW, MR, 1))
  LET ML = MID(NAMES, MR * 8 - 7, 7)
  FONT COLOR 255
  IF MR = ROOM THEN FONT COLOR 251
  IF MR = ROOM THEN INVERSE ON
  IF MID(VISITED, MR, 1) = "n" THEN PRINT PREINK(248) + "[  ???  ]" ELSE PRINT "[" + ML + "]"
  INVERSE OFF
NEXT MR
REM What you carry, one thing a row.
PRINT PRELOCATE(43, 11) + PREINK(254) + "CARRYING" + PREINK(255)
LET T = ""
IF LAMPAT = 0 THEN LET T = "a brass lamp|"
IF LAMPLIT THEN LET T = "a brass lamp" + PREINK(251) + " (lit)" + PREINK(255) + "|"
IF KEYAT = 0 THEN LET T = T + "a small iron key|"
IF BARAT = 0 THEN LET T = T + "a rusty crowbar|"
IF WON THEN LET T = T + PREINK(251) + "the smuggler's gold!|"
IF T = "" THEN LET T = PREINK(247) + "nothing"
LET TX = 44
LET TY = 12
GOSUB PRINTLINES
REM The last message, the prompt and the keys.
FONT COLOR MSGC
PRINT PRELOCATE(1, 18) + MSG + PRELOCATE(1, 20) + PREINK(251) + ">" + PREINK(247)
IF WON THEN GOSUB DRAWBANNER ELSE PRINT PRELOCATE(1, 23) + "N S E W  walk    T  take    U  use    L  look    Q  quit"
RETURN

REM The end of the hunt: a gold banner in free-mode text, centred over the key help, the
REM title drawn twice for a shadow.
DRAWBANNER:
INK 251
BRUSH 3
BAR 150, 504 TO 650, 594
BOX 154, 508 TO 646, 590
SET TEXT GRID OFF
FONT DMODE 2
FONT SIZE 30
FONT STYLE 1
FONT COLOR 0
GFXLOCATE 0, 513
CENTER "TREASURE FOUND!"
FONT COLOR 251
GFXLOCATE 0, 510
CENTER "TREASURE FOUND!"
FONT SIZE 14
FONT STYLE 0
FONT COLOR 255
GFXLOCATE 0, 558
CENTER "Score " + SCORE + " in " + MOVES + " moves  -  press Q"
FONT DMODE 1
BRUSH 0
SET TEXT GRID ON
RETURN
