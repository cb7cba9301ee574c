REM The inner DO takes the only LOOP.
DO
DO
LOOP
