#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine on a private Xvfb; they print figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
KYN_SKIP_HOST=1 "$root/tools/build.sh" >/dev/null
win=win
[ "$("$root/tools/test-arch")" = x86_64 ] && win=win64
KYN_PRIVATE_X=1 "$root/tools/wine-run" "$root/build/$win/bench/quorvex_sweep_bench.exe"
KYN_PRIVATE_X=1 "$root/tools/wine-run" "$root/build/$win/bench/html_render_bench.exe"
