#!/usr/bin/env bash
# The Windows installer run silently under Wine: per user into
# %LOCALAPPDATA%\Programs\Sülvan Logger, an existing diary kept, the uninstaller leaving
# it; the portable ZIP without a diary; both 64-bit.
# Usage: install_test.sh BUILD_WINDOWS_DIR
set -uo pipefail
here=$(dirname "$(realpath "$0")")
build=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/windows install.XXXXXX")
export WINEDEBUG=-all WINEPREFIX="$work/wine"
trap '/usr/lib/wine/wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
wine=/usr/lib/wine/wine64
source "$here/../checks.sh"
machine() { python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(); o=struct.unpack("<I",d[60:64])[0]; print(hex(struct.unpack("<H",d[o+4:o+6])[0]))' "$1"; }

(cd "$build" && cpack >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
installer="$build/suelvan-1.0.0-win64.exe"
zip="$build/suelvan-1.0.0-win64.zip"
check "installer made, a 64-bit program" 0x8664 "$(machine "$installer")"
check "both programs 64-bit" "0x8664 0x8664" "$(machine "$build/suelvan.exe") $(machine "$build/suelvan-bericht.exe")"

"$wine" "$installer" /S
/usr/lib/wine/wineserver -w
target="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/Sülvan Logger"
for file in suelvan.exe suelvan-bericht.exe LICENSE.txt Deinstallieren.exe; do
    check "installed: $file" yes "$([ -s "$target/$file" ] && echo yes || echo no)"
done
check "an empty diary where none was" "yes 0" "$([ -e "$target/Sülvan.txt" ] && echo yes) $(stat -c %s "$target/Sülvan.txt" 2>/dev/null)"
check "a Start menu entry" yes \
    "$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu*' -name 'Sülvan Logger.lnk' | grep -q . && echo yes || echo no)"
printf '\r\nDienstag, 8.12.2026\r\n14:25 ! alt\r\n' >"$target/Sülvan.txt"
"$wine" "$installer" /S
/usr/lib/wine/wineserver -w
check "installing again keeps the diary" "$(printf '\r\nDienstag, 8.12.2026\r\n14:25 ! alt\r\n')" "$(cat "$target/Sülvan.txt")"
"$wine" "$target/Deinstallieren.exe" /S "_?=C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Sülvan Logger"
/usr/lib/wine/wineserver -w
check "uninstalled: the programs gone" no "$([ -e "$target/suelvan.exe" ] || [ -e "$target/suelvan-bericht.exe" ] && echo yes || echo no)"
check "uninstalled: the diary kept" "$(printf '\r\nDienstag, 8.12.2026\r\n14:25 ! alt\r\n')" "$(cat "$target/Sülvan.txt")"

listing=$(python3 -c 'import zipfile,sys; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
check "ZIP: both programs" yes "$(grep -q 'suelvan.exe$' <<<"$listing" && grep -q 'suelvan-bericht.exe$' <<<"$listing" && echo yes)"
check "ZIP: no diary to replace an old one" "" "$(grep -i 'lvan.txt' <<<"$listing")"

finish
