// CreateUtilityWindow.
#include "framework/gui/utility_window.h"

namespace fw {

HWND CreateUtilityWindow(const wchar_t* className, WNDPROC proc, bool topLevel) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(inst, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = proc;
        wc.hInstance = inst;
        wc.lpszClassName = className;
        RegisterClassExW(&wc);
    }
    return topLevel ? CreateWindowExW(WS_EX_TOOLWINDOW, className, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr)
                    : CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
}

}  // namespace fw
