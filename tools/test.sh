#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the host tests
# under the sanitizers, then the Windows tests under Wine on a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh"
export KYN_PRIVATE_X=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
win=win
if [ "$("$root/tools/test-arch")" = x86_64 ]; then
  win=win64
  echo "note: this kernel cannot run 32-bit code; the Windows tests run as 64-bit executables"
fi
status=0
echo "== host tests"
ctest --test-dir "$root/build/host" --output-on-failure -j "${KYN_JOBS:-$(nproc)}" || status=1
echo "== Windows tests under Wine ($win)"
# Make the prefix and the display before the tests race for them.
"$root/tools/wine-run" --arch "$win" cmd /c exit 0 >/dev/null 2>&1 || true
# Windows tests leave their screenshots here (Wine maps the root as Z:).
mkdir -p "$root/build/$win/artifacts"
export KYN_ARTIFACT_DIR=${KYN_ARTIFACT_DIR:-Z:$(echo "$root/build/$win/artifacts" | tr / '\\')}
ctest --test-dir "$root/build/$win" --output-on-failure -j "${KYN_JOBS:-$(nproc)}" || status=1
exit $status
