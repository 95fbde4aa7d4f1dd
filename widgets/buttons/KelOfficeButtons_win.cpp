// TKelOfficeCheckBox and TKelOfficeRadioButton.
#include "widgets/buttons/KelOfficeButtons.h"

#include <shellapi.h>

#include <vector>

#include "widgets/drawing/UxThemeBinder.h"

namespace kel {

// ---- unit helpers

namespace {

TOfficeButtonServices DefaultServices() {
    TOfficeButtonServices s;
    s.ComCtlVersionMS = [] { return GetFixedFileVersionMS(L"COMCTL32.DLL"); };
    s.OpenLink = [](const std::wstring& href) {
        ShellExecuteW(nullptr, L"open", href.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    };
    return s;
}

HCURSOR HandCursor() { return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)); }

// A canvas on the window's device context, in the control's font, for
// measuring and hit tests outside a paint.
class WindowCanvas {
public:
    WindowCanvas(HWND window, const fw::TFont& font) : window_(window), dc_(GetDC(window)) {
        canvas_.SetHandle(dc_);
        canvas_.Font().Assign(font);
    }
    ~WindowCanvas() {
        canvas_.SetHandle(nullptr);
        ReleaseDC(window_, dc_);
    }
    WindowCanvas(const WindowCanvas&) = delete;
    WindowCanvas& operator=(const WindowCanvas&) = delete;
    fw::TCanvas& Canvas() { return canvas_; }

private:
    HWND window_;
    HDC dc_;
    fw::TCanvas canvas_;
};

RECT ToRect(const TIntRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

}  // namespace

TOfficeButtonServices& OfficeButtonServices() {
    static TOfficeButtonServices services = DefaultServices();
    return services;
}

void ResetOfficeButtonServices() { OfficeButtonServices() = DefaultServices(); }

bool IsWinXPOrLater() { return office::IsWinXPOrLater(static_cast<uint32_t>(GetVersion())); }

int64_t GetFixedFileVersionMS(const std::wstring& fileName) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(fileName.c_str(), &handle);
    if (size == 0) return -1;
    std::vector<uint8_t> data(size);
    if (!GetFileVersionInfoW(fileName.c_str(), 0, size, data.data())) return -1;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO) || info->dwSignature != 0xFEEF04BD)
        return -1;
    return info->dwFileVersionMS;
}

void DrawDottedFocusRect(fw::TCanvas& canvas, const RECT& r, fw::TColor color) {
    if (color == fw::clNone) return;
    canvas.Pen().SetColor(color);
    HDC dc = canvas.Handle();
    LOGBRUSH brush{BS_SOLID, fw::ToColorRef(color), 0};
    fw::GdiObject<HPEN> pen(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr));
    if (!pen) return;
    fw::SelectGuard select(dc, pen.get());
    MoveToEx(dc, r.left, r.top, nullptr);
    LineTo(dc, r.right, r.top);
    LineTo(dc, r.right, r.bottom);
    LineTo(dc, r.left, r.bottom);
    LineTo(dc, r.left, r.top);
}

// ---- shared base

TKelOfficeButtonBase::TKelOfficeButtonBase(fw::TComponent* owner, bool radio)
    : fw::TCustomControl(owner), radio_(radio) {
    width_ = radio ? 135 : 120;
    height_ = 20;
    parent_background_ = true;
    double_buffered_ = true;
}

TKelOfficeButtonBase::~TKelOfficeButtonBase() {
    if (images_) images_->RemoveFreeNotification(this);
    if (picture_container_) picture_container_->RemoveFreeNotification(this);
}

void TKelOfficeButtonBase::SetCaption(const std::wstring& caption) {
    fw::TCustomControl::SetCaption(caption);
    Invalidate();
}

void TKelOfficeButtonBase::SetAlignment(TLeftRight v) {
    if (v == alignment_) return;
    alignment_ = v;
    Invalidate();
}

void TKelOfficeButtonBase::SetButtonVertAlign(TTextLayout v) {
    if (v == vert_align_) return;
    vert_align_ = v;
    Invalidate();
}

void TKelOfficeButtonBase::SetEllipsis(bool v) {
    if (v == ellipsis_) return;
    ellipsis_ = v;
    Invalidate();
}

void TKelOfficeButtonBase::SetThemed(bool v) {
    if (v == themed_) return;
    themed_ = v;
    Invalidate();
}

void TKelOfficeButtonBase::SetURLColor(fw::TColor v) {
    if (v == url_color_) return;
    url_color_ = v;
    Invalidate();
}

void TKelOfficeButtonBase::SetShadowColor(fw::TColor v) {
    if (v == shadow_color_) return;
    shadow_color_ = v;
    Invalidate();
}

void TKelOfficeButtonBase::SetShadowOffset(int v) {
    if (v == shadow_offset_) return;
    shadow_offset_ = v;
    Invalidate();
}

void TKelOfficeButtonBase::SetBiDiMode(TBiDiMode v) {
    if (v == bidi_mode_) return;
    bidi_mode_ = v;
    Invalidate();
}

void TKelOfficeButtonBase::SetImages(fw::TImageList* v) {
    if (images_) images_->RemoveFreeNotification(this);
    images_ = v;
    if (images_) images_->FreeNotification(this);
    Invalidate();
}

void TKelOfficeButtonBase::SetPictureContainer(TPictureContainer* v) {
    if (picture_container_) picture_container_->RemoveFreeNotification(this);
    picture_container_ = v;
    if (picture_container_) picture_container_->FreeNotification(this);
    Invalidate();
}

void TKelOfficeButtonBase::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TCustomControl::Notification(component, operation);
    if (operation != fw::TOperation::opRemove) return;
    if (component == images_) {
        images_ = nullptr;
        Invalidate();
    }
    if (component == picture_container_) {
        picture_container_ = nullptr;
        Invalidate();
    }
}

void TKelOfficeButtonBase::BoundsChanged() {
    if (!HandleAllocated()) return;
    Invalidate();
    Update();
}

void TKelOfficeButtonBase::CreateHandleDone() {
    fw::TCustomControl::CreateHandleDone();
    Loaded();
}

void TKelOfficeButtonBase::Loaded() { saved_cursor_ = Cursor(); }

bool TKelOfficeButtonBase::WantsDialogKey(WORD key) { return key == VK_RETURN && return_is_tab_; }

void TKelOfficeButtonBase::InvalidateGlyph() {
    if (!HandleAllocated() || !parent_) return;
    const RECT strip = ToRect(office::GlyphStrip(Width(), Height(), GlyphAtRight()));
    InvalidateRect(Handle(), &strip, FALSE);
}

void TKelOfficeButtonBase::RedrawGlyphNow() {
    if (!HandleAllocated()) return;
    const RECT strip = ToRect(office::GlyphStrip(Width(), Height(), GlyphAtRight()));
    RedrawWindow(Handle(), &strip, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// -- glyph

bool TKelOfficeButtonBase::UsesThemedGlyph() {
    if (!IsWinXPOrLater() || !themed_) return false;
    if (!AOBXPVS.IsThemeActive || !AOBXPVS.IsThemeActive()) return false;
    const auto& probe = OfficeButtonServices().ComCtlVersionMS;
    return probe && office::MajorFileVersion(probe()) > 5;
}

bool TKelOfficeButtonBase::DrawThemedGlyph(HDC dc) {
    if (!AOBXPVS.OpenThemeData || !AOBXPVS.DrawThemeBackground || !AOBXPVS.CloseThemeData) return false;
    HTHEME theme = AOBXPVS.OpenThemeData(HandleAllocated() ? Handle() : nullptr, L"button");
    if (!theme) return false;
    office::TGlyphPlace place;
    place.Radio = radio_;
    place.Themed = true;
    place.VertAlign = vert_align_;
    place.AtRight = GlyphAtRight();
    place.ClientWidth = Width();
    place.ClientHeight = Height();
    place.TextHeightGh = Canvas().TextHeight(L"gh");
    const RECT r = ToRect(office::GlyphRect(place));
    const int part = radio_ ? office::kThemePartRadio : office::kThemePartCheckBox;
    AOBXPVS.DrawThemeBackground(theme, dc, part, office::ThemeState(GlyphValue(), Enabled(), down_, hot_), &r,
                                nullptr);
    AOBXPVS.CloseThemeData(theme);
    return true;
}

void TKelOfficeButtonBase::DrawBitmapGlyph(HDC dc) {
    const auto glyph = office::OfficeGlyphResource(office::GlyphResourceName(radio_, GlyphValue(), down_, hot_));
    if (!glyph) return;
    office::TGlyphPlace place;
    place.Radio = radio_;
    place.VertAlign = vert_align_;
    place.AtRight = GlyphAtRight();
    place.ClientWidth = Width();
    place.ClientHeight = Height();
    place.TextHeightGh = Canvas().TextHeight(L"gh");
    place.BitmapWidth = glyph->Width;
    place.BitmapHeight = glyph->Height;
    const TIntRect r = office::GlyphRect(place);
    const uint32_t key = glyph->TransparentColor();
    for (int y = 0; y < glyph->Height; ++y) {
        for (int x = 0; x < glyph->Width; ++x) {
            const uint32_t c = glyph->At(x, y);
            if (c == key) continue;
            SetPixelV(dc, r.Left + x, r.Top + y, RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
        }
    }
}

void TKelOfficeButtonBase::DrawGlyph() {
    HDC dc = Canvas().Handle();
    if (UsesThemedGlyph() && DrawThemedGlyph(dc)) return;
    DrawBitmapGlyph(dc);
}

// -- caption

THtmlParams TKelOfficeButtonBase::CaptionParams(const TIntRect& rect) const {
    THtmlParams p;
    p.Text = Caption();
    p.Rect = rect;
    p.ShadowOffset = shadow_offset_;
    p.WordWrap = !ellipsis_;
    p.ScaleFactor = 1.0;
    p.LinkColor = url_color_;
    p.HoverBackColor = fw::clNone;
    p.HoverTextColor = fw::clNone;
    p.ShadowColor = shadow_color_;
    p.LineSpacing = 0;
    return p;
}

THtmlGdiSources TKelOfficeButtonBase::Sources() {
    THtmlGdiSources s;
    s.Images = images_;
    s.PictureCache = &picture_cache_;
    s.PictureStore = picture_container_;
    return s;
}

TKelOfficeButtonBase::TCaptionLayout TKelOfficeButtonBase::LayoutCaption(fw::TCanvas& canvas) {
    TCaptionLayout layout;
    const TIntRect box = office::CaptionBox(radio_, Width(), Height(), GlyphAtRight());
    const bool rightToLeft = bidi_mode_ == bdRightToLeft;
    if (!radio_ && rightToLeft && Caption().find(L"</") == std::wstring::npos) {
        const SIZE size = canvas.TextExtent(Caption());
        layout.Rect = box;
        layout.Rect.Left = box.Right - size.cx - 3;
        layout.TextWidth = size.cx;
        layout.TextHeight = size.cy;
        layout.Plain = true;
        return layout;
    }
    THtmlParams p = CaptionParams(box);
    p.HitTestOnly = true;
    THtmlResults size;
    RenderHtmlText(canvas, p, size, Sources());
    int measuredHeight = 0;
    if (radio_ && vert_align_ != tlTop) {
        THtmlParams m = CaptionParams(box);
        m.MeasureOnly = true;
        THtmlResults measured;
        RenderHtmlText(canvas, m, measured, Sources());
        measuredHeight = measured.TextHeight;
    }
    layout.Rect = office::PlaceCaption(radio_, box, size.TextWidth, rightToLeft, vert_align_, measuredHeight);
    layout.TextWidth = size.TextWidth;
    layout.TextHeight = size.TextHeight;
    return layout;
}

void TKelOfficeButtonBase::PaintCaption(fw::TCanvas& canvas) {
    const TCaptionLayout layout = LayoutCaption(canvas);
    const fw::TColor textColor = canvas.Font().Color();
    if (layout.Plain) {
        HDC dc = canvas.Handle();
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        canvas.Font().SetColor(Enabled() ? textColor : disabled_font_color_);
        fw::SelectGuard font(dc, canvas.Font().Handle());
        SetTextColor(dc, fw::ToColorRef(canvas.Font().Color()));
        RECT r = ToRect(office::CaptionBox(radio_, Width(), Height(), GlyphAtRight()));
        DrawTextW(dc, Caption().c_str(), -1, &r, DT_RIGHT);
        SetBkMode(dc, oldMode);
    } else if (Enabled()) {
        THtmlParams p = CaptionParams(layout.Rect);
        THtmlResults r;
        RenderHtmlText(canvas, p, r, Sources());
    } else {
        // Embossed: a white copy one pixel right and down under the text.
        THtmlParams p = CaptionParams(TIntRect{layout.Rect.Left + 1, layout.Rect.Top + 1, layout.Rect.Right + 1,
                                               layout.Rect.Bottom + 1});
        canvas.Font().SetColor(fw::clWhite);
        p.LinkColor = fw::clWhite;
        THtmlResults r;
        RenderHtmlText(canvas, p, r, Sources());
        p.Rect = layout.Rect;
        canvas.Font().SetColor(disabled_font_color_);
        p.LinkColor = 0x808080;
        RenderHtmlText(canvas, p, r, Sources());
    }
    const bool showsFocus = focused_ && TabStop() && show_focus_ && (!radio_ || GlyphValue() == cbChecked);
    if (showsFocus) {
        const TIntRect f =
            office::FocusOutline(radio_, layout.Rect, layout.TextWidth, layout.TextHeight, Height());
        DrawDottedFocusRect(canvas, ToRect(f), canvas.Font().Color());
    }
    canvas.Font().SetColor(textColor);
}

void TKelOfficeButtonBase::Paint() {
    // The background (the parent's pixels) is painted by the erase step.
    DrawGlyph();
    PaintCaption(Canvas());
    fw::TCustomControl::Paint();
}

std::wstring TKelOfficeButtonBase::AnchorAt(int x, int y) {
    if (!HandleAllocated() || Caption().empty()) return {};
    WindowCanvas wc(Handle(), Font());
    const TCaptionLayout layout = LayoutCaption(wc.Canvas());
    if (layout.Plain) return {};
    THtmlParams p = CaptionParams(layout.Rect);
    p.HitTestOnly = true;
    p.HitX = x;
    p.HitY = y;
    THtmlResults r;
    if (!RenderHtmlText(wc.Canvas(), p, r, Sources())) return {};
    return r.AnchorHref;
}

// -- input

void TKelOfficeButtonBase::SetHandCursor(bool hand) {
    const HCURSOR c = hand ? HandCursor() : saved_cursor_;
    SetCursor(c);
    if (MouseInControl()) ::SetCursor(c ? c : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

void TKelOfficeButtonBase::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    // Only the left button presses the control.
    if (button != fw::TMouseButton::mbLeft) {
        fw::TCustomControl::MouseDown(button, shift, x, y);
        return;
    }
    last_href_.clear();
    mouse_down_seen_ = true;
    std::wstring href;
    if (focused_) {
        href = AnchorAt(x, y);
        if (!href.empty()) {
            if (office::OpensInShell(href)) {
                if (OfficeButtonServices().OpenLink) OfficeButtonServices().OpenLink(href);
            } else {
                FireEvent(OnAnchorClick, this, href);
            }
        }
    } else if (CanFocus()) {
        SetFocus();
        focused_ = true;
    }
    if (href.empty()) {
        fw::TCustomControl::MouseDown(button, shift, x, y);
        if (HandleAllocated()) SetCapture(Handle());
        down_ = true;
    }
    InvalidateGlyph();
}

void TKelOfficeButtonBase::MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    if (button != fw::TMouseButton::mbLeft) {
        fw::TCustomControl::MouseUp(button, shift, x, y);
        return;
    }
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    down_ = false;
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    Release(shift, x, y, inside);
    InvalidateGlyph();
    mouse_down_seen_ = false;
}

void TKelOfficeButtonBase::MouseMove(fw::TShiftState shift, int x, int y) {
    if (HandleAllocated() && GetCapture() == Handle() && mouse_down_seen_) {
        const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
        if (inside != down_) {
            down_ = inside;
            InvalidateGlyph();
        }
    }
    if (focused_) {
        const std::wstring href = AnchorAt(x, y);
        if (!href.empty()) {
            if (Cursor() == nullptr || href != last_href_) {
                last_href_ = href;
                SetHandCursor(true);
                FireEvent(OnAnchorEnter, this, href);
            }
        } else if (Cursor() == HandCursor()) {
            SetHandCursor(false);
            last_href_.clear();
            FireEvent(OnAnchorExit, this, std::wstring());
        }
    }
    fw::TCustomControl::MouseMove(shift, x, y);
}

void TKelOfficeButtonBase::MouseEnter() {
    hot_ = true;
    RedrawGlyphNow();
    fw::TCustomControl::MouseEnter();
}

void TKelOfficeButtonBase::MouseLeave() {
    hot_ = false;
    RedrawGlyphNow();
    fw::TCustomControl::MouseLeave();
}

void TKelOfficeButtonBase::KeyDown(WORD& key, fw::TShiftState shift) {
    if (key == VK_RETURN && return_is_tab_) {
        key = VK_TAB;
        if (HandleAllocated()) PostMessageW(Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (key == VK_SPACE) {
        down_ = true;
        InvalidateGlyph();
    }
    fw::TCustomControl::KeyDown(key, shift);
}

void TKelOfficeButtonBase::KeyUp(WORD& key, fw::TShiftState /*shift*/) {
    // OnKeyUp is not fired.
    if (key != VK_SPACE) return;
    down_ = false;
    SpaceClick();
    InvalidateGlyph();
}

bool TKelOfficeButtonBase::DialogChar(wchar_t ch) {
    if (!office::IsAccelerator(ch, Caption()) || !CanFocus()) return false;
    return AcceleratorClick();
}

void TKelOfficeButtonBase::DoEnter() {
    focused_ = true;
    Invalidate();
    fw::TCustomControl::DoEnter();
}

void TKelOfficeButtonBase::DoExit() {
    focused_ = false;
    Invalidate();
    fw::TCustomControl::DoExit();
}

// ---- check box

TCustomKelOfficeCheckBox::TCustomKelOfficeCheckBox(fw::TComponent* owner) : TKelOfficeButtonBase(owner, false) {
    tab_stop_ = true;
}

void TCustomKelOfficeCheckBox::SetChecked(bool value) {
    if (value == GetChecked()) return;
    state_ = value ? cbChecked : cbUnchecked;
    Invalidate();
}

void TCustomKelOfficeCheckBox::SetState(TCheckBoxState value) {
    if (value == state_) return;
    state_ = value;
    InvalidateGlyph();
}

void TCustomKelOfficeCheckBox::Toggle() {
    if (ReadOnly()) return;
    if (allow_grayed_) {
        SetState(office::ToggledState(state_, true, false));
    } else {
        SetChecked(!GetChecked());
    }
}

void TCustomKelOfficeCheckBox::Click() {
    if (in_button_up_) return;
    FrameworkClick();
}

LRESULT TCustomKelOfficeCheckBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_LBUTTONUP) return TKelOfficeButtonBase::WndProc(msg, wParam, lParam);
    struct Flag {
        bool& f;
        explicit Flag(bool& b) : f(b) { f = true; }
        ~Flag() { f = false; }
    } flag(in_button_up_);
    return TKelOfficeButtonBase::WndProc(msg, wParam, lParam);
}

void TCustomKelOfficeCheckBox::Release(fw::TShiftState shift, int x, int y, bool inside) {
    if (inside && IsFocusedMark() && MouseDownSeen()) {
        Toggle();
        FrameworkClick();
    }
    FrameworkMouseUp(shift, x, y);
}

void TCustomKelOfficeCheckBox::SpaceClick() {
    Toggle();
    FrameworkClick();
}

bool TCustomKelOfficeCheckBox::AcceleratorClick() {
    Toggle();
    FrameworkClick();
    if (TabStop()) SetFocus();
    return true;
}

void TCustomKelOfficeCheckBox::ActionChange(fw::TBasicAction* sender, bool checkDefaults) {
    TKelOfficeButtonBase::ActionChange(sender, checkDefaults);
    auto* action = dynamic_cast<fw::TCustomAction*>(sender);
    if (!action) return;
    if (!checkDefaults || !GetChecked()) SetChecked(action->Checked());
}

std::unique_ptr<fw::TControlActionLink> TCustomKelOfficeCheckBox::CreateActionLink() {
    return std::make_unique<TKelOfficeCheckBoxActionLink>(this);
}

void TKelOfficeCheckBoxActionLink::SetCaption(const std::wstring& v) {
    if (IsCaptionLinked()) check_box_->SetCaption(v);
}

void TKelOfficeCheckBoxActionLink::SetChecked(bool v) {
    if (IsCheckedLinked()) check_box_->SetChecked(v);
}

// ---- radio button

TCustomKelOfficeRadioButton::TCustomKelOfficeRadioButton(fw::TComponent* owner)
    : TKelOfficeButtonBase(owner, true) {}

void TCustomKelOfficeRadioButton::DoClick() {
    ++clicks_fired_;
    FireEvent(OnClick, this);
}

void TKelOfficeRadioButton::SetChecked(bool value) {
    if (value == checked_) return;
    SetTabStop(value);
    checked_ = value;
    if (value) {
        UncheckSiblings();
        if (!in_focus_click_) DoClick();
    }
    InvalidateGlyph();
}

void TKelOfficeRadioButton::UncheckSiblings() {
    if (!parent_) return;
    for (int i = 0; i < parent_->ControlCount(); ++i) {
        auto* other = dynamic_cast<TKelOfficeRadioButton*>(parent_->Control(i));
        if (other && other != this && other->group_index_ == group_index_) other->SetChecked(false);
    }
}

void TKelOfficeRadioButton::SetURLColor(fw::TColor v) {
    TKelOfficeButtonBase::SetURLColor(v);
    Invalidate();
}

void TKelOfficeRadioButton::Release(fw::TShiftState shift, int x, int y, bool inside) {
    // One OnClick per click: the release does not click again when checking
    // the radio already did.
    const int before = clicks_fired_;
    if (inside && !checked_ && MouseDownSeen()) SetChecked(true);
    FrameworkMouseUp(shift, x, y);
    if (MouseDownSeen() && clicks_fired_ == before) DoClick();
}

void TKelOfficeRadioButton::SpaceClick() {
    if (!checked_) SetChecked(true);
}

bool TKelOfficeRadioButton::AcceleratorClick() {
    SetChecked(true);
    if (TabStop()) SetFocus();
    return true;
}

void TKelOfficeRadioButton::DoEnter() {
    focused_ = true;
    SetChecked(true);
    Invalidate();
    fw::TCustomControl::DoEnter();
}

LRESULT TKelOfficeRadioButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN && CanFocus() && !Focused()) {
        // A radio checked by this focus change fires no OnClick here; the
        // release does.
        struct Flag {
            bool& f;
            explicit Flag(bool& b) : f(b) { f = true; }
            ~Flag() { f = false; }
        } flag(in_focus_click_);
        SetFocus();
    }
    return TKelOfficeButtonBase::WndProc(msg, wParam, lParam);
}

}  // namespace kel
