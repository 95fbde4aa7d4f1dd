// Host stand-ins for the Windows primitives, so the platform-free rules above
// them run in host tests. Paths keep the "\" convention of the library and
// become "/" paths only at the POSIX calls; Windows-only facts (registry,
// shell folders, charset) answer empty.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikSystemInternal.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::string ToUnixPath(std::string_view path) {
    std::string result(path);
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}

std::string FromUnixPath(std::string_view path) {
    std::string result(path);
    for (char& c : result) {
        if (c == '/') {
            c = '\\';
        }
    }
    return result;
}

std::tm ToTm(double localDateTime) {
    const TDateTimeParts p = DecodeDateTime(localDateTime);
    std::tm t{};
    t.tm_year = p.Year - 1900;
    t.tm_mon = p.Month - 1;
    t.tm_mday = p.Day;
    t.tm_hour = p.Hour;
    t.tm_min = p.Minute;
    t.tm_sec = p.Second;
    t.tm_wday = p.DayOfWeek;
    t.tm_isdst = -1;
    return t;
}

std::string FormatTm(double localDateTime, const char* format) {
    std::tm t = ToTm(localDateTime);
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &t);
    return std::string(buffer, n);
}

}  // namespace

// ---- Process and modules ---------------------------------------------------------

std::string GetProgramFileName() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n <= 0 ? std::string() : FromUnixPath(std::string_view(buffer, static_cast<std::size_t>(n)));
}

std::string GetCommandLineText() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!line.empty() && line.back() == '\0') {
        line.pop_back();
    }
    for (char& c : line) {
        if (c == '\0') {
            c = ' ';
        }
    }
    return line;
}

uintptr_t GetCurrentProcessHandle() { return static_cast<uintptr_t>(-1); }
uint32_t GetCurrentProcessIdValue() { return static_cast<uint32_t>(getpid()); }

TModuleHandle LibraryModuleHandle() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&LibraryModuleHandle), &info) == 0) {
        return 0;
    }
    return reinterpret_cast<TModuleHandle>(info.dli_fbase);
}

TModuleHandle FindModuleHandle(std::string_view moduleName) {
    // The host knows one module: the program, which holds the library.
    if (moduleName.empty() || !SameText(ExtractFileName(moduleName), ExtractFileName(GetProgramFileName()))) {
        return 0;
    }
    return LibraryModuleHandle();
}

std::string GetModuleFileNameLong(TModuleHandle module) {
    return module != 0 && module == LibraryModuleHandle() ? GetProgramFileName() : std::string();
}

std::string GetComputerNameText() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0) {
        return std::string();
    }
    return std::string(buffer).substr(0, 15);
}

void MainUnitCodeStart() { __asm__ volatile(""); }

// ---- Environment ----------------------------------------------------------------------

std::string GetEnvironmentText(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    return value != nullptr ? std::string(value) : std::string();
}

bool SetEnvironmentText(std::string_view name, std::string_view value) {
    return setenv(std::string(name).c_str(), std::string(value).c_str(), 1) == 0;
}

std::string GetCurrentFolder() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) != nullptr ? FromUnixPath(buffer) : std::string();
}

std::string LocaleShortDateText(double localDateTime) { return FormatTm(localDateTime, "%x"); }
std::string LocaleLongTimeText(double localDateTime) { return FormatTm(localDateTime, "%X"); }

// ---- Time --------------------------------------------------------------------------------

double NowDateTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm t{};
    localtime_r(&now.tv_sec, &t);
    return EncodeDateTime(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                          static_cast<int>(now.tv_nsec / 1000000));
}

int GetUtcOffsetMinutes(double localDateTime) {
    std::tm t = ToTm(localDateTime);
    if (mktime(&t) == static_cast<time_t>(-1)) {
        return 0;
    }
    return static_cast<int>(t.tm_gmtoff / 60);
}

// ---- Code page -------------------------------------------------------------------------

std::u16string AnsiToUtf16(std::string_view text) {
    const std::wstring wide = fw::AnsiToWide(text);
    return std::u16string(wide.begin(), wide.end());  // Windows-1252 maps into the BMP
}

int GetUserCharset() { return 0; }

// ---- Folders and files --------------------------------------------------------------------

std::string GetShellFolderPath(int) { return std::string(); }
std::string GetWindowsFolder() { return std::string(); }
bool IsWindows9x() { return false; }

std::string GetTempFolder() {
    const char* dir = std::getenv("TMPDIR");
    return AddTrailingBackslash(FromUnixPath(dir != nullptr && *dir != '\0' ? dir : "/tmp"));
}

bool FolderExists(std::string_view path) {
    struct stat st;
    return !path.empty() && stat(ToUnixPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(std::string_view path) { return mkdir(ToUnixPath(path).c_str(), 0777) == 0; }

bool CanOpenForRead(std::string_view path) {
    struct stat st;
    const std::string name = ToUnixPath(path);
    if (stat(name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return false;
    }
    const int fd = open(name.c_str(), O_RDONLY);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

bool CanOpenForWrite(std::string_view path) {
    const std::string name = ToUnixPath(path);
    int fd = open(name.c_str(), O_RDWR);
    if (fd >= 0) {
        close(fd);
        return true;
    }
    if (errno != ENOENT) {
        return false;
    }
    fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
    if (fd < 0) {
        return false;
    }
    close(fd);
    unlink(name.c_str());
    return true;
}

double GetFileDateTime(std::string_view path) {
    struct stat st;
    if (stat(ToUnixPath(path).c_str(), &st) != 0) {
        return 0;
    }
    std::tm t{};
    localtime_r(&st.st_mtime, &t);
    return EncodeDateTime(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec / 2 * 2);
}

std::string ExpandLongPathName(std::string_view path) { return std::string(path); }

bool ReadWholeFile(std::string_view path, std::string& contents, std::size_t maxSize) {
    try {
        return fw::TryReadFileBytes(ToUnixPath(path), contents, maxSize);
    } catch (const fw::EInOutError&) {
        return false;
    }
}

bool WriteWholeFile(std::string_view path, std::string_view contents) {
    try {
        return fw::ReplaceFileBytes(ToUnixPath(path), contents);
    } catch (const fw::EInOutError&) {
        return false;
    }
}

// ---- INI files and registry --------------------------------------------------------------

namespace internal {

std::string IniReadRaw(const std::string&, std::string_view, std::string_view, std::string_view defaultValue) {
    return std::string(defaultValue);
}

bool IniWriteRaw(const std::string&, std::string_view, std::string_view, std::string_view) { return false; }

}  // namespace internal

std::string ReadRegistryString(uintptr_t, std::string_view, std::string_view) { return std::string(); }

// ---- Foreign memory ------------------------------------------------------------------------

std::size_t GetReadableLength(const void* address, std::size_t length) {
    const uintptr_t start = reinterpret_cast<uintptr_t>(address);
    std::ifstream maps("/proc/self/maps");
    std::string line;
    uintptr_t covered = start;  // readable up to here
    bool found = false;
    while (std::getline(maps, line)) {
        uintptr_t low = 0;
        uintptr_t high = 0;
        char perms[5] = {};
        if (std::sscanf(line.c_str(), "%" SCNxPTR "-%" SCNxPTR " %4s", &low, &high, perms) != 3) {
            continue;
        }
        if (high <= covered) {
            continue;
        }
        if (low > covered || perms[0] != 'r') {
            break;
        }
        covered = high;
        found = true;
        if (covered - start >= length) {
            break;
        }
    }
    if (!found) {
        return 0;
    }
    const std::size_t readable = covered - start;
    return readable >= length ? readable : 0;
}

}  // namespace drevnik
