// The general settings file on disk, "settings\gsf" in the data folder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "common/GeneralSettings.h"
#include "common/SettingsFields.h"

namespace common {

// The texts of the boxes through which both programs report the file.
inline constexpr const wchar_t* kSettingsLoadFailed = L"General Settings File Loading Failed";
inline constexpr const wchar_t* kSettingsSaveFailed = L"General Setting File Saving Failed";

// "settings\gsf" in the given data folder (which ends with a backslash).
std::wstring GeneralSettingsFileIn(const std::wstring& dataFolder);

enum class TSettingsLoad {
    Loaded,
    Missing,     // nothing stands at the path
    Unreadable,  // something does, but it cannot be opened or is far too large
};

// Loads and saves one settings file. A file that exists but could not be
// read (another program holds it, it is far too large, a number in it is
// bad) is never overwritten: the next Save first moves it aside, to
// "<name>.unreadable" or, while that is taken, "<name>.unreadable.2" and on,
// and fails when it cannot.
class TSettingsFile {
public:
    // Far larger than any settings file the program writes (about 300 bytes);
    // a larger file is refused unread.
    static constexpr std::size_t kMaxSize = 64 * 1024;
    // How many names Save tries for keeping an unreadable file.
    static constexpr int kKeptNames = 99;

    explicit TSettingsFile(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& Path() const { return path_; }

    // Reads the first `lines` lines into settings; the settings are left as
    // they were unless Loaded. A bad number raises fw::EInOutError "Invalid
    // numeric input" after the file is closed; values read before it stay.
    TSettingsLoad Load(TGeneralSettings& settings, int lines = kSettingsLineCount);

    // Writes the whole file (through a temporary file moved over it). False
    // when an unreadable file could not be kept or the file could not be
    // written whole (the old one then stays as it was).
    bool Save(const TGeneralSettings& settings);

    // Where Save kept an unreadable file; empty while it kept none.
    const std::filesystem::path& KeptFile() const { return kept_; }

private:
    std::filesystem::path path_;
    std::filesystem::path kept_;
    bool keep_before_save_ = false;
};

}  // namespace common
