// The display program's data folder, settings file and version text.
//
// The first half is platform-free; the second declares the Windows services
// the display form calls (kynResourceManager_win.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/DataFolder.h"
#include "common/FileVersion.h"
#include "common/SettingsFile.h"

namespace fw {
class TStringList;
}

namespace kyn {

class TkynDisplayModel;

// The index of the first of `texts` equal to `text` when ASCII letters are
// compared without regard to case; -1 when none is.
int IndexOfText(std::wstring_view text, std::span<const std::wstring_view> texts);

// Clears `list` and fills it with the words of `text`: leading characters
// up to the blank are skipped; a word ends at `delimiter` or at any
// character up to the blank, and runs of those make no empty words; a word
// in double quotes may hold blanks (two double quotes in it stand for one).
// A NUL ends the text. `list` must exist.
void SplitToList(wchar_t delimiter, std::wstring_view text, fw::TStringList* list);

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

// This computer's name and the first IPv4 address it resolves to, through
// Winsock 1.1. False with an error text when Winsock does not start, the
// name cannot be read or the name has no address.
bool GetLocalHostAddress(std::wstring& hostName, std::wstring& address, std::wstring& errorText);
// The same with the name's look-up given: the bytes of its first address,
// or nothing when the name has none.
using THostLookup = std::function<std::optional<std::vector<uint8_t>>(const std::string& name)>;
bool GetLocalHostAddress(std::wstring& hostName, std::wstring& address, std::wstring& errorText,
                         const THostLookup& lookUp);

// Each byte in decimal, joined by ".".
std::wstring HostAddressText(const std::vector<uint8_t>& bytes);
// The error text of a failed host-name read: "WSAEInProgress",
// "WSAENetDown", "WSANotInitialised", or empty for any other code.
std::wstring HostNameErrorText(int socketError);

}  // namespace kyn
