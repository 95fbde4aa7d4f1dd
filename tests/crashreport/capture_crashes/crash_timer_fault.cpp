// A fault in a timer callback, which Windows would swallow (and meet again at
// every tick), is reported at the fault.
// CHECK: report: fw::EExternal | Access violation at address
// CHECK: Read of address 00000000
// CHECK: | language=0 | handled=0 | thread=main
// CHECK-NOT: report:
// CHECK-EXIT: 42
#include "tests/crashreport/capture_crashes/crash_program.h"

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    volatile int* nowhere = nullptr;
    std::printf("%d\n", *nowhere);
}

int main() {
    crash::StartCapture();
    crash::gEndAfterReport = true;
    SetTimer(nullptr, 0, 10, Tick);
    MSG message;
    for (int i = 0; i < 500 && GetMessageW(&message, nullptr, 0, 0) > 0; ++i) DispatchMessageW(&message);
    std::printf("no report\n");
    return 0;
}
