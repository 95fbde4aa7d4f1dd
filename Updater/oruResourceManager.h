// The updater's copy of the data-folder rule and its reader of the display
// program's settings file (language and theme only). The rule and the reader
// are the display program's own (Display/kynDataFolder.h,
// Display/kynSettingsFile.h); the texts and results are the updater's.
#pragma once

#include <string>
#include <string_view>

namespace oru {

// Set by FindDataFolder; both end with a backslash.
extern std::wstring DataFolder;
extern std::wstring ExeFolder;
// Whether FindDataFolder found a data folder.
extern bool DataFolderFound;
// Line 2 of the settings file: 0 light, 1 dark; 0 until it has been read.
extern int UpdaterTheme;

// Reads line 1 (language) and line 2 (theme) of the settings file's text, each
// as an int; a missing line reads as 0. A bad number raises fw::EInOutError
// "Invalid numeric input"; a value read before it stays.
void ReadLanguageAndTheme(std::string_view text, int& language, int& theme);

// --- Windows only -----------------------------------------------------------

// Applies the data-folder rule and sets DataFolder and ExeFolder. Raises
// fw::Exception "Could Not Locate MyDocuments Folder" when the shell has no My
// Documents folder. When neither folder exists it shows "Application Folder
// Not Found. Morvane Application Update Will Now Close" and returns false
// (ending the program is the caller's step); otherwise true.
bool FindDataFolder();

// Reads the theme from the settings file of DataFolder into UpdaterTheme.
// False, after the box "General Settings File Loading Failed", when the file
// cannot be opened (or there is no data folder yet; then without a box); a
// bad number raises fw::EInOutError.
bool LoadThemeAndLanguage();

}  // namespace oru
