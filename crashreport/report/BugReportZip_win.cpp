#include "crashreport/report/BugReportZip.h"

#include <windows.h>

#include <vector>

#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/debuginfo/DrevnikSystemFacts.h"
#include "crashreport/delivery/MailSend.h"
#include "crashreport/delivery/ZipPacking.h"
#include "crashreport/report/ReportState.h"
#include "framework/core/paths.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

const TDrevnikModuleOptions* Options() {
    const TReportState& state = ReportState();
    if (state.HandlerOptions) return state.HandlerOptions.get();
    return FindCurrentDrevnikLogOptions();
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(fw::AnsiToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

void BuildBugReportZip(bool forWeb) {
    std::vector<std::string>& list = ReportState().AttachedFiles;
    BuildAttachmentList(!forWeb, list);
    RunEventInFaultingThread([](void*) { FireAttachedFilesRequest(); }, nullptr);
    std::erase_if(list, [](const std::string& path) { return path.empty() || !FileExists(path); });
    const TDrevnikModuleOptions* options = Options();
    const std::string zipPath = GetBugReportZipName();
    PackFilesToZip(zipPath, options != nullptr ? options->ZipPassword() : std::string(), list);
    list.assign(1, zipPath);
}

std::string GetKeptZipPath() {
    const TDrevnikModuleOptions* options = Options();
    const std::string log =
        options != nullptr ? ExpandVariables(options->GetModuleLogFileName(GetHostExeName())) : std::string();
    return fw::ExtractFilePath(log) + StampFileName(GetBugReportZipName());
}

bool KeepBugReportZip() { return KeepZip(GetBugReportZipName(), GetKeptZipPath()); }

void InstallMailSteps() {
    TMailSeams& mail = MailSeams();
    mail.StampFileName = [](std::string_view path) { return StampFileName(path); };
    mail.ReportText = [] { return CurrentReportTexts().ReportText; };
    mail.LoggedOnUserName = [] {
        std::string owner = GetRegisteredOwner();
        return owner.empty() ? GetUserNameText() : owner;
    };
    ReportSeams().SendMapiMailWithFiles = [](const std::string& to, const std::string& subject,
                                             const std::string& body, const std::string& file) {
        return SendMapiMailWithFiles(to, subject, body, file);
    };
}

}  // namespace drevnik
