// Reading and replacing the settings file on disk.
#include "Display/kynSettingsFile.h"

#include "Display/kynMessageBox.h"
#include "framework/core/file_io.h"

namespace kyn {

bool LoadSettingsFile(const std::wstring& path, TGeneralSettings& settings) {
    std::string bytes;
    if (!fw::TryReadFileBytes(path, bytes)) {
        ShowMessageBox(TMessageBoxKind::Error, kSettingsLoadFailed);
        return false;
    }
    // The file is closed here, so a bad number is raised after the close.
    ReadGeneralSettings(bytes, settings);
    return true;
}

bool SaveSettingsFile(const std::wstring& path, const TGeneralSettings& settings) {
    if (!fw::ReplaceFileBytes(path, WriteGeneralSettings(settings))) {
        ShowMessageBox(TMessageBoxKind::Error, kSettingsSaveFailed);
        return false;
    }
    return true;
}

}  // namespace kyn
