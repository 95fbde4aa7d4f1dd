// Real input through the X server: runs xdotool (a program of the machine
// under Wine) and keeps this thread's messages flowing while it works.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/support/win_test_app.h"

namespace kel::test {

inline bool XdotoolAvailable() {
    return GetFileAttributesW(L"Z:\\usr\\bin\\xdotool") != INVALID_FILE_ATTRIBUTES &&
           GetFileAttributesW(L"Z:\\bin\\sh") != INVALID_FILE_ATTRIBUTES;
}

// Runs "xdotool <args>"; false when it could not run or failed. Wine starts
// a program of the machine without a handle that ever signals, so the shell
// around it leaves its exit status in a file that this side waits for.
inline bool Xdotool(const std::wstring& args) {
    static int run = 0;
    const std::wstring name =
        L"/tmp/kyn-xdotool-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++run);
    std::wstring windowsName = L"Z:" + name;
    for (auto& c : windowsName) {
        if (c == L'/') c = L'\\';
    }
    DeleteFileW(windowsName.c_str());
    std::wstring command = L"Z:\\bin\\sh -c \"/usr/bin/xdotool " + args + L"; echo $? > " + name + L".part && mv " +
                           name + L".part " + name + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const bool finished = fw::test::PumpUntil(
        [&] { return GetFileAttributesW(windowsName.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
    int code = 1;
    if (FILE* f = _wfopen(windowsName.c_str(), L"r")) {
        if (std::fscanf(f, "%d", &code) != 1) code = 1;
        std::fclose(f);
    }
    DeleteFileW(windowsName.c_str());
    // Let the window take what the X server delivered.
    fw::test::PumpUntil([start = GetTickCount()] { return GetTickCount() - start > 150; });
    return finished && code == 0;
}

}  // namespace kel::test
