// A fault in a framework timer's tick: one report, although the timer
// would tick again.
// CHECK: report: fw::EExternal | Access violation at address
// CHECK: thread=main
// CHECK: report end
// CHECK-NOT: report:
// CHECK-EXIT: 0xC0000005
#include "framework/gui/timer.h"
#include "tests/crashreport/capture_crashes/report_program.h"

int main() {
    report::StartLibrary();
    fw::TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = [](fw::TComponent*) {
        volatile int* nowhere = nullptr;
        std::printf("%d\n", *nowhere);
    };
    timer.SetEnabled(true);
    MSG message;
    const ULONGLONG end = GetTickCount64() + 1000;
    while (GetTickCount64() < end) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        else
            Sleep(5);
    }
    return 0;
}
