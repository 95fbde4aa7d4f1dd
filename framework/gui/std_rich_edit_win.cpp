// TRichEdit.
#include "framework/gui/std_rich_edit.h"

#include <richedit.h>

namespace fw {

TRichEdit::TRichEdit(TComponent* owner) : TWinControl(owner) {
    width_ = 185;
    height_ = 89;
    color_ = clWindow;
    tab_stop_ = true;
}

void TRichEdit::CreateParams(TCreateParams& p) {
    // The class lives in the DLL, which stays loaded for the process.
    static HMODULE dll = LoadLibraryW(L"RICHED20.DLL");
    (void)dll;
    TWinControl::CreateParams(p);
    p.systemClassName = RICHEDIT_CLASSW;
    p.style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
    if (read_only_) p.style |= ES_READONLY;
    if (border_style_ == TBorderStyle::bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TRichEdit::CreateHandleDone() {
    if (color_ != clNone) SendMessageW(handle_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ToColorRef(color_)));
}

void TRichEdit::SetColor(TColor color) {
    TWinControl::SetColor(color);
    if (handle_ && color != clNone) SendMessageW(handle_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ToColorRef(color)));
}

void TRichEdit::Clear() {
    if (HWND h = Handle()) SetWindowTextW(h, L"");
}

void TRichEdit::Append(const std::wstring& text, TColor color, bool bold) {
    HWND h = Handle();
    if (!h) return;
    const LRESULT end = GetWindowTextLengthW(h);
    SendMessageW(h, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR | CFM_BOLD;
    cf.dwEffects = bold ? CFE_BOLD : 0;
    cf.crTextColor = ToColorRef(color);
    SendMessageW(h, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring TRichEdit::Text() const {
    if (!handle_) return {};
    const int n = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(handle_, text.data(), n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void TRichEdit::BeginUpdate() {
    if (handle_) SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
}

void TRichEdit::EndUpdate() {
    if (!handle_) return;
    SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(handle_, nullptr, TRUE);
}

LRESULT TRichEdit::ScrollCaret() { return handle_ ? SendMessageW(handle_, EM_SCROLLCARET, 0, 0) : 0; }

void TRichEdit::SetSelStart(int pos) {
    if (handle_) SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(pos), static_cast<LPARAM>(pos));
}

}  // namespace fw
