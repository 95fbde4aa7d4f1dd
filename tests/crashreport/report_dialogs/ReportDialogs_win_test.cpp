// The report dialogs of a faulting program, driven from outside as a user
// would: buttons pressed, text typed, pages switched, groups folded. The
// dialog's choices come back through the program's result file; pictures
// of the dialogs are left in the artifacts folder.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/win_process_windows.h"
#include "tests/support/win_screenshot.h"

namespace {

constexpr DWORD kDialogBoundMs = 60000;  // generous: the machine is loaded on purpose

bool WaitFor(const std::function<bool()>& done, DWORD boundMs = kDialogBoundMs) {
    return fw::test::WaitUntil(done, boundMs);
}

using fw::test::ClassOf;
using fw::test::WindowsPath;
using fw::test::FindTopLevel;

bool IsDialog(HWND w) { return ClassOf(w) == "#32770"; }
bool IsFullDialog(HWND w) { return IsDialog(w) && ClassOf(GetDlgItem(w, 1000)) == "SysTabControl32"; }
bool IsShortDialog(HWND w) { return IsDialog(w) && GetDlgItem(w, 111) != nullptr && GetDlgItem(w, 1001) != nullptr; }
// A message box: a dialog without the report dialogs' controls.
bool IsMessageBox(HWND w) { return IsDialog(w) && !IsFullDialog(w) && !IsShortDialog(w); }

HWND WaitForWindow(DWORD pid, const std::function<bool(HWND)>& match) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopLevel(pid, match)) != nullptr; });
    return found;
}

std::string ReadFile(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Type(HWND edit, const std::string& text) {
    for (char c : text) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

void PressKey(HWND window, UINT key) {
    PostMessageA(window, WM_KEYDOWN, key, 0);
    PostMessageA(window, WM_KEYUP, key, 0xC0000000);
}

// A client point of `dialog` at the given screen point.
LPARAM ClientPoint(HWND dialog, POINT screen) {
    ScreenToClient(dialog, &screen);
    return MAKELPARAM(screen.x, screen.y);
}

// The link beside label 107 of the short dialog.
void ClickDetailsLink(HWND dialog) {
    RECT label{};
    GetWindowRect(GetDlgItem(dialog, 107), &label);
    const LPARAM at = ClientPoint(dialog, {label.right + 4, label.top + 4});
    PostMessageA(dialog, WM_MOUSEMOVE, 0, at);
    PostMessageA(dialog, WM_LBUTTONUP, 0, at);
}

HWND PageContent(HWND full) {
    HWND tabs = GetDlgItem(full, 1000);
    HWND page = FindWindowExA(tabs, nullptr, "#32770", nullptr);
    return page != nullptr ? GetDlgItem(page, 103) : nullptr;
}

// One faulting program and its result file; killed when it outlives the test.
class TFaultingProgram {
public:
    TFaultingProgram(const std::string& commandLine, const std::string& resultFile) : result_(resultFile) {
        if (!result_.empty()) DeleteFileA(result_.c_str());
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string line = commandLine;
        started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_) != FALSE;
    }
    ~TFaultingProgram() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 20000);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        if (!result_.empty()) {
            DeleteFileA(result_.c_str());
            DeleteFileA((result_ + ".dvf").c_str());
        }
    }
    bool Started() const { return started_; }
    DWORD Pid() const { return process_.dwProcessId; }
    HANDLE Process() const { return process_.hProcess; }
    bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // The "session" line the program writes once the dialogs are done.
    std::string Session() const {
        std::string line;
        WaitFor([&] {
            const std::string text = ReadFile(result_);
            const size_t at = text.find("session ");
            if (at == std::string::npos) return false;
            line = text.substr(at, text.find('\n', at) - at);
            return true;
        });
        return line;
    }

private:
    std::string result_;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

std::string ResultPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "dialog_" + name + "_" + std::to_string(GetCurrentProcessId()) + ".txt";
}

TFaultingProgram Start(const char* name, int kind, const char* letters, std::string& result) {
    result = ResultPath(name);
    return TFaultingProgram("\"" + WindowsPath(KYN_DIALOG_PROGRAM) + "\" \"" + result + "\" " + std::to_string(kind) +
                                " " + letters,
                            result);
}

TEST(ReportDialogs, ShortDialogTakesStepsAndRefusesABadAddressUntilFixed) {
    std::string result;
    TFaultingProgram program = Start("short", 2, "rs", result);
    ASSERT_TRUE(program.Started());
    HWND dialog = WaitForWindow(program.Pid(), IsShortDialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 1000)));  // Send is offered
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 109)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 111)));
    Type(GetDlgItem(dialog, 109), "clicked twice");
    // The box starts with the address typed last time (kept in the library's settings).
    SendMessageA(GetDlgItem(dialog, 111), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Type(GetDlgItem(dialog, 111), "nobody");
    Sleep(1000);
    fw::test::SaveWindowShot(dialog, "report_short_dialog");
    Click(dialog, 1000);
    HWND refusal = WaitForWindow(program.Pid(), IsMessageBox);
    ASSERT_NE(refusal, nullptr);
    EXPECT_TRUE(IsWindow(dialog));  // stays open behind the refusal
    PostMessageA(refusal, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(refusal); }));
    SendMessageA(GetDlgItem(dialog, 111), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("me@example.org"));
    Click(dialog, 1000);
    const std::string session = program.Session();
    EXPECT_NE(session.find("kind=0 send=1"), std::string::npos) << session;
    EXPECT_NE(session.find("cancel=0"), std::string::npos) << session;
    EXPECT_NE(session.find("from=me@example.org"), std::string::npos) << session;
    EXPECT_NE(session.find("repro=clicked twice"), std::string::npos) << session;
}

TEST(ReportDialogs, EscapeInTheShortDialogIsNeverHeldUpByABadAddress) {
    std::string result;
    TFaultingProgram program = Start("escape", 2, "s", result);
    ASSERT_TRUE(program.Started());
    HWND dialog = WaitForWindow(program.Pid(), IsShortDialog);
    ASSERT_NE(dialog, nullptr);
    SendMessageA(GetDlgItem(dialog, 111), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Type(GetDlgItem(dialog, 111), "nobody");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    const std::string session = program.Session();
    EXPECT_NE(session.find("kind=0 send=0"), std::string::npos) << session;
    EXPECT_NE(session.find("cancel=1 close=0"), std::string::npos) << session;
    EXPECT_EQ(session.find("from=nobody"), std::string::npos) << session;
}

TEST(ReportDialogs, FullDialogSwitchesViewsPagesAndFoldsTheCallStack) {
    std::string result;
    TFaultingProgram program = Start("full", 3, "sr", result);
    ASSERT_TRUE(program.Started());
    HWND dialog = WaitForWindow(program.Pid(), IsFullDialog);
    ASSERT_NE(dialog, nullptr);
    HWND tabs = GetDlgItem(dialog, 1000);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(tabs) == FALSE; }));  // compact
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 3000)));
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, 3000), BM_GETCHECK, 0, 0), BST_CHECKED);
    Sleep(1000);
    fw::test::SaveWindowShot(dialog, "report_full_dialog_compact");

    Click(dialog, 104);  // Details
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(tabs) != FALSE; }));
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_EQ(ClassOf(PageContent(dialog)), "RichEdit20A");
    EXPECT_GT(SendMessageA(PageContent(dialog), EM_GETLINECOUNT, 0, 0), 30);
    Sleep(1000);
    fw::test::SaveWindowShot(dialog, "report_full_dialog_detailed");

    // Tab by tab with the arrow key: lists for 1 to 3, rich text for 4 and 5.
    const char* classes[] = {"SysListView32", "SysListView32", "SysListView32", "RichEdit20A", "RichEdit20A"};
    for (int tab = 1; tab <= 5; ++tab) {
        PressKey(tabs, VK_RIGHT);
        ASSERT_TRUE(WaitFor([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == tab; })) << tab;
        ASSERT_TRUE(WaitFor([&] { return ClassOf(PageContent(dialog)) == classes[tab - 1]; })) << tab;
        if (tab == 1) {
            HWND list = PageContent(dialog);
            const LRESULT all = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
            ASSERT_GT(all, 1);
            Sleep(1000);
            fw::test::SaveWindowShot(dialog, "report_full_dialog_call_stack");
            // The first row, just under the header, is the exception thread's
            // head: a double-click on it folds the group, a click on its sign
            // unfolds it. (Enter would press the dialog's default button.)
            RECT header{};
            GetWindowRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
            const auto clickAt = [&](int x, bool twice) {
                POINT at{header.left + x, header.bottom + 7};
                SetCursorPos(at.x, at.y);
                ScreenToClient(list, &at);
                const LPARAM lp = MAKELPARAM(at.x, at.y);
                PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, lp);
                PostMessageA(list, WM_LBUTTONUP, 0, lp);
                if (twice) {
                    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
                    PostMessageA(list, WM_LBUTTONUP, 0, lp);
                }
            };
            clickAt(120, true);
            ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) < all; }));
            Sleep(500);
            ASSERT_TRUE(IsWindow(list));
            const LRESULT folded = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
            EXPECT_LT(folded, all);
            EXPECT_GT(folded, 0);
            clickAt(120, false);  // a click beside the sign changes nothing
            Sleep(500);
            EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), folded);
            clickAt(7, false);
            EXPECT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == all; }));
        }
    }
    // Escape: nothing is sent or copied although the send box is checked.
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    // The steps dialog follows the full dialog.
    HWND steps = WaitForWindow(program.Pid(), [](HWND w) { return IsDialog(w) && GetDlgItem(w, 101) && GetDlgItem(w, 100); });
    ASSERT_NE(steps, nullptr);
    Type(GetDlgItem(steps, 101), "opened the panel");
    Click(steps, 2);
    const std::string session = program.Session();
    EXPECT_NE(session.find("kind=0 send=0"), std::string::npos) << session;
    EXPECT_NE(session.find("copy=0 cancel=1"), std::string::npos) << session;
    EXPECT_NE(session.find("detailed=1"), std::string::npos) << session;
    EXPECT_NE(session.find("repro=opened the panel"), std::string::npos) << session;
}

TEST(ReportDialogs, OwnLookDialogOverAMinimisedMainWindowClosesByItself) {
    std::string result;
    TFaultingProgram program = Start("ownlook", 3, "moa", result);
    ASSERT_TRUE(program.Started());
    HWND dialog = WaitForWindow(program.Pid(), IsFullDialog);
    ASSERT_NE(dialog, nullptr);
    Sleep(1000);
    fw::test::SaveWindowShot(dialog, "report_full_dialog_own_look");
    // Auto-close after two seconds without input.
    const std::string session = program.Session();
    EXPECT_NE(session.find("kind=0"), std::string::npos) << session;
    EXPECT_NE(session.find("cancel=0"), std::string::npos) << session;
    EXPECT_NE(session.find("unavailable=0"), std::string::npos) << session;
}

// The real programs: a thread started at address 0 from outside faults in them.
void FaultRealProgram(const char* exe, const char* shotPrefix) {
    TFaultingProgram program("\"" + WindowsPath(exe) + "\"", "");
    ASSERT_TRUE(program.Started());
    const bool windowShown = WaitFor(
        [&] { return !program.Running() || FindTopLevel(program.Pid(), [](HWND) { return true; }) != nullptr; }, 30000);
    if (!program.Running() || !windowShown) GTEST_SKIP() << exe << " ends without showing a window";
    HANDLE thread = CreateRemoteThread(program.Process(), nullptr, 0, nullptr, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    CloseHandle(thread);
    HWND dialog = WaitForWindow(program.Pid(), IsShortDialog);
    ASSERT_NE(dialog, nullptr);
    Sleep(1000);
    fw::test::SaveWindowShot(dialog, (std::string(shotPrefix) + "_short_dialog").c_str());
    ClickDetailsLink(dialog);
    HWND full = WaitForWindow(program.Pid(), IsFullDialog);
    ASSERT_NE(full, nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(full, 1000)));    // detailed
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(full, 104)));    // without Details button
    Sleep(1000);
    fw::test::SaveWindowShot(full, (std::string(shotPrefix) + "_full_dialog").c_str());
    Click(full, 102);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(full); }));
}

TEST(ReportDialogsInPrograms, QuorvexShowsTheShortDialogThenTheFullOne) { FaultRealProgram(KYN_QUORVEX_EXE, "quorvex"); }

TEST(ReportDialogsInPrograms, BrimletShowsTheShortDialogThenTheFullOne) { FaultRealProgram(KYN_BRIMLET_EXE, "brimlet"); }

}  // namespace
