#!/usr/bin/env bash
# The portable folder and the package: everything in place, an existing diary untouched.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/Mein Ordner"
passes=0
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; passes=$((passes + 1)); else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null
check "program installed" test -x "$prefix/suelvan"
check "icon installed" test -s "$prefix/suelvan.png"
check "report program installed" test -x "$prefix/suelvan-bericht"
check "report launcher opens the report window" grep -qxF "Exec=\"$prefix/suelvan-bericht\"" "$prefix/suelvan-bericht.desktop"
check "main launcher offers the report as an action" bash -c "grep -qxF 'Actions=Bericht;' '$prefix/suelvan.desktop' &&
    sed -n '/^\[Desktop Action Bericht\]/,\$p' '$prefix/suelvan.desktop' | grep -qxF 'Exec=\"$prefix/suelvan-bericht\"'"
if command -v desktop-file-validate >/dev/null; then
    check "launchers are valid desktop entries" desktop-file-validate "$prefix/suelvan.desktop" "$prefix/suelvan-bericht.desktop"
fi
check "report runs from the installed folder" bash -c "cd '$prefix' && ./suelvan-bericht --json - >/dev/null 2>&1"
check "the program's license installed" grep -q "GNU GENERAL PUBLIC LICENSE" "$prefix/LICENSE.txt"
check "license of the carried font installed" grep -q "LIBERATION" "$prefix/LiberationSansNarrow-LICENSE.txt"
check "empty diary created" test -f "$prefix/Sülvan.txt" -a ! -s "$prefix/Sülvan.txt"
check "launcher starts the installed program" grep -qxF "Exec=\"$prefix/suelvan\"" "$prefix/suelvan.desktop"
check "launcher runs in the folder" grep -qxF "Path=$prefix" "$prefix/suelvan.desktop"

printf '\r\nDienstag, 8.12.2026\r\n14:30 ! wichtig\r\n' >"$prefix/Sülvan.txt"
cp "$prefix/Sülvan.txt" "$work/diary"
cmake --install "$build" --prefix "$prefix" >/dev/null
check "existing diary untouched by a second install" cmp -s "$work/diary" "$prefix/Sülvan.txt"

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
archive=$(ls "$work"/package/*.tar.gz)
tar tzf "$archive" >"$work/list"
check "package holds the program" grep -q '/suelvan$' "$work/list"
check "package holds the report program" grep -q '/suelvan-bericht$' "$work/list"
check "package holds both launchers" test "$(grep -c '\.desktop$' "$work/list")" -eq 2
check "package holds no diary that could replace one" bash -c "! grep -q 'Sülvan.txt' '$work/list'"
tar xzf "$archive" -C "$prefix/.." --strip-components=1 --transform "s|^|Mein Ordner/|"
check "unpacking over the folder keeps the diary" cmp -s "$work/diary" "$prefix/Sülvan.txt"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
