REM Words that are no command names run without effect.
A = 1
BELL
bank 1, 2
my_label:
ENDIF
END
OUTPUTDEBUG A
let a = 5
OutputDebug a
STOP
