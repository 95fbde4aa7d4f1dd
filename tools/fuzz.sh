#!/usr/bin/env bash
# Builds the libFuzzer targets in build/fuzz (host, clang, with AddressSanitizer,
# UBSan and the float-to-integer overflow check) and runs each for a bounded
# time, from its checked-in seeds and dictionary where it has them. Opt-in; CI
# does not run it.
#   tools/fuzz.sh [seconds per target, default 60]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
jobs=${KYN_JOBS:-$(nproc)}
"$root/tools/setup.sh" fuzz
build="$root/build/fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKYN_FUZZ=ON -DKYN_WERROR="${KYN_WERROR:-OFF}" >/dev/null
# target and its folder below tests/
targets=(
  "disasm_fuzz crashreport/debuginfo"
  "debuginfo_fuzz crashreport/debuginfo"
  "dns_mx_reply_fuzz crashreport/delivery_fuzz"
  "codecs_fuzzer crashreport/delivery/fuzz"
  "web_urls_fuzz crashreport/delivery/fuzz"
  "report_log_fuzz crashreport/report"
  "gif_layout_fuzz widgets/drawing/fuzz"
  "html_layout_fuzz widgets/drawing/html_fuzz"
)
names=()
for t in "${targets[@]}"; do names+=("${t%% *}"); done
cmake --build "$build" -j "$jobs" --target "${names[@]}"
status=0
for t in "${targets[@]}"; do
  name=${t%% *}
  dir=${t#* }
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/tests/$dir/corpus" ] && seeds=("$root/tests/$dir/corpus")
  dict=()
  [ -f "$root/tests/$dir/$name.dict" ] && dict=("-dict=$root/tests/$dir/$name.dict")
  echo "== $name, $seconds s"
  (cd "$build" && "$build/tests/$dir/$name" "${dict[@]}" -max_total_time="$seconds" -print_final_stats=1 "$corpus" \
    "${seeds[@]}") || status=1
done
exit $status
