// The updater's copy of the data-folder rule and its reader of the display
// program's settings file (language and theme only). The rule and the reader
// are the ones both programs share (common/DataFolder.h,
// common/SettingsFile.h); the texts and results are the updater's.
#pragma once

#include <string>

namespace oru {

// Set by FindDataFolder; both end with a backslash.
extern std::wstring DataFolder;
extern std::wstring ExeFolder;
// Whether FindDataFolder found a data folder.
extern bool DataFolderFound;
// Line 2 of the settings file: 0 light, 1 dark; 0 until it has been read.
extern int UpdaterTheme;

// --- Windows only -----------------------------------------------------------

// Applies the data-folder rule and sets DataFolder and ExeFolder. Raises
// fw::Exception "Could Not Locate MyDocuments Folder" when the shell has no My
// Documents folder. When neither folder exists it shows "Application Folder
// Not Found. Morvane Application Update Will Now Close" and returns false
// (ending the program is the caller's step); otherwise true.
bool FindDataFolder();

// Reads the theme from the settings file of DataFolder into UpdaterTheme.
// False, after the box "General Settings File Loading Failed", when the file
// cannot be opened or is far too large (or there is no data folder yet; then
// without a box); a bad number raises fw::EInOutError.
bool LoadThemeAndLanguage();

}  // namespace oru
