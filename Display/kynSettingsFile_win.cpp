// Reading and replacing the settings file on disk.
#include "Display/kynSettingsFile.h"

#include <windows.h>

#include <algorithm>

#include "Display/kynMessageBox.h"
#include "framework/core/exceptions.h"

namespace kyn {
namespace {

class TFileHandle {
public:
    explicit TFileHandle(HANDLE handle) : handle_(handle) {}
    ~TFileHandle() { Close(); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    void Close() {
        if (Valid()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

[[noreturn]] void ThrowIoError(DWORD code) {
    std::wstring text = SystemErrorText(code);
    if (text.empty()) text = L"I/O error " + std::to_wstring(code);
    throw fw::EInOutError(text);
}

}  // namespace

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    bytes.clear();
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr)) {
            const DWORD error = GetLastError();
            file.Close();
            ThrowIoError(error);
        }
        if (got == 0) return true;
        bytes.append(chunk, got);
    }
}

bool ReplaceWholeFile(const std::wstring& path, std::string_view bytes) {
    // A read-only file cannot be opened for writing, so it is not replaced
    // either (Wine's MoveFileExW would replace it).
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    const std::wstring temporary = path + L".tmp";
    TFileHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    auto fail = [&](DWORD error) {
        file.Close();
        DeleteFileW(temporary.c_str());
        ThrowIoError(error);
    };
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(file.Get(), bytes.data() + done, want, &written, nullptr)) fail(GetLastError());
        if (written == 0) fail(ERROR_WRITE_FAULT);
        done += written;
    }
    if (!FlushFileBuffers(file.Get())) fail(GetLastError());
    file.Close();
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool LoadSettingsFile(const std::wstring& path, TGeneralSettings& settings) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        ShowMessageBox(TMessageBoxKind::Error, kSettingsLoadFailed);
        return false;
    }
    // The file is closed here, so a bad number is raised after the close.
    ReadGeneralSettings(bytes, settings);
    return true;
}

bool SaveSettingsFile(const std::wstring& path, const TGeneralSettings& settings) {
    if (!ReplaceWholeFile(path, WriteGeneralSettings(settings))) {
        ShowMessageBox(TMessageBoxKind::Error, kSettingsSaveFailed);
        return false;
    }
    return true;
}

}  // namespace kyn
