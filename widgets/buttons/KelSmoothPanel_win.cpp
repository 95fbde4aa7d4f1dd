// TKelSmoothPanel.
#include "widgets/buttons/KelSmoothPanel.h"

#include "widgets/drawing/GlobalMemoryStream.h"
#include "widgets/drawing/HtmlRenderGP.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel {

// ---- caption

TKelSmoothPanelCaption::TKelSmoothPanelCaption() {
    html_font_.SetName(L"Tahoma");
    font_.SetName(L"Tahoma");
    font_.SetSize(12);
    html_font_.OnChange = [this] { Changed(); };
    font_.OnChange = [this] { Changed(); };
    picture_.OnChange = [this] { Changed(); };
}

void TKelSmoothPanelCaption::Changed() {
    if (OnChange) OnChange();
}

void TKelSmoothPanelCaption::Assign(const TKelSmoothPanelCaption& s) {
    // One change at the end, not one per property.
    auto hook = std::move(OnChange);
    OnChange = nullptr;
    text_ = s.text_;
    location_ = s.location_;
    hatch_style_ = s.hatch_style_;
    html_font_.Assign(s.html_font_);
    html_text_ = s.html_text_;
    html_location_ = s.html_location_;
    html_left_ = s.html_left_;
    html_top_ = s.html_top_;
    html_url_color_ = s.html_url_color_;
    html_shadow_color_ = s.html_shadow_color_;
    html_shadow_offset_ = s.html_shadow_offset_;
    font_.Assign(s.font_);
    left_ = s.left_;
    top_ = s.top_;
    picture_.Assign(&s.picture_);
    color_start_ = s.color_start_;
    color_end_ = s.color_end_;
    opacity_start_ = s.opacity_start_;
    opacity_end_ = s.opacity_end_;
    gradient_type_ = s.gradient_type_;
    line_color_ = s.line_color_;
    line_ = s.line_;
    text_rendering_ = s.text_rendering_;
    OnChange = std::move(hook);
    Changed();
}

// ---- panel

TKelSmoothPanel::TKelSmoothPanel(fw::TComponent* owner)
    : fw::TCustomControl(owner), caption_(std::make_unique<TKelSmoothPanelCaption>()) {
    width_ = 256;
    height_ = 128;
    double_buffered_ = true;
    parent_background_ = true;
    fill_.OnChange = [this](TGDIPFill&) { MarkDirty(); };
    caption_->OnChange = [this] { MarkDirty(); };
}

TKelSmoothPanel::~TKelSmoothPanel() {
    if (images_) images_->RemoveFreeNotification(this);
    if (picture_container_) picture_container_->RemoveFreeNotification(this);
}

void TKelSmoothPanel::MarkDirty() {
    dirty_ = true;
    Invalidate();
}

void TKelSmoothPanel::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    SetParentBackground(v);
    MarkDirty();
}

void TKelSmoothPanel::SetFill(const TGDIPFill& v) {
    fill_.Assign(&v);
    MarkDirty();
}

void TKelSmoothPanel::SetImages(fw::TImageList* v) {
    if (v == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = v;
    if (images_) images_->FreeNotification(this);
    MarkDirty();
}

void TKelSmoothPanel::SetPictureContainer(TGDIPPictureContainer* v) {
    if (v == picture_container_) return;
    if (picture_container_) picture_container_->RemoveFreeNotification(this);
    picture_container_ = v;
    if (picture_container_) picture_container_->FreeNotification(this);
    MarkDirty();
}

void TKelSmoothPanel::SetCursor(HCURSOR cursor) {
    own_cursor_ = cursor;
    fw::TCustomControl::SetCursor(cursor);
}

void TKelSmoothPanel::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TCustomControl::Notification(component, operation);
    if (operation != fw::TOperation::opRemove || Destroying()) return;
    if (component == images_) {
        images_ = nullptr;
        MarkDirty();
    }
    if (component == picture_container_) {
        picture_container_ = nullptr;
        MarkDirty();
    }
}

void TKelSmoothPanel::Assign(fw::TComponent* source) {
    auto* other = dynamic_cast<TKelSmoothPanel*>(source);
    if (!other || other == this) return;
    caption_->Assign(*other->caption_);
    fill_.Assign(&other->fill_);
    if (transparent_ != other->transparent_) {
        transparent_ = other->transparent_;
        SetParentBackground(transparent_);
    }
    MarkDirty();
}

void TKelSmoothPanel::CreateParams(fw::TCreateParams& params) {
    fw::TCustomControl::CreateParams(params);
    params.style &= ~static_cast<DWORD>(WS_BORDER);
}

void TKelSmoothPanel::Resize() {
    fw::TCustomControl::Resize();
    MarkDirty();
}

LRESULT TKelSmoothPanel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_WINDOWPOSCHANGED:
            // The shadow shows what lies behind the panel, which changes
            // when it moves.
            if (ShadowSpace() > 0) Invalidate();
            break;
        case WM_SIZE: {
            const LRESULT r = fw::TCustomControl::WndProc(msg, wParam, lParam);
            Invalidate();
            return r;
        }
        default:
            break;
    }
    return fw::TCustomControl::WndProc(msg, wParam, lParam);
}

int TKelSmoothPanel::ShadowSpace() const {
    if (fill_.ShadowColor() == fw::clNone || fill_.ShadowOffset() <= 0) return 0;
    return fill_.ShadowOffset();
}

void TKelSmoothPanel::Paint() {
    const int w = Width();
    const int h = Height();
    if (w > 1 && h > 1) {
        if (dirty_ || !cache_) {
            dirty_ = false;
            cache_.reset();
            cache_ = std::make_unique<TGPBitmap>(w, h, gpPixelFormat32bppARGB);
            ++cache_builds_;
            TGPGraphics graphics(cache_.get());
            graphics.SetSmoothingMode(gpSmoothingModeAntiAlias);
            graphics.SetTextRenderingHint(panel::TextRenderingHintOf(caption_->TextRendering()));
            PaintContent(graphics);
        }
        TGPGraphics screen(Canvas().Handle());
        screen.SetSmoothingMode(gpSmoothingModeAntiAlias);
        screen.DrawImageAt(cache_.get(), 0, 0);
    }
    FireEvent(OnDraw, this, Canvas(), RECT{0, 0, w, h});
}

namespace {

std::unique_ptr<TGPBrush> CaptionBrush(TKelSmoothPanelCaption& c, float x, float y, float mw, float mh) {
    if (c.ColorStart() == fw::clNone) return nullptr;
    const TARGB c1 = ColorToARGBAlpha(c.OpacityStart(), c.ColorStart());
    const TARGB c2 = c.ColorEnd() == fw::clNone ? c1 : ColorToARGBAlpha(c.OpacityEnd(), c.ColorEnd());
    switch (c.GradientType()) {
        case gtSolid: return std::make_unique<TGPSolidBrush>(c1);
        case gtVertical:
            return std::make_unique<TGPLinearGradientBrush>(FloatPoint(x, y), FloatPoint(x, y + mh), c1, c2);
        case gtHorizontal:
            return std::make_unique<TGPLinearGradientBrush>(FloatPoint(x, y), FloatPoint(x + mw, y), c1, c2);
        case gtForwardDiagonal:
            return std::make_unique<TGPLinearGradientBrush>(FloatPoint(x, y), FloatPoint(x + mw, y + mh), c1, c2);
        case gtBackwardDiagonal:
            return std::make_unique<TGPLinearGradientBrush>(FloatPoint(x, y + mh), FloatPoint(x + mw, y), c2, c1);
        case gtHatch: return std::make_unique<TGPHatchBrush>(c.HatchStyle(), c1, c2);
        case gtTexture: {
            if (c.Picture().Empty() || !c.Picture().HasBytes()) return nullptr;
            TGlobalMemoryStream stream(c.Picture().Bytes());
            TGPImage image(stream.Stream());
            if (image.LastStatus() != stOk) return nullptr;
            return std::make_unique<TGPTextureBrush>(image, gpWrapModeTile);
        }
        default: return nullptr;  // gtRadial, gtAngle, gtPath, gtNone: no text
    }
}

}  // namespace

THtmlParams TKelSmoothPanel::HtmlParams() const {
    THtmlParams p;
    p.Text = caption_->HTMLText();
    p.FocusLinkIndex = -1;
    p.HoverLinkIndex = -1;
    p.ShadowOffset = caption_->HTMLShadowOffset();
    p.WordWrap = true;
    p.ScaleFactor = 1.0;
    p.LinkColor = caption_->HTMLURLColor();
    p.HoverBackColor = fw::clNone;
    p.HoverTextColor = fw::clNone;
    p.ShadowColor = caption_->HTMLShadowColor();
    p.LineSpacing = 2;
    return p;
}

THtmlGdipSources TKelSmoothPanel::HtmlSources() const {
    THtmlGdipSources s;
    s.Images = images_;
    s.PictureStore = picture_container_;
    return s;
}

void TKelSmoothPanel::PaintContent(TGPGraphics& graphics) {
    const int w = Width();
    const int h = Height();
    const int b = fill_.BorderWidth();
    const int s = ShadowSpace();
    const bool border = fill_.BorderColor() != fw::clNone && b != 0;
    const TGPFloatRect fr =
        fill_.Fill(&graphics, border ? FloatRect(0, 0, float(w - 1), float(h - 1))
                                     : FloatRect(-1, -1, float(w + 1), float(h + 1)),
                   255, 255, 255, 255, 255);

    TKelSmoothPanelCaption& c = *caption_;
    int hy = 0;
    if (!c.Text().empty()) {
        fw::TFont& f = c.Font();
        const std::unique_ptr<TGPFontFamily> family = MakeFontFamily(f.Name());
        int style = 0;
        if (f.Style() & fw::fsBold) style |= gpFontStyleBold;
        if (f.Style() & fw::fsItalic) style |= gpFontStyleItalic;
        if (f.Style() & fw::fsUnderline) style |= gpFontStyleUnderline;
        TGPFont font(family.get(), static_cast<float>(f.Size()), style, gpUnitPoint);
        TGPStringFormat format(0, 0);

        int pictureWidth = 0;
        if (!fill_.Picture().Empty())
            pictureWidth = fill_.PictureSize() == psCustom ? fill_.PictureWidth() : fill_.Picture().Width();
        const panel::TCaptionArea area =
            panel::CaptionArea(fr, !fill_.Picture().Empty(), pictureWidth, fill_.PicturePosition(), c.Location());
        const TGPFloatRect& cr = area.Rect;
        const int inset = area.Inset;

        TGPFloatRect box;
        graphics.MeasureString(c.Text().c_str(), -1, &font,
                               FloatRect(cr.X, cr.Y, cr.Width - float(inset), cr.Height), &format, box);
        const float mw = box.Width;
        const float mh = box.Height;
        int x = 0;
        int y = 0;
        if (c.Location() == plCustom) {
            x = c.Left();
            y = c.Top();
        } else {
            panel::PlaceByLocation(x, y, cr, RoundHalfEven(mw), RoundHalfEven(mh), c.Location());
        }
        if (const std::unique_ptr<TGPBrush> brush = CaptionBrush(c, float(x), float(y), mw, mh)) {
            graphics.DrawString(c.Text().c_str(), -1, &font,
                                FloatRect(float(x), float(y), float(RoundHalfEven(cr.Width - 2 - float(inset))),
                                          float(h - 1 - s)),
                                &format, brush.get());
        }
        if (c.LineColor() != fw::clNone && c.Line()) {
            const panel::TCaptionLine line = panel::CaptionLine(cr, float(y), mh, c.Location());
            TGPPen pen(ColorToOpaqueARGB(c.LineColor()), 1);
            graphics.DrawLine(pen, float(line.X1), line.Y, float(line.X2), line.Y);
        }
        hy = RoundHalfEven(mh);
    }

    html_rect_ = TIntRect{};
    if (!c.HTMLText().empty()) {
        panel::THtmlBlockInput in;
        in.Width = w;
        in.BorderWidth = b;
        in.ShadowSpace = s;
        in.CaptionHeight = hy;
        in.Left = c.HTMLLeft();
        in.Top = c.HTMLTop();
        in.Location = c.HTMLLocation();
        THtmlParams p = HtmlParams();
        p.Rect = panel::HtmlMeasureRect(in);
        p.MeasureOnly = true;
        THtmlResults measured;
        RenderHtmlTextGP(graphics, c.HTMLFont(), p, measured, HtmlSources());
        html_rect_ = panel::HtmlDrawRect(in, fr, measured.TextWidth, measured.TextHeight);
        // A text taller than the panel is laid out for hit tests but not drawn.
        if (measured.TextHeight < h) {
            p.Rect = html_rect_;
            p.MeasureOnly = false;
            THtmlResults drawn;
            RenderHtmlTextGP(graphics, c.HTMLFont(), p, drawn, HtmlSources());
        }
    }
}

std::wstring TKelSmoothPanel::AnchorAt(int x, int y) {
    const TIntRect& r = html_rect_;
    if (caption_->HTMLText().empty() || x < r.Left || y < r.Top || x >= r.Right || y >= r.Bottom) return {};
    HDC dc = HandleAllocated() ? GetDC(Handle()) : GetDC(nullptr);
    std::wstring href;
    {
        TGPGraphics graphics(dc);
        THtmlParams p = HtmlParams();
        p.Rect = r;
        p.HitX = x;
        p.HitY = y;
        p.HitTestOnly = true;
        THtmlResults results;
        RenderHtmlTextGP(graphics, caption_->HTMLFont(), p, results, HtmlSources());
        href = results.AnchorHref;
    }
    ReleaseDC(HandleAllocated() ? Handle() : nullptr, dc);
    return href;
}

void TKelSmoothPanel::DoAnchorClick(const std::wstring& href) { FireEvent(OnAnchorClick, this, href); }

void TKelSmoothPanel::MouseMove(fw::TShiftState shift, int x, int y) {
    fw::TCustomControl::MouseMove(shift, x, y);
    const bool wasOverLink = over_link_;
    if (!AnchorAt(x, y).empty()) {
        over_link_ = true;
        HCURSOR hand = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
        fw::TCustomControl::SetCursor(hand);
        ::SetCursor(hand);
    } else {
        over_link_ = false;
        if (!wasOverLink) return;
        fw::TCustomControl::SetCursor(own_cursor_);
        ::SetCursor(own_cursor_ ? own_cursor_ : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    }
}

void TKelSmoothPanel::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    fw::TCustomControl::MouseDown(button, shift, x, y);
    if (!over_link_) return;
    const std::wstring href = AnchorAt(x, y);
    if (!href.empty()) DoAnchorClick(href);
}

void TKelSmoothPanel::ApplyStylePreset(int style) {
    fill_.SetGradientType(gtVertical);
    fill_.SetGlow(gmNone);
    const panel::TSmoothPanelPreset p = panel::SmoothPanelPreset(style);
    if (!p.Known) return;
    caption_->SetColorStart(p.CaptionStart);
    caption_->SetColorEnd(p.CaptionEnd);
    caption_->SetLineColor(p.Line);
    fill_.SetColor(p.Color);
    fill_.SetColorTo(p.ColorTo);
    fill_.SetColorMirror(p.Mirror);
    fill_.SetColorMirrorTo(p.MirrorTo);
    fill_.SetBorderColor(p.Border);
    if (p.MirrorVertical) fill_.SetGradientMirrorType(gtVertical);
    if (p.GlowRadial) fill_.SetGlow(gmRadial);
}

}  // namespace kel
