// The data-folder rule, on injected probes.
#include "common/DataFolder.h"

#include "framework/core/exceptions.h"
#include "framework/core/paths.h"

namespace common {

TDataFolderLocation DataFolderRule(const std::optional<std::wstring>& myDocuments, const std::wstring& exeFolder,
                                   const TFolderProbes& probes, const std::wstring& myDocumentsMissingText) {
    if (!myDocuments || myDocuments->empty()) throw fw::Exception(myDocumentsMissingText);
    TDataFolderLocation location;
    location.DataFolder = fw::IncludeTrailingBackslash(*myDocuments) + L"Quorvex\\";
    if (!exeFolder.empty()) location.ExeFolder = fw::IncludeTrailingBackslash(exeFolder);
    if (probes.FileExists(location.DataFolder + L"settings\\acs")) {
        location.Found = true;
        return location;
    }
    // Without the program's folder, "Quorvex\" would name a folder relative
    // to the current drive: there is then no second candidate.
    if (location.ExeFolder.empty()) return location;
    const std::wstring besideProgram = location.ExeFolder + L"Quorvex\\";
    if (probes.DirectoryExists(besideProgram + L"settings\\")) {
        location.DataFolder = besideProgram;
        location.Found = true;
    }
    return location;
}

}  // namespace common
