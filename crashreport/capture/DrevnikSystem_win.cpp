// Windows primitives of the system helpers. The library talks 8-bit text to
// Windows, so the "A" functions are called throughout.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikSystemInternal.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::string Z(std::string_view text) { return std::string(text); }  // NUL-terminated copy

// Closes a kernel handle on scope exit.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

class ScopedRegKey {
public:
    ScopedRegKey() = default;
    ~ScopedRegKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

SYSTEMTIME ToSystemTime(double dateTime) {
    const TDateTimeParts p = DecodeDateTime(dateTime);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(p.Year);
    st.wMonth = static_cast<WORD>(p.Month);
    st.wDay = static_cast<WORD>(p.Day);
    st.wDayOfWeek = static_cast<WORD>(p.DayOfWeek);
    st.wHour = static_cast<WORD>(p.Hour);
    st.wMinute = static_cast<WORD>(p.Minute);
    st.wSecond = static_cast<WORD>(p.Second);
    st.wMilliseconds = static_cast<WORD>(p.Millisecond);
    return st;
}

long long FileTimeValue(const FILETIME& ft) {
    return static_cast<long long>((static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

bool IsReadableProtection(DWORD protect) {
    switch (protect) {  // a guard or no-cache modifier makes any of these unreadable
        case PAGE_READONLY:
        case PAGE_READWRITE:
        case PAGE_WRITECOPY:
        case PAGE_EXECUTE:
        case PAGE_EXECUTE_READ:
        case PAGE_EXECUTE_READWRITE:
        case PAGE_EXECUTE_WRITECOPY:
            return true;
        default:
            return false;
    }
}

// Readable bytes of the region holding `address`, from `address` to the
// region's end; 0 when the region is not committed and readable.
std::size_t ReadableRest(uintptr_t address) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) != sizeof info) {
        return 0;
    }
    if (info.State != MEM_COMMIT || !IsReadableProtection(info.Protect)) {
        return 0;
    }
    const uintptr_t end = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    return end > address ? end - address : 0;
}

}  // namespace

// ---- Process and modules ---------------------------------------------------------

std::string GetProgramFileName() {
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return std::string();
        }
        if (n < buffer.size() - 1 || buffer.size() >= 32768) {
            return std::string(buffer.data(), n);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string GetCommandLineText() {
    const char* line = GetCommandLineA();
    return line != nullptr ? std::string(line) : std::string();
}

uintptr_t GetCurrentProcessHandle() { return reinterpret_cast<uintptr_t>(GetCurrentProcess()); }
uint32_t GetCurrentProcessIdValue() { return GetCurrentProcessId(); }

TModuleHandle LibraryModuleHandle() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&LibraryModuleHandle), &module);
    return reinterpret_cast<TModuleHandle>(module);
}

TModuleHandle FindModuleHandle(std::string_view moduleName) {
    if (moduleName.empty()) {
        return 0;
    }
    return reinterpret_cast<TModuleHandle>(GetModuleHandleA(Z(moduleName).c_str()));
}

std::string GetModuleFileNameLong(TModuleHandle module) {
    if (module == 0) {
        return std::string();
    }
    char buffer[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(reinterpret_cast<HMODULE>(module), buffer, MAX_PATH);
    if (n == 0) {
        return std::string();
    }
    std::string name(buffer, std::min<DWORD>(n, MAX_PATH));
    if (name.find('?') != std::string::npos) {
        // "\\?\C:\..." long-path form: keep from the drive letter on.
        const std::size_t colon = name.find(':');
        if (colon != std::string::npos && colon > 0) {
            name.erase(0, colon - 1);
        }
    }
    return ExpandLongPathName(name);
}

std::string GetComputerNameText() {
    char buffer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof buffer;
    if (!GetComputerNameA(buffer, &size)) {
        return std::string();
    }
    return std::string(buffer, std::min<DWORD>(size, MAX_COMPUTERNAME_LENGTH));
}

void MainUnitCodeStart() { __asm__ volatile(""); }

// ---- Environment ----------------------------------------------------------------------

std::string GetEnvironmentText(std::string_view name) {
    const std::string key = Z(name);
    std::vector<char> buffer(1024);
    DWORD n = GetEnvironmentVariableA(key.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n >= buffer.size()) {  // too long for the first buffer: n is the size needed
        buffer.resize(n + 1);
        n = GetEnvironmentVariableA(key.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n >= buffer.size()) {
            return std::string();
        }
    }
    return std::string(buffer.data(), n);
}

bool SetEnvironmentText(std::string_view name, std::string_view value) {
    return SetEnvironmentVariableA(Z(name).c_str(), Z(value).c_str()) != 0;
}

std::string GetCurrentFolder() {
    char buffer[MAX_PATH + 1];
    const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    return n == 0 || n >= sizeof buffer ? std::string() : std::string(buffer, n);
}

std::string LocaleShortDateText(double localDateTime) {
    const SYSTEMTIME st = ToSystemTime(localDateTime);
    char buffer[128];
    const int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, n - 1) : std::string();
}

std::string LocaleLongTimeText(double localDateTime) {
    const SYSTEMTIME st = ToSystemTime(localDateTime);
    char buffer[128];
    const int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, n - 1) : std::string();
}

// ---- Time --------------------------------------------------------------------------------

double NowDateTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

int GetUtcOffsetMinutes(double localDateTime) {
    const SYSTEMTIME local = ToSystemTime(localDateTime);
    SYSTEMTIME utc;
    FILETIME localFt;
    FILETIME utcFt;
    if (TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && SystemTimeToFileTime(&local, &localFt) &&
        SystemTimeToFileTime(&utc, &utcFt)) {
        const long long diff = FileTimeValue(localFt) - FileTimeValue(utcFt);  // 100 ns units
        const long long minute = 600000000LL;
        return static_cast<int>((diff >= 0 ? diff + minute / 2 : diff - minute / 2) / minute);
    }
    TIME_ZONE_INFORMATION zone;
    const DWORD id = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias;
    if (id == TIME_ZONE_ID_DAYLIGHT) {
        bias += zone.DaylightBias;
    } else if (id == TIME_ZONE_ID_STANDARD) {
        bias += zone.StandardBias;
    }
    return id == TIME_ZONE_ID_INVALID ? 0 : static_cast<int>(-bias);
}

// ---- Code page -------------------------------------------------------------------------

std::u16string AnsiToUtf16(std::string_view text) {
    if (text.empty()) {
        return std::u16string();
    }
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) {
        return std::u16string();
    }
    std::u16string result(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<wchar_t*>(result.data()),
                        n);
    return result;
}

int GetUserCharset() {
    char buffer[7] = {};
    UINT codePage = 0;
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, buffer, 6) > 0) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(buffer, &end, 10);
        if (end != buffer && *end == '\0') {
            codePage = static_cast<UINT>(value);
        }
    }
    if (codePage == 0) {
        codePage = GetACP();
    }
    CHARSETINFO info{};
    if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(codePage)), &info, TCI_SRCCODEPAGE)) {
        return DEFAULT_CHARSET;
    }
    return static_cast<int>(info.ciCharset);
}

// ---- Folders and files --------------------------------------------------------------------

std::string GetShellFolderPath(int csidl) {
    using GetFolderPathA = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    HMODULE library = LoadLibraryA("shfolder.dll");
    if (library == nullptr) {
        return std::string();
    }
    std::string result;
    const auto entry = reinterpret_cast<GetFolderPathA>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "SHGetFolderPathA")));
    char buffer[MAX_PATH + 1] = {};
    if (entry != nullptr && SUCCEEDED(entry(nullptr, csidl, nullptr, 0, buffer))) {
        result = buffer;
    }
    FreeLibrary(library);
    return result;
}

std::string GetWindowsFolder() {
    char buffer[257];
    const UINT n = GetWindowsDirectoryA(buffer, 256);
    return n == 0 || n > 256 ? std::string() : std::string(buffer, n);
}

bool IsWindows9x() {
    // The platform id of Windows 95, 98 and Me shows as the top bit.
    return (GetVersion() & 0x80000000u) != 0;
}

std::string GetTempFolder() {
    char buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof buffer, buffer);
    return n == 0 || n > MAX_PATH ? std::string() : std::string(buffer, n);
}

bool FolderExists(std::string_view path) {
    const DWORD attributes = GetFileAttributesA(Z(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolder(std::string_view path) { return CreateDirectoryA(Z(path).c_str(), nullptr) != 0; }

bool CanOpenForRead(std::string_view path) {
    ScopedHandle file(CreateFileA(Z(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

bool CanOpenForWrite(std::string_view path) {
    const std::string name = Z(path);
    HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(handle);
    if (!existed) {
        DeleteFileA(name.c_str());
    }
    return true;
}

double GetFileDateTime(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(Z(path).c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    FILETIME local;
    WORD dosDate = 0;
    WORD dosTime = 0;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        return 0;
    }
    return EncodeDateTime(1980 + (dosDate >> 9), (dosDate >> 5) & 15, dosDate & 31, dosTime >> 11, (dosTime >> 5) & 63,
                          (dosTime & 31) * 2);
}

std::string ExpandLongPathName(std::string_view path) {
    if (path.find('~') == std::string_view::npos) {
        return std::string(path);
    }
    char full[MAX_PATH + 1];
    const DWORD n = GetFullPathNameA(Z(path).c_str(), sizeof full, full, nullptr);
    if (n == 0 || n > MAX_PATH) {
        return std::string(path);
    }
    const std::string absolute(full, n);
    // The drive part: "C:" or "\\server\share".
    std::size_t pos;
    if (absolute.size() >= 2 && absolute[1] == ':') {
        pos = 2;
    } else if (absolute.rfind("\\\\", 0) == 0) {
        pos = absolute.find('\\', 2);
        pos = pos == std::string::npos ? absolute.size() : absolute.find('\\', pos + 1);
        pos = pos == std::string::npos ? absolute.size() : pos;
    } else {
        return absolute;
    }
    std::string result = absolute.substr(0, pos);
    if (pos < absolute.size() && absolute[pos] == '\\') {
        result += '\\';
        ++pos;
    }
    while (pos < absolute.size()) {
        std::size_t end = absolute.find('\\', pos);
        if (end == std::string::npos) {
            end = absolute.size();
        }
        const std::string component = absolute.substr(pos, end - pos);
        WIN32_FIND_DATAA found;
        HANDLE search = INVALID_HANDLE_VALUE;
        // A wildcard would let the search report some other file's name.
        if (!component.empty() && component.find_first_of("*?") == std::string::npos) {
            search = FindFirstFileA((result + component).c_str(), &found);
        }
        if (search == INVALID_HANDLE_VALUE) {
            result += absolute.substr(pos);
            break;
        }
        FindClose(search);
        result += found.cFileName;
        if (end < absolute.size()) {
            result += '\\';
        }
        pos = end + 1;
    }
    return result;
}

bool ReadWholeFile(std::string_view path, std::string& contents, std::size_t maxSize) {
    try {
        return fw::TryReadFileBytes(fw::AnsiToWide(path), contents, maxSize);
    } catch (const fw::EInOutError&) {
        return false;
    }
}

bool WriteWholeFile(std::string_view path, std::string_view contents) {
    try {
        return fw::ReplaceFileBytes(fw::AnsiToWide(path), contents);
    } catch (const fw::EInOutError&) {
        return false;
    }
}

// ---- INI files and registry --------------------------------------------------------------

namespace internal {

std::string IniReadRaw(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
    char buffer[2048];
    const DWORD n = GetPrivateProfileStringA(Z(section).c_str(), Z(key).c_str(), Z(defaultValue).c_str(), buffer,
                                             sizeof buffer, file.c_str());
    return std::string(buffer, std::min<DWORD>(n, sizeof buffer - 1));
}

bool IniWriteRaw(const std::string& file, std::string_view section, std::string_view key, std::string_view value) {
    return WritePrivateProfileStringA(Z(section).c_str(), Z(key).c_str(), Z(value).c_str(), file.c_str()) != 0;
}

}  // namespace internal

std::string ReadRegistryString(uintptr_t rootKey, std::string_view keyPath, std::string_view valueName) {
    if (!keyPath.empty() && keyPath.front() == '\\') {
        keyPath.remove_prefix(1);
    }
    ScopedRegKey key;
    if (RegOpenKeyExA(reinterpret_cast<HKEY>(rootKey), Z(keyPath).c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) {
        return std::string();
    }
    const std::string name = Z(valueName);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) || size > (1u << 20)) {
        return std::string();
    }
    std::string value(size, '\0');
    if (size > 0 && RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                                     &size) != ERROR_SUCCESS) {
        return std::string();
    }
    value.resize(std::min<std::size_t>(size, value.size()));
    // Drop the terminating NULs only: a value stored without one keeps its
    // last real character.
    while (!value.empty() && value.back() == '\0') {
        value.pop_back();
    }
    return value;
}

// ---- Foreign memory ------------------------------------------------------------------------

std::size_t GetReadableLength(const void* address, std::size_t length) {
    const uintptr_t start = reinterpret_cast<uintptr_t>(address);
    std::size_t readable = ReadableRest(start);
    if (readable == 0) {
        return 0;
    }
    while (readable < length) {
        if (start + readable < start) {
            return 0;  // ran off the end of the address space
        }
        const std::size_t next = ReadableRest(start + readable);
        if (next == 0) {
            return 0;
        }
        readable += next;
    }
    return readable;
}

}  // namespace drevnik
