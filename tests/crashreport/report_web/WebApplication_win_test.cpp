// The kinds of program and the error page's answers through ISAPI (a fake
// extension control block that records what the server was handed) and
// WinCGI (the output file).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "crashreport/report/WebApplication.h"

namespace drevnik {
namespace {

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "drevnik_web_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(WebApplication, AConsoleProgramIsCgiOnlyWithARequestMethod) {
    ASSERT_TRUE(IsConsoleApp());  // the test program
    SetEnvironmentVariableA("REQUEST_METHOD", nullptr);
    EXPECT_FALSE(IsCGIApp());
    EXPECT_FALSE(IsWebApp());
    EXPECT_FALSE(IsInteractiveApp());  // still no dialogs in a console program
    SetEnvironmentVariableA("REQUEST_METHOD", "GET");
    EXPECT_TRUE(IsCGIApp());
    EXPECT_TRUE(IsWebApp());
    EXPECT_EQ(WebAppKind(), TWebAppKind::Cgi);
    SetEnvironmentVariableA("REQUEST_METHOD", nullptr);
    EXPECT_FALSE(IsISAPIApp());  // a program, not a DLL
    EXPECT_FALSE(IsWinCGIApp());  // console programs never are
}

TEST(WebApplication, WinCgiCommandLines) {
    const std::string ini = TempPath("request.ini"), output = TempPath("answer.htm"), other = TempPath("other.htm");
    WriteAll(output, "");
    WriteAll(other, "");
    const std::string good = "[CGI]\r\nRequest Method=GET\r\n[System]\r\nOutput File=" + output + "\r\n";
    struct Row {
        std::string Ini;
        std::vector<std::string> Extra;
        bool Expected;
        std::string Output;
    } rows[] = {
        {good, {}, true, output},
        {good, {"ignored", other}, true, other},  // the third argument wins
        {good, {"ignored", TempPath("missing.htm")}, false, TempPath("missing.htm")},
        {"[CGI]\r\nRequest Method=\r\n", {}, false, ""},
        // One byte over 100 KB: not a WinCGI file, whatever it holds.
        {good + std::string(102401 - good.size(), ';'), {}, false, ""},
        {good + std::string(102400 - good.size(), ';'), {}, true, output},
    };
    for (const Row& row : rows) {
        WriteAll(ini, row.Ini);
        std::vector<std::string> arguments{"program.exe", ini};
        arguments.insert(arguments.end(), row.Extra.begin(), row.Extra.end());
        WebState().WinCgiOutputFile.clear();
        EXPECT_EQ(IsWinCgiCommandLine(arguments), row.Expected) << row.Ini.size();
        if (!row.Output.empty()) {
            EXPECT_EQ(WebState().WinCgiOutputFile, row.Output);
        }
    }
    EXPECT_FALSE(IsWinCgiCommandLine({"program.exe", TempPath("*.ini")}));
    EXPECT_FALSE(IsWinCgiCommandLine({"program.exe"}));

    // The answer replaces an older, longer one whole.
    WriteAll(output, std::string(5000, 'o'));
    WebState().WinCgiOutputFile = output;
    ASSERT_TRUE(SendWebErrorPageAs(TWebAppKind::WinCgi, "<p>page</p>"));
    EXPECT_EQ(ReadAll(output),
              "Status: 200 Error\r\nContent-Type: text/html\r\nContent-Length: 11\r\nContent:\r\n\r\n<p>page</p>");
    DeleteFileA(ini.c_str());
    DeleteFileA(output.c_str());
    DeleteFileA(other.c_str());
}

// What the fake server was handed.
struct TServerLog {
    std::string Status;
    std::string Header;
    std::string Written;
    bool OwnPageFlag = false;
    DWORD IoFlags = 0;
} gServer;

BOOL WINAPI FakeServerSupport(HCONN, DWORD request, LPVOID buffer, LPDWORD, LPDWORD dataType) {
    if (request != HSE_REQ_SEND_RESPONSE_HEADER) return FALSE;
    gServer.Status = static_cast<const char*>(buffer);
    gServer.Header = reinterpret_cast<const char*>(dataType);
    return TRUE;
}

BOOL WINAPI FakeWriteClient(HCONN, LPVOID buffer, LPDWORD bytes, DWORD flags) {
    gServer.Written.assign(static_cast<const char*>(buffer), *bytes);
    gServer.OwnPageFlag = WebState().WritingOwnErrorPage;
    gServer.IoFlags = flags;
    return TRUE;
}

TEST(WebApplication, IsapiAnswerGoesThroughTheServer) {
    WebState().IsapiControlBlock = nullptr;
    EXPECT_FALSE(SendWebErrorPageAs(TWebAppKind::Isapi, "<p>x</p>"));

    EXTENSION_CONTROL_BLOCK block{};
    block.cbSize = sizeof block;
    block.ServerSupportFunction = FakeServerSupport;
    block.WriteClient = FakeWriteClient;
    WebState().IsapiControlBlock = &block;
    const std::string page("<p>a \0 b</p>", 12);
    EXPECT_TRUE(SendWebErrorPageAs(TWebAppKind::Isapi, page));
    WebState().IsapiControlBlock = nullptr;
    EXPECT_EQ(block.dwHttpStatusCode, 200u);
    EXPECT_EQ(gServer.Status, "200 Error");
    EXPECT_EQ(gServer.Header, "Content-Type: text/html\r\nContent-Length: " + std::to_string(page.size()) +
                                  "\r\nContent:\r\n\r\n");
    EXPECT_EQ(gServer.Written, page);
    EXPECT_TRUE(gServer.OwnPageFlag);
    EXPECT_EQ(gServer.IoFlags, static_cast<DWORD>(HSE_IO_SYNC));
    EXPECT_FALSE(WebState().WritingOwnErrorPage);
}

}  // namespace
}  // namespace drevnik
