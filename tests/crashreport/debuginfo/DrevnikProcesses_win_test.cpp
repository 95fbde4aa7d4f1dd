// The process list against a second process that the test starts and that
// reports its own facts: id, working set, thread count and parent.
#include "crashreport/debuginfo/DrevnikProcesses.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/crashreport/debuginfo/DebugInfoWinTest.h"

namespace drevnik {
namespace {

constexpr uint32_t kFixtureThreads = 5;  // its main thread and four more

// kyn_process_fixture.exe, running until the object goes.
class TFixtureProcess {
public:
    TFixtureProcess() : path_(TestProgramFolder() + "kyn_process_fixture.exe") {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE childIn = nullptr;
        HANDLE childOut = nullptr;
        if (!CreatePipe(&childIn, &input_, &inherit, 0) || !CreatePipe(&output_, &childOut, &inherit, 0)) return;
        SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childIn;
        startup.hStdOutput = childOut;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::string commandLine = "\"" + path_ + "\"";
        if (CreateProcessA(path_.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                           &info_)) {
            char line[128] = {};
            DWORD read = 0;
            std::string text;
            while (text.find('\n') == std::string::npos &&
                   ReadFile(output_, line, sizeof line - 1, &read, nullptr) && read > 0) {
                text.append(line, read);
            }
            unsigned long long workingSet = 0;
            std::sscanf(text.c_str(), "%u %llu %u", &reportedId_, &workingSet, &reportedParent_);
            reportedWorkingSet_ = workingSet;
        }
        CloseHandle(childIn);
        CloseHandle(childOut);
    }
    ~TFixtureProcess() {
        CloseHandle(input_);  // the fixture ends when its input closes
        if (info_.hProcess != nullptr) {
            WaitForSingleObject(info_.hProcess, 10000);
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
        CloseHandle(output_);
    }
    TFixtureProcess(const TFixtureProcess&) = delete;
    TFixtureProcess& operator=(const TFixtureProcess&) = delete;

    const std::string& Path() const { return path_; }
    uint32_t Id() const { return info_.dwProcessId; }
    HANDLE Process() const { return info_.hProcess; }
    uint32_t ReportedId() const { return reportedId_; }
    uint64_t ReportedWorkingSet() const { return reportedWorkingSet_; }
    uint32_t ReportedParent() const { return reportedParent_; }

private:
    std::string path_;
    HANDLE input_ = nullptr;
    HANDLE output_ = nullptr;
    PROCESS_INFORMATION info_{};
    uint32_t reportedId_ = 0;
    uint64_t reportedWorkingSet_ = 0;
    uint32_t reportedParent_ = 0;
};

// Within 20% of the fixture's own reading and above the 48 MB it touched.
void ExpectWorkingSet(uint64_t listed, uint64_t reported) {
    EXPECT_GE(listed, uint64_t{48} << 20);
    EXPECT_NEAR(static_cast<double>(listed), static_cast<double>(reported), 0.2 * static_cast<double>(reported));
}

TEST(DrevnikProcesses, TheSnapshotListsTheSecondProcessWithItsFacts) {
    TFixtureProcess fixture;
    ASSERT_NE(fixture.Id(), 0u);
    ASSERT_EQ(fixture.ReportedId(), fixture.Id());
    EXPECT_EQ(fixture.ReportedParent(), GetCurrentProcessId()) << "the fixture's GetParentProcessId";

    CreateProcessesList();
    BuildProcessesList();
    const TDrevnikProcessesList& list = *ProcessesList();
    for (int i = 1; i < list.Count(); ++i) EXPECT_LT(list[i - 1].ProcId, list[i].ProcId);
    const int index = FindProcessIndex(fixture.Id());
    ASSERT_GE(index, 0);
    const TDrevnikProcessInfo& child = list[index];
    EXPECT_TRUE(SameText(child.ExePath, fixture.Path())) << child.ExePath;
    EXPECT_GE(child.ThreadCount, kFixtureThreads);
    EXPECT_LE(child.ThreadCount, kFixtureThreads + 2);
    ExpectWorkingSet(child.WorkingSetBytes, fixture.ReportedWorkingSet());
    EXPECT_EQ(child.ExeVersion, "") << "the fixture has no version resource";

    const int self = FindProcessIndex(GetCurrentProcessId());
    ASSERT_GE(self, 0);
    EXPECT_TRUE(SameText(ExtractFileName(list[self].ExePath), "crash_debuginfo_tests.exe")) << list[self].ExePath;
    DestroyProcessesList();
    EXPECT_EQ(FindProcessIndex(fixture.Id()), -1);
}

TEST(DrevnikProcesses, PsapiOpensEachProcessAndThreadsAreCountedAfterwards) {
    TFixtureProcess fixture;
    ASSERT_NE(fixture.ReportedId(), 0u);
    TDrevnikProcessesList list;
    EnumerateProcessesPsapi(list);
    list.SortById();
    const int index = FindProcessIndex(list, fixture.Id());
    ASSERT_GE(index, 0);
    const TDrevnikProcessInfo& child = list[index];
    EXPECT_TRUE(SameText(child.ExePath, fixture.Path())) << child.ExePath;
    EXPECT_EQ(child.PriorityClass, GetPriorityClass(fixture.Process()));
    ExpectWorkingSet(child.WorkingSetBytes, fixture.ReportedWorkingSet());
    EXPECT_EQ(child.ThreadCount, 0u);
    CountProcessThreads(list);
    EXPECT_GE(list[index].ThreadCount, kFixtureThreads);
    EXPECT_LE(list[index].ThreadCount, kFixtureThreads + 2);
}

TEST(DrevnikProcesses, EveryHandleIsClosedAgain) {
    TFixtureProcess fixture;
    TDrevnikProcessesList list;
    BuildProcessesList(list);  // the first build loads what stays loaded
    DWORD before = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 3; ++i) {
        BuildProcessesList(list);
        EnumerateProcessesPsapi(list);
        CountProcessThreads(list);
    }
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace drevnik
