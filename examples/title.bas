REM A title screen: fonts, sizes, colours and styles, centred and framed text,
REM a table lined up with tabs, and a message that scrolls along the bottom.
REM Palette entries 249 to 255 are red, green, yellow, blue, magenta, cyan, white.
CLS 0
BRUSH 0
REM The title, centred at the pen, in large bold letters and a shadow beneath.
FONT NAME "DejaVu Sans"
FONT SIZE 44
FONT STYLE 1
GFXLOCATE 0, 34
FONT COLOR 252
CENTER "T A R N W I C K"
GFXLOCATE 0, 30
FONT DMODE 2
FONT COLOR 251
CENTER "T A R N W I C K"
FONT DMODE 1
FONT STYLE 0
FONT SIZE 14
FONT COLOR 254
GFXLOCATE 0, 110
CENTER "a small game, written in a BASIC of its own"
REM The high scores, on the cell grid: tabs line the columns up, codes colour them.
SET TEXT GRID ON
FONT NAME "Courier"
FONT SIZE 16
SET TAB 12
REM Tab stops count from the start of each printed string, codes included: the codes go in
REM a PRINT of their own, and each row is one string.
LOCATE 8, 7
PRINT PREINK(255) + PRESTYLE(UNDERLINE)
PRINT "RANK" + TAB + "NAME" + TAB + "SCORE"
PRINT PRESTYLE(UNDERLINE)
LET R = 1
REPEAT
LOCATE 8, 8 + R
IF R = 1 THEN PRINT PREINK(251) ELSE PRINT PREINK(250)
IF R = 1 THEN LET N = "ANNA" + TAB + "12000"
IF R = 2 THEN LET N = "BORIS" + TAB + "9850"
IF R = 3 THEN LET N = "CLARA" + TAB + "7200"
IF R = 4 THEN LET N = "DMITRI" + TAB + "4125"
IF R = 5 THEN LET N = "EMMA" + TAB + "980"
PRINT STR(R) + "." + TAB + N
INC R
UNTIL R > 5
REM A framed prompt, drawn inverse: the brush colour on the font colour.
SET TEXT GRID OFF
FONT SIZE 18
FONT COLOR 249
BRUSH 255
INVERSE ON
GFXLOCATE 300, 450
BORDER " PRESS ESCAPE "
INVERSE OFF
BRUSH 0
REM The message scrolls left along the bottom line, one cell a frame.
SET TEXT GRID ON
FONT SIZE 16
FONT COLOR 253
LET M = "   welcome to the arcade  -  collect the stars, dodge the bats, beat ANNA   "
LET W = MAXCHARSWIDE - 1
LET B = MAXCHARSHIGH - 2
LET I = 1
L:
LOCATE W, B
HSCROLL L, L
PRINT MID(M, I, 1)
INC I
IF I > LEN(M) THEN LET I = 1
DISPLAY UPDATE
LET T = TICKCOUNT + 60
REPEAT
UNTIL TICKCOUNT > T
GOTO L
