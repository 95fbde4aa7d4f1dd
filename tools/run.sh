#!/usr/bin/env bash
# Sets up the machine, builds Quorvex and runs it under Wine, on $DISPLAY or,
# when there is none, on a private Xvfb ("tools/run.sh brimlet" runs the
# updater instead). Where the kernel cannot run 32-bit code, the 64-bit build
# of the same program runs instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
KYN_SKIP_HOST=1 "$root/tools/build.sh"
win=win
[ "$("$root/tools/test-arch")" = x86_64 ] && win=win64
program=Quorvex
if [ "${1:-}" = brimlet ]; then
  program=Brimlet
  shift
fi
exec "$root/tools/wine-run" "$root/build/$win/bin/$program.exe" "$@"
