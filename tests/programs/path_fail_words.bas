REM A path file with a word where a number belongs: the run does not start.
OUTPUTDEBUG "never shown"
