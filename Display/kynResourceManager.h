// The display program's data folder, settings file and version text.
//
// The first half is platform-free; the second declares the Windows services
// the display form calls (kynResourceManager_win.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/DataFolder.h"
#include "common/FileVersion.h"
#include "common/SettingsFile.h"

namespace kyn {

class TkynDisplayModel;

// "Version " major "." minor "  Build " build; the release is not shown. The
// parts are texts so that a part that could not be read shows as empty.
std::wstring FormatVersionText(const std::wstring& major, const std::wstring& minor, const std::wstring& build);
std::wstring FormatVersionText(const common::TFileVersion& version);

// --- Windows only -----------------------------------------------------------

// The display's data folder and the settings file in it, which loads into
// and saves from the model.
class TkynResourceManager {
public:
    explicit TkynResourceManager(TkynDisplayModel& model) : model_(model) {}
    TkynResourceManager(const TkynResourceManager&) = delete;
    TkynResourceManager& operator=(const TkynResourceManager&) = delete;

    // Applies the data-folder rule. Raises fw::Exception "Could Not Locate
    // MyDocuments Folder Location" when the shell has no My Documents folder
    // (nothing is set then). When no data folder exists it shows
    // "Application Folder Not Found. Quorvex Display will Now Close", asks
    // the application to end (common::RequestApplicationEnd) and returns
    // false; DataFolder() keeps the My Documents candidate.
    bool FindDataFolder();

    // Reads the settings file into the model. False, after the box "General
    // Settings File Loading Failed", when the file cannot be opened or is far
    // too large; false without a box when FindDataFolder found no data
    // folder. A bad number raises fw::EInOutError "Invalid numeric input";
    // the values read before it reach the model.
    bool LoadSettings();

    // Writes the model's settings to the settings file; a file that could
    // not be read is kept beside it first (common::TSettingsFile). False,
    // after the box "General Setting File Saving Failed", when it cannot be
    // kept or written (a full disk too: nothing is raised); false without a
    // box when there is no data folder.
    bool SaveSettings();

    const std::wstring& DataFolder() const { return location_.DataFolder; }
    const std::wstring& ExeFolder() const { return location_.ExeFolder; }
    bool DataFolderFound() const { return location_.Found; }

private:
    TkynDisplayModel& model_;
    common::TDataFolderLocation location_;
    std::optional<common::TSettingsFile> file_;
};

// The running program file's version; false (and zeros) when it has none.
bool GetOwnFileVersion(uint16_t& major, uint16_t& minor, uint16_t& release, uint16_t& build);
// Index 1 gives the major, 2 the minor, 3 the release, 4 the build in
// decimal; empty for any other index and when the version cannot be read.
std::wstring GetOwnFileVersionPart(int index);
// FormatVersionText of the running program file's version.
std::wstring GetVersionText();

}  // namespace kyn
