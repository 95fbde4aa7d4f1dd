#!/usr/bin/env bash
# Builds and runs the benchmarks; they print figures.
#   - the display's sweep under Wine on a private Xvfb, timed on the window's
#     pixels read from the X server;
#   - the text commands' lines per second from 1, 10 and 100 TCP clients and
#     their send-to-effect latency, there too;
#   - the transfer component's HTTP download, FTP download, file copy and
#     HTTP upload next to plain WinINet and file loops, under Wine;
#   - the typed edit's time per keystroke next to a plain system edit, there too;
#   - a 2 KB mini-HTML caption on the GDI and GDI+ surfaces, next to a plain
#     DrawText of its text, under Wine;
#   - the crash report's time from a fault to the report being ready with 1,
#     10 and 50 threads, under Wine;
#   - the leak tracker's cost per allocation and release next to the
#     runtime's own operator new and delete, under Wine;
#   - the crash report's screenshot of a 1280x1024 screen (capture, octree
#     reduction, PNG) next to PIL's quantize and save of the same pixels;
#   - the crash report's address lookups per second and the walk of 50
#     threads' stacks, under Wine;
#   - the disassembler against objdump on 1 MiB of our own i686 code, and the
#     crash report's text for 50 threads and 200 modules appended to a log of
#     1,000 reports, from a release host build (build/bench-host, without the
#     sanitizers).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
KYN_SKIP_HOST=1 "$root/tools/build.sh" >/dev/null
win=win
[ "$("$root/tools/test-arch")" = x86_64 ] && win=win64
KYN_PRIVATE_X=1 /usr/bin/python3 "$root/bench/Display/sweep_bench.py" "$root/tools/wine-run" \
  "$root/build/$win/bench/quorvex_sweep_bench.exe"
KYN_PRIVATE_X=1 "$root/tools/wine-run" "$root/build/$win/bench/quorvex_command_bench.exe"
# The transfer component against plain 64 KB loops on a 200 MB file, with its
# servers on 127.0.0.1.
KYN_PRIVATE_X=1 "$root/bench/Updater/netcopy_bench.sh" "$root/build/$win/bench/netcopy_bench.exe" 200
KYN_PRIVATE_X=1 "$root/tools/wine-run" "$root/build/$win/bench/edit_keystroke_bench.exe"
KYN_PRIVATE_X=1 "$root/tools/wine-run" "$root/build/$win/bench/html_render_bench.exe"
KYN_PRIVATE_X=1 "$root/tools/wine-run" "$root/build/$win/bench/report_latency_bench.exe"
KYN_PRIVATE_X=1 "$root/bench/crashreport/leak_tracking_bench.sh" "$root/tools/wine-run" \
  "$root/build/$win/bench/leak_tracking_bench.exe" "$root/build/$win/bench/leak_tracking_bench_off.exe"
KYN_PRIVATE_X=1 "$root/bench/crashreport/screenshot_bench.sh" "$root/tools/wine-run" \
  "$root/build/$win/bench/screenshot_bench.exe"
echo "== Address lookups and the stack walk of 50 threads"
KYN_PRIVATE_X=1 "$root/tools/wine-run" "$root/build/$win/bench/stackwalk_bench.exe"

# GCC 12 warns falsely (-Wrestrict) about std::string concatenation at -O3.
cmake -S "$root" -B "$root/build/bench-host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKYN_SANITIZE=OFF \
  -DCMAKE_CXX_FLAGS=-Wno-restrict >/dev/null
cmake --build "$root/build/bench-host" -j "${KYN_JOBS:-$(nproc)}" --target disasm_bench report_text_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The code sections of the 32-bit program and test programs, to 1 MiB.
for exe in "$root/build/win/bin/Quorvex.exe" $(find "$root/build/win/tests" -name '*.exe' | sort); do
  objcopy -O binary --only-section=.text "$exe" "$work/part.bin"
  cat "$work/part.bin" >>"$work/all.bin"
  [ "$(stat -c %s "$work/all.bin")" -ge 1048576 ] && break
done
head -c 1048576 "$work/all.bin" >"$work/code.bin"
"$root/build/bench-host/bench/disasm_bench" "$work/code.bin"
"$root/build/bench-host/bench/report_text_bench" "$work"
