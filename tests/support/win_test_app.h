// Test support for Windows tests: one application object for the process and
// a message pump that runs until a condition holds or a deadline passes.
#pragma once

#include <windows.h>

#include <cwchar>
#include <functional>

#include "framework/gui/application.h"

namespace fw::test {

inline TApplication& TestApplication() {
    if (!Application) new TApplication();  // lives until the process ends
    return *Application;
}

// Pumps messages until `done` is true (returns true) or `timeout_ms` passes.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms = 10000) {
    TestApplication();
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout_ms) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

struct OwnWindowSearch {
    const wchar_t* cls;
    HWND found;
};

inline BOOL CALLBACK MatchOwnWindowClass(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<OwnWindowSearch*>(lp);
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    if (std::wcscmp(name, s->cls) != 0) return TRUE;
    s->found = h;
    return FALSE;
}

// A window of this thread with that class: other test programs may show
// theirs on the same Wine desktop at the same time.
inline HWND FindOwnWindow(const wchar_t* cls) {
    OwnWindowSearch search{cls, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOwnWindowClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace fw::test
