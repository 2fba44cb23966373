#!/usr/bin/env bash
# Takes docs/report-window.png and docs/report-page.png: the report window in Xvfb over a
# month of sample entries with a night chosen in its table, and the PDF's entry page.
# Needs imagemagick besides what scripts/test installs.
# Usage: docs/report_screenshots.sh [build/suelvan-bericht]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/xvfb.sh"
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
cp "${1:-$root/build/suelvan-bericht}" "$work/suelvan-bericht"
python3 - "$work/Sülvan.txt" <<'PY'
import datetime, random, sys
random.seed(7)
names = ["Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"]
notes = ["", "", "Tief über dem Dach", "aufgewacht", "Fenster vibrieren", "Frachtmaschine", "zwei kurz nacheinander"]
out = []
for d in range(1, 11):
    day = datetime.date(2026, 12, d)
    out.append("\r\n%s, %d.12.2026\r\n" % (names[day.weekday()], d))
    times = sorted(random.sample(range(0, 24 * 60), random.randint(4, 12)))
    for t in times:
        if t > 9 * 60 + 30 and d == 10:
            continue
        marks = random.choice(["", " !", " !!", " !!!"])
        landing = " Landung?" if random.random() < 0.4 else ""
        out.append("%d:%02d%s%s %s\r\n" % (t // 60, t % 60, marks, landing, random.choice(notes)))
open(sys.argv[1], "wb").write("".join(out).encode("cp1252"))
PY
printf '[General]\nName=Erika M\xc3\xbcller\nAnschrift="Lindenweg 3\\n12345 S\xc3\xbclvan"\nStelle=Fluglärmschutzbeauftragte\nEmpfaenger=fluglaerm@example.org\n' \
    >"$work/suelvan-bericht.ini"
start_x
(cd "$work" && TZ=UTC LANG=de_DE.UTF-8 FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f "@2026-12-10 09:30:00" \
    ./suelvan-bericht >/dev/null 2>&1) &
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Bericht ' | head -n 1)
xdotool windowsize --sync "$window" 1100 760
sleep 1
# A night chosen in its table: a click on its row.
xdotool mousemove --window "$window" "${NIGHT_X:-60}" "${NIGHT_Y:-494}" click 1
sleep 0.5
import -window "$window" "$root/docs/report-window.png"
(cd "$work" && TZ=UTC faketime -f "@2026-12-10 09:30:00" ./suelvan-bericht --pdf r.pdf \
    --name "Erika Müller" --address $'Lindenweg 3\n12345 Sülvan' Sülvan.txt 2>/dev/null)
pdftoppm -r 70 -f 1 -l 1 -png "$work/r.pdf" "$work/page"
cp "$work"/page*.png "$root/docs/report-page.png"
echo "wrote docs/report-window.png and docs/report-page.png"
