// TForm.
#include "framework/gui/forms.h"

#include "framework/gui/application.h"

namespace fw {
namespace {

const UINT kReleaseMessage = WM_APP + 0x3F00;

BOOL CALLBACK CollectEnabledWindow(HWND w, LPARAM lp) {
    if (IsWindowVisible(w) && IsWindowEnabled(w)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

}  // namespace

TForm::TForm(TComponent* owner, std::wstring className)
    : TWinControl(owner), class_name_(std::move(className)), canvas_(std::make_unique<TCanvas>()) {
    visible_ = false;
    width_ = 320;
    height_ = 240;
    left_ = CW_USEDEFAULT;
    top_ = CW_USEDEFAULT;
    font_->SetName(L"Tahoma");
    // What the controls on the form reach through their top-level control.
    top_hooks_.PreviewKey = [this](WORD& key, TShiftState shift, bool down) {
        if (down && menu_ && menu_->IsShortCut(key, shift)) {
            key = 0;
            return;
        }
        if (!key_preview_) return;
        if (down) {
            KeyDown(key, shift);
        } else {
            KeyUp(key, shift);
        }
    };
    top_hooks_.PreviewChar = [this](wchar_t& ch) {
        if (key_preview_) KeyPress(ch);
    };
    top_hooks_.DialogKey = [this](TWinControl* from, WORD key, TShiftState shift) {
        if (key != VK_TAB) return BroadcastDialogKey(key, from);
        // Ctrl+Tab goes to whichever control switches pages around the focus.
        if ((shift & ssCtrl) && !(shift & ssAlt)) return BroadcastDialogKey(key, from);
        if (shift & (ssCtrl | ssAlt)) return false;
        TWinControl* next = FindNextControl(from, (shift & ssShift) == 0);
        if (!next) return false;
        next->SetFocus();
        return true;
    };
    top_hooks_.DialogChar = [this](wchar_t ch, TShiftState shift) { return BroadcastDialogChar(ch, shift); };
    top_hooks_.ModalResult = [this](TModalResult result) { SetModalResult(result); };
}

TForm::~TForm() {
    if (Application) Application->FormDestroyed(this);
}

void TForm::DoCreate() {
    FireEvent(OnCreate, this);
}

void TForm::BeforeDestruction() {
    if (destroy_fired_) return;
    destroy_fired_ = true;
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            HandleCallbackException(this);
        }
    }
}

void TForm::SetMenu(TMainMenu* menu) {
    if (menu == menu_) return;
    if (menu_) menu_->form_ = nullptr;
    menu_ = menu;
    if (menu) {
        menu->form_ = this;
        FreeNotification(menu);
    }
    if (handle_) {
        ::SetMenu(handle_, menu ? menu->Handle() : nullptr);
        DrawMenuBar(handle_);
    }
}

void TForm::CreateHandleDone() {
    if (menu_) ::SetMenu(handle_, menu_->Handle());
}

void TForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == menu_) menu_ = nullptr;
}

void TForm::KeyDown(WORD& key, TShiftState shift) {
    if (menu_ && menu_->IsShortCut(key, shift)) {
        key = 0;
        return;
    }
    TWinControl::KeyDown(key, shift);
}

TForm* GetParentForm(TControl* control) {
    while (control && control->Parent()) control = control->Parent();
    return dynamic_cast<TForm*>(control);
}

void TForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.winClassName = class_name_;
    p.parent = nullptr;
    p.style = WS_CLIPCHILDREN;
    p.exStyle = 0;
    switch (border_style_) {
        case TFormBorderStyle::bsNone: p.style |= WS_POPUP; break;
        case TFormBorderStyle::bsSingle: p.style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER; break;
        case TFormBorderStyle::bsSizeable: p.style |= WS_OVERLAPPEDWINDOW; break;
        case TFormBorderStyle::bsDialog:
            p.style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            p.exStyle |= WS_EX_DLGMODALFRAME;
            break;
        case TFormBorderStyle::bsToolWindow:
            p.style |= WS_CAPTION | WS_SYSMENU;
            p.exStyle |= WS_EX_TOOLWINDOW;
            break;
        case TFormBorderStyle::bsSizeToolWin:
            p.style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
            p.exStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (form_style_ == TFormStyle::fsStayOnTop) p.exStyle |= WS_EX_TOPMOST;
    if (!enabled_) p.style |= WS_DISABLED;
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    if (style == border_style_) return;
    border_style_ = style;
    if (handle_) {
        TCreateParams p;
        CreateParams(p);
        SetWindowLongW(handle_, GWL_STYLE, static_cast<LONG>(p.style | (visible_ ? WS_VISIBLE : 0)));
        SetWindowLongW(handle_, GWL_EXSTYLE, static_cast<LONG>(p.exStyle));
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void TForm::SetFormStyle(TFormStyle style) {
    if (style == form_style_) return;
    form_style_ = style;
    if (handle_) {
        SetWindowPos(handle_, style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TForm::SetClientSize(int width, int height) {
    RECT r{0, 0, width, height};
    TCreateParams p;
    CreateParams(p);
    AdjustWindowRectEx(&r, p.style, FALSE, p.exStyle);
    SetBounds(left_ == CW_USEDEFAULT ? 0 : left_, top_ == CW_USEDEFAULT ? 0 : top_, r.right - r.left, r.bottom - r.top);
}

int TForm::ClientWidth() const {
    RECT r = ClientRect();
    return r.right - r.left;
}

int TForm::ClientHeight() const {
    RECT r = ClientRect();
    return r.bottom - r.top;
}

bool TForm::Active() const { return handle_ && GetActiveWindow() == handle_; }

void TForm::BringToFront() {
    if (handle_) SetForegroundWindow(handle_);
}

void TForm::SetVisible(bool visible) {
    if (visible) {
        HWND h = Handle();
        if (visible_ && IsWindowVisible(h)) return;
        visible_ = true;
        if (!shown_once_ && position_ == TPosition::poScreenCenter) {
            int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
            SetBounds((sw - width_) / 2, (sh - height_) / 2, width_, height_);
        }
        ShowWindow(h, SW_SHOW);
        if (form_style_ == TFormStyle::fsStayOnTop) {
            SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    } else {
        if (!visible_) return;
        visible_ = false;
        if (handle_) ShowWindow(handle_, SW_HIDE);
    }
}

void TForm::DoShow() {
    shown_once_ = true;
    FireEvent(OnShow, this);
}

void TForm::DoHide() {
    FireEvent(OnHide, this);
}

bool TForm::CloseQuery() {
    bool can = true;
    FireEvent(OnCloseQuery, this, can);
    return can;
}

void TForm::Close() {
    if (modal_) {
        if (modal_result_ == mrNone) modal_result_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    bool is_main = Application && Application->MainForm() == this;
    TCloseAction action = is_main ? TCloseAction::caFree : TCloseAction::caHide;
    FireEvent(OnClose, this, action);
    switch (action) {
        case TCloseAction::caNone: return;
        case TCloseAction::caMinimize:
            if (handle_) ShowWindow(handle_, SW_MINIMIZE);
            return;
        case TCloseAction::caHide:
            if (is_main) {
                Application->Terminate();
            } else {
                Hide();
            }
            return;
        case TCloseAction::caFree:
            // The application frees the main form after its loop ends.
            if (is_main) {
                Application->Terminate();
            } else {
                Release();
            }
            return;
    }
}

void TForm::Release() {
    if (handle_) {
        PostMessageW(handle_, kReleaseMessage, 0, 0);
    } else {
        Free();
    }
}

TModalResult TForm::ShowModal() {
    if (visible_ || modal_) throw EInvalidOperation(L"Cannot make a visible window modal");
    HWND owner = GetActiveWindow();
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND w : disabled) EnableWindow(w, FALSE);
    modal_ = true;
    modal_result_ = mrNone;
    EventScope scope(this);
    try {
        Show();
        while (modal_result_ == mrNone && Application && !Application->Terminated()) {
            Application->HandleMessage();
            if (modal_result_ != mrNone && !CloseQuery()) modal_result_ = mrNone;
        }
    } catch (...) {
        modal_ = false;
        for (HWND w : disabled) EnableWindow(w, TRUE);
        throw;
    }
    modal_ = false;
    for (HWND w : disabled) EnableWindow(w, TRUE);
    Hide();
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    return modal_result_;
}

void TForm::PaintWindow(HDC dc) {
    if (!OnPaint) return;
    CanvasPaintScope scope(*canvas_, dc, *font_);
    OnPaint(this);
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The menu bar's messages come to the form.
    if (LRESULT result = 0; DispatchMenuMessage(msg, wParam, lParam, result)) return result;
    switch (msg) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_SHOWWINDOW:
            if (wParam) {
                DoShow();
            } else {
                DoHide();
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (OnDeactivate) OnDeactivate(this);
            } else if (OnActivate) {
                OnActivate(this);
            }
            break;
        case kReleaseMessage:
            Free();
            return 0;
        default:
            break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

}  // namespace fw
