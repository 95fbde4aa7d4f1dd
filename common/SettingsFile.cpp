// Reading and replacing the settings file on disk.
#include "common/SettingsFile.h"

#include <optional>
#include <string>

#include "common/SettingsFormat.h"
#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"
#include "framework/core/os_file.h"

namespace common {
namespace {

std::optional<std::filesystem::path> FreeKeptName(const std::filesystem::path& file) {
    for (int i = 1; i <= TSettingsFile::kKeptNames; ++i) {
        std::filesystem::path kept = file;
        kept += i == 1 ? std::string(".unreadable") : ".unreadable." + std::to_string(i);
        if (!fw::OsPathExists(kept)) return kept;
    }
    return std::nullopt;
}

}  // namespace

std::wstring GeneralSettingsFileIn(const std::wstring& dataFolder) { return dataFolder + L"settings\\gsf"; }

TSettingsLoad TSettingsFile::Load(TGeneralSettings& settings, int lines) {
    // Whatever stops the read below, the file stays unread until it is through.
    keep_before_save_ = true;
    std::string bytes;
    if (!fw::TryReadFileBytes(path_, bytes, kMaxSize)) {
        keep_before_save_ = fw::OsPathExists(path_);
        return keep_before_save_ ? TSettingsLoad::Unreadable : TSettingsLoad::Missing;
    }
    // The file is closed here, so a bad number is raised after the close.
    ReadGeneralSettings(bytes, settings, lines);
    keep_before_save_ = false;
    return TSettingsLoad::Loaded;
}

bool TSettingsFile::Save(const TGeneralSettings& settings) {
    if (keep_before_save_ && fw::OsPathExists(path_)) {
        const std::optional<std::filesystem::path> kept = FreeKeptName(path_);
        if (!kept || !fw::OsMoveFile(path_, *kept, false)) return false;
        kept_ = *kept;
    }
    keep_before_save_ = false;
    try {
        return fw::ReplaceFileBytes(path_, WriteGeneralSettings(settings));
    } catch (const fw::EInOutError&) {
        // A disk that fills up mid-write: the old file is still in place.
        return false;
    }
}

}  // namespace common
