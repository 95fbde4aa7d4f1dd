// Test support: finds the visible top-level windows of another process (a
// program the test started) by a condition on the window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace fw::test {

inline std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct TProcessWindowSearch {
    DWORD Pid;
    std::function<bool(HWND)> Match;
    HWND Found;
};

inline BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM lp) {
    auto* s = reinterpret_cast<TProcessWindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s->Pid || !IsWindowVisible(window) || !s->Match(window)) return TRUE;
    s->Found = window;
    return FALSE;
}

// The first visible top-level window of process `pid` that `match` accepts.
inline HWND FindTopLevel(DWORD pid, const std::function<bool(HWND)>& match) {
    TProcessWindowSearch search{pid, match, nullptr};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

}  // namespace fw::test
