// TKelEdit: the single-line typed edit. It takes only the characters that
// suit its EditType, keeps a Prefix and a Suffix the user cannot type into,
// formats numbers, filters the clipboard by the same rules (KelEditCore),
// colours itself while focused, modified or in error, draws flat, focus,
// disabled and error looks and a URL mode, carries an attached label and a
// lookup drop-down with persistence in an INI file or the registry, and
// takes part in OLE drag and drop of text.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "framework/gui/custom_edit.h"
#include "framework/gui/hint_window.h"
#include "framework/gui/std_controls.h"
#include "framework/gui/std_list_box.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/editors/KelEditCore.h"
#include "widgets/editors/KelEditLayout.h"
#include "widgets/editors/KelEditLookup.h"

namespace kel {

class TEditDropTarget;

using TValueValidateEvent = std::function<void(fw::TComponent* sender, const std::wstring& value, bool& isValid)>;
using TClipboardEvent = std::function<void(fw::TComponent* sender, const std::wstring& value, bool& allow)>;
using TLookupSelectEvent = std::function<void(fw::TComponent* sender, std::wstring& value)>;
using TLookupIndexSelectEvent = std::function<void(fw::TComponent* sender, int index, std::wstring& value)>;
using TURLClickEvent = std::function<void(fw::TComponent* sender, const std::wstring& url, bool& show)>;

// The lookup drop-down: a hint window with a list box over its client area.
class TListHintWindow : public fw::THintWindow {
public:
    explicit TListHintWindow(fw::TComponent* owner);
    fw::TListBox* ListControl() const { return list_; }
    void SetListControl(fw::TListBox* list) { list_ = list; }

protected:
    void CreateParams(fw::TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    fw::TListBox* list_ = nullptr;
};

class TKelEdit : public fw::TCustomEdit, public IKelVersion, private IKelEditHost {
public:
    explicit TKelEdit(fw::TComponent* owner);
    ~TKelEdit() override;

    uint32_t GetVersionNr() const override { return 0x02080609; }

    // Form building: properties set between BeginLoading and Loaded are
    // settled together, as when a form resource is read.
    void BeginLoading() { core_.Loading = true; }
    void Loaded();
    bool Loading() const { return core_.Loading; }

    // --- value ---
    // The value without Prefix and Suffix.
    std::wstring Text() const override { return core_.Text(); }
    void SetText(const std::wstring& value) override;
    void Clear() override { SetText(L""); }
    double ValueAsFloat() const { return core_.ValueAsFloat(); }
    void SetValueAsFloat(double value) { core_.SetValueAsFloat(value); }
    // The value as an integer: etHex's digits, else ValueAsFloat truncated
    // (saturating at the integer range).
    int32_t ValueAsInteger() const;
    void SetValueAsInteger(int32_t value) { core_.SetValueAsInteger(value); }
    void SelectValue() { core_.SelectValue(); }
    void ReformatThousands() { core_.ReformatThousands(); }
    bool ModifiedState() const { return core_.ModifiedState(); }
    bool ErrorState() const { return error_state_; }
    virtual bool ValidateValue(const std::wstring& value);
    virtual void DoValueValidate(const std::wstring& value, bool& isValid);
    virtual bool IsURL() const { return kel::IsURL(Text()); }

    // --- typing rules ---
    TKelEditType EditType() const { return core_.Options.EditType; }
    void SetEditType(TKelEditType type);
    bool Signed() const { return core_.Options.Signed; }
    void SetSigned(bool v) { core_.Options.Signed = v; }
    int16_t Precision() const { return core_.Options.Precision; }
    void SetPrecision(int16_t precision);
    TPrecisionDisplay PrecisionDisplay() const { return core_.Options.PrecisionDisplay; }
    void SetPrecisionDisplay(TPrecisionDisplay display);
    bool AutoThousandSeparator() const { return core_.Options.AutoThousandSeparator; }
    void SetAutoThousandSeparator(bool v);
    bool ExcelStyleDecimalSeparator() const { return core_.Options.ExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { core_.Options.ExcelStyleDecimalSeparator = v; }
    const std::wstring& Prefix() const { return core_.Options.Prefix; }
    void SetPrefix(const std::wstring& prefix);
    const std::wstring& Suffix() const { return core_.Options.Suffix; }
    void SetSuffix(const std::wstring& suffix);
    int16_t LengthLimit() const { return core_.Options.LengthLimit; }
    void SetLengthLimit(int16_t n) { core_.Options.LengthLimit = n; }
    bool TabOnFullLength() const { return core_.Options.TabOnFullLength; }
    void SetTabOnFullLength(bool v) { core_.Options.TabOnFullLength = v; }
    bool AllowNumericNullValue() const { return core_.Options.AllowNumericNullValue; }
    void SetAllowNumericNullValue(bool v) { core_.Options.AllowNumericNullValue = v; }
    const std::wstring& ValidChars() const { return core_.Options.ValidChars; }
    void SetValidChars(const std::wstring& chars) { core_.Options.ValidChars = chars; }
    bool CanUndo() const { return core_.Options.CanUndo; }
    void SetCanUndo(bool v);
    bool ReturnIsTab() const { return core_.Options.ReturnIsTab; }
    void SetReturnIsTab(bool v) { core_.Options.ReturnIsTab = v; }
    void SetReadOnly(bool readOnly) override;
    void SetMaxLength(int length) override;

    // --- focus, error and modified looks ---
    TEditAlign EditAlign() const { return edit_align_; }
    void SetEditAlign(TEditAlign align);
    TEditAlign FocusAlign() const { return focus_align_; }
    void SetFocusAlign(TEditAlign align) { focus_align_ = align; }
    fw::TColor FocusColor() const { return focus_color_; }
    void SetFocusColor(fw::TColor c) { focus_color_ = c; }
    fw::TColor FocusFontColor() const { return focus_font_color_; }
    void SetFocusFontColor(fw::TColor c) { focus_font_color_ = c; }
    int FocusWidthInc() const { return focus_width_inc_; }
    void SetFocusWidthInc(int n) { focus_width_inc_ = n; }
    bool FocusLabel() const { return focus_label_; }
    void SetFocusLabel(bool v) { focus_label_ = v; }
    bool ShowError() const { return show_error_; }
    void SetShowError(bool v) { show_error_ = v; }
    fw::TColor ErrorColor() const { return error_color_; }
    void SetErrorColor(fw::TColor c) { error_color_ = c; }
    fw::TColor ErrorFontColor() const { return error_font_color_; }
    void SetErrorFontColor(fw::TColor c) { error_font_color_ = c; }
    bool ShowModified() const { return show_modified_; }
    void SetShowModified(bool v) { show_modified_ = v; }
    fw::TColor ModifiedColor() const { return modified_color_; }
    void SetModifiedColor(fw::TColor c) { modified_color_ = c; }
    // Writing Color sets the colour outside focus and error too.
    void SetColor(fw::TColor color) override;
    void SetEnabled(bool enabled) override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetParent(fw::TWinControl* parent) override;

    // --- painting and URL mode ---
    fw::TColor DisabledColor() const { return disabled_color_; }
    void SetDisabledColor(fw::TColor c);
    bool DisabledBorder() const { return disabled_border_; }
    void SetDisabledBorder(bool v);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    fw::TColor FlatLineColor() const { return flat_line_color_; }
    void SetFlatLineColor(fw::TColor c);
    bool FlatParentColor() const { return flat_parent_color_; }
    void SetFlatParentColor(bool v);
    bool SoftBorder() const { return soft_border_; }
    void SetSoftBorder(bool v);
    bool FocusBorder() const { return focus_border_; }
    void SetFocusBorder(bool v);
    fw::TColor FocusBorderColor() const { return focus_border_color_; }
    void SetFocusBorderColor(fw::TColor c) { focus_border_color_ = c; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    const std::wstring& EmptyText() const { return empty_text_; }
    void SetEmptyText(const std::wstring& text);
    int ErrorMarkerPos() const { return error_marker_pos_; }
    void SetErrorMarkerPos(int pos);
    int ErrorMarkerLen() const { return error_marker_len_; }
    void SetErrorMarkerLen(int len);
    bool ShowURL() const { return core_.Options.ShowURL; }
    void SetShowURL(bool v) { core_.Options.ShowURL = v; }
    fw::TColor URLColor() const { return url_color_; }
    void SetURLColor(fw::TColor c) { url_color_ = c; }
    bool HintShowLargeText() const { return hint_show_large_text_; }
    void SetHintShowLargeText(bool v) { hint_show_large_text_ = v; }
    bool AutoFocus() const { return auto_focus_; }
    void SetAutoFocus(bool v) { auto_focus_ = v; }
    bool URLShown() const { return url_shown_; }
    bool Hovering() const { return hovering_; }

    // --- label, lookup, persistence ---
    std::wstring LabelCaption() const;
    void SetLabelCaption(const std::wstring& caption);
    TLabelPosition LabelPosition() const { return label_position_; }
    void SetLabelPosition(TLabelPosition position);
    int LabelMargin() const { return label_margin_; }
    void SetLabelMargin(int margin);
    bool LabelTransparent() const { return label_transparent_; }
    void SetLabelTransparent(bool v);
    bool LabelAlwaysEnabled() const { return label_always_enabled_; }
    void SetLabelAlwaysEnabled(bool v);
    fw::TFont& LabelFont() { return *label_font_; }
    void SetLabelFont(const fw::TFont& font);
    // The attached label (null until LabelCaption is first written).
    fw::TLabel* EditLabel() const { return label_; }
    TLookupSettings& Lookup() { return lookup_; }
    void SetLookup(const TLookupSettings& lookup) { lookup_.Assign(lookup); }
    TPersistence& Persistence() { return persistence_; }
    void SetPersistence(const TPersistence& p) { persistence_ = p; }
    TListHintWindow* LookupWindow() const { return list_window_; }
    bool LookupShown() const override;
    void UpdateLookupList() override;
    void SelectLookupItem() override;
    virtual void LoadPersistence();
    virtual void SavePersistence();

    // --- drag and drop ---
    bool OleDropSource() const { return ole_drop_source_; }
    void SetOleDropSource(bool v) { ole_drop_source_ = v; }
    bool OleDropTarget() const { return ole_drop_target_; }
    void SetOleDropTarget(bool v);
    // Whether the registration for the current window succeeded.
    bool DropTargetRegistered() const { return drop_registered_; }
    TEditPoint DropCaret() const { return drop_caret_; }

    std::wstring GetVersion() const { return IKelVersion::GetVersion(); }

    TValueValidateEvent OnValueValidate;
    TClipboardEvent OnClipboardCopy;
    TClipboardEvent OnClipboardCut;
    TClipboardEvent OnClipboardPaste;
    TLookupSelectEvent OnLookupSelect;
    TLookupIndexSelectEvent OnLookupIndexSelect;
    fw::TNotifyEvent OnLabelClick;
    fw::TNotifyEvent OnLabelDblClick;
    TURLClickEvent OnURLClick;

protected:
    friend class TEditDropTarget;
    void CreateParams(fw::TCreateParams& params) override;
    void CreateHandleDone() override;
    void DestroyWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool WantsDialogKey(WORD key) override;
    void KeyDown(WORD& key, fw::TShiftState shift) override;
    void TextChanged() override;
    void Change() override;
    void FontChanged() override;
    void VisibleChanged() override;
    HBRUSH ColorReflect(UINT msg, HDC dc) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void HintShow(std::wstring& hint, POINT& screenPos) override;
    // The label or the drop-down freed by someone else (the label's parent).
    void Notification(fw::TComponent* component, fw::TOperation operation) override;

public:
    // The window's own text, selection and modified flag (also what the
    // typing rules work on).
    std::wstring WindowText() const override { return fw::TCustomEdit::WindowText(); }
    void WriteWindowText(const std::wstring& text) override { fw::TCustomEdit::WriteWindowText(text); }
    void GetSelection(int& start, int& end) const override { fw::TCustomEdit::GetSelection(start, end); }
    void SetSelection(int anchor, int caret) override { fw::TCustomEdit::SetSelection(anchor, caret); }
    bool Modified() const override { return fw::TCustomEdit::Modified(); }
    void SetModified(bool modified) override { fw::TCustomEdit::SetModified(modified); }

private:
    // IKelEditHost
    bool WindowExists() const override { return HandleAllocated(); }
    void StandardChar(wchar_t ch) override;
    void StandardKeyDown(uint16_t& key, TKeyModifiers mods) override;
    void RaiseKeyPress(wchar_t& ch) override { KeyPress(ch); }
    void StandardCopy() override { DefaultHandler(WM_COPY, 0, 0); }
    void StandardCut() override { DefaultHandler(WM_CUT, 0, 0); }
    bool ClipboardText(std::wstring& text) override;
    bool AllowClipboard(TClipboardAction action, const std::wstring& value) override;
    void ShowModifiedState(bool modified) override;
    void TextWritten() override;
    void PostTabKey() override;
    void FocusNextControl() override;
    void MoveLookupSelection(uint16_t key) override;

    // Focus and error.
    void FocusArrived();
    void FocusLeaving(HWND next);
    void FocusLeft();
    void SetErrorState(bool error);
    void ShowColor(fw::TColor color) { fw::TCustomEdit::SetColor(color); }
    void SetFontColor(fw::TColor color);
    void RepaintFrame();
    // Esc and Enter as the form asks about them; true when Esc was used.
    bool SpecialKey(WORD key);

    // Painting (KelEditPaint_win.cpp).
    void ApplyTextRect(bool flat);
    void ApplyFlat(bool flat);
    TEditLookState LookState() const;
    void DrawBorders();
    void DrawBorder(HDC dc, const TEditLookState& look);
    void DrawExtras();
    void DrawErrorMarker(HDC dc);
    TEditPoint PosFromCharPoint(int index) const;
    int TextPixelWidth() const;
    void SetURLStyle(bool on);
    void OpenURLOnRelease();
    bool EraseTransparent(HDC dc);

    // Label, lookup list, persistence (KelEditLookup_win.cpp).
    void CreateLabel();
    void PlaceLabel();
    void SetLabelFontStyle(bool bold);
    void HideLookup();
    void CreateLookupWindow();

    // Drag and drop (KelEditDrag_win.cpp).
    void RegisterDropTarget();
    void RevokeDropTarget();
    bool MousePressForDrag(POINT p);
    void MouseMoveForDrag();
    void MouseReleaseForDrag(POINT p);
    void UpdateDropCaret();
    void HideDropCaret();
    void InvalidateDropColumn(TEditPoint p);
    // Text dropped at a screen point; `ctrl`: the drag copies. False when
    // the edit's type refuses it.
    bool InsertDroppedText(POINT screen, const std::wstring& text, bool ctrl);
    void ReleaseDropTarget();
    // Once per window: SavePersistence and the drop target's revocation.
    void WindowTeardown();

    TKelEditCore core_;
    TEditAlign edit_align_ = TEditAlign::eaLeft;
    TEditAlign focus_align_ = TEditAlign::eaDefault;
    fw::TColor focus_color_ = fw::clNone;
    fw::TColor focus_font_color_ = fw::clWindowText;
    int focus_width_inc_ = 0;
    bool focus_label_ = false;
    bool show_error_ = false;
    fw::TColor error_color_ = fw::clRed;
    fw::TColor error_font_color_ = fw::clWhite;
    bool show_modified_ = false;
    fw::TColor modified_color_ = fw::clHighlight;
    fw::TColor disabled_color_ = fw::clSilver;
    bool disabled_border_ = true;
    bool flat_ = false;
    fw::TColor flat_line_color_ = fw::clBlack;
    bool flat_parent_color_ = true;
    bool soft_border_ = false;
    bool focus_border_ = false;
    fw::TColor focus_border_color_ = fw::clNone;
    bool transparent_ = false;
    std::wstring empty_text_;
    int error_marker_pos_ = 0;
    int error_marker_len_ = 0;
    fw::TColor url_color_ = fw::clBlue;
    bool hint_show_large_text_ = false;
    bool auto_focus_ = false;

    fw::TLabel* label_ = nullptr;
    TLabelPosition label_position_ = TLabelPosition::lpLeftTop;
    int label_margin_ = 4;
    bool label_transparent_ = false;
    bool label_always_enabled_ = false;
    std::unique_ptr<fw::TFont> label_font_;
    bool label_uses_edit_font_ = false;
    TLookupSettings lookup_;
    TPersistence persistence_;
    TListHintWindow* list_window_ = nullptr;

    bool ole_drop_source_ = false;
    bool ole_drop_target_ = false;
    TEditDropTarget* drop_target_ = nullptr;  // one reference while registered
    bool drop_registered_ = false;

    // Internal state.
    fw::TColor normal_color_ = fw::clWindow;
    fw::TColor saved_font_color_ = fw::clWindowText;
    fw::TBorderStyle saved_border_style_ = fw::TBorderStyle::bsSingle;
    // The colour Flat comes back to when it is switched off.
    fw::TColor flat_restore_color_ = fw::clWindow;
    TEditAlign saved_align_ = TEditAlign::eaLeft;
    bool error_state_ = false;
    bool in_focus_align_ = false;
    bool in_validate_ = false;
    bool hovering_ = false;
    bool url_shown_ = false;
    bool drag_armed_ = false;
    bool is_drag_source_ = false;
    bool dropped_on_selection_ = false;
    bool dropped_here_ = false;
    TEditPoint drop_caret_{-1, -1};
    bool is_xp_or_later_ = false;
    bool is_comctl6_ = false;
    std::optional<int> loaded_height_;
    LPARAM message_lparam_ = 0;
    bool in_sys_key_ = false;
    bool esc_used_ = false;
    bool torn_down_ = false;
};

}  // namespace kel
