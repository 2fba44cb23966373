#!/usr/bin/env bash
# Start-up of suelvan.exe under Wine against a bare Win32 window under Wine (the floor):
# from the launch until the window is on the screen, alternating, medians of RUNS, in a
# private X server with a warm Wine.
# Usage: bench/windows_startup.sh BUILD_WINDOWS_DIR [RUNS]
set -euo pipefail
build=$(realpath "$1")
runs=${2:-7}
work=$(mktemp -d)
export WINEDEBUG=-all WINEPREFIX="$work/wine"
n=60
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
trap '/usr/lib/wine/wineserver -k 2>/dev/null; kill $xvfb; rm -rf "$work"' EXIT
sleep 1
/usr/lib/wine/wine64 wineboot -u >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -p 2>/dev/null || true  # kept running between the runs, as on a desktop
cp "$build/suelvan.exe" "$build/bench/floor_window_windows.exe" "$work/" && : >"$work/Sülvan.txt"
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
once() {
    local start end
    start=$(date +%s.%N)
    (cd "$work" && /usr/lib/wine/wine64 "./$1" >/dev/null 2>&1 &)
    xdotool search --sync --onlyvisible --name '^S.*lvan Logger$' >/dev/null
    end=$(date +%s.%N)
    pkill -f "$1" || true
    while xdotool search --onlyvisible --name '^S.*lvan Logger$' >/dev/null 2>&1; do sleep 0.05; done
    awk -v s="$start" -v e="$end" 'BEGIN {printf "%.3f\n", e - s}'
}
ours=() floor=()
for _ in $(seq "$runs"); do
    ours+=("$(once suelvan.exe)")
    floor+=("$(once floor_window_windows.exe)")
done
echo "suelvan.exe: $(printf '%s\n' "${ours[@]}" | median)s, bare window: $(printf '%s\n' "${floor[@]}" | median)s (medians of $runs)"
ls -l "$build/suelvan.exe" "$build/suelvan-bericht.exe" | awk '{print $5, $9}'
