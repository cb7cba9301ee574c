REM A name without a colon is no label.
nowhere
GOTO Nowhere
