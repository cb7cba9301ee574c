REM A failed argument passes on the evaluator's message, code and token.
OUTPUTDEBUG STRTODATE(1 AND 2)
