#!/usr/bin/env bash
# The desk clock's cost: CPU time the idle window uses over 60 s in Xvfb, and how soon a
# new minute shows in the clock. Usage: bench/idle_cpu.sh [build/suelvan] [seconds]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/xvfb.sh"
command -v import >/dev/null || { echo "needs imagemagick (import)" >&2; exit 1; }
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
cp "${1:-$root/build/suelvan}" "$work/suelvan"
: >"$work/Sülvan.txt"
seconds=${2:-60}
ticks=$(getconf CLK_TCK)

cpu_ms() { awk -v t="$ticks" '{ print ($14 + $15) * 1000 / t }' "/proc/$1/stat"; }
clock_pixels() { import -window root -crop 170x22+$((X + 42))+$((Y + 13)) rgb:- 2>/dev/null | md5sum; }

start_x
# The faked clock starts 2 s before a minute ends.
started=$(date +%s%N)
start_program "$work" "2026-12-08 14:30:58"
pid=$(xdotool getwindowpid "$WINDOW")

before=$(clock_pixels)
changed=""
while [ $(( ($(date +%s%N) - started) / 1000000 )) -lt 5000 ]; do
    if [ "$(clock_pixels)" != "$before" ]; then changed=$(( ($(date +%s%N) - started) / 1000000 )); break; fi
    sleep 0.02
done
echo "new minute shown ${changed:-never} ms after start; the minute began 2000 ms after start (±startup)"

sleep 1
start_cpu=$(cpu_ms "$pid")
sleep "$seconds"
end_cpu=$(cpu_ms "$pid")
echo "idle CPU time over ${seconds} s: $(awk -v a="$start_cpu" -v b="$end_cpu" 'BEGIN { print b - a }') ms"
