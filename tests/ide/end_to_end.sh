#!/usr/bin/env bash
# The environment end to end, under Xvfb with xdotool: start it with a copy of the example game's
# project and fresh settings (through the tarnwick command, which replaces itself with the
# environment's program, tarnwick-environment, beside it), get past the logo and the first-run
# pages and the tips, type into the editor, save with Ctrl+S and read the saved project back, run
# the project with F9 for a moment, stop it with Escape, leave the console with Tab, and exit
# with Alt+F4.
#
#   end_to_end.sh TARNWICK GAME.twp
#
# It starts a virtual X server of its own on a free display (Xvfb picks it and tells it), one
# that does not reset when its last client leaves: between the check that it answers and the
# environment's start there is no client, and a server resetting then refuses connections.
set -euo pipefail

tarnwick="$1"
project_source="$2"
work="$(mktemp -d)"
app=""
server=""
cleanup() {
    if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app"; fi
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "end_to_end: $* (display ${DISPLAY:-none})" >&2
    if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then echo "(it is still running)" >&2; fi
    echo "--- what the environment wrote:" >&2
    cat "$work/app.log" >&2 || true
    echo "--- what the X server wrote:" >&2
    cat "$work/xvfb.log" >&2 || true
    exit 1
}

# The newest window whose name starts with $1, waiting up to 30 s for it (a loaded machine
# starts slowly).
window() {
    local found=""
    for _ in $(seq 300); do
        for w in $(xdotool search --class "" 2>/dev/null); do
            case "$(xdotool getwindowname "$w" 2>/dev/null)" in
                "$1"*) found="$w" ;;
            esac
        done
        if [ -n "$found" ]; then echo "$found"; return 0; fi
        sleep 0.1
    done
    fail "no window named \"$1\""
}

# Whether a window whose name starts with $1 is mapped.
shown() {
    for w in $(xdotool search --onlyvisible --class "" 2>/dev/null); do
        case "$(xdotool getwindowname "$w" 2>/dev/null)" in "$1"*) return 0 ;; esac
    done
    return 1
}

# Keys for a window: it takes the focus first (there is no window manager). The keys go through
# XTEST, as a keyboard's would: chained to the window, xdotool would send the key's release to
# the window itself, and when the press closes that window the release is lost and the server
# holds the key down from then on.
keys() {
    xdotool windowfocus --sync "$1"
    shift
    xdotool key --delay 50 "$@"
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "the virtual X server did not start"
export DISPLAY=":$(head -1 "$work/display")"
for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "the X server on $DISPLAY does not answer"

cp "$project_source" "$work/game.twp"
export XDG_CONFIG_HOME="$work/config"
"$tarnwick" "$work/game.twp" >"$work/app.log" 2>&1 &
app=$!

# The logo closes on a click; the main window is usable afterwards.
main="$(window "Tarnwick - Alpha")"
# The command handed over to the environment's program in the same process.
case "$(readlink "/proc/$app/exe")" in
    */tarnwick-environment) ;;
    *) fail "the environment runs as $(readlink "/proc/$app/exe"), not as tarnwick-environment" ;;
esac
sleep 1
xdotool mousemove 640 150 click 1
# The two first-run pages, then the tips.
for page in welcome examples; do
    sleep 0.5
    box="$(xdotool search --onlyvisible --name "^Tarnwick - Alpha" | tail -1)"
    [ "$box" != "$main" ] || fail "the $page page is not shown"
    keys "$box" Return
done
keys "$(window "Tips of the century")" Escape
sleep 0.5
shown "Tips of the century" && fail "the tips window is still there"
[ -f "$XDG_CONFIG_HOME/Tarnwick/Tarnwick.conf" ] || fail "the first-run flag was not kept"

# Type a line at the top of the program and save with Ctrl+S.
editor="$(window "Project : game.twp")"
keys "$editor" ctrl+Home
xdotool type --delay 20 "REM typed by the test"
xdotool key Return ctrl+s
sleep 1
"$tarnwick" project extract "$work/game.twp" 0 "$work/source.bas"
head -1 "$work/source.bas" | grep -q "^REM typed by the test" || fail "the saved source lacks the line"
grep -q "STAR PATROL" "$work/source.bas" || fail "the saved source lost the program"

# Run it for a moment, stop it with Escape (the console opens) and leave the console with Tab.
keys "$editor" F9
display="$(window "Tarnwick - game.twp")"
sleep 2
kill -0 "$app" || fail "the environment ended during the run"
keys "$display" Escape
sleep 1
shown "Tarnwick - game.twp" || fail "Escape ended the run instead of opening the console"
xdotool key Tab
for _ in $(seq 50); do
    shown "Tarnwick - game.twp" || break
    sleep 0.1
done
shown "Tarnwick - game.twp" && fail "the run did not end after Escape and Tab"

# Exit: the project was saved, so no question is asked.
keys "$main" alt+F4
for _ in $(seq 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "the environment did not exit on Alt+F4"
wait "$app" || fail "the environment exited with status $?"
app=""
echo "end_to_end: passed"
