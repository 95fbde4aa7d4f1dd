// BugReport.zip of a report: the options' files and the event's additions
// packed with the zip password, the list left naming the archive alone, and
// the kept copy beside the log file.
#include "crashreport/report/BugReportZip.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/report/ReportState.h"

namespace drevnik {
namespace {

TDrevnikModuleOptionsEx* gOptions = nullptr;

TEST(BugReportZip, PacksTheAttachmentsAndTheEventsFilesAndKeepsTheArchive) {
    const char* work = std::getenv("KYN_ZIP_WORK");
    if (work == nullptr) GTEST_SKIP() << "needs check_zips.sh";
    std::string folder = "Z:" + std::string(work) + "\\report\\";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    CreateDirectoryA(folder.c_str(), nullptr);
    std::ofstream(folder + "config.ini", std::ios::binary) << "[a]\r\nb=1\r\n";
    std::ofstream(folder + "extra.bin", std::ios::binary) << std::string(5000, '\x7F');

    auto options = std::make_unique<TDrevnikModuleOptionsEx>(std::string());
    options->SetAttachFiles(folder + "config.ini;" + folder + "missing.txt");
    options->SetZipPassword("zipsecret");
    options->SetSendFlags(0);
    gOptions = options.get();
    SetCurrentOptionsProvider([] { return gOptions; });
    CreateDrevnikLogList();
    auto log = std::make_unique<TDrevnikLog>(nullptr);
    log->OnAttachedFilesRequest = [&](const TDrevnikExceptionRecord&, TStrings& files) {
        files.push_back(folder + "extra.bin");
    };

    BuildBugReportZip(false);
    const std::string zip = GetBugReportZipName();
    EXPECT_EQ(ReportState().AttachedFiles, std::vector<std::string>{zip});
    ASSERT_TRUE(CopyFileA(zip.c_str(), (folder + "BugReport.zip").c_str(), FALSE));
    std::ofstream(std::string(work) + "/zips.txt", std::ios::app | std::ios::binary)
        << "report/BugReport.zip zipsecret config.ini=report/config.ini extra.bin=report/extra.bin\n";

    // Kept beside the log file, replacing an archive kept there before.
    options->SetOutputPath(folder + "logs");
    EXPECT_EQ(GetKeptZipPath(), folder + "logs\\BugReport.zip");
    std::ofstream(folder + "logs\\BugReport.zip", std::ios::binary) << "older";
    EXPECT_TRUE(KeepBugReportZip());
    EXPECT_EQ(GetFileAttributesA(zip.c_str()), INVALID_FILE_ATTRIBUTES);
    std::ofstream(std::string(work) + "/zips.txt", std::ios::app | std::ios::binary)
        << "report/logs/BugReport.zip zipsecret config.ini=report/config.ini extra.bin=report/extra.bin\n";

    // Nothing to attach: no archive, though the list still names it.
    options->SetAttachFiles(folder + "missing.txt");
    log->OnAttachedFilesRequest = nullptr;
    BuildBugReportZip(true);
    EXPECT_EQ(ReportState().AttachedFiles, std::vector<std::string>{zip});
    EXPECT_EQ(GetFileAttributesA(zip.c_str()), INVALID_FILE_ATTRIBUTES);

    log.reset();
    DestroyDrevnikLogList();
    SetCurrentOptionsProvider(nullptr);
    ReportState().AttachedFiles.clear();
}

}  // namespace
}  // namespace drevnik
