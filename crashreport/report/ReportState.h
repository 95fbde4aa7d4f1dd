// The running report's texts and its log handling, as the handler's steps
// use them: BuildReportText makes the texts from the live process, the log
// steps open, count, save and copy the .dvf file, and the file names of the
// temporary files that delivery attaches. One report at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/report/LogFile.h"
#include "crashreport/report/ReportText.h"

namespace drevnik {

struct TDrevnikExceptionRecord;

// The texts of the last report built; GeneralText and the others of the
// report text format.
TReportTexts& CurrentReportTexts();
// The message and type of the exception being reported, as items 2.6 and 2.5 show them.
std::string& ReportMessageText();
std::string& ReportTypeText();

// The program's file name without ".vshost"; the handle of that module,
// loaded when it is not mapped (ReleaseMainModuleHandle frees what was
// loaded so).
std::string GetHostExeName();
uintptr_t GetMainModuleHandle();
void ReleaseMainModuleHandle();

// A thread's facts for the captions of its call-stack block.
TThreadFacts ReportThreadFacts(uint32_t threadId);

// Names an address for the assembler listing in place of the library's
// address lookup (tests); null restores it.
using TReportAddressLookup = void (*)(uintptr_t address, TCallStackEntry& entry);
void SetReportAddressLookup(TReportAddressLookup lookup);

// Plugs the report text and the log steps into the report orchestration.
void InstallReportSteps();

// ---- Log handling of the handler ----
TLogFile* CurrentLogFile();
void OpenLogFile();
void CloseLogFile();
void CheckDuplicateReport(bool countIt);
bool IsDuplicateReport();
void SaveReportToLog();

// ---- File names in the temporary folder ----
std::string GetTempLogFileName();
std::string GetScreenshotFileName();
std::string GetLastHTMLPageFileName();
std::string GetTempXMLLogFileName();
std::string GetBugReportZipName();
// GetLeakDataFileName() lives with the leak report (crashreport/capture/DrevnikLeakReport.h).
std::string StampFileName(std::string_view path);
void SaveXMLLogCopy();
std::string LoadTextFile(std::string_view path);
void BuildAttachmentList(bool forEmail, std::vector<std::string>& list);

}  // namespace drevnik
