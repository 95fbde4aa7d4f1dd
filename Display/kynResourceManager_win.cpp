// The display form's services of the data folder, the settings file, the
// program's version and system error texts.
#include "Display/kynResourceManager.h"

#include "Display/kynDataFolder.h"
#include "Display/kynFileVersion.h"
#include "Display/kynMessageBox.h"
#include "Display/kynSettingsFile.h"

namespace kyn {

bool FindDataFolder() {
    const TDataFolderLocation location =
        LocateDataFolder({L"Could Not Locate MyDocuments Folder Location",
                          L"Application Folder Not Found. Quorvex Display will Now Close"});
    DataFolder = location.DataFolder;
    ExeFolder = location.ExeFolder;
    DataFolderFound = location.Found;
    if (!location.Found) RequestApplicationEnd();
    return location.Found;
}

// Without a data folder the path would be the My Documents candidate that
// does not exist, or, before FindDataFolder, a path relative to the working
// directory: neither is read or written.
bool LoadSettings() {
    if (!DataFolderFound) return false;
    return LoadSettingsFile(GeneralSettingsFileIn(DataFolder), GeneralSettings);
}

bool SaveSettings() {
    if (!DataFolderFound) return false;
    return SaveSettingsFile(GeneralSettingsFileIn(DataFolder), GeneralSettings);
}

bool GetOwnFileVersion(uint16_t& major, uint16_t& minor, uint16_t& release, uint16_t& build) {
    TFileVersion version;
    const bool ok = ReadFileVersion(RunningProgramPath(), version);
    major = version.Major;
    minor = version.Minor;
    release = version.Release;
    build = version.Build;
    return ok;
}

std::wstring GetOwnFileVersionPart(int index) {
    if (index < 1 || index > 4) return {};
    try {
        TFileVersion v;
        if (!ReadFileVersion(RunningProgramPath(), v)) return {};
        const uint16_t parts[] = {v.Major, v.Minor, v.Release, v.Build};
        return std::to_wstring(parts[index - 1]);
    } catch (...) {
        return {};
    }
}

std::wstring GetVersionText() {
    return FormatVersionText(GetOwnFileVersionPart(1), GetOwnFileVersionPart(2), GetOwnFileVersionPart(4));
}

void ShowSystemError(uint32_t errorCode) {
    const std::wstring text = SystemErrorText(errorCode);
    if (!text.empty()) ShowMessageBox(TMessageBoxKind::Plain, text);
}

}  // namespace kyn
