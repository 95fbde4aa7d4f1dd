#!/usr/bin/env bash
# Makes the installers of the signature test in a temporary folder -- one
# signed under a test root that the test trusts, the same with one byte
# changed, one signed under a root nobody trusts, one unsigned -- then runs
# the test command given as arguments with TRUST_WORK naming the folder:
# once to trust the test root, once for the checks (a process reads the
# trusted roots once), and once to take the root away again.
set -euo pipefail
work=$(mktemp -d /tmp/installer-trust.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
# A stand-in installer: it leaves "ran.txt" beside itself.
cat > fixture.c <<'C'
#include <windows.h>
int WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(NULL, path, MAX_PATH);
    (void)a, (void)b, (void)c, (void)d;
    while (n > 0 && path[n - 1] != L'\\') --n;
    if (n == 0 || n + 8 >= MAX_PATH) return 1;
    lstrcpyW(path + n, L"ran.txt");
    CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return 0;
}
C
# Built for the test program's own architecture (its PE header, the last
# argument): a 32-bit prefix cannot start a 64-bit installer.
cc=x86_64-w64-mingw32-gcc
if /usr/bin/python3 - "${@: -1}" <<'PY'
import struct, sys
with open(sys.argv[1], "rb") as f:
    d = f.read(4096)
o = struct.unpack_from("<I", d, 0x3c)[0]
sys.exit(0 if struct.unpack_from("<H", d, o + 24)[0] == 0x10b else 1)
PY
then
  cc=i686-w64-mingw32-gcc
fi
"$cc" -O1 -mwindows -o unsigned.exe fixture.c
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' > leaf.ext
make_signer() {
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1-root.key" -out "$1-root.crt" -days 30 \
    -subj "/CN=Brimlet Test $1 Root" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -keyout "$1-leaf.key" -out "$1-leaf.csr" -subj "/CN=Brimlet Test $1 Signer" 2>/dev/null
  openssl x509 -req -in "$1-leaf.csr" -CA "$1-root.crt" -CAkey "$1-root.key" -CAcreateserial \
    -out "$1-leaf.crt" -days 30 -extfile leaf.ext 2>/dev/null
  osslsigncode sign -certs "$1-leaf.crt" -key "$1-leaf.key" -h sha256 -in unsigned.exe -out "$2" >/dev/null
}
make_signer trusted signed.exe
make_signer other untrusted.exe
openssl x509 -in trusted-root.crt -outform DER -out trusted-root.der
cp signed.exe changed.exe
/usr/bin/python3 - changed.exe <<'PY'
import sys
with open(sys.argv[1], "r+b") as f:
    f.seek(0x500)
    b = f.read(1)
    f.seek(0x500)
    f.write(bytes([b[0] ^ 0xFF]))
PY
export TRUST_WORK=$work
"$@" --gtest_filter=TrustedTestRoot.Add
status=0
"$@" --gtest_filter='-TrustedTestRoot.*' || status=$?
"$@" --gtest_filter=TrustedTestRoot.Remove || status=1
exit "$status"
