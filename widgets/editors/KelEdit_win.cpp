// TKelEdit: construction, value and property writes, focus, error and
// modified colours, keys and the messages of the edit window.
#include "widgets/editors/KelEdit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "framework/gui/application.h"
#include "framework/gui/clipboard.h"
#include "framework/gui/forms.h"
#include "widgets/editors/KelEditLocale.h"

namespace kel {
namespace {

using T = TKelEditType;

bool IsXPOrLater() {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&v)) return false;
#pragma GCC diagnostic pop
    return v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion > 0);
}

// The major file version of "COMCTL32.DLL" is 6 or more.
bool IsComCtl6() {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(L"COMCTL32.DLL", &ignored);
    if (!size) return false;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(L"COMCTL32.DLL", 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info) return false;
    return HIWORD(info->dwFileVersionMS) >= 6;
}

bool IsNumberType(T type) { return type == T::etFloat || type == T::etMoney; }

// Holds a flag set for the span of a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = saved_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

}  // namespace

TKelEdit::TKelEdit(fw::TComponent* owner)
    : fw::TCustomEdit(owner), core_(*this), label_font_(std::make_unique<fw::TFont>()) {
    core_.Options.Separators = LocaleSeparators();
    saved_font_color_ = Font().Color();
    label_font_->OnChange = [this] {
        if (label_) PlaceLabel();
    };
    is_xp_or_later_ = IsXPOrLater();
    is_comctl6_ = IsComCtl6();
    CreateLookupWindow();
}

TKelEdit::~TKelEdit() {
    // Saved and revoked while this is still a TKelEdit and its window alive.
    fw::GuardCallback(this, [this] { WindowTeardown(); });
    ReleaseDropTarget();
    DestroyWnd();
    if (label_) {
        label_->SetParent(nullptr);
        delete label_;
        label_ = nullptr;
    }
}

void TKelEdit::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TCustomEdit::Notification(component, operation);
    if (operation != fw::TOperation::opRemove) return;
    if (component == label_) label_ = nullptr;
    if (component == list_window_) list_window_ = nullptr;
}

void TKelEdit::Loaded() {
    core_.Loading = false;
    normal_color_ = Color();
    saved_font_color_ = Font().Color();
    saved_border_style_ = BorderStyle();
    if (flat_) ApplyFlat(true);
    PlaceLabel();
    if (!Enabled()) ShowColor(disabled_color_);
    if (loaded_height_) SetHeight(*std::exchange(loaded_height_, std::nullopt));
    SetBounds(Left(), Top(), Width(), Height());
    LoadPersistence();
    if (label_) {
        label_->SetEnabled(Enabled() || label_always_enabled_);
        PlaceLabel();
        if (ParentFont()) label_->Font().Assign(Font());
    }
    label_uses_edit_font_ = ParentFont();
    PlaceLabel();
}

// --- value ---------------------------------------------------------------------

void TKelEdit::SetText(const std::wstring& value) { core_.SetText(value); }

int32_t TKelEdit::ValueAsInteger() const {
    if (EditType() == T::etHex) return Text().empty() ? 0 : HexToInt(Text());
    const double v = std::trunc(ValueAsFloat());
    if (v >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (v <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

bool TKelEdit::ValidateValue(const std::wstring& value) {
    if (in_validate_) return true;
    FlagScope validating(in_validate_);
    bool valid = true;
    DoValueValidate(value, valid);
    return valid;
}

void TKelEdit::DoValueValidate(const std::wstring& value, bool& isValid) {
    FireEvent(OnValueValidate, this, value, isValid);
}

// --- property writes ---------------------------------------------------------

void TKelEdit::SetEditType(TKelEditType type) {
    if (type == EditType()) return;
    const bool password = type == T::etPassword, wasPassword = EditType() == T::etPassword;
    core_.Options.EditType = type;
    if (password) {
        SetPasswordChar(L'*');
        core_.Options.CanUndo = false;
    } else {
        SetPasswordChar(0);
    }
    // The password window is the single-line one.
    if (password || wasPassword) RecreateWnd();
    const std::wstring text = Text();
    if (!text.empty() || !AllowNumericNullValue()) {
        const int c = ClassifyNumberText(text, core_.Options.Separators);
        if ((type == T::etNumeric && c != kNumberInteger) ||
            (type == T::etHex && c != kNumberInteger && c != kNumberHex)) {
            SetValueAsInteger(0);
        } else if (IsNumberType(type) && c > kNumberSeparated) {
            SetValueAsFloat(0);
        }
    }
}

void TKelEdit::SetPrecision(int16_t precision) {
    const T type = EditType();
    if (precision == Precision() || (type != T::etString && !IsNumberType(type))) return;
    core_.Options.Precision = precision;
    const std::wstring text = Text();
    if (text.empty() && AllowNumericNullValue()) return;
    const bool number = ClassifyNumberText(text, core_.Options.Separators) <= kNumberSeparated;
    // A text that is no number stays in a string edit: the precision only
    // shapes numbers written into it.
    if (type == T::etString && !number) return;
    SetValueAsFloat(number ? ValueAsFloat() : 0);
}

void TKelEdit::SetPrecisionDisplay(TPrecisionDisplay display) {
    if (display == PrecisionDisplay()) return;
    core_.Options.PrecisionDisplay = display;
    if (EditType() == T::etString && ClassifyNumberText(Text(), core_.Options.Separators) > kNumberSeparated) return;
    SetValueAsFloat(ValueAsFloat());
}

void TKelEdit::SetAutoThousandSeparator(bool v) {
    core_.Options.AutoThousandSeparator = v;
    if (IsNumberType(EditType())) ReformatThousands();
}

void TKelEdit::SetPrefix(const std::wstring& prefix) {
    const std::wstring v = Text();
    core_.Options.Prefix = prefix;
    SetText(v);
}

void TKelEdit::SetSuffix(const std::wstring& suffix) {
    const std::wstring v = Text();
    core_.Options.Suffix = suffix;
    SetText(v);
}

void TKelEdit::SetCanUndo(bool v) {
    if (EditType() == T::etPassword) v = false;
    if (v == CanUndo()) return;
    core_.Options.CanUndo = v;
    RecreateWnd();
    RepaintFrame();
}

void TKelEdit::SetReadOnly(bool readOnly) {
    fw::TCustomEdit::SetReadOnly(readOnly);
    core_.Options.ReadOnly = readOnly;
}

void TKelEdit::SetMaxLength(int length) {
    fw::TCustomEdit::SetMaxLength(length);
    core_.Options.MaxLength = fw::TCustomEdit::MaxLength();
}

void TKelEdit::SetEditAlign(TEditAlign align) {
    if (align == edit_align_) return;
    edit_align_ = align;
    RecreateWnd();
    RepaintFrame();
}

void TKelEdit::SetColor(fw::TColor color) {
    ShowColor(color);
    normal_color_ = color;
}

void TKelEdit::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    fw::TCustomEdit::SetEnabled(enabled);
    if (!Loading()) ShowColor(enabled ? normal_color_ : disabled_color_);
    if (label_ && !label_always_enabled_) label_->SetEnabled(enabled);
    RepaintFrame();
}

void TKelEdit::SetBounds(int left, int top, int width, int height) {
    if (Loading()) loaded_height_ = height;
    fw::TCustomEdit::SetBounds(left, top, width, height);
    ApplyTextRect(flat_);
    if (label_ && label_->Parent()) PlaceLabel();
}

void TKelEdit::SetParent(fw::TWinControl* parent) {
    fw::TCustomEdit::SetParent(parent);
    if (label_) label_->SetParent(parent);
}

void TKelEdit::VisibleChanged() {
    fw::TCustomEdit::VisibleChanged();
    if (label_) label_->SetVisible(Visible());
}

void TKelEdit::SetFontColor(fw::TColor color) {
    if (color == fw::clNone || color == Font().Color()) return;
    Font().SetColor(color);
}

void TKelEdit::RepaintFrame() {
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

// --- focus, error, modified ------------------------------------------------

void TKelEdit::FocusArrived() {
    if (Loading()) return;
    core_.TextAtFocus = Text();
    if (focus_color_ != fw::clNone && ValidateValue(Text())) {
        ShowColor(focus_color_);
        if (is_xp_or_later_) RepaintFrame();
    }
    if (!(error_state_ && show_error_) && !show_modified_) {
        saved_font_color_ = Font().Color();
        if (!(IsURL() && ShowURL())) SetFontColor(focus_font_color_);
    }
    if (AutoSelect()) SelectValue();
    if (focus_label_ && label_) SetLabelFontStyle(true);
    if (!in_focus_align_) {
        if (focus_width_inc_ > 0) SetWidth(Width() + focus_width_inc_);
        saved_align_ = edit_align_;
    }
    if (focus_align_ != edit_align_ && focus_align_ != TEditAlign::eaDefault) {
        FlagScope swapping(in_focus_align_);
        SetEditAlign(focus_align_);
    }
    if ((!empty_text_.empty() && Text().empty()) || focus_border_ || focus_border_color_ != fw::clNone) {
        if (BorderStyle() == fw::TBorderStyle::bsNone) ApplyTextRect(true);
        Invalidate();
    }
}

void TKelEdit::FocusLeaving(HWND next) {
    if (Loading()) return;
    if (LookupShown() && !(list_window_ && (next == list_window_->Handle() ||
                                            (list_window_->ListControl() &&
                                             next == list_window_->ListControl()->Handle())))) {
        HideLookup();
    }
    if (!error_state_ && Color() != normal_color_) {
        ShowColor(normal_color_);
        if (is_xp_or_later_) RepaintFrame();
    }
    if (!(error_state_ && show_error_) && !show_modified_ && !(IsURL() && ShowURL())) SetFontColor(saved_font_color_);
    if (focus_label_ && label_) SetLabelFontStyle(false);
    const T type = EditType();
    const bool keepEmpty = AllowNumericNullValue();
    if (Precision() > 0 && IsNumberType(type) && (!Text().empty() || !keepEmpty)) {
        const bool modified = ModifiedState();
        SetValueAsFloat(ValueAsFloat());
        core_.SetModifiedState(modified);
    }
    if (type == T::etNumeric && Text().empty() && !keepEmpty) SetText(L"0");
    if (IsNumberType(type) && Text().empty() && !keepEmpty) SetValueAsFloat(0);
    ValidateValue(Text());
}

void TKelEdit::FocusLeft() {
    if (Loading()) return;
    if (focus_border_) RepaintFrame();
    if (in_focus_align_) return;
    if (focus_width_inc_ > 0) SetWidth(Width() - focus_width_inc_);
    if (saved_align_ != edit_align_ && focus_align_ != TEditAlign::eaDefault) SetEditAlign(saved_align_);
    if (!empty_text_.empty() && Text().empty()) Invalidate();
    AddToHistory(lookup_, Text());
    if (focus_border_color_ != fw::clNone && HandleAllocated()) SendMessageW(Handle(), WM_NCPAINT, 1, 0);
    if (error_marker_len_ > 0) Invalidate();
}

void TKelEdit::SetErrorState(bool error) {
    if (Loading() || error == error_state_) return;
    error_state_ = error;
    if (!show_error_) return;
    if (error) {
        ShowColor(error_color_);
        SetFontColor(error_font_color_);
    } else if (Focused()) {
        ShowColor(focus_color_ != fw::clNone ? focus_color_ : normal_color_);
        SetFontColor(focus_font_color_);
    } else {
        ShowColor(normal_color_);
        SetFontColor(saved_font_color_);
    }
}

void TKelEdit::TextChanged() {
    if (!core_.WindowChanged()) return;
    if (transparent_) Invalidate();
    if (ShowURL() && IsURL() != url_shown_) SetURLStyle(!url_shown_);
    Change();
}

void TKelEdit::Change() {
    fw::TCustomEdit::Change();
    if (!Loading() && show_error_) SetErrorState(!ValidateValue(Text()));
}

void TKelEdit::ShowModifiedState(bool modified) {
    if (show_modified_) SetFontColor(modified ? modified_color_ : saved_font_color_);
}

void TKelEdit::TextWritten() {
    if (ShowURL()) SetURLStyle(IsURL());
}

// --- keys --------------------------------------------------------------------

void TKelEdit::StandardChar(wchar_t ch) { fw::TCustomEdit::WndProc(WM_CHAR, ch, message_lparam_); }

void TKelEdit::StandardKeyDown(uint16_t& key, TKeyModifiers mods) {
    WORD k = key;
    fw::TShiftState shift = 0;
    if (mods.Shift) shift |= fw::ssShift;
    if (mods.Ctrl) shift |= fw::ssCtrl;
    if (mods.Alt) shift |= fw::ssAlt;
    fw::TCustomEdit::KeyDown(k, shift);
    key = k;
    if (k) DefaultHandler(WM_KEYDOWN, k, message_lparam_);
}

void TKelEdit::KeyDown(WORD& key, fw::TShiftState shift) {
    if (in_sys_key_) {
        fw::TCustomEdit::KeyDown(key, shift);
        return;
    }
    if (key == VK_ESCAPE && std::exchange(esc_used_, false)) {
        key = 0;
        return;
    }
    uint16_t k = key;
    core_.KeyDown(k, TKeyModifiers{(shift & fw::ssShift) != 0, (shift & fw::ssCtrl) != 0, (shift & fw::ssAlt) != 0});
    // The standard handling ran inside, or the key was dropped.
    key = 0;
}

bool TKelEdit::WantsDialogKey(WORD key) {
    // The multi-line window keeps Enter and Esc; Tab moves on.
    if (key == VK_TAB) return false;
    esc_used_ = SpecialKey(key);
    return true;
}

bool TKelEdit::SpecialKey(WORD key) {
    fw::TForm* form = fw::GetParentForm(this);
    if (!form || form->KeyPreview()) return false;
    HWND parent = Parent() && Parent()->HandleAllocated() ? Parent()->Handle() : nullptr;
    if (key == VK_ESCAPE && CanUndo()) {
        SetText(core_.TextAtFocus);
        SetFontColor(focus_font_color_);
        SelectValue();
        core_.SetModifiedState(false);
        if (parent) {
            PostMessageW(parent, WM_KEYDOWN, VK_ESCAPE, 1);
            PostMessageW(parent, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
        }
        return true;
    }
    if (key == VK_RETURN && parent && GetFocus() == parent) {
        PostMessageW(parent, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(parent, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u));
    }
    return false;
}

void TKelEdit::PostTabKey() {
    if (HandleAllocated() && IsWindowVisible(Handle())) PostMessageW(Handle(), WM_KEYDOWN, VK_TAB, 1);
}

void TKelEdit::FocusNextControl() {
    auto* top = dynamic_cast<fw::TWinControl*>(TopLevelControl());
    if (!top) return;
    if (fw::TWinControl* next = top->FindNextControl(this, true)) next->SetFocus();
}

bool TKelEdit::ClipboardText(std::wstring& text) {
    if (!fw::Clipboard().HasFormat(CF_TEXT)) return false;
    text = fw::Clipboard().AsText();
    return true;
}

bool TKelEdit::AllowClipboard(TClipboardAction action, const std::wstring& value) {
    bool allow = true;
    switch (action) {
        case TClipboardAction::Copy: FireEvent(OnClipboardCopy, this, value, allow); break;
        case TClipboardAction::Cut: FireEvent(OnClipboardCut, this, value, allow); break;
        case TClipboardAction::Paste: FireEvent(OnClipboardPaste, this, value, allow); break;
    }
    return allow;
}

// --- window ------------------------------------------------------------------

void TKelEdit::CreateParams(fw::TCreateParams& p) {
    fw::TCustomEdit::CreateParams(p);
    // The multi-line window lets the formatting rectangle be set.
    if (EditType() != T::etPassword) p.style |= ES_MULTILINE;
    if (edit_align_ == TEditAlign::eaRight) p.style = (p.style & ~static_cast<DWORD>(ES_CENTER)) | ES_RIGHT;
    if (edit_align_ == TEditAlign::eaCenter) p.style = (p.style & ~static_cast<DWORD>(ES_RIGHT)) | ES_CENTER;
}

void TKelEdit::CreateHandleDone() {
    fw::TCustomEdit::CreateHandleDone();
    torn_down_ = false;
    ApplyTextRect(flat_);
    if (ole_drop_target_) RegisterDropTarget();
}

void TKelEdit::DestroyWnd() {
    WindowTeardown();
    fw::TCustomEdit::DestroyWnd();
}

void TKelEdit::WindowTeardown() {
    if (torn_down_ || !HandleAllocated()) return;
    torn_down_ = true;
    // The registration goes before the window does.
    RevokeDropTarget();
    SavePersistence();
}

LRESULT TKelEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const LPARAM outer = std::exchange(message_lparam_, lParam);
    struct Restore {
        LPARAM& slot;
        LPARAM value;
        ~Restore() { slot = value; }
    } restore{message_lparam_, outer};
    switch (msg) {
        case WM_CHAR: {
            const TCharInfo info{GetKeyState(VK_CONTROL) < 0, ((lParam >> 16) & 0x40) != 0};
            intptr_t result = 0;
            core_.KeyChar(static_cast<wchar_t>(wParam), info, result);
            return result;
        }
        case WM_SYSKEYDOWN: {
            if (wParam == VK_MENU) core_.SysKeyDown(vk::Menu);
            FlagScope sys(in_sys_key_);
            return fw::TCustomEdit::WndProc(msg, wParam, lParam);
        }
        case WM_COPY: core_.Copy(); return 0;
        case WM_CUT: core_.Cut(); return 0;
        case WM_PASTE: core_.Paste(); return 0;
        case WM_SETFOCUS: {
            const LRESULT r = fw::TCustomEdit::WndProc(msg, wParam, lParam);
            FocusArrived();
            return r;
        }
        case WM_KILLFOCUS: {
            FocusLeaving(reinterpret_cast<HWND>(wParam));
            const LRESULT r = fw::TCustomEdit::WndProc(msg, wParam, lParam);
            FocusLeft();
            return r;
        }
        case WM_LBUTTONDOWN:
            if (MousePressForDrag(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))})) {
                return 0;
            }
            break;
        case WM_MOUSEMOVE: {
            const LRESULT r = fw::TCustomEdit::WndProc(msg, wParam, lParam);
            MouseMoveForDrag();
            return r;
        }
        case WM_LBUTTONUP: {
            MouseReleaseForDrag(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            const LRESULT r = fw::TCustomEdit::WndProc(msg, wParam, lParam);
            if (!HandleAllocated()) return r;
            if (url_shown_ && Focused() && ShowURL()) {
                OpenURLOnRelease();
            } else {
                core_.MouseReleased();
            }
            return r;
        }
        case WM_PAINT: {
            const LRESULT r = fw::TCustomEdit::WndProc(msg, wParam, lParam);
            DrawExtras();
            if (PaintEndsWithBorders(LookState())) DrawBorders();
            return r;
        }
        case WM_NCPAINT: {
            const LRESULT r = fw::TCustomEdit::WndProc(msg, wParam, lParam);
            if (PaintEndsWithBorders(LookState())) DrawBorders();
            return r;
        }
        case WM_ERASEBKGND:
            if (transparent_ && EraseTransparent(reinterpret_cast<HDC>(wParam))) return 1;
            break;
        case WM_CANCELMODE: {
            const LRESULT r = fw::TCustomEdit::WndProc(msg, wParam, lParam);
            HideLookup();
            return r;
        }
        case WM_DESTROY:
            WindowTeardown();
            break;
        default:
            break;
    }
    return fw::TCustomEdit::WndProc(msg, wParam, lParam);
}

}  // namespace kel
