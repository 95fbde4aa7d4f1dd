// Brimlet.exe run as the user runs it, against lighttpd on 127.0.0.1: the
// check's outcomes, the download, the installer started at once when its
// signature is trusted and only after a warning otherwise,
// a download that breaks off, stalls or is cancelled, the refusal while
// Quorvex runs and the single instance. The status area is
// read from Brimlet's window; screenshots of the main states are kept.
#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "common/FileVersion.h"
#include "tests/support/win_screenshot.h"
#include "tests/support/win_test_app.h"
#include "tests/Updater/installer_trust/trusted_test_root.h"

namespace {

std::wstring Env(const char* name) {
    const char* v = std::getenv(name);
    std::wstring out;
    for (const char* p = v ? v : ""; *p; ++p) out += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return out;
}

std::wstring Work() { return L"Z:" + Env("NC_WORK") + L"\\"; }

std::wstring ExeDir() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.rfind(L'\\') + 1);
}

bool Exists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::wstring& path, const std::string& bytes) {
    for (size_t i = 3; i < path.size(); ++i)
        if (path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

std::string ReadFile(const std::wstring& path) {
    std::string out;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return out;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
    CloseHandle(f);
    return out;
}

struct Search {
    DWORD pid;
    const wchar_t* cls;
    HWND found;
};

BOOL CALLBACK MatchTop(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    if (pid != s->pid || wcscmp(name, s->cls) != 0 || !IsWindowVisible(h)) return TRUE;
    s->found = h;
    return FALSE;
}

BOOL CALLBACK MatchChild(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    if (wcscmp(name, s->cls) != 0 || !IsWindowVisible(h)) return TRUE;
    // The right-most one of its class.
    RECT r, best;
    GetWindowRect(h, &r);
    if (!s->found || (GetWindowRect(s->found, &best) && r.left > best.left)) s->found = h;
    return TRUE;
}

HWND TopWindow(DWORD pid, const wchar_t* cls) {
    Search s{pid, cls, nullptr};
    EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND Child(HWND parent, const wchar_t* cls) {
    Search s{0, cls, nullptr};
    if (parent) EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::wstring Text(HWND h) {
    wchar_t buf[4096] = {};
    DWORD_PTR got = 0;
    if (!h || !SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got)) return {};
    return buf;
}

void Click(HWND h) {
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// Pumps this thread (the tests' own windows) while waiting.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 20000) { return fw::test::PumpUntil(done, ms); }

class Brimlet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Env("NC_WORK").empty()) << "run through http_peers.sh";
        app_ = Work() + L"app\\";
        CreateDirectoryW(app_.c_str(), nullptr);
        exe_ = app_ + L"Brimlet.exe";
        ASSERT_TRUE(CopyFileW((ExeDir() + L"..\\..\\..\\bin\\Brimlet.exe").c_str(), exe_.c_str(), FALSE));
        WriteFile(app_ + L"Brimlet.ini", "UpdateServer=127.0.0.1:" + std::string(std::getenv("NC_HTTP_PORT")) + "\r\n");
        WriteFile(app_ + L"Quorvex\\settings\\gsf", "1\r\n0\r\n");
        // The data-folder rule: My Documents first when it is marked.
        wchar_t docs[MAX_PATH] = {};
        SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, docs);
        std::wstring mine = std::wstring(docs) + L"\\Quorvex\\";
        data_ = Exists(mine + L"settings\\acs") ? mine : app_ + L"Quorvex\\";
        update_ = data_ + L"update\\";
        for (const wchar_t* f : {L"versioncheck.txt", L"setup.exe", L"ran.txt"}) DeleteFileW((update_ + f).c_str());
        common::TFileVersion v;
        ASSERT_TRUE(common::ReadFileVersion(exe_, v));
        own_build_ = v.Build;
        installer_ = ReadFile(trust_test::WorkFile(L"unsigned.exe"));
        ASSERT_FALSE(installer_.empty()) << "run through sign_fixtures.sh";
    }
    void TearDown() override {
        for (PROCESS_INFORMATION& pi : {std::ref(pi_), std::ref(second_)}) {
            if (!pi.hProcess) continue;
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, 10000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
            pi = {};
        }
    }
    void Serve(const std::string& versionFile) {
        WriteFile(Work() + L"www\\download\\applications\\quorvex\\versioncheck\\versioncheck.txt", versionFile);
    }
    std::string VersionFile(long long build, const std::string& name = "setup.exe") {
        return "Quorvex\r\n" + std::to_string(build) + "\r\n-\r\nhttp://127.0.0.1:" + std::getenv("NC_HTTP_PORT") +
               "/dl/\r\n-\r\n" + name + "\r\n-\r\nClose Quorvex first\r\n-\r\nFaster sweeps\r\n";
    }
    PROCESS_INFORMATION Start() {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::wstring cmd = L"\"" + exe_ + L"\"";
        EXPECT_TRUE(CreateProcessW(exe_.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, app_.c_str(), &si, &pi));
        return pi;
    }
    void Launch() {
        pi_ = Start();
        ASSERT_TRUE(WaitFor([&] { return (form_ = TopWindow(pi_.dwProcessId, L"ToruUpdaterForm")) != nullptr; }));
        status_ = Child(form_, RICHEDIT_CLASSW_NAME);
    }
    bool WaitStatus(const wchar_t* part) {
        return WaitFor([&] { return Text(status_).find(part) != std::wstring::npos; });
    }
    HWND UpdateButton() { return Child(form_, L"TKelGlowButton"); }
    bool Exited(DWORD ms) { return WaitFor([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, ms); }

    static constexpr const wchar_t* RICHEDIT_CLASSW_NAME = L"RichEdit20W";
    std::wstring app_, exe_, data_, update_;
    std::string installer_;
    int own_build_ = 0;
    PROCESS_INFORMATION pi_{}, second_{};
    HWND form_ = nullptr, status_ = nullptr;
};

TEST_F(Brimlet, NewerBuildWarnsBeforeAnUnsignedInstallerAndEscKeepsItFromRunning) {
    Serve(VersionFile(own_build_ + 1));
    WriteFile(Work() + L"www\\dl\\setup.exe", installer_);
    Launch();
    ASSERT_TRUE(WaitStatus(L"Applications Package Update Release")) << Text(status_).c_str();
    EXPECT_NE(Text(status_).find(L"Notices: Close Quorvex first"), std::wstring::npos);
    EXPECT_NE(Text(status_).find(L"Faster sweeps"), std::wstring::npos);
    fw::test::SaveWindowShot(form_, "brimlet_update_available");
    Click(UpdateButton());
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = TopWindow(pi_.dwProcessId, L"ToruMessageDialogForm")) != nullptr; }));
    WaitFor([] { return false; }, 300);
    fw::test::SaveWindowShot(box, "brimlet_unverified_installer");
    EXPECT_EQ(ReadFile(update_ + L"setup.exe"), installer_) << "downloaded whole";
    PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(box); }));
    WaitFor([] { return false; }, 1000);
    EXPECT_FALSE(Exists(update_ + L"ran.txt")) << "Esc must not run an unverified installer";
    EXPECT_FALSE(Exited(100)) << "Brimlet stays open";
}

TEST_F(Brimlet, SignedInstallerRunsAtOnceAChangedOneOnlyAfterTheWarning) {
    struct Row {
        const wchar_t* file;
        bool asks;
    } rows[] = {{L"signed.exe", false}, {L"changed.exe", true}, {L"untrusted.exe", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.file, row.file + wcslen(row.file)));
        DeleteFileW((update_ + L"setup.exe").c_str());
        DeleteFileW((update_ + L"ran.txt").c_str());
        Serve(VersionFile(own_build_ + 1));
        WriteFile(Work() + L"www\\dl\\setup.exe", ReadFile(trust_test::WorkFile(row.file)));
        Launch();
        ASSERT_TRUE(WaitStatus(L"Applications Package Update Release"));
        Click(UpdateButton());
        if (row.asks) {
            HWND box = nullptr;
            ASSERT_TRUE(WaitFor([&] { return (box = TopWindow(pi_.dwProcessId, L"ToruMessageDialogForm")) != nullptr; }));
            PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
            WaitFor([] { return false; }, 1500);
            EXPECT_FALSE(Exists(update_ + L"ran.txt"));
        } else {
            EXPECT_TRUE(WaitFor([&] { return Exists(update_ + L"ran.txt"); }));
            EXPECT_TRUE(Exited(20000));
            EXPECT_EQ(TopWindow(pi_.dwProcessId, L"ToruMessageDialogForm"), nullptr);
        }
        TearDown();
    }
}

TEST_F(Brimlet, ConfirmedInstallerRunsAndBrimletCloses) {
    Serve(VersionFile(own_build_ + 1));
    WriteFile(Work() + L"www\\dl\\setup.exe", installer_);
    Launch();
    ASSERT_TRUE(WaitStatus(L"Applications Package Update Release"));
    Click(UpdateButton());
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = TopWindow(pi_.dwProcessId, L"ToruMessageDialogForm")) != nullptr; }));
    WaitFor([] { return false; }, 300);
    Click(Child(box, L"TKelGlowButton"));  // the right button: "Run"
    EXPECT_TRUE(WaitFor([&] { return Exists(update_ + L"ran.txt"); }));
    EXPECT_TRUE(Exited(20000));
}

TEST_F(Brimlet, CheckOutcomes) {
    struct Row {
        const char* what;
        std::string file;  // empty: none on the server
        const wchar_t* status;
        bool button;
    } rows[] = {
        {"same build", VersionFile(own_build_), L"The Latest Version of Morvane Quorvex is Already Installed", true},
        {"older build", VersionFile(own_build_ - 1), L"The Latest Version of Morvane Quorvex is Already Installed", true},
        {"no file", "", L"Update Check Could Not Proceed", false},
        {"line 2 not a number", VersionFile(0).replace(9, 1, "x"), L"Checking for Latest Version", true},
        {"missing lines", "Quorvex\r\n", L"Checking for Latest Version", true},
        {"binary garbage", std::string("MZ\x90\0\x03\0\0\0\x04\0", 10), L"Checking for Latest Version", true},
        {"huge file", std::string(300000, '7'), L"Checking for Latest Version", true},
        {"installer name with a folder", VersionFile(own_build_ + 1, "..\\setup.exe"), L"Checking for Latest Version", true},
        {"8-bit text, lone CR line ends", "Q\r" + std::to_string(own_build_ + 1) + "\r-\rhttp://127.0.0.1/\r-\rsetup.exe\r-\r\xe9t\xe9\r-\rnote\r",
         L"Notices: \u00e9t\u00e9", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::wstring served = Work() + L"www\\download\\applications\\quorvex\\versioncheck\\versioncheck.txt";
        DeleteFileW(served.c_str());
        if (!row.file.empty()) Serve(row.file);
        Launch();
        if (row.button) {
            ASSERT_TRUE(WaitFor([&] { return UpdateButton() != nullptr; }));
            WaitFor([] { return false; }, 300);
        }
        EXPECT_TRUE(WaitStatus(row.status)) << Text(status_).c_str();
        if (!row.button) {
            EXPECT_EQ(UpdateButton(), nullptr);
        }
        if (std::string(row.what) == "no file") fw::test::SaveWindowShot(form_, "brimlet_check_failed");
        if (std::string(row.what) == "same build") fw::test::SaveWindowShot(form_, "brimlet_latest_installed");
        TearDown();
    }
}

TEST_F(Brimlet, BrokenDownloadsAreNeverRunAndLeaveNoFile) {
    const std::string fault = "http://127.0.0.1:" + std::string(std::getenv("NC_FAULT_PORT"));
    struct Row {
        const char* what;
        std::string base;
    } rows[] = {
        {"installer missing on the server", "http://127.0.0.1:" + std::string(std::getenv("NC_HTTP_PORT")) + "/dl/"},
        {"server drops the connection mid-file", fault + "/short/200000/5000/"},
        {"chunked body cut short", fault + "/chunked/200000/9000/"},
        {"server stalls mid-file", fault + "/stall/200000/5000/"},
    };
    // A stalled transfer fails after the transfer time-out, kept short here.
    WriteFile(app_ + L"Brimlet.ini", "UpdateServer=127.0.0.1:" + std::string(std::getenv("NC_HTTP_PORT")) +
                                         "\r\nTransferTimeout=2000\r\n");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::string file = VersionFile(own_build_ + 1, "absent.exe");
        const std::string defaultBase = "http://127.0.0.1:" + std::string(std::getenv("NC_HTTP_PORT")) + "/dl/";
        file.replace(file.find(defaultBase), defaultBase.size(), row.base);
        Serve(file);
        Launch();
        ASSERT_TRUE(WaitStatus(L"Applications Package Update Release"));
        Click(UpdateButton());
        EXPECT_TRUE(WaitStatus(L"Update Failed. Error Code  ")) << Text(status_).c_str();
        WaitFor([] { return false; }, 1500);
        EXPECT_EQ(TopWindow(pi_.dwProcessId, L"ToruMessageDialogForm"), nullptr) << "no run, no question";
        EXPECT_FALSE(Exists(update_ + L"absent.exe")) << "no half-written installer";
        EXPECT_FALSE(Exited(100));
        TearDown();
    }
}

TEST_F(Brimlet, CancelDuringTheDownloadStopsItAndLeavesNoFile) {
    // 400000 bytes at 4096 every 100 ms: about ten seconds if left alone.
    std::string file = VersionFile(own_build_ + 1, "absent.exe");
    const std::string defaultBase = "http://127.0.0.1:" + std::string(std::getenv("NC_HTTP_PORT")) + "/dl/";
    file.replace(file.find(defaultBase), defaultBase.size(),
                 "http://127.0.0.1:" + std::string(std::getenv("NC_FAULT_PORT")) + "/trickle/400000/4096/");
    Serve(file);
    const std::wstring log = Work() + L"fault.log";
    WriteFile(log, "");
    Launch();
    ASSERT_TRUE(WaitStatus(L"Applications Package Update Release"));
    Click(UpdateButton());
    ASSERT_TRUE(WaitFor([&] { return ReadFile(log).find("GET /trickle/") != std::string::npos; }));
    WaitFor([] { return false; }, 800);
    Click(UpdateButton());  // now "Cancel"
    ASSERT_TRUE(WaitFor([&] { return ReadFile(log).find("trickle ") != std::string::npos; }));
    EXPECT_NE(ReadFile(log).find("trickle cut"), std::string::npos) << "the transfer stops at once";
    WaitFor([] { return false; }, 1000);
    EXPECT_EQ(TopWindow(pi_.dwProcessId, L"ToruMessageDialogForm"), nullptr) << "no run, no question";
    EXPECT_FALSE(Exists(update_ + L"ran.txt"));
    WIN32_FIND_DATAW found;
    HANDLE any = FindFirstFileW((update_ + L"absent*").c_str(), &found);
    EXPECT_EQ(any, INVALID_HANDLE_VALUE) << "no half-written installer";
    if (any != INVALID_HANDLE_VALUE) FindClose(any);
    EXPECT_FALSE(Exited(100)) << "Brimlet stays open";
}

TEST_F(Brimlet, RefusesWhileQuorvexRunsAndAllowsOneInstance) {
    Serve(VersionFile(own_build_ + 1));
    WriteFile(Work() + L"www\\dl\\setup.exe", installer_);
    Launch();
    ASSERT_TRUE(WaitStatus(L"Applications Package Update Release"));
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TkynMainForm";
    RegisterClassW(&wc);
    HWND quorvex = CreateWindowW(L"TkynMainForm", L"Quorvex", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(quorvex, nullptr);
    Click(UpdateButton());
    WaitFor([] { return false; }, 2000);
    EXPECT_FALSE(Exists(update_ + L"setup.exe")) << "nothing is downloaded while Quorvex runs";
    DestroyWindow(quorvex);

    second_ = Start();
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = TopWindow(second_.dwProcessId, L"#32770")) != nullptr; }));
    EXPECT_EQ(TopWindow(second_.dwProcessId, L"ToruUpdaterForm"), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return WaitForSingleObject(second_.hProcess, 0) == WAIT_OBJECT_0; }));
}

}  // namespace
