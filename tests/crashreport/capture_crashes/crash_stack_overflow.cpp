// A stack overflow is reported by the thread kept ready for it, and the
// process ends with the overflow's code.
// CHECK: report: fw::EExternal | Stack overflow at address
// CHECK: | language=0 | handled=0 | thread=main
// CHECK-NOT: report:
// CHECK-EXIT: 0xC00000FD
#include "tests/crashreport/capture_crashes/crash_program.h"

int (*volatile gNext)(int);

int Recurse(int depth) {
    volatile char block[512];
    block[0] = static_cast<char>(depth);
    return gNext(depth + 1) + block[0];
}

int main() {
    crash::StartCapture();
    gNext = Recurse;
    return Recurse(0);
}
