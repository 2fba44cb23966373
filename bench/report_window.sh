#!/usr/bin/env bash
# The report window on a 15 MB diary (about 500,000 entries): exec to the first painted
# window with the statistics shown, against the main window's start-up, alternating, in
# Xvfb; then switching period and night rule in the window (bench/report_switch).
# Usage: bench/report_window.sh BUILD_DIR [runs]   (BUILD_DIR configured with -DSUELVAN_BENCH=ON)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/xvfb.sh"
build=$(cd "$1" && pwd)
runs=${2:-15}
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
cp "$build/suelvan" "$build/suelvan-bericht" "$work/"
"$build/bench/make_diary" 15000000 "$work/Sülvan.txt"
cat "$work/Sülvan.txt" >/dev/null
# The generated diary runs from 2001 into the 2040s: today's month holds entries.
start_x

median() { sort -n | awk '{ a[NR] = $1 } END { printf "%d\n", (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
cd "$work"
for _ in $(seq "$runs"); do
    "$build/bench/paint_probe" "Sülvan Logger" ./suelvan >>main 2>/dev/null
    "$build/bench/paint_probe" "Bericht – Sülvan.txt" ./suelvan-bericht >>report 2>/dev/null
done
main_us=$(cut -d' ' -f1 main | median)
report_us=$(cut -d' ' -f1 report | median)
echo "15 MB diary, $(grep -c '^[0-9]' Sülvan.txt) entries, this month $(grep -c -a -E "^[A-Za-z]+, [0-9]+\.$(date +%-m)\.$(date +%Y)" Sülvan.txt) days; $runs runs each, alternating; medians"
echo "exec to first painted window: report $((report_us / 1000)).$(((report_us / 100) % 10)) ms," \
     "main window $((main_us / 1000)).$(((main_us / 100) % 10)) ms," \
     "ratio $(awk -v a="$report_us" -v b="$main_us" 'BEGIN { printf "%.2f", a / b }')," \
     "peak memory $(cut -d' ' -f2 report | median) KiB"
QT_QPA_PLATFORM=offscreen "$build/bench/report_switch" "$work/Sülvan.txt"
