#!/usr/bin/env bash
# Runs the screenshot tests with a folder for their files, then checks every
# PNG they announced ("SHOT|..." lines) with pngcheck and PIL.
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KYN_SHOT_DIR="$work"
"$@" | tee "$work/out.txt"
rc=${PIPESTATUS[0]}
[ "$rc" -eq 0 ] || exit "$rc"
exec /usr/bin/python3 "$(dirname "$0")/check_screenshots.py" "$work/out.txt" "$work"
