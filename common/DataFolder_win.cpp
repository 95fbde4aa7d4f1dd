// The data-folder rule on this machine: My Documents from the shell, the
// program file's folder, and the real file system.
#include "common/DataFolder.h"

#include <windows.h>
#include <shlobj.h>

#include "common/FileVersion.h"
#include "common/MessageBox.h"
#include "framework/core/paths.h"

namespace common {
namespace {

DWORD Attributes(const std::wstring& path) {
    // A trailing backslash makes GetFileAttributesW fail on some systems.
    std::wstring probe = path;
    while (probe.size() > 3 && probe.back() == L'\\') probe.pop_back();
    return GetFileAttributesW(probe.c_str());
}

}  // namespace

std::optional<std::wstring> MyDocumentsFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)) || path[0] == L'\0') {
        return std::nullopt;
    }
    return std::wstring(path);
}

std::wstring RunningProgramFolder() {
    return fw::ExtractFilePath(RunningProgramPath());
}

TFolderProbes FileSystemProbes() {
    TFolderProbes probes;
    probes.FileExists = [](const std::wstring& path) {
        const DWORD a = Attributes(path);
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
    };
    probes.DirectoryExists = [](const std::wstring& path) {
        const DWORD a = Attributes(path);
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    };
    return probes;
}

TDataFolderLocation LocateDataFolder(const TDataFolderTexts& texts) {
    TDataFolderLocation location =
        DataFolderRule(MyDocumentsFolder(), RunningProgramFolder(), FileSystemProbes(), texts.MyDocumentsMissing);
    if (!location.Found) ShowMessageBox(TMessageBoxKind::Error, texts.NoDataFolder);
    return location;
}

}  // namespace common
