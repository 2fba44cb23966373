#!/usr/bin/env bash
# suelvan-bericht on the cases that once cost the most, whole process against whole
# process, side by side in one run: JSON and CSV of a 1 GB diary over all its days (the
# CSV to the disk and to /dev/null), the statistics of one year of it, a one-year PDF of a
# 15 MB diary, and a PDF of 0001-9999 over three entries; grep -F -c '!!!' on the same
# warm file as the yardstick, timed again in every round of every case, and dd of the CSV
# to the disk as its floor. Medians of RUNS, alternating between grep and the programs so
# that all see the same load; peak memory of one run each.
# Usage: bench/report_large.sh BUILD_DIR [OTHER_SUELVAN_BERICHT] [RUNS]
set -euo pipefail
build=$1
other=${2:-}
runs=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >"$work/output" 2>/dev/null
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN {printf "%.3f\n", e - s}'
}
peak_mb() {
    python3 -c '
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024)' "$@"
}

"$build/bench/make_diary" 1000000000 "$work/big.txt"
"$build/bench/make_diary" 15000000 "$work/d15.txt" long
printf 'Montag, 7.12.2026\r\n1:00 a\r\n2:00 b\r\nDienstag, 8.12.2026\r\n3:00 c\r\n' >"$work/three.txt"
lastyear=$(grep -a -E '^[A-Za-z]+, [0-9]' "$work/d15.txt" | tail -n 1 | sed 's/.*\.//' | tr -d '\r')
cat "$work/big.txt" "$work/d15.txt" >/dev/null

programs=("$build/suelvan-bericht")
[ -n "$other" ] && programs+=("$other")
declare -A cases=(
    [json]="--json $work/o.json $work/big.txt"
    [csv]="--csv $work/o.csv $work/big.txt"
    [csv-null]="--csv /dev/null $work/big.txt"
    [year]="--from 2001-01-01 --to 2001-12-31 --json $work/o.json $work/big.txt"
    [pdf]="--from $((lastyear - 1))-01-01 --to $((lastyear - 1))-12-31 --pdf $work/o.pdf $work/d15.txt"
    [wide]="--from 0001-01-01 --to 9999-12-31 --pdf $work/o.pdf $work/three.txt"
)
greps=()
for _ in $(seq "$runs"); do greps+=("$(seconds grep -F -c '!!!' "$work/big.txt")"); done
grep_median=$(printf '%s\n' "${greps[@]}" | median)
echo "grep -F -c '!!!' on 1 GB: ${grep_median}s"
for name in json csv csv-null year pdf wide; do
    # Warm again: gigabytes of CSV written push the diary out of the page cache.
    cat "$work/big.txt" "$work/d15.txt" >/dev/null
    # shellcheck disable=SC2206
    args=(${cases[$name]})
    declare -A times=()
    # grep again in every round of every case, beside the programs: this machine's speed
    # drifts over the minutes a run takes.
    greps=()
    for _ in $(seq "$runs"); do
        greps+=("$(seconds grep -F -c '!!!' "$work/big.txt")")
        for p in "${!programs[@]}"; do
            times[$p]+="$(seconds "${programs[$p]}" "${args[@]}") "
            # Each run writes a new file, not one over the last run's: replacing it would
            # also time the file system freeing the old one (160 MB of JSON, 3 GB of CSV).
            rm -f "$work/o.csv" "$work/o.json" "$work/o.pdf"
        done
    done
    case_grep=$(printf '%s\n' "${greps[@]}" | median)
    for p in "${!programs[@]}"; do
        m=$(printf '%s\n' ${times[$p]} | median)
        echo "$name: ${programs[$p]}: ${m}s ($(awk -v a="$m" -v b="$case_grep" 'BEGIN {printf "%.2f", a / b}')x grep ${case_grep}s beside it)," \
             "peak $(peak_mb "${programs[$p]}" "${args[@]}") MB"
        rm -f "$work/o.csv" "$work/o.json" "$work/o.pdf"
    done
    unset times
done

# What the disk alone takes for the CSV's bytes, made durable as the program makes its
# outputs before putting them in place: no program writes that CSV faster.
"${programs[0]}" --csv "$work/o.csv" "$work/big.txt" 2>/dev/null
floors=()
for _ in $(seq "$runs"); do
    cat "$work/o.csv" >/dev/null
    floors+=("$(seconds dd if="$work/o.csv" of="$work/floor" bs=2M conv=fdatasync)")
    rm -f "$work/floor"
done
echo "dd of the CSV to the same disk, conv=fdatasync: $(printf '%s\n' "${floors[@]}" | median)s"
