#!/usr/bin/env bash
# Runs the capture tests, then has Python's e-mail parser read back every
# mail-header date they printed ("RFC822|days|offset minutes|text" lines).
set -uo pipefail
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" | tee "$out"
rc=${PIPESTATUS[0]}
[ "$rc" -eq 0 ] || exit "$rc"
exec /usr/bin/python3 "$(dirname "$0")/rfc822_check.py" "$out"
