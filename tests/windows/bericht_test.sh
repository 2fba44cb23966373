#!/usr/bin/env bash
# suelvan-bericht.exe under Wine against the Linux build on the same diaries: CSV bytes
# equal, JSON equal but for the diary's path; exit codes and messages of the usual faults.
# Usage: bericht_test.sh LINUX_SUELVAN_BERICHT WINDOWS_SUELVAN_BERICHT_EXE
set -uo pipefail
here=$(dirname "$(realpath "$0")")
linux=$(realpath "$1")
windows=$(realpath "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/windows bericht.XXXXXX")
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all
wine=/usr/lib/wine/wine64
# A folder with an umlaut and a blank: the program sees it as UTF-16, never the ANSI code page.
folder="$work/Tagebücher Öffentlich"
mkdir -p "$folder" && cd "$folder" || exit 1
source "$here/../checks.sh"
# Wine's own lines (a prefix brought up to date) are not the program's.
programs_lines() { tr -d '\r' <"$1" | grep -v '^wine: ' || true; }
"$wine" "$windows" --help >/dev/null 2>&1  # brings the prefix up to date first
without_path() { python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); r["diary"].pop("path"); print(json.dumps(r))' "$1"; }

printf '7:00 vor dem ersten Kopf\r\n\r\nDienstag, 8.12.2026\r\n14:25 !!! Landung? Tief \xfcber dem Dach\r\n22:14 ! \r\n\r\nMittwoch, 9.12.2026\r\n23:55 !! sp\xe4t\r\n0:20 ! Landung? =SUMME(A1)\r\n1:55 x;"y"\r\nBeschwerde geschickt, 9.12.2026\r\nNotiz \xe4\r\nDienstag, 31.11.2026\r\n7:30 \xef\xbc\x9d1\r\n' >diary.txt
head -c 300000 /dev/urandom >random.txt
python3 -c '
import random
random.seed(7)
days = ["%s, %d.12.2026\r\n" % (w, d) for w, d in [("Montag", 7), ("Dienstag", 8), ("Mittwoch", 9), ("Sonntag", 6)]]
out = []
for day in days * 3:
    out.append(day)
    for _ in range(20):
        out.append("%d:%02d %s Notiz \xe4\xfc\r\n" % (random.randrange(24), random.randrange(60), "!" * random.randrange(4)))
open("mixed.txt", "wb").write("".join(out).encode("cp1252"))'
for diary in diary.txt random.txt mixed.txt; do
    for args in "" "--from 2026-12-08 --to 2026-12-08" "--night 0:00-5:00"; do
        # shellcheck disable=SC2086
        "$linux" $args --csv l.csv --json l.json "$diary" 2>l.err
        # shellcheck disable=SC2086
        "$wine" "$windows" $args --csv w.csv --json w.json "$diary" 2>w.err
        check "$diary $args: CSV bytes" "$(sha256sum <l.csv)" "$(sha256sum <w.csv)"
        check "$diary $args: JSON but the path" "$(without_path l.json)" "$(without_path w.json)"
        check "$diary $args: stderr" "$(cat l.err)" "$(programs_lines w.err)"
    done
done

"$wine" "$windows" --csv - diary.txt >w.csv 2>/dev/null
check "CSV to standard output, bytes untouched" "$("$linux" --csv - diary.txt 2>/dev/null | sha256sum)" "$(sha256sum <w.csv)"
"$wine" "$windows" --csv x.csv fehlt.txt 2>w.err
check "missing diary: exit 1" 1 "$?"
check "missing diary: named" yes "$(grep -q 'Datei nicht gefunden: .*fehlt.txt' w.err && echo yes)"
"$wine" "$windows" --bogus diary.txt 2>w.err
check "bad argument: exit 2, German usage" "2 yes" "$? $(grep -q 'Aufruf:' w.err && echo yes)"
"$wine" "$windows" --pdf x.pdf diary.txt 2>w.err
check "--pdf: exit 2 and says why" "2 yes" "$? $(grep -q 'unter Windows noch nicht' w.err && echo yes)"
"$wine" "$windows" diary.txt 2>w.err
check "no output: exit 2" 2 "$?"
before=$(sha256sum <diary.txt)
"$wine" "$windows" --csv diary.txt diary.txt 2>w.err
check "output onto the diary refused" "1 yes" "$? $(grep -q 'Tagebuch selbst' w.err && echo yes)"
check "diary untouched" "$before" "$(sha256sum <diary.txt)"
printf 'alt' >kept.csv
mkdir ordner.csv
"$wine" "$windows" --csv ordner.csv diary.txt 2>w.err
check "output onto a folder: exit 1" 1 "$?"
check "no half-written file left behind" "" "$(ls | grep -E '\.[0-9]+$')"

finish
