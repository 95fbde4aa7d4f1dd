// Quorvex under Wine, its delivery configured in a copy of its program file
// (the options travel in the library data at its end): a thread started at
// address 0 from outside faults in it, the user sends the report from the
// dialog, and the mail server and the upload page get it; with the server
// down the archive is kept and the user told; the auto-crash rule restarts
// the program.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikByteReader.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/debuginfo/DrevnikLibraryData.h"
#include "tests/support/win_process_windows.h"
#include "tests/support/win_screenshot.h"

namespace drevnik {
namespace {

constexpr DWORD kBoundMs = 90000;  // generous: the machine is loaded on purpose

bool WaitFor(const std::function<bool()>& done, DWORD boundMs = kBoundMs) {
    return fw::test::WaitUntil(done, boundMs);
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes, 512u * 1024 * 1024);
    return bytes;
}

using fw::test::ClassOf;
using fw::test::WindowsPath;
using fw::test::FindTopLevel;

bool IsDialog(HWND w) { return ClassOf(w) == "#32770"; }
bool IsShortDialog(HWND w) { return IsDialog(w) && GetDlgItem(w, 111) != nullptr && GetDlgItem(w, 1001) != nullptr; }
// A message box shows its text in the static control 0xFFFF.
bool IsMessageBox(HWND w) { return IsDialog(w) && GetDlgItem(w, 0xFFFF) != nullptr && !IsShortDialog(w); }

std::string TextOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The processes whose program file has this name, but for `except`.
std::vector<DWORD> ProcessesNamed(const std::string& exeName, DWORD except) {
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID != except && _wcsicmp(entry.szExeFile, std::wstring(exeName.begin(), exeName.end()).c_str()) == 0)
            found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

void EndProcess(DWORD pid) {
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 20000);
        CloseHandle(process);
    }
}

// A copy of Quorvex beside it whose library data carries other options.
class TConfiguredQuorvex {
public:
    TConfiguredQuorvex(const std::string& name, const std::function<void(TDrevnikModuleOptions&)>& configure) {
        const std::string original = WindowsPath(KYN_QUORVEX_EXE);
        path_ = original.substr(0, original.find_last_of('\\') + 1) + name + ".exe";
        exeName_ = name + ".exe";
        std::string file = ReadAll(original);
        const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(file.data()), file.size());
        if (!HasLibraryDataTail(bytes)) return;
        TDrevnikModuleOptions options("");
        const TLibraryDataContents contents = ReadLibraryDataFileTail(
            bytes, false, [&](TDrevnikByteReader& stream, uint16_t version) { options.LoadFromStreamAs(stream, version); });
        if (!contents.DebugData) return;
        const uint32_t length = static_cast<uint8_t>(file[file.size() - 8]) |
                                static_cast<uint32_t>(static_cast<uint8_t>(file[file.size() - 7])) << 8 |
                                static_cast<uint32_t>(static_cast<uint8_t>(file[file.size() - 6])) << 16 |
                                static_cast<uint32_t>(static_cast<uint8_t>(file[file.size() - 5])) << 24;
        file.resize(file.size() - 8 - length);
        configure(options);
        std::string block;
        options.SaveToStream(block);
        const std::string debug(contents.DebugData->begin(), contents.DebugData->end());
        file += BuildLibraryDataTail(block, debug, contents.DataBuildTime);
        ready_ = WriteWholeFile(path_, file);
    }
    ~TConfiguredQuorvex() {
        for (DWORD pid : ProcessesNamed(exeName_, 0)) EndProcess(pid);
        DeleteFileA(path_.c_str());
    }
    TConfiguredQuorvex(const TConfiguredQuorvex&) = delete;
    TConfiguredQuorvex& operator=(const TConfiguredQuorvex&) = delete;

    bool Ready() const { return ready_; }
    const std::string& ExeName() const { return exeName_; }

    // Starts it and faults a thread of it once it shows a window.
    bool StartAndFault() {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string line = "\"" + path_ + "\"";
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
            return false;
        CloseHandle(process_.hThread);
        if (!WaitFor([&] { return FindTopLevel(process_.dwProcessId, [](HWND) { return true; }) != nullptr; }))
            return false;
        HANDLE thread = CreateRemoteThread(process_.hProcess, nullptr, 0, nullptr, nullptr, 0, nullptr);
        if (thread == nullptr) return false;
        CloseHandle(thread);
        return true;
    }
    DWORD Pid() const { return process_.dwProcessId; }
    HANDLE Process() const { return process_.hProcess; }

private:
    std::string path_, exeName_;
    bool ready_ = false;
    PROCESS_INFORMATION process_{};
};

class TQuorvexDelivery : public testing::Test {
protected:
    void SetUp() override {
        if (Env("KYN_SMTP_PORT").empty() || Env("KYN_UPLOAD_PORT").empty()) GTEST_SKIP() << "run through the peers' scripts";
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "quorvex_send_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
        log_ = folder_ + "Quorvex.dvf";
    }
    void TearDown() override {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder_ + "*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((folder_ + found.cFileName).c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(folder_.c_str());
    }
    // The common part: the log, no auto-crash, the program goes on.
    void Base(TDrevnikModuleOptions& o) const {
        o.SetOutputPath(log_);
        o.SetAutoCrashAction(caNone);
        o.SetTerminateButtonAction(caNone);
    }
    std::vector<std::string> Files(const std::string& pattern) const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder_ + pattern).c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                names.push_back(found.cFileName);
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        return names;
    }
    std::string folder_, log_;
};

TEST_F(TQuorvexDelivery, TheDialogsSendGoesToTheMailServerAndTheUploadPage) {
    const std::string upload = Env("KYN_WEB_WORK") + "/uploads/quorvex.body";
    DeleteFileA(WindowsPath(upload).c_str());
    TConfiguredQuorvex quorvex("QuorvexSend", [&](TDrevnikModuleOptions& o) {
        Base(o);
        o.SetEmailMode(emSmtpClient);
        o.SetSmtpHost("127.0.0.1");
        o.SetSmtpPort(static_cast<uint16_t>(std::atoi(Env("KYN_SMTP_PORT").c_str())));
        o.SetSmtpUser("reporter");
        o.SetSmtpPassword("s3cret");
        o.SetEmailRecipients("crashes@example.org");
        o.SetWebMode(wmHttp);
        o.SetWebUrl("http://127.0.0.1/upload/store.php?as=quorvex");
        o.SetWebPort(std::atoi(Env("KYN_UPLOAD_PORT").c_str()));
    });
    ASSERT_TRUE(quorvex.Ready());
    ASSERT_TRUE(quorvex.StartAndFault());
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindTopLevel(quorvex.Pid(), IsShortDialog)) != nullptr; }));
    Sleep(300);
    fw::test::SaveWindowShot(dialog, "quorvex_send_dialog");
    SendMessageA(GetDlgItem(dialog, 111), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("user@example.org"));
    PostMessageA(GetDlgItem(dialog, 1000), BM_CLICK, 0, 0);

    std::string body;
    ASSERT_TRUE(WaitFor([&] { return !(body = ReadAll(WindowsPath(upload))).empty(); }));
    EXPECT_NE(body.find("name=\"dv_upload_file_0\"; filename=\"BugReport"), std::string::npos) << body.substr(0, 400);
    EXPECT_NE(body.find("Content-Type: application/octet-stream\r\n\r\nPK\x03\x04"), std::string::npos);

    // The mail: aiosmtpd's spool holds one message with the archive attached.
    const std::string spool = WindowsPath(Env("KYN_SMTP_SPOOL")) + "\\";
    std::string mail;
    ASSERT_TRUE(WaitFor([&] {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((spool + "*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return false;
        do {
            const std::string name = found.cFileName;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".eml") == 0) mail = ReadAll(spool + name);
        } while (FindNextFileA(find, &found));
        FindClose(find);
        return !mail.empty();
    }));
    EXPECT_NE(mail.find("RCPT TO:crashes@example.org"), std::string::npos) << mail.substr(0, 400);
    EXPECT_NE(mail.find("BugReport"), std::string::npos);

    // The log file holds the report; the temporary archive is gone.
    ASSERT_TRUE(WaitFor([&] { return !ReadAll(log_).empty(); }));
    EXPECT_NE(ReadAll(log_).find("Call Stack Information"), std::string::npos);
    EXPECT_TRUE(Files("*.zip").empty());
}

TEST_F(TQuorvexDelivery, AServerThatIsDownKeepsTheArchiveAndTellsTheUser) {
    TConfiguredQuorvex quorvex("QuorvexDown", [&](TDrevnikModuleOptions& o) {
        Base(o);
        o.SetDialogKind(dkNone);
        o.SetWebMode(wmHttp);
        o.SetWebUrl("http://127.0.0.1/upload/store.php");
        o.SetWebPort(std::atoi(Env("KYN_CLOSED_PORT").c_str()));
        o.SetSendFlags(o.SendFlags() | sdShowResult);
        o.SetBehaviourFlags(o.BehaviourFlags() | bhKeepZipOnSendFailure);
    });
    ASSERT_TRUE(quorvex.Ready());
    ASSERT_TRUE(quorvex.StartAndFault());
    // The failure's boxes, the outcome last; each is answered.
    std::vector<std::string> told;
    ASSERT_TRUE(WaitFor([&] {
        if (HWND box = FindTopLevel(quorvex.Pid(), IsMessageBox)) {
            const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
            if (told.empty() || told.back() != text) {
                told.push_back(text);
                if (text.find("Sorry") != std::string::npos) {
                    Sleep(300);
                    fw::test::SaveWindowShot(box, "quorvex_send_failed_box");
                }
            }
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        for (const std::string& text : told) {
            if (text == "Sorry, sending the message didn't work.") return true;
        }
        return false;
    }));
    // The archive stays beside the log under its stamped name.
    ASSERT_TRUE(WaitFor([&] { return !Files("BugReport*.zip").empty(); }));
    const std::string kept = ReadAll(folder_ + Files("BugReport*.zip").front());
    EXPECT_EQ(kept.substr(0, 4), "PK\x03\x04");
}

TEST_F(TQuorvexDelivery, TheAutoCrashRuleRestartsTheProgram) {
    TConfiguredQuorvex quorvex("QuorvexRestart", [&](TDrevnikModuleOptions& o) {
        Base(o);
        o.SetDialogKind(dkNone);
        o.SetWebMode(wmHttp);
        o.SetWebUrl("http://127.0.0.1/upload/store.php?as=restart");
        o.SetWebPort(std::atoi(Env("KYN_UPLOAD_PORT").c_str()));
        o.SetSendFlags(o.SendFlags() | sdSendInThread);
        o.SetAutoCrashAction(caRestart);
        o.SetAutoCrashCount(1);
        o.SetAutoCrashMinutes(1);
    });
    ASSERT_TRUE(quorvex.Ready());
    ASSERT_TRUE(quorvex.StartAndFault());
    // Delivered on its own thread first, then the program ends and starts again.
    EXPECT_TRUE(WaitFor([&] { return !ReadAll(WindowsPath(Env("KYN_WEB_WORK") + "/uploads/restart.body")).empty(); }));
    ASSERT_EQ(WaitForSingleObject(quorvex.Process(), kBoundMs), WAIT_OBJECT_0);
    EXPECT_TRUE(WaitFor([&] { return !ProcessesNamed(quorvex.ExeName(), quorvex.Pid()).empty(); }));
}

}  // namespace
}  // namespace drevnik
