#!/usr/bin/env bash
# Takes docs/screenshot.png: the built program in Xvfb at 96 DPI, at a fixed time.
# Needs imagemagick besides what scripts/test installs. Usage: docs/screenshot.sh [build/suelvan]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/xvfb.sh"
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
cp "${1:-$root/build/suelvan}" "$work/suelvan"
: >"$work/Sülvan.txt"
start_x
start_program "$work" "2026-12-08 14:30:00"
sleep 1
import -window "$WINDOW" "$root/docs/screenshot.png"
echo "wrote docs/screenshot.png"
