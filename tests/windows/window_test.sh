#!/usr/bin/env bash
# suelvan.exe, the diary window on Windows, under Wine in a private X server, clicked with
# xdotool under a faked clock; the diary compared byte for byte. Without a window manager
# Wine's keyboard focus follows the pointer: it stays inside the window while typing.
# Usage: window_test.sh PATH/TO/suelvan.exe
set -uo pipefail
here=$(dirname "$(realpath "$0")")
exe=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/windows window.XXXXXX")
folder="$work/Mein Ordner ü"
mkdir -p "$folder" && cp "$exe" "$folder/suelvan.exe"
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$work/wine}"
n=70
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
trap 'pkill -f "$folder/suelvan.exe" 2>/dev/null; /usr/lib/wine/wineserver -k 2>/dev/null; kill $xvfb; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
source "$here/../checks.sh"
diary() { od -An -c "$folder/Sülvan.txt" | tr -s ' \n' ' '; }
launch() {
    (cd "$folder" && LANG=de_DE.UTF-8 TZ=UTC faketime -f "@2026-12-08 14:30:00" /usr/lib/wine/wine64 ./suelvan.exe \
        >>"$work/program.log" 2>&1 &)
}
start() {
    launch
    WINDOW=$(timeout 60 xdotool search --sync --onlyvisible --name '^S.*lvan Logger$' | head -n 1)
    [ -n "$WINDOW" ] || { echo "the window did not appear"; cat "$work/program.log"; exit 1; }
    sleep 0.5
}
click() { xdotool mousemove --window "$WINDOW" "$1" "$2" click 1; sleep 0.3; }
# Centres of the controls, in pixels of the client area (twips / 15).
record() { click 86 83; sleep 0.5; }

: >"$folder/Sülvan.txt"
start
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
check "client area of 5325 x 5295 twips" "355x353" "${WIDTH}x${HEIGHT}"
check "caption" "Sülvan Logger" "$(xdotool getwindowname "$WINDOW")"

click 176 143                # optLautstaerke index 3
click 50 138                 # chkLandung
click 142 194                # txtNotitz
xdotool type --delay 30 "Tief über dem Dach"
click 118 235                # txtMinuten
xdotool key --delay 30 ctrl+a BackSpace 5
record
check "first entry: German header, markers, note in Windows-1252, CR LF" \
    "$(printf '\r\nDienstag, 8.12.2026\r\n14:25 !!! Landung? Tief \xfcber dem Dach\r\n' | od -An -c | tr -s ' \n' ' ')" \
    "$(diary)"
record  # the inputs were reset; the landing box stays ticked
check "second entry: the fields reset, the landing kept" \
    "$(printf '\r\nDienstag, 8.12.2026\r\n14:25 !!! Landung? Tief \xfcber dem Dach\r\n14:30 ! Landung? \r\n' | od -An -c | tr -s ' \n' ' ')" \
    "$(diary)"

# Tab in the form's order: from "Eintrag erstellen" past three options and the landing
# box to the note.
xdotool key --delay 80 Tab Tab Tab Tab Tab
xdotool type --delay 30 "per Tab"
record
check "Tab reaches the note fifth" yes "$(grep -q -a $'^14:30 ! Landung? per Tab\r$' "$folder/Sülvan.txt" && echo yes || echo no)"

click 23 21                  # cmdHide
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
check "compact mode: caption and size" "Uhrzeit 192x40" "$(xdotool getwindowname "$WINDOW") ${WIDTH}x${HEIGHT}"
click 23 21
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
check "full mode again" "Sülvan Logger 355x353" "$(xdotool getwindowname "$WINDOW") ${WIDTH}x${HEIGHT}"

# Two instances recording in turn, as fast as clicks come: every entry lands, none torn.
first=$WINDOW
launch
second=""
for _ in $(seq 300); do
    second=$(xdotool search --onlyvisible --name '^S.*lvan Logger$' | grep -v "^$first$" | head -n 1)
    [ -n "$second" ] && break
    sleep 0.2
done
xdotool windowmove "$second" 500 100
sleep 0.5
for _ in 1 2 3; do
    WINDOW=$first; click 86 83
    WINDOW=$second; click 86 83
done
sleep 1
check "two instances: six more entries, each a whole line" "4 3" \
    "$(grep -c -a $'^14:30 ! Landung? \r$' "$folder/Sülvan.txt") $(grep -c -a $'^14:30 ! \r$' "$folder/Sülvan.txt")"
WINDOW=$first

rm "$folder/Sülvan.txt"
record
message=""
for _ in $(seq 100); do
    message=$(xdotool search --onlyvisible --name '^S.*lvan Logger$' | grep -v -e "^$first$" -e "^$second$" | head -n 1)
    [ -n "$message" ] && break
    sleep 0.2
done
check "missing diary: a message box" yes "$([ -n "$message" ] && echo yes || echo no)"
check "missing diary: still missing" no "$([ -e "$folder/Sülvan.txt" ] && echo yes || echo no)"

finish
