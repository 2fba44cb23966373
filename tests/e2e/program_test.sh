#!/usr/bin/env bash
# The real program in a real X server, driven like a user, the log compared byte for byte.
# Usage: program_test.sh PATH/TO/suelvan
set -euo pipefail
here=$(dirname "$0")
source "$here/xvfb.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/suelvan e2e.XXXXXX")
trap 'stop_all; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
cp "$1" "$work/suelvan"
: >"$work/Sülvan.txt"
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

passes=0
failures=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
        passes=$((passes + 1))
    else
        echo "FAILED: $1"; echo "  expected: $(printf %s "$2" | od -c | head -n 5)"; echo "  actual:   $(printf %s "$3" | od -c | head -n 5)"
        failures=$((failures + 1))
    fi
}
log() { od -An -c "$work/Sülvan.txt"; }

start_x
start_program "$work" "2026-12-08 14:30:00"
check "window caption" "Sülvan Logger" "$(xdotool getwindowname "$WINDOW")"
check "window size" "355x353" "${WIDTH}x${HEIGHT}"

# Loudness 3, landing, a note with an umlaut, five minutes ago.
record_loud_landing "Tief über dem Dach" 5
wait_for '[ -s "$work/Sülvan.txt" ]'
expected=$(printf '\r\nDienstag, 8.12.2026\r\n14:25 !!! Landung? Tief \xfcber dem Dach\r\n' | od -An -c)
check "first entry opens the day" "$expected" "$(log)"

# The inputs were reset, the landing box kept: a second press writes one more line.
click $((42 + 44)) $((58 + 25))
wait_for '[ "$(wc -l <"$work/Sülvan.txt")" -eq 4 ]'
expected=$(printf '\r\nDienstag, 8.12.2026\r\n14:25 !!! Landung? Tief \xfcber dem Dach\r\n14:30 ! Landung? \r\n' | od -An -c)
check "second entry adds one line" "$expected" "$(log)"

# Enter in the note box records nothing.
click $((42 + 100)) $((182 + 12))
xdotool key Return
sleep 0.5
check "Enter records nothing" "$expected" "$(log)"

# The two launches reach the desktop's opener with exactly one argument each.
click $((43 + 44)) $((275 + 25))
click $((149 + 60)) $((293 + 10))
wait_for '[ "$(wc -l <"$work/opened" 2>/dev/null || echo 0)" -ge 2 ]'
check "opened log and complaint page" "$work/Sülvan.txt
http://www.bi-tarnwiel.de/tarnwiel/#Beschwerdemail" "$(cat "$work/opened")"

# Compact clock and back.
click $((16 + 7)) $((13 + 8))
wait_for '[ "$(xdotool getwindowname "$WINDOW")" == "Uhrzeit" ]' 5 || true
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
check "compact mode" "Uhrzeit 192x40" "$(xdotool getwindowname "$WINDOW") ${WIDTH}x${HEIGHT}"
click $((16 + 7)) $((13 + 8))
wait_for '[ "$(xdotool getwindowname "$WINDOW")" == "Sülvan Logger" ]' 5 || true
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
check "full mode" "Sülvan Logger 355x353" "$(xdotool getwindowname "$WINDOW") ${WIDTH}x${HEIGHT}"

# With the log gone, recording shows one message box and creates nothing.
mv "$work/Sülvan.txt" "$work/kept.txt"
click $((42 + 44)) $((58 + 25))
wait_for '[ "$(xdotool search --onlyvisible --name "^S.*lvan Logger$" | wc -l)" -ge 2 ]' 10 || true
check "failure message shown" "2" "$(xdotool search --onlyvisible --name '^S.*lvan Logger$' | wc -l)"
# The box has the keyboard focus and its OK button is the default one.
xdotool key Return
sleep 0.5
check "message closed with OK" "1" "$(xdotool search --onlyvisible --name '^S.*lvan Logger$' | wc -l)"
check "missing log stays missing" "no" "$([ -e "$work/Sülvan.txt" ] && echo yes || echo no)"

# A folder whose name is no UTF-8 (a Latin-1 ü), started from another folder that holds a
# diary of its own: the entry goes beside the program, and the editor gets that file.
stop_program
latin=$work/a$'\xfc'
mkdir -p "$latin" "$work/b"
cp "$work/suelvan" "$latin/"
: >"$latin/Sülvan.txt"
: >"$work/b/Sülvan.txt"
rm -f "$work/opened"
BIN_DIR="$work/bin" start_program "$latin" "2026-12-08 14:30:00" "$work/b"
click $((42 + 44)) $((58 + 25))
wait_for '[ -s "$latin/Sülvan.txt" ]' || true
check "entry beside a program in a non-UTF-8 folder" \
    "$(printf '\r\nDienstag, 8.12.2026\r\n14:30 ! \r\n' | od -An -c)" "$(od -An -c "$latin/Sülvan.txt")"
check "nothing into the current folder's diary" "0" "$(stat -c %s "$work/b/Sülvan.txt")"
click $((43 + 44)) $((275 + 25))
wait_for '[ -s "$work/opened" ]' || true
check "the editor gets that same file" "file://${work// /%20}/a%FC/S%C3%BClvan.txt" "$(cat "$work/opened" 2>/dev/null)"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
