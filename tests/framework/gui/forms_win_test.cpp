// Forms, timers and exception routing under Wine.
#include "framework/gui/forms.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/gui/application.h"
#include "framework/gui/timer.h"
#include "tests/support/win_test_app.h"

namespace fw {
namespace {

using test::PumpUntil;
using test::TestApplication;

constexpr UINT kThrowMessage = WM_APP + 1;

class ThrowingForm : public TForm {
public:
    explicit ThrowingForm(TComponent* owner) : TForm(owner, L"TFwThrowingTestForm") {}

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kThrowMessage) throw EConvertError(L"bad value in window procedure");
        return TForm::WndProc(msg, wParam, lParam);
    }
};

struct HandlerLog {
    int calls = 0;
    std::wstring last;
};

TEST(Forms, NamedWindowClassIsFoundByFindWindow) {
    auto& app = TestApplication();
    auto* form = app.CreateForm<TForm>(std::wstring(L"TkynTestNamedForm"));
    form->SetCaption(L"Named form");
    form->SetBorderStyle(TFormBorderStyle::bsNone);
    form->SetFormStyle(TFormStyle::fsStayOnTop);
    form->SetBounds(0, 0, 320, 240);
    bool shown = false;
    form->OnShow = [&](TComponent*) { shown = true; };
    form->Show();
    EXPECT_TRUE(PumpUntil([&] { return shown; }));
    HWND found = FindWindowW(L"TkynTestNamedForm", nullptr);
    EXPECT_EQ(found, form->Handle());
    EXPECT_TRUE(GetWindowLongW(found, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongW(found, GWL_STYLE) & WS_CAPTION);
    RECT r;
    GetWindowRect(found, &r);
    EXPECT_EQ(r.right - r.left, 320);
    form->Free();
    EXPECT_EQ(FindWindowW(L"TkynTestNamedForm", nullptr), nullptr);
}

TEST(Forms, ExceptionInWindowProcedureReachesTheHandlerAndTheProgramGoesOn) {
    auto& app = TestApplication();
    HandlerLog log;
    app.OnException = [&](TComponent*, const Exception& e) {
        ++log.calls;
        log.last = e.Message();
    };
    auto* form = app.CreateForm<ThrowingForm>();
    SendMessageW(form->Handle(), kThrowMessage, 0, 0);
    EXPECT_EQ(log.calls, 1);
    EXPECT_EQ(log.last, L"bad value in window procedure");
    // The window still works afterwards.
    EXPECT_TRUE(IsWindow(form->Handle()));
    SendMessageW(form->Handle(), kThrowMessage, 0, 0);
    EXPECT_EQ(log.calls, 2);
    form->Free();
    app.OnException = nullptr;
}

TEST(Forms, EAbortIsSilent) {
    auto& app = TestApplication();
    int calls = 0;
    app.OnException = [&](TComponent*, const Exception&) { ++calls; };
    GuardCallback(nullptr, [] { throw EAbort(); });
    EXPECT_EQ(calls, 0);
    app.OnException = nullptr;
}

TEST(Timers, TicksAndCanFreeItselfFromItsOwnTick) {
    TestApplication();
    auto* timer = new TTimer(nullptr);
    timer->SetInterval(10);
    int ticks = 0;
    bool freed = false;
    timer->OnTimer = [&](TComponent* sender) {
        if (++ticks == 3) {
            sender->Free();
            freed = true;
        }
    };
    EXPECT_TRUE(PumpUntil([&] { return freed; }));
    // No tick after the timer is gone.
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, 3);
}

TEST(Timers, DisableFromOwnTickStopsIt) {
    TestApplication();
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    timer.OnTimer = [&](TComponent*) {
        ++ticks;
        timer.SetEnabled(false);
    };
    EXPECT_TRUE(PumpUntil([&] { return ticks > 0; }));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, 1);
}

TEST(Timers, ExceptionInTickReachesTheHandler) {
    auto& app = TestApplication();
    int calls = 0;
    std::wstring message;
    app.OnException = [&](TComponent*, const Exception& e) {
        ++calls;
        message = e.Message();
    };
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    timer.OnTimer = [&](TComponent*) {
        ++ticks;
        throw Exception(L"tick failed");
    };
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
    EXPECT_GE(calls, 2);
    EXPECT_EQ(message, L"tick failed");
    app.OnException = nullptr;
}

}  // namespace
}  // namespace fw
