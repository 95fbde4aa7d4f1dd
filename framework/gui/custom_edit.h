// TCustomEdit: Windows' EDIT class, subclassed: text, selection and caret,
// the modified flag, read-only, password character, length limit, border,
// clipboard operations, character positions, and one change notification
// (Change, OnChange) per change of the text: typed, pasted or written, also
// where the system window reports none (a multi-line window written with
// WM_SETTEXT). The base of every edit of the forms.
#pragma once

#include "framework/gui/controls.h"

namespace fw {

enum class TBorderStyle { bsNone, bsSingle };

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);
    ~TCustomEdit() override;

    // The text; an edit class may keep more in the window than its Text
    // (fixed parts) and overrides these two.
    virtual std::wstring Text() const { return WindowText(); }
    virtual void SetText(const std::wstring& text) { WriteWindowText(text); }
    // The window's text as it stands.
    std::wstring WindowText() const;
    void WriteWindowText(const std::wstring& text);

    // Selection: start <= end, as EM_GETSEL answers; SetSelection takes the
    // anchor and the caret, as EM_SETSEL does.
    void GetSelection(int& start, int& end) const;
    void SetSelection(int anchor, int caret);
    int SelStart() const;
    void SetSelStart(int start);
    int SelLength() const;
    void SetSelLength(int length);
    std::wstring SelText() const;
    // Replaces the selection (the window can undo it).
    void SetSelText(const std::wstring& text);
    void SelectAll();
    void ClearSelection();

    bool Modified() const;
    void SetModified(bool modified);
    bool ReadOnly() const { return read_only_; }
    virtual void SetReadOnly(bool readOnly);
    wchar_t PasswordChar() const { return password_char_; }
    void SetPasswordChar(wchar_t c);
    // 0: no limit.
    int MaxLength() const { return max_length_; }
    virtual void SetMaxLength(int length);
    // Selects the whole text when the focus arrives from the keyboard.
    bool AutoSelect() const { return auto_select_; }
    void SetAutoSelect(bool v) { auto_select_ = v; }
    bool HideSelection() const { return hide_selection_; }
    void SetHideSelection(bool v);
    TBorderStyle BorderStyle() const { return border_style_; }
    virtual void SetBorderStyle(TBorderStyle style);
    bool Ctl3D() const { return ctl3d_; }
    void SetCtl3D(bool v);

    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    virtual void Clear() { SetText(L""); }

    // The character nearest a client point (EM_CHARFROMPOS, low word).
    int CharFromPos(POINT client) const;
    // The client position of a character (EM_POSFROMCHAR); false when the
    // window gives none (behind the last character).
    bool PosFromChar(int index, POINT& point) const;

    // Makes the window again with the current settings (text, selection and
    // modified flag kept).
    void RecreateWnd();

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    void DestroyWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool CommandNotify(WORD code) override;
    // The window's colours: Color behind the text, the font's colour.
    HBRUSH ColorReflect(UINT msg, HDC dc) override;
    // An edit on a form leaves Tab, Enter and Esc to the form.
    bool WantsDialogKey(WORD key) override;
    void DoEnter() override;
    // The window reported a change of its text; by default Change.
    virtual void TextChanged();
    // Raises OnChange.
    virtual void Change();

private:
    // Sets the border's window styles in place.
    void UpdateFrame();
    // The window's settings to keep over a re-creation.
    struct TKept {
        int start = 0;
        int end = 0;
        bool modified = false;
    };
    TKept kept_;
    int set_text_depth_ = 0;
    int set_text_changes_ = 0;
    bool read_only_ = false;
    wchar_t password_char_ = 0;
    int max_length_ = 0;
    bool auto_select_ = true;
    bool hide_selection_ = true;
    TBorderStyle border_style_ = TBorderStyle::bsSingle;
    bool ctl3d_ = true;
    GdiObject<HBRUSH> brush_;
    TColor brush_color_ = clNone;
};

}  // namespace fw
