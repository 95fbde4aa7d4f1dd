// Version resources through version.dll.
#include "common/FileVersion.h"

#include <windows.h>

#include <vector>

namespace common {

std::wstring RunningProgramPath() {
    // GetModuleFileNameW truncates silently when the buffer is too small.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

bool ReadFileVersion(const std::wstring& path, TFileVersion& version) {
    version = {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || info == nullptr ||
        infoSize < sizeof(VS_FIXEDFILEINFO) || info->dwSignature != 0xFEEF04BD) {
        return false;
    }
    version.Major = HIWORD(info->dwFileVersionMS);
    version.Minor = LOWORD(info->dwFileVersionMS);
    version.Release = HIWORD(info->dwFileVersionLS);
    version.Build = LOWORD(info->dwFileVersionLS);
    return true;
}

bool ReadOwnFileVersion(TFileVersion& version) { return ReadFileVersion(RunningProgramPath(), version); }

std::wstring OwnFileVersionPart(int index) {
    if (index < 1 || index > 4) return {};
    try {
        TFileVersion v;
        if (!ReadOwnFileVersion(v)) return {};
        const uint16_t parts[] = {v.Major, v.Minor, v.Release, v.Build};
        return std::to_wstring(parts[index - 1]);
    } catch (...) {
        return {};
    }
}

}  // namespace common
