// "CloseApplication" over TCP ends the program without a question and saves
// the settings: this test program starts a copy of itself beside a data
// folder, which runs the display as Quorvex does, applies the server and
// serves until the command closes it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynExternalCommandControlTestFormGUI.h"
#include "Display/kynMainFormGUI.h"
#include "common/MessageBox.h"
#include "tests/support/win_process_windows.h"
#include "tests/support/win_tcp_client.h"
#include "tests/support/win_test_app.h"
#include "widgets/drawing/KelGDIP.h"

namespace kyn {
namespace {

constexpr const char* kPortVariable = "KYN_CLOSE_APPLICATION_PORT";

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::ifstream in{std::filesystem::path(path)};
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The copy's side: the display program's forms, the Network page's Apply,
// then the message loop until the display form closes.
TEST(CloseApplicationChild, ServesUntilClosed) {
    const char* port = std::getenv(kPortVariable);
    if (!port) GTEST_SKIP() << "runs in the copy only";
    common::SetMessageBoxHandler([](common::TMessageBoxKind, const std::wstring& text) {
        std::fwprintf(stderr, L"box: %ls\n", text.c_str());
    });
    SetDisplayDialogRunner([](const TDisplayDialog&) { return 101; });
    kel::StartGdiplus();
    static TkynDisplayModel model;  // outlives the forms
    auto& app = fw::test::TestApplication();
    app.CreateForm<TkynMainForm>(model);
    app.CreateForm<TkynControllerForm>(model);
    app.CreateForm<TkynExternalCommandControlTestForm>();
    kynControllerForm->KelEdit1->SetText(L"127.0.0.1");
    kynControllerForm->KelEdit2->SetText(std::wstring(port, port + std::strlen(port)));
    kynControllerForm->KelGlowButton13Click();
    app.Run();
    EXPECT_EQ(model.Settings().LineThickness, 6);
    if (kynMainForm) {
        kynMainForm->CommandHandOver().Shutdown();
        kynMainForm->IdTCPServer1->SetActive(false);
    }
}

TEST(CloseApplication, SavesTheSettingsAndEndsTheProgram) {
    if (std::getenv(kPortVariable)) GTEST_SKIP() << "the copy does not start another";
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"kyn_close_application_" + std::to_wstring(GetCurrentProcessId());
    const std::wstring exe = dir + L"\\display_command_tests.exe";
    const std::wstring gsf = dir + L"\\Quorvex\\settings\\gsf";
    CreateDirectoryW(dir.c_str(), nullptr);
    CreateDirectoryW((dir + L"\\Quorvex").c_str(), nullptr);
    CreateDirectoryW((dir + L"\\Quorvex\\settings").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(self, exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(fw::test::WindowsPath(KYN_SETTINGS_FILE).c_str(), std::string(gsf.begin(), gsf.end()).c_str(), FALSE));
    ASSERT_EQ(ReadLines(gsf).at(6), "1");

    const int port = fw::test::FreeLoopbackPort();
    SetEnvironmentVariableA(kPortVariable, std::to_string(port).c_str());
    std::wstring command = L"\"" + exe + L"\" --gtest_filter=CloseApplicationChild.*";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi);
    SetEnvironmentVariableA(kPortVariable, nullptr);
    ASSERT_TRUE(started);
    std::unique_ptr<fw::test::TcpClient> client;
    EXPECT_TRUE(fw::test::WaitUntil([&] {
        client = std::make_unique<fw::test::TcpClient>(port);
        return client->Connected();
    }, 30000));
    EXPECT_TRUE(client->Send("NumericalCommand LineThickness 6\r\nCloseApplication\r\n"));
    const bool ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 1);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_TRUE(ended);
    EXPECT_EQ(code, 0u);
    const std::vector<std::string> lines = ReadLines(gsf);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[6], "6");
    EXPECT_EQ(lines[18], "127.0.0.1");
    EXPECT_EQ(lines[19], std::to_string(port));
    for (const wchar_t* name : {L"\\Quorvex\\settings\\gsf", L"\\display_command_tests.exe"}) DeleteFileW((dir + name).c_str());
    RemoveDirectoryW((dir + L"\\Quorvex\\settings").c_str());
    RemoveDirectoryW((dir + L"\\Quorvex").c_str());
    RemoveDirectoryW(dir.c_str());
}

}  // namespace
}  // namespace kyn
