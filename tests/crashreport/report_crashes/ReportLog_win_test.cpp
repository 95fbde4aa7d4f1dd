// A live fault under Wine writes its report into the log file; the same
// fault again is counted in that report instead of being added; a fault
// elsewhere is a new report with its own bug ID.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/report/LogFile.h"

namespace drevnik {
namespace {

DWORD RunFaultingProgram(const std::string& logPath, const char* extra = "") {
    std::string command = std::string("\"") + KYN_REPORT_PROGRAM + "\" \"" + logPath + "\"" + extra;
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

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

TEST(ReportLogLive, FaultWritesTheLogAndARepeatIsCounted) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "drevnik_live_" + std::to_string(GetCurrentProcessId()) + ".dvf";
    DeleteFileA(path.c_str());
    std::string bugId;

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
        // The modules and processes of the live process are listed.
        const std::string modules = Lower(log.GetModulesTableText(0));
        for (const char* name : {"report_log_fault.exe", "ntdll.dll", "kernel32.dll"})
            EXPECT_NE(modules.find(name), std::string::npos) << name << "\n" << modules;
        EXPECT_NE(Lower(log.GetProcessesTableText(0)).find(".exe"), std::string::npos) << report;
        // A bug ID made from the program, module, class and stack lines.
        bugId = log.GetItemValue("2.7", 0);
        EXPECT_EQ(bugId.size(), 4u) << report;
        EXPECT_NE(bugId, "0000") << report;
    }
    EXPECT_EQ(RunFaultingProgram(path), 0xC0000005u);
    {
        TLogFile log(path, true);
        ASSERT_EQ(log.GetCount(), 1);
        EXPECT_EQ(log.GetItemValue("2.8", 0), "2");
        EXPECT_EQ(log.GetItemValue("2.7", 0), bugId);
    }
    // A fault at another place is a new report with another bug ID.
    EXPECT_EQ(RunFaultingProgram(path, " elsewhere"), 0xC0000005u);
    {
        TLogFile log(path, true);
        ASSERT_EQ(log.GetCount(), 2);
        EXPECT_EQ(log.GetItemValue("2.8", 1), "1");
        const std::string other = log.GetItemValue("2.7", 1);
        EXPECT_EQ(other.size(), 4u);
        EXPECT_NE(other, bugId);
        EXPECT_NE(other, "0000");
    }
    DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace drevnik
