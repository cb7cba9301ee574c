#!/usr/bin/env bash
# Makes the Star Patrol project file from game.bas and the sprites and paths beside it.
#
#   make_project.sh TARNWICK OUT.twp
#
# TARNWICK is the tarnwick command; OUT.twp is replaced when it exists. The paths get the IDs
# that game.bas names in its SPRITE PATH ADD lines.
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 TARNWICK OUT.twp" >&2
    exit 64
fi
tarnwick=$1
out=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

mkdir -p "$(dirname "$out")"
"$tarnwick" project new "$out" --source "$here/game.bas" --force
slot=0  # slot 0 holds the program; each file added takes the next slot
for sprite in ship invader bullet ufo satellite comet boom; do
    "$tarnwick" project add "$out" sprite "$here/$sprite.spr"
    slot=$((slot + 1))
done
# A new path's ID is one more than the largest so far, so each wanted ID is free when it is set.
for entry in mothership:10 orbit:20 comet:30; do
    "$tarnwick" project add "$out" path "$here/${entry%%:*}.pth"
    slot=$((slot + 1))
    "$tarnwick" project set "$out" "$slot" ID "${entry##*:}"
done
