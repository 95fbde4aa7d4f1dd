// The display's data folder, settings file and version on this machine.
#include "Display/kynResourceManager.h"

#include "Display/kynDisplayModel.h"
#include "common/MessageBox.h"

namespace kyn {

using common::ShowMessageBox;
using common::TMessageBoxKind;

bool TkynResourceManager::FindDataFolder() {
    location_ = common::LocateDataFolder({L"Could Not Locate MyDocuments Folder Location",
                                          L"Application Folder Not Found. Quorvex Display will Now Close"});
    file_.reset();
    if (!location_.Found) {
        common::RequestApplicationEnd();
        return false;
    }
    file_.emplace(common::GeneralSettingsFileIn(location_.DataFolder));
    return true;
}

// Without a data folder the path would be the My Documents candidate that
// does not exist, or, before FindDataFolder, a path relative to the working
// directory: neither is read or written.
bool TkynResourceManager::LoadSettings() {
    if (!file_) return false;
    TGeneralSettings settings = model_.Settings();
    try {
        if (file_->Load(settings) != common::TSettingsLoad::Loaded) {
            ShowMessageBox(TMessageBoxKind::Error, common::kSettingsLoadFailed);
            return false;
        }
    } catch (...) {
        model_.ReplaceSettings(settings);
        throw;
    }
    model_.ReplaceSettings(settings);
    return true;
}

bool TkynResourceManager::SaveSettings() {
    if (!file_) return false;
    if (file_->Save(model_.Settings())) return true;
    ShowMessageBox(TMessageBoxKind::Error, common::kSettingsSaveFailed);
    return false;
}

bool GetOwnFileVersion(uint16_t& major, uint16_t& minor, uint16_t& release, uint16_t& build) {
    common::TFileVersion version;
    const bool ok = common::ReadOwnFileVersion(version);
    major = version.Major;
    minor = version.Minor;
    release = version.Release;
    build = version.Build;
    return ok;
}

std::wstring GetOwnFileVersionPart(int index) { return common::OwnFileVersionPart(index); }

std::wstring GetVersionText() {
    return FormatVersionText(GetOwnFileVersionPart(1), GetOwnFileVersionPart(2), GetOwnFileVersionPart(4));
}

}  // namespace kyn
