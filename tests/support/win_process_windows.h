// Test support for tests that drive another program: finds its visible
// top-level windows by a condition, waits for a condition, and gives build
// tree paths as that program sees them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace fw::test {

// Polls `done` every 50 ms; false when `boundMs` passes first.
inline bool WaitUntil(const std::function<bool()>& done, DWORD boundMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > boundMs) return false;
        Sleep(50);
    }
    return true;
}

// A path of the build tree ("/work/...") as Windows sees it under Wine (Z:).
inline std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string out = "Z:";
    for (char c : path) out += c == '/' ? '\\' : c;
    return out;
}

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
