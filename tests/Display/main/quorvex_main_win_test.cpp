// The real program, started as a user starts it: each start must show the
// display and draw in it (pixels of its window read back from the screen)
// and end cleanly when closed, also while earlier instances sweep beside it,
// and also when its settings file or the save at close goes wrong.
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/SettingsFormat.h"
#include "framework/core/file_io.h"
#include "tests/common/win_test_support.h"
#include "tests/support/win_process_windows.h"

namespace {

using common::test::TScratchFolder;

constexpr DWORD kStartBoundMs = 30000;  // generous: the machine is loaded on purpose
constexpr DWORD kEndBoundMs = 20000;
constexpr int kWidth = 320;
constexpr int kHeight = 240;

// A green background and a white line that sweeps top-down as fast as it can.
common::TGeneralSettings TestSettings() {
    common::TGeneralSettings s;
    s.SweepRate = 1000;
    s.SweepDirection = common::sdTopDown;
    s.BackgroundColour = {0.0, 1.0, 0.0, common::ccGreen, 1.0};
    s.LineColour = {1.0, 1.0, 1.0, common::ccWhite, 1.0};
    return s;
}

bool WaitFor(const std::function<bool()>& done, DWORD boundMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > boundMs) return false;
        Sleep(20);
    }
    return true;
}

struct TWindowSearch {
    DWORD pid;
    const wchar_t* cls;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<TWindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    if (pid != s->pid || std::wstring(name) != s->cls || !IsWindowVisible(h)) return TRUE;
    s->found = h;
    return FALSE;
}

// A visible top-level window of that class that the process owns.
HWND ProcessWindow(DWORD pid, const wchar_t* cls) {
    TWindowSearch search{pid, cls, nullptr};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK MatchProcessWindowTitle(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<TWindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t title[64] = {};
    GetWindowTextW(h, title, 64);
    if (pid != s->pid || std::wstring(title) != s->cls || !IsWindowVisible(h)) return TRUE;
    s->found = h;
    return FALSE;
}

BOOL CALLBACK MatchOkButton(HWND h, LPARAM lp) {
    wchar_t text[16] = {};
    GetWindowTextW(h, text, 16);
    const std::wstring caption = text;
    if ((caption != L"OK" && caption != L"&OK") || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
}

struct TTextSearch {
    const std::wstring* text;
    bool found;
};

BOOL CALLBACK MatchChildText(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<TTextSearch*>(lp);
    wchar_t shown[256] = {};
    GetWindowTextW(h, shown, 256);
    s->found = std::wstring(shown).find(*s->text) != std::wstring::npos;
    return !s->found;
}

bool DialogShowsText(HWND dialog, const std::wstring& text) {
    TTextSearch search{&text, false};
    EnumChildWindows(dialog, MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A visible top-level window with that caption that the process owns.
HWND ProcessWindowTitled(DWORD pid, const wchar_t* title) {
    TWindowSearch search{pid, title, nullptr};
    EnumWindows(MatchProcessWindowTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The display window's client area as the screen shows it now.
class TScreenGrab {
public:
    explicit TScreenGrab(HWND window) {
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, kWidth, kHeight, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        pixels_.assign(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + kWidth * kHeight);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    // 0xRRGGBB
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * kWidth + x] & 0xFFFFFF; }
    // The rows of column x that show the white line.
    std::vector<int> WhiteRows(int x) const {
        std::vector<int> rows;
        for (int y = 0; y < kHeight; ++y) {
            if (At(x, y) == 0xFFFFFF) rows.push_back(y);
        }
        return rows;
    }

private:
    std::vector<uint32_t> pixels_;
};

// One start of the program from a folder of its own: "Quorvex.exe" with the
// data folder "Quorvex\settings\" beside it.
class TQuorvex {
public:
    TQuorvex(const std::wstring& folder) : folder_(folder) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring exe = folder + L"Quorvex.exe";
        std::wstring commandLine = L"\"" + exe + L"\"";
        started_ = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                  &si, &pi_) != FALSE;
        if (started_) CloseStartupInfo();
    }
    ~TQuorvex() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, kEndBoundMs);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    TQuorvex(const TQuorvex&) = delete;
    TQuorvex& operator=(const TQuorvex&) = delete;

    bool Started() const { return started_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    HWND Window() const { return ProcessWindow(pi_.dwProcessId, L"TkynMainForm"); }
    HWND Box() const { return ProcessWindow(pi_.dwProcessId, L"#32770"); }
    std::wstring BoxText() const {
        wchar_t text[512] = {};
        if (HWND box = Box()) GetDlgItemTextW(box, 0xFFFF, text, 512);
        return text;
    }
    // Each start first shows its information dialog before any window; close it.
    void CloseStartupInfo() const {
        HWND info = nullptr;
        WaitFor(
            [&] {
                return (info = ProcessWindowTitled(pi_.dwProcessId, L"Application Control Info")) != nullptr ||
                       Window() != nullptr || WaitForSingleObject(pi_.hProcess, 0) != WAIT_TIMEOUT;
            },
            kStartBoundMs);
        if (!info) return;
        HWND ok = nullptr;
        EnumChildWindows(info, MatchOkButton, reinterpret_cast<LPARAM>(&ok));
        PostMessageW(ok ? ok : info, ok ? BM_CLICK : WM_CLOSE, 0, 0);
        WaitFor([&] { return ProcessWindowTitled(pi_.dwProcessId, L"Application Control Info") == nullptr; }, kEndBoundMs);
    }
    // An exception of a start reaches the crash report: a dialog that shows
    // its message in a control, or the report's own-drawn one; answer it with OK.
    bool AnswerReport(const std::wstring& message) {
        HWND dialog = nullptr;
        if (!WaitFor([&] { return (dialog = DialogShowing(message)) != nullptr || (dialog = Box()) != nullptr; },
                     kStartBoundMs))
            return false;
        HWND ok = nullptr;
        EnumChildWindows(dialog, MatchOkButton, reinterpret_cast<LPARAM>(&ok));
        if (ok)
            PostMessageW(ok, BM_CLICK, 0, 0);
        else
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return WaitFor([&] { return Box() == nullptr; }, kEndBoundMs);
    }
    // A dialog of the process that shows the text in one of its controls.
    HWND DialogShowing(const std::wstring& text) const {
        return fw::test::FindTopLevel(pi_.dwProcessId, [&](HWND h) {
            return fw::test::ClassOf(h) == "#32770" && DialogShowsText(h, text);
        });
    }
    // Waits for a box of the program and presses its OK button.
    bool AnswerBox(const std::wstring& text) {
        if (!WaitFor([&] { return Box() != nullptr && BoxText() == text; }, kStartBoundMs)) return false;
        PostMessageW(Box(), WM_COMMAND, IDOK, 0);
        return WaitFor([&] { return Box() == nullptr; }, kEndBoundMs);
    }

    // Why a start did not draw, for the failure message.
    std::string Diagnosis() const {
        std::string box;
        for (wchar_t c : BoxText()) box.push_back(c < 128 ? static_cast<char>(c) : '?');
        return "window shown " + std::to_string(Window() != nullptr) + ", box \"" + box + "\", running " +
               std::to_string(WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT);
    }

    // The background fills the window and the line moves down it.
    bool Draws() const {
        HWND window = nullptr;
        if (!WaitFor([&] { return (window = Window()) != nullptr; }, kStartBoundMs)) return false;
        if (!WaitFor([&] { return TScreenGrab(window).At(kWidth - 5, 5) == 0x00FF00; }, kStartBoundMs)) return false;
        std::vector<int> first;
        if (!WaitFor([&] { return !(first = TScreenGrab(window).WhiteRows(5)).empty(); }, kStartBoundMs)) return false;
        return WaitFor(
            [&] {
                const std::vector<int> now = TScreenGrab(window).WhiteRows(5);
                return !now.empty() && now != first;
            },
            kStartBoundMs);
    }

    // Closes the display as Alt+F4 does; the program must end by itself.
    void Close() const { PostMessageW(Window(), WM_CLOSE, 0, 0); }
    std::optional<DWORD> ExitCode(DWORD boundMs = kEndBoundMs) const {
        if (WaitForSingleObject(pi_.hProcess, boundMs) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

    const std::wstring& Folder() const { return folder_; }
    std::wstring SettingsFile() const { return folder_ + L"Quorvex\\settings\\gsf"; }

private:
    std::wstring folder_;
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

// Program folders with a copy of the program each.
class QuorvexStarts : public common::test::TRealQuorvexFolders {
protected:
    std::wstring MakeProgramFolder(const std::string& settings) {
        folders_.emplace_back();
        const std::wstring folder = folders_.back().Path();
        EXPECT_TRUE(CopyFileW(common::test::WindowsPath(KYN_QUORVEX_EXE).c_str(), (folder + L"Quorvex.exe").c_str(), FALSE));
        common::test::MakeFolders(folder + L"Quorvex\\settings");
        common::test::WriteBytes(folder + L"Quorvex\\settings\\gsf", settings);
        return folder;
    }

    std::deque<TScratchFolder> folders_;
};

// Earlier instances keep sweeping (each draws a frame every millisecond) while
// the next one starts, so the starts race a busy machine. The newest stays
// at the top-left corner where the program puts it; the earlier ones are
// moved aside, after they have drawn, so the screen shows each one whole.
TEST_F(QuorvexStarts, EveryStartDrawsAndEveryCloseEndsTheProgram) {
    constexpr int kStarts = 30;
    constexpr int kRunningBeside = 3;
    const std::string settings = common::WriteGeneralSettings(TestSettings());
    std::vector<std::wstring> slots;
    for (int i = 0; i <= kRunningBeside; ++i) slots.push_back(MakeProgramFolder(settings));
    std::deque<std::unique_ptr<TQuorvex>> running;
    auto closeOldest = [&] {
        TQuorvex& oldest = *running.front();
        oldest.Close();
        EXPECT_EQ(oldest.ExitCode(), std::optional<DWORD>(0)) << oldest.Diagnosis();
        // The close saved the settings it started with, the window's place
        // and size included.
        common::TGeneralSettings saved;
        common::ReadGeneralSettings(common::test::ReadBytes(oldest.SettingsFile()), saved);
        EXPECT_EQ(saved, TestSettings());
        running.pop_front();
    };
    for (int start = 0; start < kStarts; ++start) {
        if (static_cast<int>(running.size()) > kRunningBeside) closeOldest();
        // The slot of the instance closed last is free again.
        std::wstring slot;
        for (const std::wstring& s : slots) {
            bool used = false;
            for (const auto& q : running) used |= q->Folder() == s;
            if (!used) slot = s;
        }
        running.push_back(std::make_unique<TQuorvex>(slot));
        TQuorvex& q = *running.back();
        ASSERT_TRUE(q.Started());
        ASSERT_TRUE(q.Draws()) << "start " << start << ": " << q.Diagnosis();
        const int aside = static_cast<int>(start % kRunningBeside) + 1;
        SetWindowPos(q.Window(), nullptr, 40 + aside * (kWidth + 10), 300, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    }
    while (!running.empty()) closeOldest();
}

// What a start or a close reports in a box, and what it leaves behind.
TEST_F(QuorvexStarts, BadSettingsAndFailedSavesAreReportedAndTheProgramStillEnds) {
    const std::string good = common::WriteGeneralSettings(TestSettings());
    std::string typo = good;
    typo.insert(typo.rfind("0\r\n"), "x");  // the last line, the server port
    struct Row {
        const char* name;
        std::string settings;
        std::function<void(const std::wstring& gsf)> beforeClose;
        const wchar_t* startReport;  // the message of a crash report the start shows, or none
        const wchar_t* closeBox;
        std::string kept;  // the bytes kept as "gsf.unreadable", if any
    };
    const Row rows[] = {
        {"a typo in the settings file", typo, nullptr, L"Invalid numeric input", nullptr, typo},
        {"a crash left the save's temporary folder", good,
         [](const std::wstring& gsf) { common::test::MakeFolders(gsf + L".tmp"); }, nullptr, nullptr, ""},
        {"the settings file became read-only", good,
         [](const std::wstring& gsf) { SetFileAttributesW(gsf.c_str(), FILE_ATTRIBUTE_READONLY); }, nullptr,
         L"General Setting File Saving Failed", ""},
    };
    for (const Row& r : rows) {
        const std::wstring folder = MakeProgramFolder(r.settings);
        TQuorvex q(folder);
        ASSERT_TRUE(q.Started()) << r.name;
        if (r.startReport) {
            EXPECT_TRUE(q.AnswerReport(r.startReport)) << r.name;
        }
        ASSERT_TRUE(q.Draws()) << r.name;
        if (r.beforeClose) r.beforeClose(q.SettingsFile());
        q.Close();
        if (r.closeBox) {
            EXPECT_TRUE(q.AnswerBox(r.closeBox)) << r.name;
        }
        EXPECT_EQ(q.ExitCode(), std::optional<DWORD>(0)) << r.name;
        const std::wstring kept = q.SettingsFile() + L".unreadable";
        EXPECT_EQ(common::test::PathExists(kept), !r.kept.empty()) << r.name;
        if (!r.kept.empty()) {
            EXPECT_EQ(common::test::ReadBytes(kept), r.kept) << r.name;
        }
        SetFileAttributesW(q.SettingsFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

}  // namespace
