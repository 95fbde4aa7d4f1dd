#!/usr/bin/env bash
# Runs the debug-information tests with objdump's reference tables made on the spot.
#   objdump_reference.sh [name=program.exe ...] [exports=library.dll ...] [wine=arch] -- <test command...>
# name=: the disassembler's tables of a program (make_reference.py).
# exports=, wine=: the export tables of a DLL and of the Wine DLLs of that
# architecture (make_export_reference.py).
# Files that do not exist (a build not made) are left out; their tests skip.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
programs=()
exports=()
while [ "$1" != -- ]; do
  case "$1" in
    exports=* | wine=*) exports+=("$1") ;;
    *) programs+=("$1") ;;
  esac
  shift
done
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
/usr/bin/python3 "$here/make_reference.py" "$dir" "${programs[@]}"
export KYN_DISASM_REFERENCE="$dir"
if [ ${#exports[@]} -gt 0 ]; then
  mkdir "$dir/exports"
  /usr/bin/python3 "$here/make_export_reference.py" "$dir/exports" "${exports[@]}"
  export KYN_EXPORT_REFERENCE="$dir/exports"
fi
"$@"
