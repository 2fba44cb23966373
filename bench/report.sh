#!/usr/bin/env bash
# suelvan-bericht on large diaries, whole process against whole process, side by side:
# statistics of a 10 MB and a 1 GB diary against grep -F -c '!!!' on the same warm file,
# with peak memory; and CSV, JSON and PDF of a 15 MB diary.
# Usage: bench/report.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$1
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
seconds() {  # seconds COMMAND...: wall time of one run
    local start end
    start=$(date +%s.%N)
    "$@" >"$work/output" 2>/dev/null  # not /dev/null: GNU grep stops at the first match there
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN {printf "%.4f\n", e - s}'
}
peak_mb() {  # peak resident memory of one run, MB
    python3 -c '
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024)' "$@"
}

bericht=$build/suelvan-bericht
for size in ${SIZES:-10000000 1000000000}; do
    diary=$work/diary-$size.txt
    "$build/bench/make_diary" "$size" "$diary"
    cat "$diary" >/dev/null
    # The whole file is read and counted either way; the one-year period keeps the JSON
    # small, the whole period lists every day of the file (a million days at 1 GB).
    year=(--from 2001-01-01 --to 2001-12-31)
    ours=() whole=() theirs=()
    for _ in $(seq "$runs"); do  # alternating, so all see the same load
        ours+=("$(seconds "$bericht" "${year[@]}" --json "$work/o.json" "$diary")")
        whole+=("$(seconds "$bericht" --json "$work/o.json" "$diary")")
        theirs+=("$(seconds grep -F -c '!!!' "$diary")")
    done
    a=$(printf '%s\n' "${ours[@]}" | median)
    w=$(printf '%s\n' "${whole[@]}" | median)
    b=$(printf '%s\n' "${theirs[@]}" | median)
    echo "$((size / 1000000)) MB, $(grep -c -E '^[A-Za-z]+, [0-9]' "$diary") days: statistics ${a}s, grep ${b}s," \
         "ratio $(awk -v a="$a" -v b="$b" 'BEGIN {printf "%.2f", a / b}'), peak $(peak_mb "$bericht" "${year[@]}" --json /dev/null "$diary") MB;" \
         "every day listed ${w}s, peak $(peak_mb "$bericht" --json /dev/null "$diary") MB"
    rm -f "$diary"
done

# 15 MB twice: with whole sentences as notes (some 350 000 entries, as the goal counts
# them) and with short notes (half a million entries, more rows for the same bytes).
for notes in long short; do
    diary=$work/diary-15-$notes.txt
    "$build/bench/make_diary" 15000000 "$diary" $([ $notes == long ] && echo long)
    cat "$diary" >/dev/null
    lastyear=$(grep -a -E '^[A-Za-z]+, [0-9]' "$diary" | tail -n 1 | sed 's/.*\.//' | tr -d '\r')
    echo "15 MB diary, $notes notes: $(grep -c '^[0-9]' "$diary") entries, last year $lastyear"
    for label in "CSV + JSON" "one-month PDF" "whole-year PDF"; do
        case $label in
            "CSV + JSON") args=(--csv "$work/o.csv" --json "$work/o.json") ;;
            "one-month PDF") args=(--from "$lastyear-06-01" --to "$lastyear-06-30" --pdf "$work/o.pdf") ;;
            "whole-year PDF") args=(--from "$((lastyear - 1))-01-01" --to "$((lastyear - 1))-12-31" --pdf "$work/o.pdf") ;;
        esac
        times=()
        for _ in $(seq "$runs"); do times+=("$(seconds "$bericht" "${args[@]}" "$diary")"); done
        echo "  $label: $(printf '%s\n' "${times[@]}" | median)s (median of $runs)"
    done
    rm -f "$diary"
done
