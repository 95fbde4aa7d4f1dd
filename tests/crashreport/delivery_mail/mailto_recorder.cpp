// Registered as the mailto command in the tests: writes its command line
// (UTF-8) into the file named by KYN_MAILTO_RECORD and ends with code 7.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
    const wchar_t* line = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, line, -1, text.data(), size, nullptr, nullptr);
    if (!text.empty()) text.pop_back();
    wchar_t path[1024];
    if (GetEnvironmentVariableW(L"KYN_MAILTO_RECORD", path, 1024) > 0) {
        if (FILE* out = _wfopen(path, L"wb")) {
            std::fwrite(text.data(), 1, text.size(), out);
            std::fclose(out);
        }
    }
    return 7;
}
