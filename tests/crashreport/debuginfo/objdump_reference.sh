#!/usr/bin/env bash
# Runs the disassembler tests with objdump's reference tables made on the spot.
#   objdump_reference.sh <fixture.exe> <test command...>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fixture=$1
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
/usr/bin/python3 "$here/make_reference.py" "$fixture" "$dir"
export KYN_DISASM_REFERENCE="$dir"
"$@"
