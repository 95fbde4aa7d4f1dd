// Runs each crash program and checks it against the CHECK comments of its
// source: the lines it prints (in order, each a part of one output line), the
// text it must not print after them, and its full exit code (a shell would see only the
// low 8 bits). A program that hangs is killed and fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TExpectations {
    std::vector<std::string> Lines;
    std::vector<std::string> Absent;
    DWORD ExitCode = 0;
};

TExpectations ReadChecks(const std::string& source) {
    TExpectations checks;
    std::ifstream file(source);
    std::string line;
    while (std::getline(file, line)) {
        const auto take = [&](const char* tag, std::string& value) {
            const size_t at = line.find(tag);
            if (at == std::string::npos) return false;
            value = line.substr(at + std::strlen(tag));
            while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
            return true;
        };
        std::string value;
        if (take("// CHECK-EXIT: ", value)) {
            checks.ExitCode = std::stoul(value, nullptr, 0);
        } else if (take("// CHECK-NOT: ", value)) {
            checks.Absent.push_back(value);
        } else if (take("// CHECK: ", value)) {
            checks.Lines.push_back(value);
        }
    }
    return checks;
}

// Runs the command line with its output in a pipe; false when it does not
// end in time.
bool RunProgram(std::string command, std::string& output, DWORD& exitCode) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    // Reads only what waits in the pipe: a process the program started (Wine
    // starts its desktop process from the first window) may keep the write
    // end open after the program has ended.
    const auto drain = [&] {
        char buffer[4096];
        DWORD available = 0, got = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
               ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
    };
    const ULONGLONG deadline = GetTickCount64() + 60000;
    bool ended = false;
    for (;;) {
        drain();
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (GetTickCount64() > deadline) break;
    }
    if (!ended) TerminateProcess(process.hProcess, 0xDEAD);
    drain();
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    return ended;
}

class CrashProgram : public ::testing::TestWithParam<const char*> {};

TEST_P(CrashProgram, PrintsWhatItCarriesAndEndsWithItsCode) {
    const std::string name = GetParam();
    const TExpectations checks = ReadChecks(std::string(KYN_CRASH_SOURCES) + "/" + name + ".cpp");
    ASSERT_FALSE(checks.Lines.empty()) << "no CHECK lines in " << name;
    std::string output;
    DWORD exitCode = 0;
    ASSERT_TRUE(RunProgram("\"" + std::string(KYN_CRASH_PROGRAMS) + "/" + name + ".exe\"", output, exitCode))
        << name << " did not end; it printed:\n" << output;
    EXPECT_EQ(exitCode, checks.ExitCode) << std::hex << "exit code 0x" << exitCode << "; output:\n" << output;
    size_t at = 0;
    for (const std::string& expected : checks.Lines) {
        const size_t found = output.find(expected, at);
        ASSERT_NE(found, std::string::npos) << "missing, in order: \"" << expected << "\"; output:\n" << output;
        at = found + expected.size();
    }
    // CHECK-NOT texts must not follow the last expected line.
    for (const std::string& absent : checks.Absent)
        EXPECT_EQ(output.find(absent, at), std::string::npos) << "unexpected \"" << absent << "\"; output:\n" << output;
}

INSTANTIATE_TEST_SUITE_P(Programs, CrashProgram,
                         ::testing::Values("crash_uncaught_throw", "crash_uncaught_rethrow", "crash_access_violation",
                                           "crash_thread_divide", "crash_stack_overflow", "crash_illegal_instruction",
                                           "crash_noexcept", "crash_timer_fault", "report_main_thread_fault",
                                           "report_thread_fault", "report_window_procedure_fault",
                                           "report_timer_fault", "report_two_threads", "report_handler_raises",
                                           "report_handler_thread_faults", "report_freeze",
                                           "report_shutdown_waits", "report_heap_lock",
                                           "report_connection_fault"));

struct TEndCase {
    const char* Name;
    bool Restart;
};

class TerminateOrRestart : public ::testing::TestWithParam<TEndCase> {};

// Both roads end the process with exit code 1; a restart first starts the
// same command line again in the folder that was current at start-up.
TEST_P(TerminateOrRestart, EndsWithCodeOneAndRestartsWhenAsked) {
    const TEndCase& c = GetParam();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder =
        std::string(temp) + "kyn_restart_" + std::to_string(GetCurrentProcessId()) + "_" + c.Name;
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string marker = folder + "\\marker.txt";
    DeleteFileA(marker.c_str());
    const std::string command = "\"" + std::string(KYN_CRASH_PROGRAMS) + "/report_terminate_or_restart.exe\" \"" +
                                marker + "\" " + (c.Restart ? "restart" : "terminate");
    // No output wanted: the restarted run reports through its marker file.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = command;
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                               &process));
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 0xDEAD);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(exitCode, 1u);

    // The restarted run ends on its own; give it time to write its facts.
    std::string facts;
    for (int i = 0; i < 200 && c.Restart; ++i) {
        std::ifstream file(marker, std::ios::binary);
        std::ostringstream read;
        read << file.rdbuf();
        facts = read.str();
        if (facts.find('\n') != facts.rfind('\n')) break;
        Sleep(50);
    }
    if (c.Restart) {
        EXPECT_EQ(facts, command + "\n" + folder + "\n");
    } else {
        Sleep(300);
        EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    DeleteFileA(marker.c_str());
    RemoveDirectoryA(folder.c_str());
}

INSTANTIATE_TEST_SUITE_P(Roads, TerminateOrRestart,
                         ::testing::Values(TEndCase{"Terminate", false}, TEndCase{"Restart", true}),
                         [](const auto& p) { return std::string(p.param.Name); });

}  // namespace
