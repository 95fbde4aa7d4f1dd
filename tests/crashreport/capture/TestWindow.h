// A small window of a class of its own, for tests whose window procedure
// throws or looks at the stack it runs on.
#pragma once

#include <windows.h>

namespace drevnik::test {

inline HWND MakeTestWindow(const wchar_t* className, WNDPROC procedure) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);  // fails harmlessly when the class exists
    return CreateWindowW(className, L"", 0, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance, nullptr);
}

}  // namespace drevnik::test
