// TCustomEdit.
#include "framework/gui/custom_edit.h"

#include <algorithm>

namespace fw {

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    width_ = 121;
    height_ = 21;
    color_ = clWindow;
    tab_stop_ = true;
}

TCustomEdit::~TCustomEdit() = default;

std::wstring TCustomEdit::WindowText() const {
    if (!handle_) return caption_;
    int n = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(handle_, text.data(), n + 1);
    text.resize(static_cast<size_t>(std::max(n, 0)));
    return text;
}

void TCustomEdit::WriteWindowText(const std::wstring& text) {
    caption_ = text;
    if (handle_) SetWindowTextW(handle_, text.c_str());
}

void TCustomEdit::GetSelection(int& start, int& end) const {
    if (!handle_) {
        start = kept_.start;
        end = kept_.end;
        return;
    }
    DWORD s = 0, e = 0;
    SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

void TCustomEdit::SetSelection(int anchor, int caret) {
    if (!handle_) {
        const int n = static_cast<int>(caption_.size());
        if (caret < 0) caret = n;
        kept_.start = std::clamp(std::min(anchor, caret), 0, n);
        kept_.end = std::clamp(std::max(anchor, caret), 0, n);
        return;
    }
    SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(anchor), static_cast<LPARAM>(caret));
    SendMessageW(handle_, EM_SCROLLCARET, 0, 0);
}

int TCustomEdit::SelStart() const {
    int s = 0, e = 0;
    GetSelection(s, e);
    return s;
}

void TCustomEdit::SetSelStart(int start) { SetSelection(start, start); }

int TCustomEdit::SelLength() const {
    int s = 0, e = 0;
    GetSelection(s, e);
    return e - s;
}

void TCustomEdit::SetSelLength(int length) {
    const int s = SelStart();
    SetSelection(s, s + length);
}

std::wstring TCustomEdit::SelText() const {
    int s = 0, e = 0;
    GetSelection(s, e);
    const std::wstring text = WindowText();
    s = std::clamp(s, 0, static_cast<int>(text.size()));
    e = std::clamp(e, s, static_cast<int>(text.size()));
    return text.substr(static_cast<size_t>(s), static_cast<size_t>(e - s));
}

void TCustomEdit::SetSelText(const std::wstring& text) {
    if (HWND h = Handle()) SendMessageW(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomEdit::SelectAll() { SetSelection(0, -1); }

void TCustomEdit::ClearSelection() {
    if (handle_) SendMessageW(handle_, WM_CLEAR, 0, 0);
}

bool TCustomEdit::Modified() const {
    return handle_ ? SendMessageW(handle_, EM_GETMODIFY, 0, 0) != 0 : kept_.modified;
}

void TCustomEdit::SetModified(bool modified) {
    kept_.modified = modified;
    if (handle_) SendMessageW(handle_, EM_SETMODIFY, modified, 0);
}

void TCustomEdit::SetReadOnly(bool readOnly) {
    if (readOnly == read_only_) return;
    read_only_ = readOnly;
    if (handle_) SendMessageW(handle_, EM_SETREADONLY, readOnly, 0);
}

void TCustomEdit::SetPasswordChar(wchar_t c) {
    if (c == password_char_) return;
    password_char_ = c;
    if (handle_) {
        SendMessageW(handle_, EM_SETPASSWORDCHAR, c, 0);
        Invalidate();
    }
}

void TCustomEdit::SetMaxLength(int length) {
    max_length_ = std::max(length, 0);
    if (handle_) SendMessageW(handle_, EM_LIMITTEXT, static_cast<WPARAM>(max_length_), 0);
}

void TCustomEdit::SetHideSelection(bool v) {
    if (v == hide_selection_) return;
    hide_selection_ = v;
    RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle style) {
    if (style == border_style_) return;
    border_style_ = style;
    UpdateFrame();
}

void TCustomEdit::UpdateFrame() {
    if (!handle_) return;
    // The frame changes in place; the window keeps its text and state.
    TCreateParams p;
    CreateParams(p);
    const LONG_PTR keep = GetWindowLongPtrW(handle_, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER);
    SetWindowLongPtrW(handle_, GWL_STYLE, keep | (p.style & WS_BORDER));
    const LONG_PTR ex = GetWindowLongPtrW(handle_, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE);
    SetWindowLongPtrW(handle_, GWL_EXSTYLE, ex | (p.exStyle & WS_EX_CLIENTEDGE));
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TCustomEdit::SetCtl3D(bool v) {
    if (v == ctl3d_) return;
    ctl3d_ = v;
    UpdateFrame();
}

void TCustomEdit::CopyToClipboard() {
    if (handle_) SendMessageW(handle_, WM_COPY, 0, 0);
}

void TCustomEdit::CutToClipboard() {
    if (handle_) SendMessageW(handle_, WM_CUT, 0, 0);
}

void TCustomEdit::PasteFromClipboard() {
    if (handle_) SendMessageW(handle_, WM_PASTE, 0, 0);
}

void TCustomEdit::Undo() {
    if (handle_) SendMessageW(handle_, WM_UNDO, 0, 0);
}

int TCustomEdit::CharFromPos(POINT client) const {
    if (!handle_) return 0;
    // A point outside the client area counts as its nearest point inside:
    // the window answers none for it.
    RECT r{};
    GetClientRect(handle_, &r);
    client.x = std::clamp(client.x, r.left, std::max(r.left, r.right - 1));
    client.y = std::clamp(client.y, r.top, std::max(r.top, r.bottom - 1));
    const LRESULT answer = SendMessageW(handle_, EM_CHARFROMPOS, 0, MAKELPARAM(client.x, client.y));
    return answer == -1 ? GetWindowTextLengthW(handle_) : LOWORD(answer);
}

bool TCustomEdit::PosFromChar(int index, POINT& point) const {
    if (!handle_) return false;
    const LRESULT r = SendMessageW(handle_, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    if (r == -1) return false;
    point.x = static_cast<short>(LOWORD(r));
    point.y = static_cast<short>(HIWORD(r));
    return true;
}

void TCustomEdit::RecreateWnd() {
    if (!handle_) return;
    const bool focused = Focused();
    DestroyWnd();
    CreateWnd();
    if (focused && handle_) ::SetFocus(handle_);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.systemClassName = L"EDIT";
    p.style |= ES_AUTOHSCROLL | ES_LEFT;
    if (password_char_) p.style |= ES_PASSWORD;
    if (read_only_) p.style |= ES_READONLY;
    if (!hide_selection_) p.style |= ES_NOHIDESEL;
    if (border_style_ == TBorderStyle::bsSingle) {
        if (ctl3d_) {
            p.exStyle |= WS_EX_CLIENTEDGE;
        } else {
            p.style |= WS_BORDER;
        }
    }
}

void TCustomEdit::CreateHandleDone() {
    if (password_char_) SendMessageW(handle_, EM_SETPASSWORDCHAR, password_char_, 0);
    SendMessageW(handle_, EM_LIMITTEXT, static_cast<WPARAM>(max_length_), 0);
    SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(kept_.start), static_cast<LPARAM>(kept_.end));
    SendMessageW(handle_, EM_SETMODIFY, kept_.modified, 0);
}

void TCustomEdit::DestroyWnd() {
    if (handle_) {
        caption_ = WindowText();
        GetSelection(kept_.start, kept_.end);
        kept_.modified = Modified();
    }
    TWinControl::DestroyWnd();
}

LRESULT TCustomEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETTEXT) {
        // One change notification per write: a multi-line window reports
        // none for WM_SETTEXT, a single-line one reports its own.
        const int outer = set_text_changes_;
        set_text_changes_ = 0;
        ++set_text_depth_;
        LRESULT r = 0;
        try {
            r = TWinControl::WndProc(msg, wParam, lParam);
        } catch (...) {
            --set_text_depth_;
            set_text_changes_ = outer;
            throw;
        }
        --set_text_depth_;
        const bool reported = set_text_changes_ > 0;
        set_text_changes_ = outer;
        if (!reported && r) TextChanged();
        return r;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

bool TCustomEdit::CommandNotify(WORD code) {
    if (code != EN_CHANGE) return false;
    if (set_text_depth_ > 0) ++set_text_changes_;
    TextChanged();
    return true;
}

HBRUSH TCustomEdit::ColorReflect(UINT msg, HDC dc) {
    if ((msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC) || color_ == clNone) return nullptr;
    if (!brush_ || brush_color_ != color_) {
        brush_ = GdiObject<HBRUSH>(CreateSolidBrush(ToColorRef(color_)));
        brush_color_ = color_;
    }
    SetBkColor(dc, ToColorRef(color_));
    if (font_->Color() != clNone) SetTextColor(dc, ToColorRef(font_->Color()));
    return brush_.get();
}

bool TCustomEdit::WantsDialogKey(WORD /*key*/) { return false; }

void TCustomEdit::DoEnter() {
    if (auto_select_ && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::TextChanged() { Change(); }

void TCustomEdit::Change() {
    caption_ = WindowText();
    FireEvent(OnChange, this);
}

}  // namespace fw
