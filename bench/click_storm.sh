#!/usr/bin/env bash
# Whether the window drops a click under load: one instance in Xvfb, 750 clicks on
# "Eintrag erstellen" one xdotool call at a time, then 750 more 1 ms apart in one call;
# every click must add one line. (Several instances driven by several xdotool processes
# at once share one X pointer, so a click can land in another window: that measures the
# driver, not the program.)
# Usage: bench/click_storm.sh [build/suelvan]
set -euo pipefail
source "$(dirname "$0")/../tests/e2e/xvfb.sh"
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
cp "${1:-build/suelvan}" "$work/suelvan"
: >"$work/Sülvan.txt"
start_x
start_program "$work" "2026-12-08 14:30:00"
xdotool mousemove $((X + 86)) $((Y + 83)) sleep 0.2
for _ in $(seq 750); do xdotool click 1; done
sleep 2
echo "750 separate clicks: $(grep -c '^14:' "$work/Sülvan.txt") entries"
xdotool click --repeat 750 --delay 1 1
sleep 5
echo "750 more, 1 ms apart: $(grep -c '^14:' "$work/Sülvan.txt") entries in all"
