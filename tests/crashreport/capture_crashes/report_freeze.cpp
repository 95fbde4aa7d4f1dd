// A main thread that does not answer its window for longer than the freeze
// time-out is reported once, however long it stays blocked, and the program
// goes on when it answers again.
// CHECK: report: drevnik::EFrozenApplication | The application seems to be frozen. | thread=main
// CHECK: report end
// CHECK: recovered
// CHECK-NOT: report:
// CHECK-EXIT: 0
#include "tests/crashreport/capture_crashes/report_program.h"

namespace {

void Pump(DWORD ms) {
    MSG message;
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(5);
    }
}

}  // namespace

int main() {
    report::StartLibrary();
    drevnik::TDrevnikModuleOptionsEx& options = drevnik::CurrentDrevnikLogOptions();
    options.SetFreezeTimeout(1);
    options.SetFreezeWatch(true);
    const HWND window = CreateWindowW(L"STATIC", L"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
    Pump(500);
    // Blocked for two and a half time-outs.
    Sleep(2500);
    Pump(1500);
    std::printf("recovered\n");
    DestroyWindow(window);
    return 0;
}
