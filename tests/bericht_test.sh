#!/usr/bin/env bash
# suelvan-bericht from outside: exit codes, messages, every output byte, the diary untouched.
# Usage: bericht_test.sh PATH/TO/suelvan-bericht
set -uo pipefail
here=$(dirname "$(realpath "$0")")
program=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/bericht test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$work/run" && mkdir -m 700 "$work/run"
source "$here/checks.sh"
run() {  # run ARGS...: sets rc, out, err
    timeout 20 "$program" "$@" >"$work/out" 2>"$work/err"
    rc=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
}

long_note="Sehr lange Notiz über den Lärm: $(printf 'Düsentriebwerk%.0s ' $(seq 60))Ende"
printf '7:00 vor dem ersten Kopf\r\n\r\nDienstag, 8.12.2026\r\n14:25 !!! Landung? Tief \xfcber dem Dach\r\n22:14 ! \r\n\r\nMittwoch, 9.12.2026\r\n23:55 !! sp\xe4t\r\n0:20 ! Landung? =SUMME(A1)\r\n1:55 x;"y"\r\nBeschwerde geschickt, 9.12.2026\r\n7:30 %s\r\n' \
    "$long_note" >diary.txt
touch -d '2026-12-09 07:31' diary.txt
before_sum=$(sha256sum diary.txt)
before_time=$(stat -c %Y diary.txt)

# Usage and bad arguments.
run --help
check "--help exits 0" 0 "$rc"
contains "--help is German, on standard output" "Aufruf:" "$out"
DISPLAY='' WAYLAND_DISPLAY='' QT_QPA_PLATFORM='' run diary.txt
check "no output option and no display: exit 1" 1 "$rc"
contains "no output option and no display: says why" "Ohne Bildschirm kein Fenster" "$err"
while IFS='|' read -r description args message; do
    # shellcheck disable=SC2086
    eval "run $args"
    check "$description: exit 2" 2 "$rc"
    contains "$description: message" "$message" "$err"
    contains "$description: usage on standard error" "Aufruf:" "$err"
done <<'CASES'
unknown option|--csv - --bogus diary.txt|Unbekannte Option
second diary|--csv - diary.txt diary.txt|Nur ein Tagebuch
empty file name|--csv '' diary.txt|Leerer Dateiname für --csv
invalid date|--from 2026-02-30 --csv - diary.txt|Kein gültiges Datum für --from: „2026-02-30“
from after to|--from 2026-12-10 --to 2026-12-09 --csv - diary.txt|endet vor seinem Beginn
malformed night|--night 22-6 --csv - diary.txt|Keine gültige Nachtzeit: „22-6“
empty night|--night=22:00-22:00 --csv - diary.txt|Keine gültige Nachtzeit
two outputs to standard output|--csv - --json - diary.txt|Nur eine Ausgabe
CASES

# The diary missing or of the wrong kind.
run --csv - "$work/fehlt.txt"
check "missing diary: exit 1" 1 "$rc"
contains "missing diary: names the full path" "Datei nicht gefunden: $work/fehlt.txt" "$err"
mkdir ordner.txt
run --csv - ordner.txt
check "directory as diary: exit 1" "1" "$rc"
contains "directory as diary: message" "Ordner" "$err"
mkfifo fifo.txt
run --json - fifo.txt
check "FIFO as diary fails at once" "1" "$rc"

# CSV, byte for byte.
run --csv - diary.txt
check "CSV: exit 0" 0 "$rc"
expected=$(printf '\xef\xbb\xbfDatum;Wochentag;Uhrzeit;Nacht;Stufe;Lautst\xc3\xa4rke;Landung;Notiz;Zeile\r\n2026-12-08;Dienstag;14:25;;3;Extrem laut - Fensterscheiben vibrieren!!!;ja;Tief \xc3\xbcber dem Dach;4\r\n2026-12-08;Dienstag;22:14;2026-12-08;1;trotz geschlossener Fenster h\xc3\xb6rbar!;nein;;5\r\n2026-12-08;Dienstag;23:55;2026-12-08;2;dr\xc3\xb6hnend/lang anhaltend!!;nein;sp\xc3\xa4t;8\r\n2026-12-09;Mittwoch;00:20;2026-12-08;1;trotz geschlossener Fenster h\xc3\xb6rbar!;ja;'"'"'=SUMME(A1);9\r\n2026-12-09;Mittwoch;01:55;2026-12-08;0;st\xc3\xb6rend;nein;"x;""y""";10\r\n2026-12-09;Mittwoch;07:30;;0;st\xc3\xb6rend;nein;%s;12\r\n' "$long_note" | od -An -c)
check "CSV bytes" "$expected" "$(od -An -c "$work/out")"
run --from 2026-12-09 --to=2026-12-09 --night 0:00-5:00 --csv - diary.txt
check "CSV of a period under another night rule" "$(printf '2026-12-09;Mittwoch;00:20;2026-12-08;1\n2026-12-09;Mittwoch;01:55;2026-12-08;0')" \
    "$(tail -n +2 "$work/out" | head -n 2 | cut -d';' -f1-5)"

# JSON, compared parsed.
run --json - diary.txt
check "JSON: exit 0" 0 "$rc"
summary=$(python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))
print(r["entries"], r["night_entries"], r["landings"], r["levels"], sum(r["hours"]), r["period"], r["night"],
      [(n["night"], n["entries"], n["first"], n["last"]) for n in r["nights"]],
      r["undated"], r["unrecognised"]["count"], r["unrecognised"]["lines"][0]["line"], r["diary"]["bytes"],
      sorted(r.keys()) == sorted(["diary", "period", "night", "entries", "night_entries", "landings", "levels",
                                  "hours", "days", "nights", "undated", "unrecognised"]))
print(r["diary"]["sha256"], r["diary"]["path"])' "$work/out")
check "JSON counts" "6 4 2 [2, 2, 1, 1] 6 {'from': '2026-12-08', 'to': '2026-12-09'} {'from': '22:00', 'to': '06:00'} [('2026-12-08', 4, '22:14', '01:55')] {'count': 1, 'lines': [1]} 1 11 $(stat -c %s diary.txt) True
$(sha256sum diary.txt | cut -d' ' -f1) $work/diary.txt" "$summary"
: >empty.txt
run --json - empty.txt
check "empty diary: a valid report with no period" "0 None" "$rc $(python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); print(r["period"]["from"])' "$work/out")"

# Outputs: never the diary, whole or not at all.
run --csv diary.txt diary.txt
check "output onto the diary refused" 1 "$rc"
contains "output onto the diary: message" "wäre das Tagebuch selbst" "$err"
ln -s diary.txt link.txt
run --json link.txt diary.txt
check "output onto the diary through a link refused" 1 "$rc"
timeout 20 "$program" --csv - diary.txt >>diary.txt 2>/dev/null
check "standard output into the diary refused" 1 "$?"
printf 'alt' >kept.csv
(trap '' XFSZ; ulimit -f 1; exec timeout 20 "$program" --csv kept.csv --pdf kept.pdf diary.txt) 2>"$work/err"
check "output over the size limit fails" 1 "$?"
check "failed output keeps the old file" "alt" "$(cat kept.csv)"
check "no partial files left" "" "$(ls | grep -v -e '^diary.txt$' -e '^kept.csv$' -e '^ordner.txt$' -e '^fifo.txt$' -e '^empty.txt$' -e '^link.txt$' -e '^run$' -e '^out$' -e '^err$')"
run --csv /dev/null --json r.json diary.txt
check "several outputs, /dev/null among them" "0 yes" "$rc $([ -c /dev/null ] && [ -s r.json ] && echo yes)"
mkfifo out.fifo
run --csv out.fifo diary.txt
check "a FIFO without a reader fails at once" 1 "$rc"

# The PDF: real text, embedded fonts, page numbers, every note.
run --pdf report.pdf --name "Erika Mustermann" --address "Hauptstraße 1, 12345 Tarnwiel" diary.txt
check "PDF: exit 0" 0 "$rc"
text=$(pdftotext -enc UTF-8 report.pdf - 2>/dev/null | tr -d '\f')
pages=$(pdfinfo report.pdf | awk '/^Pages:/ {print $2}')
contains "PDF title" "Fluglärm-Tagebuch" "$text"
contains "PDF name" "Erika Mustermann" "$text"
contains "PDF address" "Hauptstraße 1, 12345 Tarnwiel" "$text"
contains "PDF period" "Zeitraum: 8.12.2026 – 9.12.2026" "$text"
contains "PDF night rule" "Nachtzeit: 22:00–6:00 Uhr" "$text"
contains "PDF night count names the night rule" "davon in der Nachtzeit 22:00–6:00 Uhr: 4" "$text"
contains "PDF night table" "Nacht vom 8./9.12.2026" "$text"
contains "PDF page numbers" "Seite $pages von $pages" "$text"
contains "PDF declaration" "Ich versichere, die aufgeführten Lärmereignisse selbst wahrgenommen und zeitnah notiert zu haben." "$(tr '\n' ' ' <<<"$text" | tr -s ' ')"
contains "PDF footer: SHA-256" "$(sha256sum diary.txt | cut -d' ' -f1)" "$text"
# A note may run over a page, where the table's header comes again.
flat=$(grep -v '^Seite [0-9]* von [0-9]*$' <<<"$text" | tr '\n' ' ' | tr -s ' ' | sed 's/Datum Uhrzeit Lautstärke Landung Notiz //g')
for note in "Tief über dem Dach" "spät" "=SUMME(A1)" 'x;"y"' "$long_note"; do
    contains "PDF note complete: ${note:0:30}" "$note" "$flat"
done
check "PDF fonts all embedded" "" "$(pdffonts report.pdf | tail -n +3 | awk '$(NF-4) != "yes"')"

# Bad input: random bytes, and a line of 200 MB without a line break, read in bounded memory.
head -c 1000000 /dev/urandom >random.txt
run --json - --csv /dev/null random.txt
check "random bytes: a report, exit 0" 0 "$rc"
head -c 200000000 /dev/zero | tr '\0' 'x' >long.txt
peak=$(python3 -c '
import resource, subprocess, sys
subprocess.run([sys.argv[1], "--json", "/dev/null", sys.argv[2]], check=True, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024)' "$program" long.txt)
check "a 200 MB line is read in bounded memory" yes "$([ "${peak:-999}" -lt 120 ] && echo yes || echo "no: ${peak} MB")"
rm -f long.txt

# An output never replaces the diary, also through /proc/self/fd of the diary as opened.
refused=0
for fd in 3 4 5 6 7; do
    for outputs in "--csv /proc/self/fd/$fd" "--json /proc/self/fd/$fd --csv x.csv"; do
        # shellcheck disable=SC2086
        run $outputs diary.txt
        if [ "$rc" -eq 1 ] && [[ "$err" == *"wäre das Tagebuch selbst"* ]]; then
            refused=$((refused + 1))
            check "refused through /proc/self/fd/$fd: nothing written" "no" "$([ -e x.csv ] && echo yes || echo no)"
        fi
        rm -f x.csv
        check "diary intact after --csv /proc/self/fd/$fd" "$before_sum" "$(sha256sum diary.txt)"
    done
done
check "the diary's own descriptor refused as an output" yes "$([ "$refused" -ge 2 ] && echo yes || echo no)"

# Unrecognised lines keep every character, as a whole line is UTF-8 or Windows-1252; a
# byte-order mark inside the file stays in its line; a date that does not exist counts
# its entries on no day.
printf 'Notiz von Hand \xe4\r\n\xa0\r\n\xa7d\r\nMontag, 1.1.2026 \xa0\r\nMontag, 30.11.2026\r\n8:00 a\r\n\xef\xbb\xbf10:05 ! b\r\nDienstag, 31.11.2026\r\n9:00 b\r\nMittwoch, 2.12.2026\r\n10:00 c\r\n' >odd.txt
run --json - odd.txt
check "odd lines: exit 0" 0 "$rc"
check "odd lines: texts and counts" "['Notiz von Hand ä', '\xa0', '§d', 'Montag, 1.1.2026 \xa0', '\ufeff10:05 ! b', 'Dienstag, 31.11.2026'] [9] 2 ['2026-11-30', '2026-12-02']" \
    "$(python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); print([l["text"] for l in r["unrecognised"]["lines"]], r["undated"]["lines"], r["entries"], [d["date"] for d in r["days"]])' "$work/out")"
check "a run that skipped lines says so" "suelvan-bericht: 7 Zeilen nicht gezählt (Zeilen 1, 2, 3, 4, 7, …); --json listet sie auf" "$err"
printf 'Montag, 30.11.2026\r\n8:00 a\r\n' >clean.txt
run --json /dev/null clean.txt
check "a run that counted every line is silent" "0 " "$rc $err"

# Headers in the desktop's own weekday names, as the diary window writes them.
printf 'Dydd Mercher, 9.12.2026\r\n8:00 a\r\n' >welsh.txt
LC_ALL=cy_GB.UTF-8 run --json - welsh.txt
check "Welsh header read back" "1 []" "$(python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); print(r["entries"], r["unrecognised"]["lines"])' "$work/out")"

# Paths are the system's bytes, UTF-8 or not; an empty name is a bad argument; a missing
# diary is named by its absolute path.
mkdir "lat$(printf '\xfc')dir" && cp diary.txt "lat$(printf '\xfc')dir/d.txt"
run --csv "out$(printf '\xe4').csv" "lat$(printf '\xfc')dir/d.txt"
check "a folder that is no UTF-8: read, and an output named in its bytes" "0 yes" \
    "$rc $([ -s "out$(printf '\xe4').csv" ] && echo yes || echo no)"
rm -rf "lat$(printf '\xfc')dir" "out$(printf '\xe4').csv"
run --json x.json ""
check "empty diary name: exit 2" 2 "$rc"
contains "empty diary name: usage" "Aufruf:" "$err"
run --csv - fehlt.txt
contains "missing diary given relative: named absolute" "Datei nicht gefunden: $work/fehlt.txt" "$err"
run --help
check "help without a word of Qt's English" "" "$(grep -E 'Displays|help on|Usage|Options:|Arguments:' <<<"$out")"

# Causes in German; a display named but not there.
run --csv /dev/full diary.txt
contains "a full disk named in German" "kein Platz mehr auf dem Datenträger" "$err"
DISPLAY=:99 run diary.txt
check "a stale display: exit 1" 1 "$rc"
contains "a stale display: German" "antwortet nicht" "$err"

# The PDF carries its fonts; a note too long to print fails instead of vanishing.
mkdir -p "$work/nofonts" && printf '<?xml version="1.0"?>\n<fontconfig><cachedir>%s/nofonts/cache</cachedir></fontconfig>\n' "$work" >"$work/nofonts/fonts.conf"
FONTCONFIG_FILE="$work/nofonts/fonts.conf" run --pdf bare.pdf diary.txt
check "PDF on a machine without fonts: exit 0" 0 "$rc"
contains "PDF on a machine without fonts: real text" "Fluglärm-Tagebuch" "$(pdftotext -enc UTF-8 bare.pdf - 2>/dev/null)"
contains "PDF on a machine without fonts: its own font embedded" "LiberationSans" "$(pdffonts bare.pdf 2>/dev/null)"
python3 -c 'open("huge.txt","wb").write(b"Montag, 7.12.2026\r\n10:00 " + b"abcdefghi " * 120000 + b"\r\n")'
run --pdf huge.pdf huge.txt
check "a note too long for the PDF: exit 1, no PDF" "1 no" "$rc $([ -e huge.pdf ] && echo yes || echo no)"
contains "a note too long for the PDF: says which" "Zeile 2" "$err"
rm -f huge.txt bare.pdf

# A period of centuries with three entries: a PDF of a page or two, its date chart from
# the first entry to the last.
printf 'Montag, 7.12.2026\r\n1:00 a\r\n2:00 b\r\nDienstag, 8.12.2026\r\n3:00 c\r\n' >three.txt
run --from 0001-01-01 --to 9999-12-31 --pdf wide.pdf three.txt
check "PDF of 0001-9999: exit 0, at most two pages" "0 yes" "$rc $([ "$(pdfinfo wide.pdf | awk '/^Pages:/ {print $2}')" -le 2 ] && echo yes)"
contains "PDF of 0001-9999: the chart spans the entries, a tick a day" "7.12. 8.12." "$(pdftotext -layout -enc UTF-8 wide.pdf - 2>/dev/null | grep -A12 'je Datum' | tr -s ' ')"
rm -f wide.pdf three.txt

# Memory stays flat for any output: CSV and JSON of a diary far larger than the limit.
# AddressSanitizer keeps freed memory aside, so there the limit says nothing: skipped.
if [ -z "${ASAN_OPTIONS:-}" ]; then
    python3 -c '
import datetime, sys
day = datetime.date(1800, 1, 1)
body = "".join("%d:%02d %s Landung? Tief \xfcber dem Dach, Fenster vibrieren\r\n" % (h, m, "!" * (h % 4))
               for h in range(24) for m in (5, 35)).encode("cp1252")
with open(sys.argv[1], "wb") as out:
    written = 0
    while written < 256_000_000:
        section = ("\r\n%s, %d.%d.%d\r\n" % ("Tag", day.day, day.month, day.year)).encode() + body
        out.write(section)
        written += len(section)
        day += datetime.timedelta(days=1)' large.txt
    for output in csv json; do
        peak=$(python3 -c '
import resource, subprocess, sys
subprocess.run([sys.argv[1], "--" + sys.argv[2], "large." + sys.argv[2], sys.argv[3]], check=True, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024)' "$program" "$output" large.txt)
        check "--$output of a 256 MB diary in under 64 MiB" yes "$([ "${peak:-999}" -lt 64 ] && echo yes || echo "no: ${peak} MiB")"
    done
    check "every entry of the large diary in the CSV" "$(grep -c '^[0-9]' large.txt)" "$(($(wc -l <large.csv) - 1))"
    rm -f large.txt large.csv large.json
else
    echo "skipped: peak memory under AddressSanitizer"
fi

check "diary bytes untouched" "$before_sum" "$(sha256sum diary.txt)"
check "diary time untouched" "$before_time" "$(stat -c %Y diary.txt)"

finish
