// The updater's data folder and settings on this machine.
#include "Updater/oruResourceManager.h"

#include "Display/kynDataFolder.h"
#include "Display/kynMessageBox.h"
#include "Display/kynResourceManager.h"
#include "Display/kynSettingsFile.h"
#include "framework/core/file_io.h"

namespace oru {

bool FindDataFolder() {
    const kyn::TDataFolderLocation location =
        kyn::LocateDataFolder({L"Could Not Locate MyDocuments Folder",
                               L"Application Folder Not Found. Morvane Application Update Will Now Close"});
    DataFolder = location.DataFolder;
    ExeFolder = location.ExeFolder;
    DataFolderFound = location.Found;
    return location.Found;
}

bool LoadThemeAndLanguage() {
    // Never a path relative to the working directory.
    if (!DataFolderFound) return false;
    std::string bytes;
    if (!fw::TryReadFileBytes(kyn::GeneralSettingsFileIn(DataFolder), bytes)) {
        kyn::ShowMessageBox(kyn::TMessageBoxKind::Error, kyn::kSettingsLoadFailed);
        return false;
    }
    int language = 0;
    ReadLanguageAndTheme(bytes, language, UpdaterTheme);
    return true;
}

}  // namespace oru
