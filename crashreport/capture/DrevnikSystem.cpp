// The platform-free half of the system helpers: rules built on the
// primitives that DrevnikSystem_win.cpp and DrevnikSystem_host.cpp provide.
#include "crashreport/capture/DrevnikSystem.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "crashreport/capture/DrevnikSystemInternal.h"
#include "crashreport/capture/DrevnikUtils.h"

namespace drevnik {
namespace {

std::atomic<bool> gIdeHost{false};

}  // namespace

bool IsIdeHost() { return gIdeHost.load(std::memory_order_relaxed); }
void SetIdeHostFlag(bool value) { gIdeHost.store(value, std::memory_order_relaxed); }
bool DetectIdeHost() { return IsIdeProgramFileName(GetProgramFileName()); }

bool IsModuleHandle(TModuleHandle module) { return !GetModuleFileNameLong(module).empty(); }
std::string GetLibraryModuleFileName() { return GetModuleFileNameLong(LibraryModuleHandle()); }

std::string ExpandVariable(std::string_view name) {
    std::string value = GetEnvironmentText(name);
    if (!value.empty()) {
        return value;
    }
    if (SameText(name, "date")) {
        return LocaleShortDateText(NowDateTime());
    }
    if (SameText(name, "time")) {
        return LocaleLongTimeText(NowDateTime());
    }
    if (SameText(name, "cd")) {
        return GetCurrentFolder();
    }
    return std::string();
}

std::string ExpandVariables(std::string_view text) {
    if (text.find('%') == std::string_view::npos) {
        return std::string(text);
    }
    return ExpandVariablesWith(text, [](std::string_view name) { return ExpandVariable(name); });
}

int GetUtcOffsetHours() { return static_cast<int>(std::nearbyint(GetUtcOffsetMinutes(NowDateTime()) / 60.0)); }

std::string FormatRfc822Date(double localDateTime) {
    return FormatRfc822Date(localDateTime, GetUtcOffsetMinutes(localDateTime));
}

std::string EncodeUtf8(std::string_view text) { return text.empty() ? std::string() : Utf16ToUtf8(AnsiToUtf16(text)); }

namespace {

std::string& AppDataFolderOverride() {
    static std::string folder;
    return folder;
}

}  // namespace

void SetAppDataFolderOverride(std::string_view folder) { AppDataFolderOverride() = folder; }

std::string GetAppDataFolder() {
    if (!AppDataFolderOverride().empty()) {
        return AppDataFolderOverride();
    }
    std::string folder = GetShellFolderPath(26);  // CSIDL_APPDATA
    if (folder.empty()) {
        folder = GetEnvironmentText("AppData");
    }
    return folder.empty() ? std::string("\\") : folder;
}

std::string GetLibraryAppDataFolder() { return RemoveTrailingBackslash(GetAppDataFolder()) + "\\DrevnikLog"; }

std::string GetLibraryDataFolder() { return IsWindows9x() ? GetWindowsFolder() : GetLibraryAppDataFolder(); }

bool ForceFolders(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    const std::string dir = ExpandVariables(RemoveTrailingBackslash(path));
    if (dir.size() <= 2 || FolderExists(dir)) {
        return true;
    }
    const std::size_t slash = dir.rfind('\\');
    if (slash == std::string::npos) {
        return CreateFolder(dir);  // a relative name with no parent to make first
    }
    const std::string parent = dir.substr(0, slash);
    return ForceFolders(parent.empty() ? std::string("\\") : parent) && CreateFolder(dir);
}

bool CanOpenFile(std::string_view path, bool readOnly) { return readOnly ? CanOpenForRead(path) : CanOpenForWrite(path); }

bool EnsureWritableFile(std::string& path, bool intoProgramSubFolder, bool readOnly) {
    path = ExpandVariables(path);
    if (CanOpenFile(path, readOnly)) {
        return true;
    }
    std::string folder = GetLibraryAppDataFolder();
    if (!FolderExists(folder) && !CreateFolder(folder)) {
        return false;
    }
    if (intoProgramSubFolder) {
        folder += "\\" + ChangeFileExt(ExtractFileName(GetProgramFileName()), "");
        if (!FolderExists(folder) && !CreateFolder(folder)) {
            return false;
        }
    }
    const std::string candidate = folder + "\\" + ExtractFileName(path);
    if (!CanOpenFile(candidate, readOnly)) {
        return false;
    }
    path = candidate;
    return true;
}

namespace {

std::string PlaceIniFile(std::string_view file) {
    std::string placed(file);
    if (ExtractFilePath(placed).empty()) {
        placed = AddTrailingBackslash(GetLibraryDataFolder()) + placed;
    }
    return placed;
}

}  // namespace

std::string ReadIniString(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view defaultValue) {
    std::string placed = PlaceIniFile(file);
    if (!EnsureWritableFile(placed, false, false)) {
        return std::string(defaultValue);
    }
    return internal::IniReadRaw(placed, section, key, defaultValue);
}

bool WriteIniString(std::string_view file, std::string_view section, std::string_view key, std::string_view value) {
    std::string placed = PlaceIniFile(file);
    return EnsureWritableFile(placed, false, false) && internal::IniWriteRaw(placed, section, key, value);
}

bool IsReadableMemory(const void* address, std::size_t length) {
    return GetReadableLength(address, length) >= length;
}

uintptr_t ResolveImportThunk(uintptr_t address) {
    const auto* code = reinterpret_cast<const uint8_t*>(address);
    if (!IsReadableMemory(code, 8) || code[0] != 0xFF || code[1] != 0x25) {
        return address;
    }
    int32_t operand;
    std::memcpy(&operand, code + 2, sizeof operand);
#if defined(__x86_64__) || defined(_M_X64)
    const uintptr_t slot = address + 6 + static_cast<intptr_t>(operand);  // RIP-relative
#else
    const uintptr_t slot = static_cast<uint32_t>(operand);  // absolute
#endif
    if (!IsReadableMemory(reinterpret_cast<const void*>(slot), sizeof(uintptr_t))) {
        return address;
    }
    uintptr_t target;
    std::memcpy(&target, reinterpret_cast<const void*>(slot), sizeof target);
    return target;
}

}  // namespace drevnik
