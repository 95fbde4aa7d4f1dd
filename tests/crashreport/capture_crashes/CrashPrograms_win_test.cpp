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

// Runs the program with its output in a pipe; false when it does not end in time.
bool RunProgram(const std::string& program, std::string& output, DWORD& exitCode) {
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
    std::string command = "\"" + program + "\"";
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    char buffer[4096];
    DWORD got = 0;
    const ULONGLONG deadline = GetTickCount64() + 60000;
    bool ended = false;
    for (;;) {
        DWORD available = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
               ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (GetTickCount64() > deadline) break;
    }
    if (!ended) TerminateProcess(process.hProcess, 0xDEAD);
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
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
    ASSERT_TRUE(RunProgram(std::string(KYN_CRASH_PROGRAMS) + "/" + name + ".exe", output, exitCode))
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
                                           "report_shutdown_waits", "report_heap_lock"));

}  // namespace
