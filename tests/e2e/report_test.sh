#!/usr/bin/env bash
# The report window follows the diary: an entry recorded in the main window shows up in
# the report, read back from its complaint text on the X clipboard.
# Usage: report_test.sh PATH/TO/suelvan PATH/TO/suelvan-bericht
set -euo pipefail
here=$(dirname "$0")
source "$here/xvfb.sh"
command -v xclip >/dev/null || { echo "missing xclip: run scripts/test, which installs it" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/suelvan e2e.XXXXXX")
trap 'pkill -f -x -- "./suelvan-bericht" 2>/dev/null || true; stop_all; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
cp "$1" "$work/suelvan"
cp "$2" "$work/suelvan-bericht"
printf '\r\nDienstag, 8.12.2026\r\n0:40 Landung? alt\r\n' >"$work/Sülvan.txt"
printf '[General]\nName=Erika M\xc3\xbcller\n' >"$work/suelvan-bericht.ini"  # a complaint is signed
mkdir "$work/bin"

failures=0
check() {  # check DESCRIPTION EXPECTED-SUBSTRING ACTUAL
    if [[ "$3" == *"$2"* ]]; then echo "ok: $1"; else echo "FAILED: $1"; echo "  wanted: $2"; echo "  in: $3"; failures=$((failures + 1)); fi
}
complaint() {  # presses "Beschwerdetext kopieren" in the report window, prints the clipboard
    xdotool windowfocus --sync "$REPORT" key --window "$REPORT" alt+b
    sleep 0.5
    xclip -selection clipboard -o 2>/dev/null || true
}

start_x
(cd "$work" && TZ=UTC LANG=de_DE.UTF-8 FAKETIME_DONT_FAKE_MONOTONIC=1 \
    faketime -f "@2026-12-08 14:20:00" ./suelvan-bericht >"$work/report.log" 2>&1) &
REPORT_PID=$!
REPORT=$(timeout 20 xdotool search --sync --onlyvisible --name '^Bericht ' | head -n 1)
[ -n "$REPORT" ] || { echo "the report window did not appear" >&2; cat "$work/report.log" >&2; exit 1; }
before=$(complaint)
check "report shows the diary's entry" "- 8.12.2026, 0:40 Uhr: störend, Landung – „alt“" "$before"
check "report counts one event" "Ich habe 1 Lärmereignis notiert" "$before"

# Loudness 3, landing, a note, five minutes ago.
start_program "$work" "2026-12-08 14:30:00"
record_loud_landing "Tief" 5
wait_for '[ "$(wc -l <"$work/Sülvan.txt")" -eq 4 ]'
sleep 1  # the report follows within a second
after=$(complaint)
check "recorded entry appears in the report" "- 8.12.2026, 14:25 Uhr: extrem laut, Fensterscheiben vibrieren, Landung – „Tief“" "$after"
check "report counts both events" "Ich habe 2 Lärmereignisse notiert" "$after"

[ "$failures" -eq 0 ] || exit 1
