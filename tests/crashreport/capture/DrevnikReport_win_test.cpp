// The main handler's order of steps, the roads that end it early, and the
// order in which components hear an event, observed through the seams.
#include "crashreport/capture/DrevnikReport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
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
    [](const auto& info) { return std::string(info.param.Name); });

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
