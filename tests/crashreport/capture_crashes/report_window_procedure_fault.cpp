// A fault in a window procedure, reached through DispatchMessage: one
// report, then the process ends with the fault's code.
// CHECK: report: fw::EExternal | Access violation at address
// CHECK: thread=main
// CHECK: report end
// CHECK-NOT: report:
// CHECK-EXIT: 0xC0000005
#include "tests/crashreport/capture_crashes/report_program.h"

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        volatile int* nowhere = nullptr;
        return *nowhere;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int main() {
    report::StartLibrary();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ReportTestWindow";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowW(L"ReportTestWindow", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      windowClass.hInstance, nullptr);
    PostMessageW(window, WM_USER, 0, 0);
    MSG message;
    for (int i = 0; i < 20 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&message);
    return 0;
}
