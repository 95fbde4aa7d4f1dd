// The main handler's order of steps, the roads that end it early, and the
// order in which components hear an event, observed through the seams.
#include "crashreport/capture/DrevnikReport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "crashreport/capture/DrevnikLog.h"

namespace drevnik {
namespace {

std::vector<std::string> gSteps;
void Note(const char* step) { gSteps.emplace_back(step); }

TDrevnikModuleOptionsEx* gOptions = nullptr;

class ReportOrder : public ::testing::Test {
protected:
    void SetUp() override {
        gSteps.clear();
        options_ = std::make_unique<TDrevnikModuleOptionsEx>(std::string());
        options_->SetWebMode(wmHttp);
        gOptions = options_.get();
        SetCurrentOptionsProvider([] { return gOptions; });
        TReportSeams& s = ReportSeams();
        saved_ = s;
        s.BuildCallStack = [](TDrevnikStackList&, uintptr_t, uintptr_t, uintptr_t, uint32_t) { Note("stacks"); };
        s.BuildReportText = [](const TDrevnikExceptionRecord&) {
            Note("text");
            return std::string("report");
        };
        s.CaptureScreenshot = [] { Note("screenshot"); };
        s.ShowExceptionDialog = [](bool) {
            Note("dialog");
            ReportState().Dialog.KindInUse = dkNone;
        };
        s.SaveReportToLog = [] { Note("log"); };
        s.SendReport = [] {
            Note("send");
            return false;
        };
        s.CheckAutoCrash = [] { Note("auto-crash"); };
        s.DoTerminateButtonAction = [] { Note("close action"); };
        CreateDrevnikLogList();
        log_ = std::make_unique<TDrevnikLog>(nullptr);
        log_->OnExceptionNotify = [this](const TDrevnikExceptionRecord&, bool& handled) {
            Note("notify");
            handled = keepHandled_;
        };
        log_->OnExceptionActionNotify = [](const TDrevnikExceptionRecord&, TDrevnikActionType action, bool&) {
            Note(action == atShowingExceptionInfo ? "showing" : "showed");
        };
    }
    void TearDown() override {
        log_.reset();
        DestroyDrevnikLogList();
        ReportSeams() = saved_;
        SetCurrentOptionsProvider(nullptr);
        ReportState().HandlerOptions.reset();
    }

    bool Process(uint8_t catchKind = ckOrdinary) {
        const TRaisedObject object = TRaisedObject::FromPtr(std::make_exception_ptr(std::runtime_error("boom")));
        TExceptNotifyParams params;
        params.FaultThreadId = GetCurrentThreadId();
        ReportState().Dialog.SendWanted = true;
        return ProcessException(object, 0x1000, true, params, rmDesktop, LibraryModuleHandle(), catchKind);
    }

    std::unique_ptr<TDrevnikModuleOptionsEx> options_;
    std::unique_ptr<TDrevnikLog> log_;
    TReportSeams saved_;
    bool keepHandled_ = true;
};

TEST_F(ReportOrder, RunsEveryStepInItsPlace) {
    EXPECT_FALSE(Process());
    const std::vector<std::string> expected = {"stacks", "text",  "notify", "screenshot", "showing",   "dialog",
                                               "showed", "log",   "send",   "auto-crash", "close action"};
    EXPECT_EQ(gSteps, expected);
    EXPECT_EQ(ReportState().ReportStep.load(), 18);
    EXPECT_EQ(ReportState().LastExceptMessage, "boom");
    EXPECT_EQ(ReportState().CurrentReport.load(), nullptr);
}

struct TEarlyEnd {
    const char* Name;
    uint8_t Handling;  // of a matching filter; fhFullReport: no filter
    bool KeepHandled;
    uint8_t CatchKind;
    bool Result;
    std::vector<std::string> Steps;
};

class ReportEarlyEnd : public ReportOrder, public ::testing::WithParamInterface<TEarlyEnd> {};

TEST_P(ReportEarlyEnd, StopsWhereItMust) {
    const TEarlyEnd& c = GetParam();
    if (c.Handling != fhFullReport) {
        TDrevnikExceptionFilter filter;
        filter.ExceptClass = "std::exception";
        filter.Handling = c.Handling;
        options_->Filters().Add(filter);
    }
    keepHandled_ = c.KeepHandled;
    EXPECT_EQ(Process(c.CatchKind), c.Result);
    EXPECT_EQ(gSteps, c.Steps);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportEarlyEnd,
    ::testing::Values(TEarlyEnd{"FilterIgnores", fhIgnore, true, ckOrdinary, false, {"close action"}},
                      TEarlyEnd{"FilterLeavesItToTheFramework", fhFrameworkOnly, true, ckOrdinary, true,
                                {"close action"}},
                      TEarlyEnd{"NotifyHandlerClearsHandled", fhFullReport, false, ckOrdinary, true,
                                {"stacks", "text", "notify", "close action"}},
                      TEarlyEnd{"ThreadWrapperOnlyMakesTheStacks", fhFullReport, true, ckThreadWrapper, false,
                                {"stacks"}}),
    [](const auto& p) { return std::string(p.param.Name); });

// A step that raises ends the handler where it stood: nothing after it
// runs, the step number stays for the internal-error report, and the report
// record is gone.
TEST_F(ReportOrder, AFailingStepEndsTheReportThere) {
    ReportSeams().BuildReportText = [](const TDrevnikExceptionRecord&) -> std::string {
        Note("text");
        throw std::runtime_error("text failed");
    };
    EXPECT_FALSE(Process());
    EXPECT_EQ(gSteps, (std::vector<std::string>{"stacks", "text"}));
    EXPECT_EQ(ReportState().ReportStep.load(), 702);
    EXPECT_EQ(ReportState().CurrentReport.load(), nullptr);
}

// The main window's thread is stuck (it could be suspended): bringing the
// window back must not wait for it, and the window is restored once that
// thread pumps again.
TEST_F(ReportOrder, RestoringTheMainWindowDoesNotWaitForItsThread) {
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::promise<HWND> made;
    bool restored = false;
    std::thread owner([&] {
        HWND window = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 10, 10, 200, 120, nullptr,
                                      nullptr, nullptr, nullptr);
        ShowWindow(window, SW_SHOWMINIMIZED);
        made.set_value(window);
        WaitForSingleObject(release, INFINITE);
        MSG message;
        for (int i = 0; i < 500 && IsIconic(window); ++i) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(10);
        }
        restored = !IsIconic(window);
        DestroyWindow(window);
    });
    const HWND window = made.get_future().get();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IsIconic(window));
    auto report = std::async(std::launch::async, [this] { return Process(); });
    const bool ended = report.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    SetEvent(release);
    owner.join();
    CloseHandle(release);
    ASSERT_TRUE(ended);
    EXPECT_FALSE(report.get());
    EXPECT_TRUE(restored);
}

TEST(ReportHelpers, CopiesTextToTheClipboardAndLeavesItAloneForNoText) {
    CopyTextToClipboard("first line\r\nsecond");
    CopyTextToClipboard("");
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    const std::string text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(text, "first line\r\nsecond");
}

struct TFocusCase {
    const char* Name;
    const char* ClassName;
    DWORD Style;
    bool Unicode;
    const char* Text;
    const char* Expected;
};

class FocusedControl : public ::testing::TestWithParam<TFocusCase> {};

TEST_P(FocusedControl, GivesItsClassAndAShowableText) {
    const TFocusCase& c = GetParam();
    const DWORD style = WS_CHILD | WS_VISIBLE | c.Style;
    HWND frame = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    HWND control = c.Unicode ? CreateWindowExW(0, L"EDIT", L"", style, 5, 5, 200, 60, frame, nullptr, nullptr, nullptr)
                             : CreateWindowExA(0, c.ClassName, "", style, 5, 5, 200, 60, frame, nullptr, nullptr,
                                               nullptr);
    ASSERT_NE(control, nullptr);
    SetWindowTextA(control, c.Text);
    SetForegroundWindow(frame);
    SetFocus(control);
    ASSERT_EQ(GetFocus(), control);
    char className[kFocusTextMax + 1];
    char text[kFocusTextMax + 1];
    GetFocusedControlClass(className);
    GetFocusedControlText(text);
    DestroyWindow(frame);
    EXPECT_STRCASEEQ(className, c.ClassName);
    EXPECT_STREQ(text, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FocusedControl,
    ::testing::Values(TFocusCase{"PlainEdit", "Edit", 0, false, "plain", "plain"},
                      TFocusCase{"PasswordEdit", "Edit", ES_PASSWORD, false, "secret", "******"},
                      TFocusCase{"MultiLineEdit", "Edit", ES_MULTILINE, false, "several\r\nlines", ""},
                      TFocusCase{"UnicodeEdit", "Edit", 0, true, "wide", ""},
                      TFocusCase{"Button", "Button", BS_PUSHBUTTON, false, "Press", "Press"}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(ReportDispatch, LaterComponentsHearFirstAndPassTheirAnswerOn) {
    CreateDrevnikLogList();
    std::vector<std::string> heard;
    TDrevnikLog earlier(nullptr), later(nullptr);
    earlier.OnExceptionNotify = [&](const TDrevnikExceptionRecord&, bool& handled) {
        heard.push_back(handled ? "earlier saw handled" : "earlier saw cleared");
    };
    later.OnExceptionNotify = [&](const TDrevnikExceptionRecord&, bool& handled) {
        heard.push_back("later");
        handled = false;
    };
    ReportState().EventHandled = true;
    DispatchExceptionNotify();
    EXPECT_EQ(heard, (std::vector<std::string>{"later", "earlier saw cleared"}));
    EXPECT_FALSE(ReportState().EventHandled);
    DestroyDrevnikLogList();
}

}  // namespace
}  // namespace drevnik
