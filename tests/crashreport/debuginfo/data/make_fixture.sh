#!/usr/bin/env bash
# Rebuilds fixture.exe (checked in, so the tests have a stable input) with the
# toolchain that builds the shipped programs.
set -euo pipefail
cd "$(dirname "$0")"
i686-w64-mingw32-g++-posix -std=c++20 -O2 -static -s fixture.cpp -o fixture.exe
