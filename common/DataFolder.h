// The data-folder rule that both programs apply: the "Quorvex\" folder in My
// Documents when its "settings\acs" marker file exists, else the "Quorvex\"
// folder beside the program file when it has a "settings\" folder, else none.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace common {

// How the rule looks at the disk; tests hand in their own.
struct TFolderProbes {
    std::function<bool(const std::wstring& path)> FileExists;
    std::function<bool(const std::wstring& path)> DirectoryExists;
};

struct TDataFolderLocation {
    std::wstring DataFolder;  // ends with a backslash; the My Documents candidate when none was found
    std::wstring ExeFolder;   // ends with a backslash
    bool Found = false;
};

// The texts of one program.
struct TDataFolderTexts {
    std::wstring MyDocumentsMissing;  // message of the exception
    std::wstring NoDataFolder;        // text of the error box
};

// The rule itself. myDocuments is empty when the shell could not give the
// folder: then fw::Exception(myDocumentsMissingText) is raised. The marker's
// contents are never read.
TDataFolderLocation DataFolderRule(const std::optional<std::wstring>& myDocuments, const std::wstring& exeFolder,
                                   const TFolderProbes& probes, const std::wstring& myDocumentsMissingText);

// --- Windows only -----------------------------------------------------------

// The current user's My Documents folder from the shell (not created), or
// nothing.
std::optional<std::wstring> MyDocumentsFolder();
// The folder of the running program file, with its trailing backslash.
std::wstring RunningProgramFolder();
// Probes of the real file system.
TFolderProbes FileSystemProbes();

// Runs the rule on this machine; when there is no data folder shows
// texts.NoDataFolder in an error box (ShowMessageBox) before returning.
TDataFolderLocation LocateDataFolder(const TDataFolderTexts& texts);

}  // namespace common
