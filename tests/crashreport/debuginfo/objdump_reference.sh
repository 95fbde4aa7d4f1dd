#!/usr/bin/env bash
# Runs the disassembler tests with objdump's reference tables made on the spot.
#   objdump_reference.sh [name=program.exe ...] -- <test command...>
# Programs that do not exist (a build not made) are left out; their tests skip.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
programs=()
while [ "$1" != -- ]; do
  programs+=("$1")
  shift
done
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
/usr/bin/python3 "$here/make_reference.py" "$dir" "${programs[@]}"
export KYN_DISASM_REFERENCE="$dir"
"$@"
