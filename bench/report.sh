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
    "$@" >/dev/null 2>&1
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
for size in 10000000 1000000000; do
    diary=$work/diary-$size.txt
    "$build/bench/make_diary" "$size" "$diary"
    cat "$diary" >/dev/null
    ours=() theirs=()
    for _ in $(seq "$runs"); do  # alternating, so both see the same load
        ours+=("$(seconds "$bericht" --json /dev/null "$diary")")
        theirs+=("$(seconds grep -F -c '!!!' "$diary")")
    done
    a=$(printf '%s\n' "${ours[@]}" | median)
    b=$(printf '%s\n' "${theirs[@]}" | median)
    echo "statistics of $((size / 1000000)) MB: bericht ${a}s, grep ${b}s, ratio $(awk -v a="$a" -v b="$b" 'BEGIN {printf "%.2f", a / b}')," \
         "peak $(peak_mb "$bericht" --json /dev/null "$diary") MB"
    rm -f "$diary"
done

diary=$work/diary-15.txt
"$build/bench/make_diary" 15000000 "$diary"
cat "$diary" >/dev/null
lastyear=$(tail -c 200 "$diary" | grep -o '[0-9]*\.[0-9]*\.[0-9]*' | tail -n 1 | awk -F. '{print $3}')
echo "15 MB diary: $(grep -c '^[0-9]' "$diary") entries, last year $lastyear"
for label in "CSV + JSON" "one-month PDF" "whole-year PDF"; do
    case $label in
        "CSV + JSON") args=(--csv "$work/o.csv" --json "$work/o.json") ;;
        "one-month PDF") args=(--from "$lastyear-06-01" --to "$lastyear-06-30" --pdf "$work/o.pdf") ;;
        "whole-year PDF") args=(--from "$((lastyear - 1))-01-01" --to "$((lastyear - 1))-12-31" --pdf "$work/o.pdf") ;;
    esac
    times=()
    for _ in $(seq "$runs"); do times+=("$(seconds "$bericht" "${args[@]}" "$diary")"); done
    echo "$label: $(printf '%s\n' "${times[@]}" | median)s (median of $runs)"
done
