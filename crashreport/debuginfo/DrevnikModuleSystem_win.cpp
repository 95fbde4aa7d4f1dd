#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "crashreport/debuginfo/DrevnikModuleSystem.h"
#include "crashreport/debuginfo/DrevnikModules.h"
#include "crashreport/debuginfo/DrevnikWinHandles_win.h"

namespace drevnik {
namespace {

// A NUL-terminated copy for the 8-bit calls.
std::string Terminated(std::string_view text) { return std::string(text); }

// The version resource of a file, as GetFileVersionInfoA gives it.
std::vector<char> ReadVersionResource(std::string_view filePath) {
    const std::string path = Terminated(filePath);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, data.data())) {
        data.clear();
    }
    return data;
}

// A string of the first translation's table, taken when longer than one
// character (a lone NUL or blank says nothing).
std::string QueryVersionString(std::vector<char>& data, const char* name) {
    if (data.empty()) {
        return std::string();
    }
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        translation == nullptr || length < 2 * sizeof(WORD)) {
        return std::string();
    }
    char key[96];
    std::snprintf(key, sizeof key, "\\StringFileInfo\\%04X%04X\\%s", translation[0], translation[1], name);
    char* value = nullptr;
    if (!VerQueryValueA(data.data(), key, reinterpret_cast<void**>(&value), &length) || value == nullptr ||
        length <= 1) {
        return std::string();
    }
    return std::string(value, strnlen(value, length));
}

}  // namespace

TModuleHandle ProgramModuleHandle() { return reinterpret_cast<TModuleHandle>(GetModuleHandleW(nullptr)); }

TModuleHandle FindModuleOfAddress(uintptr_t address) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) != sizeof info ||
        info.State != MEM_COMMIT) {
        return 0;
    }
    return reinterpret_cast<TModuleHandle>(info.AllocationBase);
}

std::vector<TModuleHandle> EnumerateModulesPsapi() {
    using TEnumProcessModules = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);
    std::vector<TModuleHandle> result;
    const TLoadedLibrary psapi(LoadLibraryW(L"PSAPI.DLL"));
    const auto enumModules = BindProc<TEnumProcessModules>(psapi.Get(), "EnumProcessModules");
    const TKernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, GetCurrentProcessId()));
    if (enumModules == nullptr || !process) {
        return result;
    }
    DWORD needed = 0;
    if (!enumModules(process.Get(), nullptr, 0, &needed) || needed == 0) {
        return result;
    }
    std::vector<HMODULE> modules(needed / sizeof(HMODULE));
    DWORD filled = 0;
    if (!enumModules(process.Get(), modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &filled)) {
        return result;
    }
    // Modules loaded between the two calls are not in the buffer.
    modules.resize(std::min<std::size_t>(modules.size(), filled / sizeof(HMODULE)));
    for (HMODULE module : modules) {
        result.push_back(reinterpret_cast<TModuleHandle>(module));
    }
    return result;
}

std::vector<TModuleHandle> EnumerateModulesToolhelp() {
    using TCreateSnapshot = HANDLE(WINAPI*)(DWORD, DWORD);
    using TModuleWalk = BOOL(WINAPI*)(HANDLE, tagMODULEENTRY32*);
    std::vector<TModuleHandle> result;
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto createSnapshot = BindProc<TCreateSnapshot>(kernel, "CreateToolhelp32Snapshot");
    const auto first = BindProc<TModuleWalk>(kernel, "Module32First");
    const auto next = BindProc<TModuleWalk>(kernel, "Module32Next");
    if (createSnapshot == nullptr || first == nullptr || next == nullptr) {
        return result;
    }
    const TKernelHandle snapshot(createSnapshot(TH32CS_SNAPMODULE, GetCurrentProcessId()));
    if (!snapshot) {
        return result;
    }
    tagMODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = first(snapshot.Get(), &entry); ok; ok = next(snapshot.Get(), &entry)) {
        result.push_back(reinterpret_cast<TModuleHandle>(entry.hModule));
    }
    return result;
}

uintptr_t ResolveLoadedForwarder(std::string_view forwarder) {
    const std::size_t dot = forwarder.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 >= forwarder.size()) {
        return 0;
    }
    // GetModuleHandle adds ".dll" to a name without extension, and never loads.
    const HMODULE target = GetModuleHandleA(Terminated(forwarder.substr(0, dot)).c_str());
    if (target == nullptr) {
        return 0;
    }
    const std::string function = Terminated(forwarder.substr(dot + 1));
    FARPROC address;
    if (function[0] == '#') {
        const unsigned long ordinal = std::strtoul(function.c_str() + 1, nullptr, 10);
        if (ordinal == 0 || ordinal > 0xFFFF) {
            return 0;
        }
        address = GetProcAddress(target, MAKEINTRESOURCEA(ordinal));
    } else {
        address = GetProcAddress(target, function.c_str());
    }
    return reinterpret_cast<uintptr_t>(address);
}

bool HasPackageResources(std::string_view filePath) {
    const TLoadedLibrary data(LoadLibraryExA(Terminated(filePath).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    return data && FindResourceA(data.Get(), "PACKAGEINFO", MAKEINTRESOURCEA(10)) != nullptr &&
           FindResourceA(data.Get(), "PACKAGEOPTIONS", MAKEINTRESOURCEA(10)) != nullptr;
}

void GetFileVersionFacts(std::string_view filePath, std::string& description, std::string& version) {
    description.clear();
    version.clear();
    std::vector<char> data = ReadVersionResource(filePath);
    if (data.empty()) {
        return;
    }
    description = QueryVersionString(data, "FileDescription");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr &&
        length >= sizeof(VS_FIXEDFILEINFO)) {
        version = FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    }
}

std::string GetProductVersionText(std::string_view filePath) {
    std::vector<char> data = ReadVersionResource(filePath);
    return QueryVersionString(data, "ProductVersion");
}

uint64_t GetFileSizeBytes(std::string_view filePath) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(Terminated(filePath).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    FindClose(search);
    return (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
}

bool ForceDeleteFile(std::string_view filePath) {
    const std::wstring path = [&] {
        const std::u16string wide = AnsiToUtf16(filePath);
        return std::wstring(wide.begin(), wide.end());
    }();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return DeleteFileW(path.c_str()) != 0;
}

}  // namespace drevnik
