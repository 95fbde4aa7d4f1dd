#!/usr/bin/env bash
# Configures and builds:
#   build/win    the shipped 32-bit Windows programs and their tests;
#   build/win64  the same as 64-bit executables, when tests must run under
#                wine64 (see tools/test-arch);
#   build/host   the platform-free code and its tests under the sanitizers.
# KYN_SKIP_HOST=1 leaves out the host build, KYN_SKIP_WIN64=1 the 64-bit one;
# KYN_JOBS sets the number of parallel compile jobs (default: all cores).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${KYN_JOBS:-$(nproc)}
werror=${KYN_WERROR:-OFF}

configure_and_build() {
  local dir=$1
  shift
  cmake -S "$root" -B "$root/build/$dir" -G Ninja -DKYN_WERROR="$werror" "$@" >/dev/null
  cmake --build "$root/build/$dir" -j "$jobs"
}

configure_and_build win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake"
if [ "${KYN_SKIP_WIN64:-0}" != 1 ] && [ "$("$root/tools/test-arch")" = x86_64 ]; then
  configure_and_build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake"
fi
if [ "${KYN_SKIP_HOST:-0}" != 1 ]; then
  configure_and_build host
fi
