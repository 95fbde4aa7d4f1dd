#!/usr/bin/env bash
# Rebuilds fixture_text_i686.bin.gz: the code section of fixture.cpp built as a
# static i686 program by the project's toolchain (libstdc++, the C run time and
# a few of our own sources with it), the decoder tests' sample of real code.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
i686-w64-mingw32-g++-posix -std=c++20 -O2 -I"$root" -static -o "$tmp/fixture.exe" "$here/fixture.cpp"
i686-w64-mingw32-objcopy --dump-section .text="$tmp/text.bin" "$tmp/fixture.exe" "$tmp/copy.exe"
gzip -9 -n -c "$tmp/text.bin" > "$here/fixture_text_i686.bin.gz"
