#!/usr/bin/env bash
# Runs walk_fixture under Wine and compares its call stack with addr2line.
#   check_walk.sh FIXTURE.exe OBJDUMP ADDR2LINE <emulator...>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fixture=$1 objdump=$2 addr2line=$3
shift 3
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
status=0
timeout 120 "$@" "$fixture" "Z:$rows" || status=$?
if [ "$status" != 0 ]; then
  echo "walk_fixture: the external readers differ from the library data, or it failed ($status)"
fi
/usr/bin/python3 "$here/check_walk.py" "$fixture" "$rows" "$objdump" "$addr2line" || status=1
exit "$status"
