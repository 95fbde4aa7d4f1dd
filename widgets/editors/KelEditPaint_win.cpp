// TKelEdit's look: the formatting rectangle, the flat look, frames, the
// extras drawn after the edit window painted, the error marker, the
// transparent background, URL mode and the long-text hint.
#include <algorithm>

#include "framework/gui/forms.h"
#include "widgets/drawing/KelGDIP.h"
#include "widgets/editors/KelEdit.h"

#include <shellapi.h>

namespace kel {
namespace {

// A device context of a window, released on scope exit.
class WindowDC {
public:
    WindowDC(HWND hwnd, bool whole) : hwnd_(hwnd), dc_(whole ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

void Frame(HDC dc, const RECT& r, fw::TColor color) {
    fw::GdiObject<HBRUSH> brush(CreateSolidBrush(fw::ToColorRef(color)));
    FrameRect(dc, &r, brush.get());
}

int TextWidthIn(HDC dc, HFONT font, const std::wstring& text) {
    fw::SelectGuard guard(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

void TKelEdit::ApplyTextRect(bool flat) {
    if (!HandleAllocated()) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    const TIntRect r = FormattingRect(flat, Ctl3D(), Font().Size(), client.right, client.bottom);
    RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
}

void TKelEdit::ApplyFlat(bool flat) {
    if (flat) {
        // The colour shown now is the one to come back to; the flat look's
        // colour is the edit's colour outside focus from now on.
        flat_restore_color_ = Color();
        const bool parentColor = flat_parent_color_ && Parent();
        const fw::TColor shown = parentColor ? Parent()->Color() : normal_color_;
        if (parentColor) focus_color_ = shown;
        ShowColor(shown);
        normal_color_ = shown;
        SetBorderStyle(fw::TBorderStyle::bsNone);
        ApplyTextRect(true);
    } else {
        SetColor(flat_restore_color_);
        SetBorderStyle(saved_border_style_);
        ApplyTextRect(false);
    }
    Invalidate();
}

void TKelEdit::SetFlat(bool flat) {
    if (Loading()) {
        flat_ = flat;
        return;
    }
    if (flat == flat_) return;
    flat_ = flat;
    ApplyFlat(flat);
}

void TKelEdit::SetDisabledColor(fw::TColor c) {
    disabled_color_ = c;
    Invalidate();
}

void TKelEdit::SetDisabledBorder(bool v) {
    disabled_border_ = v;
    Invalidate();
}

void TKelEdit::SetFlatLineColor(fw::TColor c) {
    flat_line_color_ = c;
    Invalidate();
}

void TKelEdit::SetFlatParentColor(bool v) {
    flat_parent_color_ = v;
    Invalidate();
}

void TKelEdit::SetSoftBorder(bool v) {
    if (v == soft_border_) return;
    soft_border_ = v;
    Invalidate();
}

void TKelEdit::SetFocusBorder(bool v) {
    focus_border_ = v;
    Invalidate();
}

void TKelEdit::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Invalidate();
}

void TKelEdit::SetEmptyText(const std::wstring& text) {
    empty_text_ = text;
    Invalidate();
}

void TKelEdit::SetErrorMarkerPos(int pos) {
    error_marker_pos_ = pos;
    Invalidate();
}

void TKelEdit::SetErrorMarkerLen(int len) {
    error_marker_len_ = len;
    Invalidate();
}

TEditLookState TKelEdit::LookState() const {
    TEditLookState s;
    s.Enabled = Enabled();
    s.Focused = Focused();
    s.Hovering = hovering_;
    s.Active = s.Focused;
    s.Flat = flat_;
    s.SoftBorder = soft_border_;
    s.FocusBorder = focus_border_;
    s.DisabledBorder = disabled_border_;
    s.IsComCtl6 = is_comctl6_;
    s.FlatLineColor = flat_line_color_;
    s.FocusBorderColor = focus_border_color_;
    s.ParentColor = Parent() ? Parent()->Color() : fw::clBtnFace;
    if (s.ParentColor == fw::clNone) s.ParentColor = fw::clBtnFace;
    s.Width = Width();
    s.Height = Height();
    if (HandleAllocated()) {
        RECT r{};
        SendMessageW(handle_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
        s.FormatRect = TIntRect{r.left, r.top, r.right, r.bottom};
    }
    s.TextEmpty = Text().empty();
    s.HasEmptyText = !empty_text_.empty();
    s.ErrorMarkerLength = error_marker_len_;
    s.DropCaret = drop_caret_;
    s.FontHeight = const_cast<TKelEdit*>(this)->Font().Height();
    return s;
}

void TKelEdit::DrawBorders() {
    if (!HandleAllocated()) return;
    const TEditLookState look = LookState();
    if (!DrawsBorders(look)) return;
    WindowDC dc(Handle(), true);
    DrawBorder(dc.get(), look);
}

void TKelEdit::DrawBorder(HDC dc, const TEditLookState& look) {
    const TFramePlan plan = BorderFrame(look);
    RECT r{};
    GetWindowRect(Handle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    switch (plan.Kind) {
        case TFramePlan::TKind::None:
            break;
        case TFramePlan::TKind::Single:
            Frame(dc, r, plan.Color);
            break;
        case TFramePlan::TKind::Sunken:
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            Frame(dc, r, plan.Color);
            break;
        case TFramePlan::TKind::Double:
            Frame(dc, r, plan.Color);
            InflateRect(&r, -1, -1);
            Frame(dc, r, plan.Color);
            break;
    }
}

void TKelEdit::DrawExtras() {
    if (!HandleAllocated()) return;
    const TEditLookState look = LookState();
    const TExtrasPlan plan = PlanExtras(look);
    WindowDC dc(Handle(), false);
    if (plan.ClientBorder) DrawBorder(dc.get(), look);
    if (!plan.FlatLine.empty()) {
        fw::GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, fw::ToColorRef(plan.LineColor)));
        fw::SelectGuard select(dc.get(), pen.get());
        std::vector<POINT> points;
        for (const TEditPoint& p : plan.FlatLine) points.push_back(POINT{p.X, p.Y});
        Polyline(dc.get(), points.data(), static_cast<int>(points.size()));
    }
    if (plan.DropMark) {
        const TIntRect& r = plan.DropMarkRect;
        Rectangle(dc.get(), r.Left, r.Top, r.Right, r.Bottom);
    }
    if (plan.EmptyText) {
        fw::TFont font;
        fw::SelectGuard select(dc.get(), font.Handle());
        if (IsWindowsVistaOrLater()) {
            SetBkMode(dc.get(), OPAQUE);
            SetBkColor(dc.get(), fw::ToColorRef(Color() == fw::clNone ? fw::clWindow : Color()));
        } else {
            SetBkMode(dc.get(), TRANSPARENT);
        }
        SetTextColor(dc.get(), fw::ToColorRef(fw::clGray));
        TextOutW(dc.get(), 3, 2, empty_text_.c_str(), static_cast<int>(empty_text_.size()));
    }
    if (plan.ErrorMarker) DrawErrorMarker(dc.get());
}

void TKelEdit::DrawErrorMarker(HDC dc) {
    const int n = static_cast<int>(Text().size());
    const int prefix = static_cast<int>(Prefix().size());
    TEditPoint start, end;
    ErrorMarkerEnds(error_marker_pos_, error_marker_len_, n,
                    [this, prefix](int i) { return PosFromCharPoint(prefix + i); }, start, end);
    fw::GdiObject<HPEN> pen(CreatePen(PS_SOLID, 2, fw::ToColorRef(fw::clRed)));
    fw::SelectGuard selectPen(dc, pen.get());
    fw::SelectGuard selectFont(dc, Font().Handle());
    SIZE gh{};
    GetTextExtentPoint32W(dc, L"gh", 2, &gh);
    const std::vector<TEditPoint> points = ErrorMarkerZigZag(start, end, gh.cy - 1);
    MoveToEx(dc, points[0].X, points[0].Y, nullptr);
    for (size_t i = 1; i < points.size(); ++i) LineTo(dc, points[i].X, points[i].Y);
}

TEditPoint TKelEdit::PosFromCharPoint(int index) const {
    const std::wstring text = fw::TCustomEdit::WindowText();
    const int n = static_cast<int>(text.size());
    index = std::clamp(index, 0, n);
    auto answer = [this](int i, TEditPoint& out) {
        POINT p{};
        if (!PosFromChar(i, p) || p.x < 0 || p.y < 0 || p.x >= 0xFFFF || p.y >= 0xFFFF) return false;
        out = TEditPoint{p.x, p.y};
        return true;
    };
    TEditPoint q;
    if (answer(index, q)) return q;
    if (n == 0 || index == 0 || !answer(index - 1, q)) return TEditPoint{0, 0};
    // Behind the last character: the one in front, moved by its width.
    WindowDC dc(handle_, false);
    q.X += TextWidthIn(dc.get(), const_cast<TKelEdit*>(this)->Font().Handle(), text.substr(index - 1, 1));
    return q;
}

int TKelEdit::TextPixelWidth() const {
    WindowDC dc(nullptr, false);
    return TextWidthIn(dc.get(), const_cast<TKelEdit*>(this)->Font().Handle(), Text());
}

void TKelEdit::FontChanged() {
    fw::TCustomEdit::FontChanged();
    if (label_ && ParentFont()) {
        label_->Font().Assign(Font());
        PlaceLabel();
    }
    ApplyTextRect(flat_);
}

HBRUSH TKelEdit::ColorReflect(UINT msg, HDC dc) {
    HBRUSH brush = fw::TCustomEdit::ColorReflect(msg, dc);
    if (!transparent_ || (msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC)) return brush;
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool TKelEdit::EraseTransparent(HDC dc) {
    fw::TWinControl* parent = Parent();
    if (!parent) return true;
    if (!parent->HandleAllocated()) return false;
    fw::SavedDCState state(dc);
    OffsetWindowOrgEx(dc, Left(), Top(), nullptr);
    SendMessageW(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(parent->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    return true;
}

void TKelEdit::SetURLStyle(bool on) {
    if (on) {
        label_uses_edit_font_ = false;
        Font().SetStyle(Font().Style() | fw::fsUnderline);
        SetFontColor(url_color_);
        url_shown_ = true;
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
        Invalidate();
    } else {
        Font().SetStyle(Font().Style() & ~static_cast<fw::TFontStyles>(fw::fsUnderline));
        SetFontColor(saved_font_color_);
        url_shown_ = false;
        SetCursor(nullptr);
    }
}

void TKelEdit::OpenURLOnRelease() {
    bool show = true;
    const std::wstring text = Text();
    FireEvent(OnURLClick, this, text, show);
    if (!show) return;
    // Only web and mail addresses go to the shell: a text that names a
    // program or a file is never run.
    if (const std::optional<std::wstring> url = ShellOpenableURL(text)) {
        ShellExecuteW(nullptr, L"open", url->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void TKelEdit::MouseEnter() {
    if (auto_focus_) {
        fw::TForm* form = fw::GetParentForm(this);
        if (!form || (form->HandleAllocated() && GetActiveWindow() == form->Handle())) SetFocus();
    }
    if (!hovering_ && Enabled()) {
        hovering_ = true;
        if (focus_border_) DrawBorders();
    }
    fw::TCustomEdit::MouseEnter();
}

void TKelEdit::MouseLeave() {
    if (hovering_ && Enabled()) {
        hovering_ = false;
        if (focus_border_) RepaintFrame();
    }
    fw::TCustomEdit::MouseLeave();
}

void TKelEdit::HintShow(std::wstring& hint, POINT& screenPos) {
    if (hint_show_large_text_ && TextPixelWidth() > Width()) {
        hint = Text();
        screenPos = ClientToScreen(POINT{0, 0});
    }
}

}  // namespace kel
