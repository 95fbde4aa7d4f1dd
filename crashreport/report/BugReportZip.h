// BugReport.zip of the running report: the attachment list filled, packed
// and replaced by the archive; the kept copy after a failed send. The
// e-mail channel's hooks into the report are installed here too.
#pragma once

#include <string>

namespace drevnik {

// Fills the attachment list (ReportState().AttachedFiles) for e-mail or the
// web, lets the events change it, drops files that do not exist, packs the
// rest into GetBugReportZipName() and leaves the archive's path alone in the
// list (also when nothing was packed).
void BuildBugReportZip(bool forWeb);
// The log file's folder + the stamped name of BugReport.zip.
std::string GetKeptZipPath();
// Moves BugReport.zip to GetKeptZipPath() and prunes that folder.
bool KeepBugReportZip();

// The report's stamps, text and user name for the e-mail channel, and the
// internal-error mail.
void InstallMailSteps();

}  // namespace drevnik
