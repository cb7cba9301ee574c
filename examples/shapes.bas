REM Every drawing primitive on one screen. Press Escape or close the window to stop.
CLS 0
INK 255
TEXT 10, 10, "Tarnwick - every drawing primitive"

REM Points and lines: a line does not draw its end point.
INK 251
FOR X = 20 TO 200 STEP 4
  PLOT X, 50
NEXT X
INK 249
LINE 20, 60 TO 200, 60
GFXLOCATE 20, 70
LINE TO 200, 90
LINE TO 20, 110

REM The five line styles of SET LINE.
INK 255
FOR S = 0 TO 4
  SET LINE S
  LET Y = 130 + S * 10
  LINE 20, Y TO 200, Y
NEXT S
SET LINE 0

REM Boxes, bars, circles and ellipses.
INK 254
BOX 240, 40 TO 340, 120
INK 255
BRUSH 250
BAR 360, 40 TO 460, 120
INK 253
CIRCLE 540, 80, 40
ELLIPSE 680, 80, 80, 30

REM Polylines and polygons (a star filled by the alternate rule).
INK 251
POLYLINE 20, 300 TO 60, 200 TO 100, 300 TO 140, 200 TO 180, 300
INK 255
BRUSH 252
POLYGON 300, 200 TO 340, 320 TO 240, 240 TO 360, 240 TO 260, 320

REM Arcs and pies go counter-clockwise from the first radial to the second.
INK 254
ARC 420, 200, 520, 300, 520, 250, 470, 200
BRUSH 249
PIE 560, 200, 660, 300, 660, 250, 610, 200

REM PAINT fills the area of the ink's colour around a point, then leaves a white brush.
INK 250
BOX 680, 200 TO 780, 300
INK 0
PAINT 700, 220, 0
BRUSH 0

REM Text, and a second screen stacked in front.
INK 255
TEXT 20, 360, "TEXT writes at any point; the graphics cursor ends after it."
SCREEN OPEN 1, 300, 150
SCREEN OFFSET 1, 480, 400
INK 251
BOX 0, 0 TO 299, 149
TEXT 20, 60, "Screen 1, in front of screen 0"
DISPLAY UPDATE

REM Wait for Escape (or the window's close button).
DO
LOOP
