#!/usr/bin/env bash
# Time from exec to the first painted window, and peak memory, of the program and of a
# bare Qt window with one label (the toolkit's floor), alternating, in Xvfb.
# Usage: bench/startup.sh BUILD_DIR [runs]   (BUILD_DIR configured with -DSUELVAN_BENCH=ON)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/xvfb.sh"
build=$(cd "$1" && pwd)
runs=${2:-20}
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
cp "$build/suelvan" "$build/bench/floor_window" "$work/"
: >"$work/Sülvan.txt"
start_x

median() { sort -n | awk '{ a[NR] = $1 } END { printf "%d\n", (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

cd "$work"
for _ in $(seq "$runs"); do
    "$build/bench/paint_probe" "Floor" ./floor_window >>floor 2>/dev/null
    "$build/bench/paint_probe" "Sülvan Logger" ./suelvan >>program 2>/dev/null
done
floor_us=$(cut -d' ' -f1 floor | median)
program_us=$(cut -d' ' -f1 program | median)
floor_kib=$(cut -d' ' -f2 floor | median)
program_kib=$(cut -d' ' -f2 program | median)
echo "runs: $runs each, alternating; medians"
echo "exec to first painted window: program $((program_us / 1000)).$(((program_us / 100) % 10)) ms," \
     "floor $((floor_us / 1000)).$(((floor_us / 100) % 10)) ms," \
     "ratio $(awk -v a="$program_us" -v b="$floor_us" 'BEGIN { printf "%.2f", a / b }')"
echo "peak memory (VmHWM): program $program_kib KiB, floor $floor_kib KiB," \
     "difference $(awk -v a="$program_kib" -v b="$floor_kib" 'BEGIN { printf "%.2f", (a - b) / 1024 }') MiB"
