// TApplication: the program's one application object. It owns the forms,
// runs the message loop and is the single entry point for exceptions that
// reach a Windows callback (HandleException / ShowException), which the
// crash-report library hooks.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "framework/core/component.h"
#include "framework/core/exceptions.h"

namespace fw {

class TControl;
class TForm;
class THintWindow;
class TTimer;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title);

    TForm* MainForm() const { return main_form_; }
    // The application's own hidden window: calls that other threads hand to
    // the GUI thread (TThread::Synchronize, Queue) wake it up here.
    HWND Handle() const { return handle_; }

    // Creates a form owned by the application; the first becomes the main form.
    template <class T, class... Args>
    T* CreateForm(Args&&... args) {
        T* form = new T(this, std::forward<Args>(args)...);
        FormCreated(form);
        return form;
    }

    // Runs the message loop until Terminate or the main form closes.
    void Run();
    void ProcessMessages();
    // Waits for one message and handles it; false once WM_QUIT arrives.
    bool HandleMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Handles the exception now in flight (call from a catch block): the
    // exception hook sees it first, EAbort stops silently, then OnException
    // or, without one, ShowException gets the original exception object.
    // While that handler runs (a box is shown), further exceptions stop here.
    void HandleException(TComponent* sender);
    void HandleException(TComponent* sender, std::exception_ptr e);
    // A message box with the exception's message.
    virtual void ShowException(std::exception_ptr e);
    std::function<void(TComponent* sender, std::exception_ptr e)> OnException;

    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

    // Hints: a control with ShowHint and a Hint that the mouse rests on for
    // HintPause milliseconds shows its hint below the pointer for
    // HintHidePause milliseconds; leaving it or pressing a button hides it.
    bool ShowHint() const { return show_hint_; }
    void SetShowHint(bool v);
    UINT HintPause() const { return hint_pause_; }
    void SetHintPause(UINT ms) { hint_pause_ = ms; }
    UINT HintHidePause() const { return hint_hide_pause_; }
    void SetHintHidePause(UINT ms) { hint_hide_pause_ = ms; }
    // The window the hints show in, made on first use.
    THintWindow* HintWindow();
    // Called by the controls as the mouse enters and leaves them.
    void HintMouseEnter(TControl* control);
    void HintMouseLeave(TControl* control);
    void CancelHint();

    // Called by TForm.
    void FormDestroyed(TForm* form);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void ShowHintNow();
    void FormCreated(TForm* form);
    bool ProcessMessage(MSG& msg);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::wstring title_;
    TForm* main_form_ = nullptr;
    HWND handle_ = nullptr;
    bool terminated_ = false;
    bool handling_exception_ = false;
    bool show_hint_ = true;
    UINT hint_pause_ = 500;
    UINT hint_hide_pause_ = 2500;
    TControl* hint_control_ = nullptr;
    TTimer* hint_timer_ = nullptr;
    THintWindow* hint_window_ = nullptr;
};

// The one application object, created by the program's entry point.
extern TApplication* Application;

// Runs `body` at a boundary that Windows calls back into; a C++ exception
// cannot unwind through Windows' frames, so it goes to the application's
// handler here. Returns `fallback` when an exception was caught.
// Hands the exception in flight to the application's handler, or to the
// exception hook alone while there is no application.
void HandleCallbackException(TComponent* sender);

template <class R, class F>
R GuardCallback(TComponent* sender, R fallback, F&& body) {
    try {
        return body();
    } catch (...) {
        HandleCallbackException(sender);
        return fallback;
    }
}

template <class F>
void GuardCallback(TComponent* sender, F&& body) {
    try {
        body();
    } catch (...) {
        HandleCallbackException(sender);
    }
}

}  // namespace fw
