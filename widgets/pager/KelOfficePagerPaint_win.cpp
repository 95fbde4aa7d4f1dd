// The pager's own paint: the strip background over the client area, the
// frame of the button area, and the tab bodies with their state colours
// and lines.
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/pager/KelOfficePager.h"
#include "widgets/pager/KelPagerCaption.h"
#include "widgets/pager/KelPagerPaint.h"

namespace kel::pager {

using namespace fw;

bool TKelOfficePager::UseGlass() const { return tabSettings_.Glass() && glassCapable_ && transparent_; }

bool TKelOfficePager::ButtonsShown() const {
    const TPageButtonSettings& b = *buttonSettings_;
    return scroller_.Visible() || b.PageListButton() || (b.ClosedListButton() && !closedPages_.empty()) ||
           (b.CloseButton() && !closeOnTab_);
}

LRESULT TKelOfficePager::GlassPaint() {
    // uxtheme.dll's buffered paint, bound by name.
    using BeginProc = HANDLE(WINAPI*)(HDC, const RECT*, int, void*, HDC*);
    using AlphaProc = HRESULT(WINAPI*)(HANDLE, const RECT*, BYTE);
    using EndProc = HRESULT(WINAPI*)(HANDLE, BOOL);
    static HMODULE ux = LoadLibraryW(L"uxtheme.dll");
    auto bind = [](const char* name) { return ux ? reinterpret_cast<void*>(GetProcAddress(ux, name)) : nullptr; };
    static auto begin = reinterpret_cast<BeginProc>(bind("BeginBufferedPaint"));
    static auto alpha = reinterpret_cast<AlphaProc>(bind("BufferedPaintSetAlpha"));
    static auto end = reinterpret_cast<EndProc>(bind("EndBufferedPaint"));
    if (!begin || !alpha || !end) return TCustomControl::WndProc(WM_PAINT, 0, 0);
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(Handle(), &ps);
    HDC buffer = nullptr;
    constexpr int kTopDownDib = 2;
    if (HANDLE paint = begin(dc, &ps.rcPaint, kTopDownDib, nullptr, &buffer)) {
        SendMessageW(Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer), 0);
        alpha(paint, &ps.rcPaint, 255);
        SendMessageW(Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer), PRF_CLIENT);
        end(paint, TRUE);
    }
    EndPaint(Handle(), &ps);
    return 0;
}

void TKelOfficePager::Paint() {
    TCanvas& canvas = Canvas();
    if (transparent_ && Parent()) {
        HDC dc = canvas.Handle();
        const int saved = SaveDC(dc);
        // The parent's background, content and graphic children beneath us.
        TWinControl::PaintParentBackground(this, dc);
        RestoreDC(dc, saved);
    }
    DrawTabStrip();
    DrawButtonsFrame();
}

void TKelOfficePager::DrawTabStrip() {
    if (!currentStyler_) return;
    const TGradientBackground& s = currentStyler_->TabAppearance().BackGround();
    const RECT client = ClientRect();
    TCanvas& canvas = Canvas();
    if (!transparent_ && s.Color() != clNone) {
        HDC dc = canvas.Handle();
        if (s.ColorTo() != clNone) {
            const TIntRect r{client.left, client.top, client.right, client.bottom};
            for (const TGradientBand& band :
                 SteppedGradientBands(s.Color(), s.ColorTo(), s.Steps(), r, s.Direction() == gdHorizontal, 1)) {
                HBRUSH brush = CreateSolidBrush(ColorToRGB(band.Color));
                const RECT br{band.Rect.Left, band.Rect.Top, band.Rect.Right, band.Rect.Bottom};
                FillRect(dc, &br, brush);
                DeleteObject(brush);
            }
        } else {
            HBRUSH brush = CreateSolidBrush(ColorToRGB(s.Color()));
            FillRect(dc, &client, brush);
            DeleteObject(brush);
        }
    }
    // The background under the buttons, put back over tabs that reach there.
    stripCache_.reset();
    stripCacheRect_ = RECT{-1, -1, -1, -1};
    if (ButtonsShown()) {
        const TPagerRect b = Layout().ButtonsRect();
        if (b.Width() > 0 && b.Height() > 0) {
            stripCache_ = std::make_unique<TBitmap>(b.Width(), b.Height());
            if (!stripCache_->Empty()) {
                BitBlt(stripCache_->Canvas().Handle(), 0, 0, b.Width(), b.Height(), canvas.Handle(), b.Left, b.Top,
                       SRCCOPY);
                stripCacheRect_ = RECT{b.Left, b.Top, b.Right, b.Bottom};
            } else {
                stripCache_.reset();
            }
        }
    }
    for (int i = 0; i < PageCount(); ++i) DrawTab(i);
}

void TKelOfficePager::DrawButtonsFrame() {
    const TPageButtonSettings& b = *buttonSettings_;
    if (!currentStyler_ || !(scroller_.Visible() || (b.CloseButton() && !closeOnTab_) || b.PageListButton())) return;
    const TColor border = currentStyler_->PageAppearance().BorderColor();
    if (border == clNone) return;
    const TPagerRect r = Layout().ButtonsRect();
    HDC dc = Canvas().Handle();
    if (UseGlass()) {
        TGPGraphics g(dc);
        g.SetSmoothingMode(gpSmoothingModeAntiAlias);
        TGPPen pen(ColorToOpaqueARGB(border), 1);
        DrawRoundedRectOutline(g, pen, float(r.Left), float(r.Top), float(r.Width() - 1), float(r.Height() - 1), 3);
        return;
    }
    TGdiPen pen(dc, border);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.Left, r.Top, r.Right, r.Bottom, 5, 5);
    SelectObject(dc, oldBrush);
}

void TKelOfficePager::DrawTab(int index) {
    if (index < 0 || index >= PageCount() || tabSettings_.Height() <= 0 || !currentStyler_) return;
    const RECT rr = TabRect(index);
    if (rr.left < 0 && rr.right < 0) return;
    TKelOfficePage* page = pages_[size_t(index)];
    TCustomTabAppearance& a = page->UseTabAppearance() ? page->TabAppearance() : currentStyler_->TabAppearance();
    const TGradientBackground& s = currentStyler_->TabAppearance().BackGround();
    // 1. State colours, with the fades and the glow.
    TBodyColors c{clNone, clNone, clNone, clNone, clNone, ggRadial, ggRadial};
    TColor text = clNone;
    TColor highlight = a.HighLightColor();
    bool body = true;
    const bool active = index == activeIndex_;
    const bool hot = index == hotTab_;
    // Blends that meet a colour that is not drawn take the nearer side.
    auto mix = [](TColor x, TColor y, int p) {
        if (x == clNone || y == clNone) return p >= 50 ? x : y;
        return BlendColors(x, y, p);
    };
    const bool fading = page->Fading();
    const bool hoverFade = fading && page->FadeMode() == TKelOfficePage::fmHover;
    const bool pressFade = fading && page->FadeMode() == TKelOfficePage::fmPress;
    const int lh = page->HoverLevel(), lp = page->PressLevel();
    const TColor sTo = s.ColorTo() == clNone ? s.Color() : s.ColorTo();
    // Hot colours fading towards the strip background.
    auto hotFromStrip = [&] {
        c = {mix(a.ColorHot(), s.Color(), lh),         mix(a.ColorHotTo(), sTo, lh),
             mix(a.ColorMirrorHot(), s.Color(), lh),   mix(a.ColorMirrorHotTo(), s.Color(), lh),
             mix(a.BorderColorHot(), s.Color(), lh),   a.GradientHot(),
             a.GradientMirrorHot()};
    };
    // Hot colours fading towards the normal ones.
    auto hotFromNormal = [&] {
        c = {mix(a.ColorHot(), a.Color(), lh),             mix(a.ColorHotTo(), a.ColorTo(), lh),
             mix(a.ColorMirrorHot(), a.ColorMirror(), lh), mix(a.ColorMirrorHotTo(), a.ColorMirrorTo(), lh),
             mix(a.BorderColorHot(), a.BorderColor(), lh), c.Gradient,
             c.GradientMirror};
    };
    if (!page->TabEnabled() && showNonSelectedTabs_) {
        c = {a.ColorDisabled(), a.ColorDisabledTo(), a.ColorMirrorDisabled(), a.ColorMirrorDisabledTo(),
             a.BorderColorDisabled(), a.GradientDisabled(), a.GradientMirrorDisabled()};
        text = a.TextColorDisabled();
    } else if (active) {
        c = {a.ColorSelected(), a.ColorSelectedTo(), a.ColorMirrorSelected(), a.ColorMirrorSelectedTo(),
             a.BorderColorSelected(), a.GradientSelected(), a.GradientMirrorSelected()};
        text = a.TextColorSelected();
        if (hot) c.BorderColor = a.BorderColorSelectedHot(), highlight = a.HighLightColorSelectedHot();
        if (index == downTab_) c.BorderColor = a.BorderColorDown(), highlight = a.HighLightColorDown();
        if (pressFade) {
            c.Color = mix(a.ColorSelected(), a.ColorHot(), lp);
            c.ColorTo = mix(a.ColorSelectedTo(), a.ColorHotTo(), lp);
            c.ColorMirror = mix(a.ColorMirrorSelected(), a.ColorMirrorHot(), lp);
            c.ColorMirrorTo = mix(a.ColorMirrorSelectedTo(), a.ColorMirrorHotTo(), lp);
            c.BorderColor = mix(c.BorderColor, a.BorderColorHot(), lp);
        } else if (hoverFade) {
            c.BorderColor = mix(a.BorderColorSelectedHot(), a.BorderColorSelected(), lh);
        }
    } else if (hot) {
        c = {a.ColorHot(), a.ColorHotTo(), a.ColorMirrorHot(), a.ColorMirrorHotTo(),
             a.BorderColorHot(), a.GradientHot(), a.GradientMirrorHot()};
        text = a.TextColorHot();
        highlight = a.HighLightColorHot();
        if (hoverFade) showNonSelectedTabs_ ? hotFromNormal() : hotFromStrip();
    } else if (showNonSelectedTabs_) {
        c = {a.Color(), a.ColorTo(), a.ColorMirror(), a.ColorMirrorTo(), a.BorderColor(), a.Gradient(),
             a.GradientMirror()};
        text = a.TextColor();
        if (hoverFade) hotFromNormal();
    } else {
        body = false;
        text = transparent_ ? clBlack : page->TabEnabled() ? a.TextColor() : a.TextColorDisabled();
        c.Gradient = a.GradientHot(), c.GradientMirror = a.GradientMirrorHot();
        if (hoverFade) {
            hotFromStrip();
            body = true;
        }
    }
    if (active && Focused()) {
        c = {a.ColorHot(), a.ColorHotTo(), a.ColorMirrorHot(), a.ColorMirrorHotTo(),
             a.BorderColorSelectedHot(), a.GradientHot(), a.GradientMirrorHot()};
        text = a.TextColorHot();
        highlight = a.HighLightColorSelected();
    }
    if (glow_ && GlowRunning() && page->Glow() && page->GlowColor() != clNone) {
        // A border that is not drawn has no colour to blend with.
        if (c.BorderColor != clNone)
            c.BorderColor = BlendColors(page->GlowColor(), c.BorderColor, glowLevel_);
        else if (glowLevel_ >= 50)
            c.BorderColor = page->GlowColor();
    }
    TCanvas& canvas = Canvas();
    // 2. The tab font in the text colour.
    canvas.Font().SetName(a.Font().Name());
    canvas.Font().SetSize(a.Font().Size());
    canvas.Font().SetStyle(TFontStyles(a.Font().Style()));
    canvas.Font().SetColor(text == clNone ? a.Font().Color() : text);
    if (body) {
        if (active && closeOnTab_ && buttonSettings_->CloseButton())
            DrawActiveTabThroughBitmap(index, c, highlight);
        else
            DrawTabBody(index, c, highlight, canvas, rr);
    }
    // 5. Check box.
    if (page->ShowCheckBox()) {
        RECT box = CheckBoxRect(index);
        if (box.left != -1) {
            HDC dc = canvas.Handle();
            void* theme = nullptr;  // an HTHEME of uxtheme.dll
            using OpenThemeDataProc = void*(WINAPI*)(HWND, LPCWSTR);
            using DrawThemeBackgroundProc = HRESULT(WINAPI*)(void*, HDC, int, int, const RECT*, const RECT*);
            using CloseThemeDataProc = HRESULT(WINAPI*)(void*);
            HMODULE ux = comCtl6_ ? GetModuleHandleW(L"uxtheme.dll") : nullptr;
            auto open = ux ? reinterpret_cast<OpenThemeDataProc>(
                                 reinterpret_cast<void*>(GetProcAddress(ux, "OpenThemeData")))
                           : nullptr;
            auto draw = ux ? reinterpret_cast<DrawThemeBackgroundProc>(
                                 reinterpret_cast<void*>(GetProcAddress(ux, "DrawThemeBackground")))
                           : nullptr;
            auto close = ux ? reinterpret_cast<CloseThemeDataProc>(
                                  reinterpret_cast<void*>(GetProcAddress(ux, "CloseThemeData")))
                            : nullptr;
            if (open && draw && close && HandleAllocated()) theme = open(Handle(), L"button");
            if (theme) {
                const int state = page->Checked() ? (page->Enabled() ? 5 : 8) : 0;
                draw(theme, dc, 3, state, &box, nullptr);
                close(theme);
            } else {
                UINT flags = DFCS_BUTTONCHECK;
                if (page->Checked()) flags |= DFCS_CHECKED;
                if (page->Checked() && !page->Enabled()) flags |= DFCS_INACTIVE;
                DrawFrameControl(dc, &box, DFC_BUTTON, flags);
            }
        }
    }
    // 6-9. Caption and images, or the owner's drawing.
    if (OnDrawTab)
        OnDrawTab(this, index, rr);
    else
        DrawTabContent(index);
    // 10. The button area's background over a tab that reaches under it.
    if (stripCache_ && ButtonsShown()) {
        RECT overlap{};
        if (IntersectRect(&overlap, &rr, &stripCacheRect_))
            BitBlt(canvas.Handle(), overlap.left, overlap.top, overlap.right - overlap.left,
                   overlap.bottom - overlap.top, stripCache_->Canvas().Handle(), overlap.left - stripCacheRect_.left,
                   overlap.top - stripCacheRect_.top, SRCCOPY);
    }
    // 11. The active tab lies over its neighbours.
    if (index != activeIndex_ && TabNeighbourSide(index) != 0) DrawTab(activeIndex_);
}

void TKelOfficePager::DrawActiveTabThroughBitmap(int index, const TBodyColors& c, TColor highlight) {
    const RECT rr = TabRect(index);
    const int w = rr.right - rr.left, h = rr.bottom - rr.top;
    TBitmap bmp(w, h);
    if (bmp.Empty()) return;
    TCanvas& canvas = Canvas();
    HDC dc = canvas.Handle();
    const bool rectangular = Layout().IsRectangularTab();
    // A shaped tab goes on a fill that becomes transparent; a border that is
    // not drawn gives no fill colour, so magenta stands in.
    const TColor key = c.BorderColor == clNone ? TColor(0xFF00FF) : BlendColors(c.BorderColor, clWhite, 50);
    if (rectangular) {
        // The corners of a rectangular tab come from what lies beneath.
        BitBlt(bmp.Canvas().Handle(), 0, 0, w, h, dc, rr.left, rr.top, SRCCOPY);
    } else {
        HBRUSH brush = CreateSolidBrush(ColorToRGB(key));
        const RECT all{0, 0, w, h};
        FillRect(bmp.Canvas().Handle(), &all, brush);
        DeleteObject(brush);
    }
    DrawTabBody(index, c, highlight, bmp.Canvas(), RECT{0, 0, w, h}, !rectangular);
    GdiFlush();
    if (UseGlass()) {
        TGDIPPicture picture;
        picture.Assign(bmp);
        const bool keyed = tabSettings_.Shape() != tsRectangle || tabSettings_.Rounding() > 3;
        DrawGraphicGP(nullptr, &canvas, POINT{rr.left, rr.top}, keyed, picture);
    } else if (!rectangular) {
        TransparentBlt(dc, rr.left, rr.top, w, h, bmp.Canvas().Handle(), 0, 0, w, h, ColorToRGB(key));
    } else {
        BitBlt(dc, rr.left, rr.top, w, h, bmp.Canvas().Handle(), 0, 0, SRCCOPY);
    }
}

void TKelOfficePager::DrawTabBody(int index, const TBodyColors& c, TColor highlight, TCanvas& canvas,
                                  const RECT& rr, bool throughBitmap) {
    TKelOfficePage* page = pages_[size_t(index)];
    TCustomTabAppearance& a = page->UseTabAppearance() ? page->TabAppearance() : currentStyler_->TabAppearance();
    const TGradientBackground& s = currentStyler_->TabAppearance().BackGround();
    const bool active = index == activeIndex_;
    // 3. Body.
    HDC dc = canvas.Handle();
    const bool side = tabPosition_ == tpLeft || tabPosition_ == tpRight;
    const bool unrotatedSide = side && !rotateTabLeftRight_;
    const TPagerLayout layout = Layout();
    const bool rectangular = layout.IsRectangularTab();
    const TKelTabShape shape = unrotatedSide ? tsRectangle : tabSettings_.Shape();
    const TTabPosition pos = unrotatedSide ? tpTop : tabPosition_;
    const int L = rr.left, T = rr.top, Rt = rr.right, Bm = rr.bottom;
    struct Sample {
        int x, y;
    };
    Sample p1{L, T}, p2{Rt - 1, T};
    switch (tabPosition_) {
        case tpTop: break;
        case tpBottom: p1 = {L, Bm - 2}, p2 = {Rt - 1, Bm - 1}; break;
        case tpLeft: p1 = {L, T}, p2 = {L, Bm - 1}; break;
        case tpRight: p1 = {Rt, T}, p2 = {Rt, Bm - 1}; break;
    }
    const COLORREF c1 = GetPixel(dc, p1.x, p1.y), c2 = GetPixel(dc, p2.x, p2.y);
    const COLORREF c3 = GetPixel(dc, Rt - 1, T), c4 = GetPixel(dc, Rt - 1, Bm - 1);
    const TTabProgress* progress = &page->Progress();
    if (rectangular) {
        DrawVistaTabBody(canvas, rr, c, pos, true, !unrotatedSide, progress);
    } else {
        RECT shrunk = rr;
        switch (tabPosition_) {
            case tpTop: shrunk.bottom -= 3; break;
            case tpBottom: shrunk.top += 2; break;
            case tpLeft: shrunk.right -= 3; break;
            case tpRight: shrunk.left += 2; break;
        }
        if (throughBitmap) {
            // One pixel more stays on the transparent fill.
            switch (tabPosition_) {
                case tpTop: shrunk.right -= 1; break;
                case tpBottom: shrunk.right -= 1, shrunk.bottom -= 1; break;
                case tpLeft: shrunk.bottom -= 1; break;
                case tpRight: shrunk.right -= 1, shrunk.bottom -= 2; break;
            }
        }
        FillShapedTab(canvas, shrunk, c, shape, tabSettings_.Rounding(), rotateTabLeftRight_, tabPosition_, progress);
        return;
    }
    // 4. Lines of rectangular tabs.
    auto put = [&](COLORREF col, std::initializer_list<Sample> at) {
        for (const Sample& s2 : at) SetPixel(dc, s2.x, s2.y, col);
    };
    const bool showProgress = progress->Visible();
    const TColor light = BlendColors(clWhite, c.Color, 50);
    const bool shadow = a.ShadowColor() != clNone && !UseGlass();
    const bool lines = highlight != clNone && !(!active && showProgress && showNonSelectedTabs_);
    const TColor shadow2 = BlendColors(a.ShadowColor(), s.Color(), 40);
    const TColor first = BlendColors(c.Color, c.BorderColor, 80);
    switch (tabPosition_) {
        case tpTop:
            put(c1, {{L, T}, {L + 1, T}, {L, T + 1}});
            put(c2, {{Rt - 1, T}, {Rt - 2, T}, {Rt - 1, T + 1}});
            if (!showProgress) {
                TGdiPen pen(dc, light);
                Line(dc, L + 3, T + 3, Rt - 3, T + 3);
            }
            if (shadow) {
                { TGdiPen pen(dc, a.ShadowColor()); Line(dc, Rt, T + 3, Rt, Bm - 4); }
                { TGdiPen pen(dc, shadow2); Line(dc, Rt + 1, T + 4, Rt + 1, Bm - 4); }
            }
            if (lines) {
                { TGdiPen pen(dc, first); Line(dc, L + 3, T + 1, Rt - 3, T + 1); }
                TGdiPen pen(dc, highlight);
                Line(dc, L + 1, T + 3, L + 1, Bm - 5), Line(dc, Rt - 2, T + 3, Rt - 2, Bm - 5);
            }
            break;
        case tpBottom:
            put(c1, {{L, Bm - 2}, {L + 1, Bm - 1}, {L, Bm - 1}});
            put(c2, {{Rt - 1, Bm - 1}, {Rt - 2, Bm - 1}, {Rt - 1, Bm - 2}});
            if (!showProgress) {
                TGdiPen pen(dc, light);
                Line(dc, L + 3, Bm - 3, Rt - 3, Bm - 3);
            }
            if (shadow) {
                { TGdiPen pen(dc, a.ShadowColor()); Line(dc, Rt, T + 4, Rt, Bm - 2); }
                { TGdiPen pen(dc, shadow2); Line(dc, Rt + 1, T + 4, Rt + 1, Bm - 3); }
            }
            if (lines) {
                { TGdiPen pen(dc, first); Line(dc, L + 3, Bm - 2, Rt - 3, Bm - 2); }
                TGdiPen pen(dc, highlight);
                Line(dc, L + 1, Bm - 3, L + 1, T + 5), Line(dc, Rt - 2, Bm - 3, Rt - 2, T + 5);
            }
            break;
        case tpLeft:
            put(c1, {{L, T}, {L + 1, T}, {L, T + 1}});
            put(c2, {{L, Bm - 1}, {L + 1, Bm - 1}, {L, Bm - 2}});
            if (!showProgress) {
                TGdiPen pen(dc, light);
                if (rotateTabLeftRight_)
                    Line(dc, L + 3, T + 3, L + 3, Bm - 3);
                else
                    Line(dc, L + 3, T + 3, Rt - 5, T + 3);
            }
            if (shadow) {
                const int y1 = rotateTabLeftRight_ ? T - 1 : Bm, y2 = rotateTabLeftRight_ ? T - 2 : Bm + 1;
                { TGdiPen pen(dc, a.ShadowColor()); Line(dc, L + 3, y1, Rt, y1); }
                { TGdiPen pen(dc, shadow2); Line(dc, L + 4, y2, Rt, y2); }
            }
            if (lines) {
                { TGdiPen pen(dc, first); Line(dc, L + 1, T + 3, L + 1, Bm - 3); }
                TGdiPen pen(dc, highlight);
                Line(dc, L + 3, T + 1, Rt - 5, T + 1), Line(dc, L + 3, Bm - 2, Rt - 5, Bm - 2);
            }
            break;
        case tpRight:
            put(c1, {{Rt, T}, {Rt - 1, T}, {Rt, T + 1}});
            put(c2, {{Rt, Bm - 1}, {Rt - 1, Bm - 1}, {Rt, Bm - 2}});
            put(c3, {{Rt - 1, T}});
            put(c4, {{Rt - 1, Bm - 1}});
            if (!showProgress) {
                TGdiPen pen(dc, light);
                if (rotateTabLeftRight_)
                    Line(dc, Rt - 3, T + 3, Rt - 3, Bm - 3);
                else
                    Line(dc, L + 5, T + 3, Rt - 3, T + 3);
            }
            if (shadow) {
                { TGdiPen pen(dc, a.ShadowColor()); Line(dc, L + 3, Bm, Rt - 3, Bm); }
                { TGdiPen pen(dc, shadow2); Line(dc, L + 4, Bm + 1, Rt - 4, Bm + 1); }
            }
            if (lines) {
                { TGdiPen pen(dc, first); Line(dc, Rt - 2, T + 3, Rt - 2, Bm - 3); }
                TGdiPen pen(dc, highlight);
                Line(dc, L + 5, T + 1, Rt - 3, T + 1), Line(dc, L + 5, Bm - 2, Rt - 3, Bm - 2);
            }
            break;
    }
}

}  // namespace kel::pager
