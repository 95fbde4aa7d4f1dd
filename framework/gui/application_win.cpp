// TApplication: message loop, exception routing and hints.
#include "framework/gui/application.h"

#include <algorithm>

#include "framework/core/thread.h"
#include "framework/gui/forms.h"
#include "framework/gui/hint_window.h"
#include "framework/gui/timer.h"
#include "framework/gui/utility_window.h"

namespace fw {
namespace {

const UINT kSynchronizeMessage = WM_APP + 0x3F01;

}  // namespace

TApplication* Application = nullptr;

TApplication::TApplication() : TComponent(nullptr) {
    if (Application) return;
    Application = this;
    SetMainThread();
    handle_ = CreateUtilityWindow(L"FwApplicationWindow", WindowProc);
    HWND window = handle_;
    SetSynchronizeWakeup([window] { PostMessageW(window, kSynchronizeMessage, 0, 0); });
}

TApplication::~TApplication() {
    if (Application != this) return;
    SetSynchronizeWakeup(nullptr);
    if (handle_) DestroyWindow(handle_);
    Application = nullptr;
}

LRESULT CALLBACK TApplication::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kSynchronizeMessage) {
        GuardCallback(Application, [] { CheckSynchronize(); });
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void TApplication::SetTitle(const std::wstring& title) { title_ = title; }

void TApplication::FormCreated(TForm* form) {
    if (!main_form_) main_form_ = form;
    GuardCallback(form, [&] { form->DoCreate(); });
}

void TApplication::FormDestroyed(TForm* form) {
    if (main_form_ == form) main_form_ = nullptr;
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

bool TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) {
        if (terminated_) return false;
        WaitMessage();
    }
    return !terminated_;
}

void TApplication::Run() {
    if (main_form_ && !main_form_->Visible()) {
        GuardCallback(main_form_, [&] { main_form_->Show(); });
    }
    while (!terminated_) {
        if (!main_form_) break;
        HandleMessage();
    }
}

void TApplication::Terminate() {
    if (!terminated_) PostQuitMessage(0);
    terminated_ = true;
}

void HandleCallbackException(TComponent* sender) {
    if (Application) {
        Application->HandleException(sender);
        return;
    }
    try {
        if (const TExceptionHook& hook = ExceptionHook()) hook(sender, std::current_exception());
    } catch (...) {
    }
}

void TApplication::HandleException(TComponent* sender) { HandleException(sender, std::current_exception()); }

void TApplication::HandleException(TComponent* sender, std::exception_ptr e) {
    if (!e) return;
    // A failing handler must not take the program down with it.
    try {
        if (const TExceptionHook& hook = ExceptionHook(); hook && hook(sender, e)) return;
        if (IsAbort(e)) return;
        // Timers keep ticking inside a handler's message box: a failing tick
        // must not stack a report on top of the one being shown.
        if (handling_exception_) return;
        handling_exception_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{handling_exception_};
        if (OnException) {
            OnException(sender, e);
        } else {
            ShowException(e);
        }
    } catch (...) {
    }
}

void TApplication::ShowException(std::exception_ptr e) {
    std::wstring text = ExceptionMessage(e);
    if (!text.empty() && text.back() != L'.') text += L'.';
    MessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == hint_control_) CancelHint();
    if (component == hint_window_) hint_window_ = nullptr;
    if (component == hint_timer_) hint_timer_ = nullptr;
}

void TApplication::SetShowHint(bool v) {
    show_hint_ = v;
    if (!v) CancelHint();
}

THintWindow* TApplication::HintWindow() {
    if (!hint_window_) hint_window_ = new THintWindow(this);
    return hint_window_;
}

void TApplication::HintMouseEnter(TControl* control) {
    if (!show_hint_ || !control || !control->ShowHint() || control->Hint().empty()) return;
    CancelHint();
    hint_control_ = control;
    FreeNotification(control);
    if (!hint_timer_) {
        hint_timer_ = new TTimer(this);
        hint_timer_->SetEnabled(false);
        hint_timer_->OnTimer = [this](TComponent*) { ShowHintNow(); };
    }
    hint_timer_->SetInterval(std::max(hint_pause_, 1u));
    hint_timer_->SetEnabled(true);
}

void TApplication::HintMouseLeave(TControl* control) {
    if (control == hint_control_) CancelHint();
}

void TApplication::CancelHint() {
    if (hint_timer_) hint_timer_->SetEnabled(false);
    if (hint_control_) RemoveFreeNotification(hint_control_);
    hint_control_ = nullptr;
    if (hint_window_) hint_window_->ReleaseHint();
}

void TApplication::ShowHintNow() {
    if (hint_timer_) hint_timer_->SetEnabled(false);
    if (!hint_control_ || !hint_control_->Showing()) return;
    POINT at;
    GetCursorPos(&at);
    // Below the pointer, clear of its arrow.
    at.y += GetSystemMetrics(SM_CYCURSOR) * 2 / 3;
    HintWindow()->ActivateHint(at, hint_control_->Hint(), hint_hide_pause_);
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    HWND owner = GetActiveWindow();
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

}  // namespace fw
