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
    app.OnException = [&](TComponent*, std::exception_ptr e) {
        ++log.calls;
        log.last = ExceptionMessage(e);
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
    app.OnException = [&](TComponent*, std::exception_ptr) { ++calls; };
    GuardCallback(nullptr, [] { throw EAbort(); });
    EXPECT_EQ(calls, 0);
    app.OnException = nullptr;
}

// A class of the caller's own, with data of its own.
class EDeviceLost : public EInvalidOperation {
public:
    EDeviceLost(std::wstring message, int device) : EInvalidOperation(std::move(message)), device_(device) {}
    int Device() const { return device_; }

private:
    int device_;
};

struct NotAnException {
    int code;
};

TEST(Forms, HandlersAndTheHookSeeTheOriginalExceptionObject) {
    auto& app = TestApplication();
    auto* form = app.CreateForm<ThrowingForm>();
    struct Seen {
        TComponent* sender = nullptr;
        int device = 0;
        std::wstring message;
    } seen;
    app.OnException = [&](TComponent* sender, std::exception_ptr e) {
        seen.sender = sender;
        seen.message = ExceptionMessage(e);
        try {
            std::rethrow_exception(e);
        } catch (const EDeviceLost& lost) {
            seen.device = lost.Device();
        } catch (...) {
        }
    };
    GuardCallback(form, [] { throw EDeviceLost(L"device 7 is gone", 7); });
    EXPECT_EQ(seen.sender, form);
    EXPECT_EQ(seen.device, 7);
    EXPECT_EQ(seen.message, L"device 7 is gone");

    // The hook sees every exception first, as thrown, even a non-class one;
    // what it takes never reaches OnException.
    int hooked = 0, reached = 0;
    SetExceptionHook([&](TComponent*, std::exception_ptr e) {
        ++hooked;
        try {
            std::rethrow_exception(e);
        } catch (const NotAnException& x) {
            return x.code == 42;
        } catch (...) {
            return false;
        }
    });
    app.OnException = [&](TComponent*, std::exception_ptr e) {
        ++reached;
        seen.message = ExceptionMessage(e);
    };
    GuardCallback(form, [] { throw NotAnException{42}; });
    EXPECT_EQ(hooked, 1);
    EXPECT_EQ(reached, 0);
    GuardCallback(form, [] { throw NotAnException{1}; });
    EXPECT_EQ(reached, 1);
    EXPECT_EQ(seen.message, L"Unknown exception");
    // EAbort passes the hook too, then stops.
    GuardCallback(form, [] { throw EAbort(); });
    EXPECT_EQ(hooked, 3);
    EXPECT_EQ(reached, 1);
    SetExceptionHook(nullptr);
    app.OnException = nullptr;
    form->Free();
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

TEST(Timers, DisableFromOwnTickStopsItUntilEnabledAgain) {
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
    // Enabled again, it ticks again.
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks == 2; }, 3000));
}

TEST(Timers, ExceptionInTickReachesTheHandler) {
    auto& app = TestApplication();
    int calls = 0;
    std::wstring message;
    app.OnException = [&](TComponent*, std::exception_ptr e) {
        ++calls;
        message = ExceptionMessage(e);
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

// A handler that shows a box runs a modal loop in which timers keep ticking:
// a tick that fails meanwhile must not stack a second report on the first.
TEST(Timers, ExceptionWhileTheHandlerRunsStopsThere) {
    auto& app = TestApplication();
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = [](TComponent*) { throw Exception(L"tick failed"); };
    timer.SetEnabled(false);
    int calls = 0;
    int ticksWhileHandling = 0;
    app.OnException = [&](TComponent*, std::exception_ptr) {
        ++calls;
        // The handler's own modal loop, with the failing timer running.
        timer.SetEnabled(true);
        PumpUntil([&] { return timer.TickCount() >= 3; });
        ticksWhileHandling = static_cast<int>(timer.TickCount());
        timer.SetEnabled(false);
    };
    GuardCallback(nullptr, [] { throw Exception(L"first"); });
    app.OnException = nullptr;
    EXPECT_GE(ticksWhileHandling, 3);
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace fw
