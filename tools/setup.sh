#!/usr/bin/env bash
# Installs everything the build, the programs and the tests need on Debian 12,
# and builds the mingw dependencies into deps/. Safe to run again: a second run
# only checks what is there. With the argument "fuzz" it also installs what the
# fuzz build needs.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/deps"
stamp="$deps/.setup-v2"

packages=(
  g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine wine32:i386 wine64 xvfb x11-utils fonts-wine fonts-liberation
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libgnutls30:i386
  libgl1 libglx-mesa0 libgl1-mesa-dri libgnutls30
  cmake ninja-build g++ make dpkg-dev googletest libgtest-dev
  python3 python3-aiosmtpd python3-dnslib python3-werkzeug python3-pil python3-pyftpdlib tzdata
  lighttpd tinyproxy openssl osslsigncode binutils imagemagick xdotool unzip pngcheck
)
# "tools/setup.sh fuzz": also clang with its sanitizer and libFuzzer run times
# for the opt-in fuzz build (tools/fuzz.sh).
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-dev)
fi

# Source entries for apt-get source, derived from the machine's own binary
# entries (deb822 or classic form).
enable_source_entries() {
  if grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ || grep -qs '^deb-src' /etc/apt/sources.list; then
    return
  fi
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      > /etc/apt/sources.list.d/debian-src.sources
  elif [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/debian-src.list
  fi
}

missing() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

if [ -n "$(missing)" ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  enable_source_entries
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2046
  apt-get install -y -qq --no-install-recommends $(missing) >/dev/null
  # lighttpd and tinyproxy are started by the tests themselves, never as services.
  for svc in lighttpd tinyproxy; do
    service "$svc" stop >/dev/null 2>&1 || true
  done
fi

[ -f "$stamp" ] && exit 0

mkdir -p "$deps/src"
cd "$deps/src"

if [ -z "$(ls -d minizip-*/ 2>/dev/null)" ] || [ -z "$(ls -d libjpeg-turbo-*/ 2>/dev/null)" ]; then
  enable_source_entries
  apt-get update -qq
  [ -n "$(ls -d minizip-*/ 2>/dev/null)" ] || apt-get source -qq minizip >/dev/null 2>&1
  [ -n "$(ls -d libjpeg-turbo-*/ 2>/dev/null)" ] || apt-get source -qq libjpeg-turbo >/dev/null 2>&1
fi

# Builds minizip, libjpeg and GoogleTest for one mingw target into deps/<arch>.
build_deps() {
  local arch=$1 triple=$2
  local prefix="$deps/$arch" work="$deps/src/build-$arch"
  mkdir -p "$prefix/lib" "$prefix/include/minizip" "$work"

  # minizip's zip writer, with its traditional encryption left enabled.
  local mz jt f
  mz=$(ls -d minizip-*/ | head -1)
  for f in zip ioapi; do
    "$triple-gcc" -O2 -c "$mz/$f.c" -o "$work/mz_$f.o" -I"$mz" -w
  done
  "$triple-ar" rcs "$prefix/lib/libminizip.a" "$work/mz_zip.o" "$work/mz_ioapi.o"
  cp "$mz/zip.h" "$mz/ioapi.h" "$mz/crypt.h" "$prefix/include/minizip/"

  # libjpeg-turbo, static, without SIMD (no nasm needed).
  jt=$(ls -d libjpeg-turbo-*/ | head -1)
  cmake -S "$jt" -B "$work/jpeg" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$arch" -DCMAKE_C_COMPILER="$triple-gcc" \
    -DCMAKE_RC_COMPILER="$triple-windres" \
    -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=0 -DENABLE_SHARED=0 -DENABLE_STATIC=1 \
    -DWITH_TURBOJPEG=0 -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$work/jpeg" --target jpeg-static >/dev/null
  cp "$work/jpeg/libjpeg.a" "$prefix/lib/"
  cp "$jt/jpeglib.h" "$jt/jmorecfg.h" "$jt/jerror.h" "$work/jpeg/jconfig.h" "$prefix/include/"

  # GoogleTest built with the cross compiler.
  cmake -S /usr/src/googletest -B "$work/gtest" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$arch" \
    -DCMAKE_CXX_COMPILER="$triple-g++-posix" -DCMAKE_C_COMPILER="$triple-gcc-posix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="-std=c++20" \
    -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$work/gtest" >/dev/null
  cmake --install "$work/gtest" >/dev/null
}

build_deps i686 i686-w64-mingw32
build_deps x86_64 x86_64-w64-mingw32

touch "$stamp"
