// The updater's data folder and settings on this machine.
#include "Updater/oruResourceManager.h"

#include "common/DataFolder.h"
#include "common/MessageBox.h"
#include "common/SettingsFile.h"

namespace oru {

bool FindDataFolder() {
    const common::TDataFolderLocation location =
        common::LocateDataFolder({L"Could Not Locate MyDocuments Folder",
                                  L"Application Folder Not Found. Morvane Application Update Will Now Close"});
    DataFolder = location.DataFolder;
    ExeFolder = location.ExeFolder;
    DataFolderFound = location.Found;
    return location.Found;
}

bool LoadThemeAndLanguage() {
    // Never a path relative to the working directory.
    if (!DataFolderFound) return false;
    // Lines 1 and 2 only: the language is read and not used.
    common::TGeneralSettings settings;
    common::TSettingsFile file(common::GeneralSettingsFileIn(DataFolder));
    if (file.Load(settings, 2) != common::TSettingsLoad::Loaded) {
        common::ShowMessageBox(common::TMessageBoxKind::Error, common::kSettingsLoadFailed);
        return false;
    }
    UpdaterTheme = settings.Theme;
    return true;
}

}  // namespace oru
