// The Windows side of the transfer helpers: the file system, dates, the
// locale's decimal separator and WinINet's error texts.
#include "Updater/NetCopy.h"

#include <wininet.h>

namespace oru {
namespace {

class WindowsFileSystem : public TNcFileSystem {
public:
    bool FileExists(const std::wstring& path) const override {
        return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool DirectoryExists(const std::wstring& path) const override {
        DWORD a = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool MakeDirectory(const std::wstring& path) override { return CreateDirectoryW(path.c_str(), nullptr) != FALSE; }
};

TDateTime FromSystemTime(const SYSTEMTIME& st) {
    return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

}  // namespace

TNcFileSystem& NcWindowsFileSystem() {
    static WindowsFileSystem fs;
    return fs;
}

wchar_t NcDecimalSeparator() {
    wchar_t buf[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) > 1) return buf[0];
    return L'.';
}

TDateTime NetCopyFileTimeToDateTime(const FILETIME& time) {
    SYSTEMTIME st{};
    if (!FileTimeToSystemTime(&time, &st)) return 0;
    return FromSystemTime(st);
}

TDateTime NetCopyHttpDateToDateTime(const SYSTEMTIME& time) {
    if (time.wYear == 0 && time.wMonth == 0) {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return FromSystemTime(now);
    }
    return FromSystemTime(time);
}

std::wstring WinInetErrorText(DWORD code) {
    // The program that transfers has it loaded; a caller that only wants the
    // text gets the system's copy, as data.
    static HMODULE module = [] {
        HMODULE m = GetModuleHandleW(L"wininet.dll");
        if (m) return m;
        wchar_t dir[MAX_PATH] = {};
        UINT n = GetSystemDirectoryW(dir, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return HMODULE{};
        return LoadLibraryExW((std::wstring(dir) + L"\\wininet.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }();
    if (!module) return std::wstring();
    wchar_t buf[256] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, module, code, 0, buf, 256,
                             nullptr);
    std::wstring text(buf, n > 255 ? 255 : n);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    return text;
}

}  // namespace oru
