// A live fault under Wine writes its report into the log file; the same
// fault again is counted in that report instead of being added.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/report/LogFile.h"

namespace drevnik {
namespace {

DWORD RunFaultingProgram(const std::string& logPath) {
    std::string command = std::string("\"") + KYN_REPORT_PROGRAM + "\" \"" + logPath + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0xFFFFFFFF;
    DWORD code = 0xDEAD;
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 0xDEAD);
    } else {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

TEST(ReportLogLive, FaultWritesTheLogAndARepeatIsCounted) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "drevnik_live_" + std::to_string(GetCurrentProcessId()) + ".dvf";
    DeleteFileA(path.c_str());

    EXPECT_EQ(RunFaultingProgram(path), 0xC0000005u);
    {
        TLogFile log(path, true);
        ASSERT_EQ(log.GetCount(), 1);
        const std::string& report = log.Reports[0];
        EXPECT_EQ(report.rfind("DrevnikLog 6.0.25\r\n\r\nApplication:\r\n", 0), 0u) << report;
        EXPECT_EQ(log.GetItemValue("1.2", 0).rfind("report_log_fault.exe", 0), 0u) << report;
        EXPECT_NE(log.GetItemValue("2.6", 0).find("Access violation at address"), std::string::npos) << report;
        EXPECT_NE(log.GetItemValue("2.6", 0).find("Write of address 0"), std::string::npos) << report;
        EXPECT_FALSE(log.GetItemValue("2.2", 0).empty());
        EXPECT_EQ(log.GetItemValue("2.8", 0), "1");
        EXPECT_EQ(log.GetItemValue("2.9", 0), "New");
        EXPECT_FALSE(log.GetItemValue("6.1", 0).empty());
        EXPECT_NE(report.find("\r\nCall Stack Information:\r\n"), std::string::npos);
        EXPECT_NE(report.find("\r\nRegisters:\r\n"), std::string::npos);
        // The program carries its debug data: the faulting routine is named.
        EXPECT_NE(log.GetCallStackTableText(0).find("|main"), std::string::npos) << report;
        EXPECT_NE(log.GetXMLText().find("<Line ID=\"2.8\" Label=\"Count\" Value=\"1\"/>"), std::string::npos);
    }
    EXPECT_EQ(RunFaultingProgram(path), 0xC0000005u);
    {
        TLogFile log(path, true);
        ASSERT_EQ(log.GetCount(), 1);
        EXPECT_EQ(log.GetItemValue("2.8", 0), "2");
    }
    DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace drevnik
