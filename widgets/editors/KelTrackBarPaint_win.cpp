// Painting of the trackbar: background, label, slider bar with its
// completed part, tick marks, thumb, auto-repeat buttons, rate pictures and
// focus rectangle, with the gradient, bevel and glossy-fill helpers.
#include <algorithm>

#include "widgets/drawing/KelGDIP.h"
#include "widgets/editors/KelTrackBar.h"
#include "widgets/editors/KelTrackBarPainter.h"

namespace kel::trackbar {

namespace {

constexpr fw::TColor kHighlight = 0xFFFFFF;

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

void Line(fw::TCanvas& c, fw::TColor color, int x1, int y1, int x2, int y2) {
    c.Pen().SetColor(color);
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

void DrawPicture(fw::TCanvas& c, TGDIPPicture& p, int x, int y) {
    p.UpdateImageSize();
    p.SetTransparent(true);
    p.Draw(c, RECT{x, y, x + p.Width(), y + p.Height()});
}

void StretchPicture(fw::TCanvas& c, TGDIPPicture& p, const TRect& r) {
    p.UpdateImageSize();
    if (p.Width() <= 0 || p.Height() <= 0) return;
    fw::TBitmap bmp(p.Width(), p.Height());
    p.SetTransparent(true);
    p.Draw(bmp.Canvas(), RECT{0, 0, p.Width(), p.Height()});
    c.StretchDraw(ToRECT(r), bmp);
}

}  // namespace

void DrawTrackGradientBands(fw::TCanvas& canvas, fw::TColor from, fw::TColor to, bool horizontal, const TRect& r,
                            int steps) {
    for (const TGradientBand& band : SteppedGradientBands(from, to, steps, r, horizontal, 1)) {
        canvas.Pen().SetColor(band.Color);
        canvas.Brush().SetColor(band.Color);
        canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
        canvas.Rectangle(band.Rect.Left, band.Rect.Top, band.Rect.Right, band.Rect.Bottom);
    }
}

void DrawTrackGradient(fw::TCanvas& canvas, fw::TColor c1, fw::TColor c2, TGradientDirection direction,
                       const TRect& r, int steps) {
    // clNone has no colour to blend toward: the other end fills alone, and
    // a missing first colour fills nothing.
    if (c1 == fw::clNone) return;
    if (c2 == fw::clNone) c2 = c1;
    switch (direction) {
        case gdHorizontal: DrawTrackGradientBands(canvas, c1, c2, true, r, steps); break;
        case gdVertical: DrawTrackGradientBands(canvas, c1, c2, false, r, steps); break;
        case gdHorizontalInOut: {
            const int m = r.Left + (r.Right - r.Left) / 2;
            DrawTrackGradientBands(canvas, c1, c2, true, {r.Left, r.Top, m, r.Bottom}, steps);
            DrawTrackGradientBands(canvas, c2, c1, true, {m - 1, r.Top, r.Right, r.Bottom}, steps);
            break;
        }
        case gdVerticalInOut: {
            const int m = r.Top + (r.Bottom - r.Top) / 2;
            DrawTrackGradientBands(canvas, c1, c2, false, {r.Left, r.Top, r.Right, m}, steps);
            DrawTrackGradientBands(canvas, c2, c1, false, {r.Left, m - 1, r.Right, r.Bottom}, steps);
            break;
        }
    }
}

void DrawBevelFrame(fw::TCanvas& c, const TRect& r, bool flag, fw::TColor c1, fw::TColor c2) {
    c.Pen().SetColor(flag ? c2 : c1);
    if (r.Bottom - r.Top > 2) {
        c.MoveTo(r.Left, r.Top);
        c.LineTo(r.Left, r.Bottom);
    }
    c.MoveTo(r.Left, r.Top);
    c.LineTo(r.Right, r.Top);
    c.MoveTo(r.Right - 2, r.Top);
    c.LineTo(r.Right - 2, r.Bottom - 2);
    c.LineTo(r.Left, r.Bottom - 2);
    c.Pen().SetColor(flag ? c1 : c2);
    c.MoveTo(r.Left + 1, r.Bottom - 1);
    c.LineTo(r.Right - 1, r.Bottom - 1);
    c.LineTo(r.Right - 1, r.Top - 1);
    c.MoveTo(r.Left + 1, r.Bottom - 1);
    c.LineTo(r.Left + 1, r.Top + 1);
    c.LineTo(r.Right - 2, r.Top + 1);
}

std::unique_ptr<TGPGraphicsPath> BuildRoundRectPath(int x, int y, int w, int h, int r) {
    auto path = std::make_unique<TGPGraphicsPath>();
    const float X = float(x), Y = float(y), W = float(w), H = float(h), R = float(r), D = 2.0f * float(r);
    path->AddArc(X, Y, D, D, 180, 90);
    path->AddLine(X + R, Y, X + W - R, Y);
    path->AddArc(X + W - D, Y, D, D, 270, 90);
    path->AddLine(X + W, Y + R, X + W, Y + H - R);
    path->AddArc(X + W - D, Y + H - D, D, D, 0, 90);
    path->AddLine(X + W - R, Y + H, X + R, Y + H);
    path->AddArc(X, Y + H - D, D, D, 90, 90);
    path->AddLine(X, Y + H - R, X, Y + R);
    path->CloseFigure();
    return path;
}

void DrawRoundRectPath(TGPGraphics* g, int x, int y, int w, int h, int r, fw::TColor color) {
    if (!g || color == fw::clNone) return;
    const auto path = BuildRoundRectPath(x, y, w, h, r);
    const TGPPen pen(ColorToOpaqueARGB(color), 1.0f);
    g->DrawPath(&pen, path.get());
}

void FillGlossHalf(TGPGraphics& g, const TRect& r, fw::TColor c1, fw::TColor c2, TGDIPGradient kind, bool upper) {
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const TARGB a1 = ColorToOpaqueARGB(c1), a2 = ColorToOpaqueARGB(c2);
    const TGPFloatRect box{float(r.Left), float(r.Top), float(w), float(h)};
    if (kind == ggRadial) {
        g.FillRectangleF(TGPSolidBrush(upper ? a1 : a2), box);
        TGPGraphicsPath path;
        if (upper)
            path.AddEllipse(float(r.Left), float(r.Top - h / 2 + 2), float(w), float(h));
        else
            path.AddEllipse(float(r.Left), float(r.Top), float(w), float(h));
        TGPPathGradientBrush brush(path);
        brush.SetCenterPointI(TGPIntPoint{r.Left + w / 2, upper ? r.Top : r.Bottom});
        brush.SetCenterColor(upper ? a2 : a1);
        TARGB surround = upper ? a1 : a2;
        int count = 1;
        brush.SetSurroundColors(&surround, count);
        g.FillRectangleF(brush, box);
        return;
    }
    const int mode = kind == ggVertical ? 1 : kind == ggDiagonalForward ? 2 : 3;
    g.FillRectangleF(TGPLinearGradientBrush(box, a1, a2, mode), box);
}

void DrawGlossBorder(TGPGraphics& g, const TRect& r, int shape, fw::TColor outer, fw::TColor inner, bool vertical) {
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (outer != fw::clNone) {
        if (shape == 0 && !vertical)
            DrawRoundRectPath(&g, r.Left, r.Top + (h - w) / 2, w, h, w / 2, outer);
        else if (shape == 0)
            DrawRoundRectPath(&g, r.Left + (w - h) / 2, r.Top, w, h, h / 2, outer);
        else
            DrawRoundRectPath(&g, r.Left, r.Top, w, h, 0, outer);
    }
    if (inner != fw::clNone) {
        if (shape == 0 && !vertical)
            DrawRoundRectPath(&g, r.Left + 1, r.Top + (h - w) / 2 + 1, w - 2, h - 2, (w - 2) / 2, inner);
        else if (shape == 0)
            DrawRoundRectPath(&g, r.Left + (w - h) / 2 + 1, r.Top + 1, w - 2, h - 2, (h - 2) / 2, inner);
        else
            DrawRoundRectPath(&g, r.Left, r.Top, w, h, 0, inner);
    }
}

void DrawGlossShape(TGPGraphics& g, const TRect& r, int shape, fw::TColor outer, fw::TColor inner,
                    const TGlossColors& c, TGDIPGradient gradient, TGDIPGradient gradientMirror, bool vertical) {
    g.SetSmoothingMode(4);
    const int h = (r.Bottom - r.Top) / 2;
    if (c.Color != fw::clNone && c.ColorTo != fw::clNone && c.ColorMirror != fw::clNone &&
        c.ColorMirrorTo != fw::clNone) {
        FillGlossHalf(g, {r.Left, r.Top + h - 1, r.Right, r.Bottom}, c.ColorMirrorTo, c.ColorMirror, gradientMirror,
                      false);
        FillGlossHalf(g, {r.Left, r.Top, r.Right, r.Bottom - h + 1}, c.Color, c.ColorTo, gradient, true);
    }
    DrawGlossBorder(g, r, shape, outer, inner, vertical);
}

void TCustomTrackBar::Paint() {
    fw::TCanvas& c = Canvas();
    // Transparency: the framework's erase draws the parent beneath us
    // (ParentBackground) before this hook runs.
    DrawBackground();
    if (RateMode()) {
        DrawRates();
        return;
    }
    DrawTrackLabel();
    DrawSlider();
    DrawTickMarks();
    PaintThumb(GetThumbRect(), position_, thumbDown_, thumbHot_);
    DrawButtons();
    if (Focused() && showFocus_) {
        HDC dc = c.Handle();
        LOGBRUSH lb{BS_SOLID, 0, 0};
        fw::GdiObject<HPEN> pen(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr));
        fw::SelectGuard sel(dc, pen.get());
        const int r = width_ - 1, b = height_ - 1;
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, r, 0);
        LineTo(dc, r, b);
        LineTo(dc, 0, b);
        LineTo(dc, 0, 0);
    }
}

void TCustomTrackBar::DrawBackground() {
    fw::TCanvas& c = Canvas();
    const bool on = Enabled();
    TGDIPPicture& pic = on || backgroundDisabled_->Empty() ? *background_ : *backgroundDisabled_;
    const fw::TColor border = on ? borderColor_ : borderColorDisabled_;
    const fw::TColor c1 = on ? color_ : colorDisabled_;
    const fw::TColor c2 = on ? colorTo_ : colorDisabledTo_;
    const TRect r{0, 0, width_, height_};
    if (!pic.Empty()) {
        if (backgroundStretched_)
            StretchPicture(c, pic, r);
        else
            DrawPicture(c, pic, 0, 0);
    } else if (!transparent_ && c1 != fw::clNone) {
        if (c2 == fw::clNone) {
            c.Brush().SetStyle(fw::TBrushStyle::bsSolid);
            c.Brush().SetColor(c1);
            c.FillRect(ToRECT(r));
        } else {
            DrawTrackGradient(c, c1, c2, direction_, r, 80);
        }
    }
    if (border != fw::clNone && FrameWidth > 0) {
        c.Brush().SetStyle(fw::TBrushStyle::bsClear);
        c.Pen().SetColor(border);
        c.Pen().SetWidth(FrameWidth);
        c.Rectangle(0, 0, width_, height_);
        c.Pen().SetWidth(1);
    }
}

void TCustomTrackBar::DrawTrackLabel() {
    if (!label_->Visible()) return;
    fw::TCanvas& c = Canvas();
    std::wstring text;
    GetTrackLabelText(text);
    c.Font().Assign(label_->Font());
    c.Brush().SetStyle(fw::TBrushStyle::bsClear);
    const TTrackBarLayout lay = Layout();
    const TLabelPosition pos = label_->Position();
    if (orientation_ == trHorizontal) {
        RECT r = ToRECT(lay.Label(false));
        UINT flags = DT_SINGLELINE;
        if (pos == lpTopCenter || pos == lpBottomCenter) flags |= DT_CENTER;
        if (pos == lpTopRight || pos == lpBottomRight) flags |= DT_RIGHT;
        flags |= pos <= lpTopRight ? DT_VCENTER : DT_BOTTOM;
        HDC dc = c.Handle();
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, fw::ToColorRef(label_->Font().Color()));
        fw::SelectGuard font(dc, c.Font().Handle());
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
        return;
    }
    fw::TFont rotated;
    rotated.Assign(label_->Font());
    rotated.SetOrientation(900);
    c.Font().Assign(rotated);
    const TRect r = lay.Label(true);
    c.TextOut(r.Left + 3, r.Top, text);
}

void TCustomTrackBar::DrawSlider() {
    if (RateMode() || slider_->Size() <= 0 || !slider_->Visible()) return;
    fw::TCanvas& c = Canvas();
    const bool on = Enabled();
    TTrackBarSlider& s = *slider_;
    TGDIPPicture& pic = on || s.PictureDisabled().Empty() ? s.Picture() : s.PictureDisabled();
    TGDIPPicture& done = on ? s.PictureCompleted() : s.PictureCompletedDisabled();
    const fw::TColor border = on ? s.BorderColor() : s.BorderColorDisabled();
    const fw::TColor c1 = on ? s.Color() : s.ColorDisabled();
    const fw::TColor c2 = on ? s.ColorTo() : s.ColorDisabledTo();
    const fw::TColor d1 = on ? s.ColorCompleted() : s.ColorCompletedDisabled();
    const fw::TColor d2 = on ? s.ColorCompletedTo() : s.ColorCompletedDisabledTo();
    const TTrackBarLayout lay = Layout();
    const TRect S = lay.Slider();
    const bool showDone = d1 != fw::clNone || !done.Empty();
    const TSliderParts parts = lay.SliderParts(showDone, lay.Thumb());
    auto fill = [&](const TRect& r, fw::TColor a, fw::TColor b) {
        if (IsNone(r) || a == fw::clNone) return;
        if (b != fw::clNone) {
            DrawTrackGradient(c, a, b, s.Direction(), r, s.Steps());
        } else {
            c.Brush().SetStyle(fw::TBrushStyle::bsSolid);
            c.Brush().SetColor(a);
            c.FillRect(ToRECT(r));
        }
    };
    auto picture = [&](TGDIPPicture& p, const TRect& r) {
        if (IsNone(r) || p.Empty()) return;
        if (s.PictureStretched()) {
            StretchPicture(c, p, r);
        } else if (r.Left > 0 && r.Right > 0) {
            fw::GdiObject<HRGN> clip(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
            CanvasClip guard(c.Handle(), clip.get());
            DrawPicture(c, p, S.Left, S.Top);
        }
    };
    {
        fw::GdiObject<HRGN> round(s.Rounded() && pic.Empty()
                                      ? CreateRoundRectRgn(S.Left, S.Top, S.Right, S.Bottom, 7, 7)
                                      : nullptr);
        CanvasClip guard(c.Handle(), round.get());
        if (pic.Empty()) {
            if (showDone) fill(parts.Completed, d1, d2);
            fill(parts.Rest, c1, c2);
        } else {
            if (showDone) picture(done, parts.Completed);
            picture(pic, parts.Rest);
        }
    }
    if (border == fw::clNone) return;
    c.Brush().SetStyle(fw::TBrushStyle::bsClear);
    if (s.Rounded()) {
        c.Pen().SetColor(border);
        c.RoundRect(S.Left, S.Top, S.Right, S.Bottom, 7, 7);
        if (s.Border3D()) {
            c.Pen().SetColor(kHighlight);
            c.RoundRect(S.Left + 1, S.Top + 1, S.Right - 1, S.Bottom - 1, 7, 7);
        }
    } else if (s.Border3D()) {
        DrawBevelFrame(c, S, true, border, BlendColors(border, kHighlight, 10));
    } else {
        c.Pen().SetColor(border);
        c.Rectangle(ToRECT(S));
    }
}

void TCustomTrackBar::DrawTickMarks() {
    TTrackBarTick& t = *tick_;
    if (RateMode() || t.Size() <= 0 || t.Style() != tsAuto) return;
    fw::TCanvas& c = Canvas();
    const TTrackBarLayout lay = Layout();
    const bool vertical = orientation_ == trVertical;
    TRect tl = lay.TopLeftTicks(), br = lay.BottomRightTicks();
    if (t.ShowText()) {
        if (vertical) {
            if (!IsNone(tl)) tl.Left += tickTextHeight_;
            if (!IsNone(br)) br.Right -= tickTextHeight_;
        } else {
            if (!IsNone(tl)) tl.Top += tickTextHeight_;
            if (!IsNone(br)) br.Bottom -= tickTextHeight_;
        }
    }
    const fw::TColor tickColor = Enabled() ? t.Color() : t.ColorDisabled();
    for (const TTickPlacement& tick : lay.TickMarks(static_cast<bool>(OnDrawTick))) {
        const int i = static_cast<int>(tick.Value);
        const int d = tick.Offset;
        for (const bool first : {true, false}) {
            if (first && (t.Position() == tmBottomRight || IsNone(tl))) continue;
            if (!first && (t.Position() == tmTopLeft || IsNone(br))) continue;
            const TRect& band = first ? tl : br;
            bool defaultDraw = true;
            int length = t.Size();
            std::wstring text;
            fw::TColor color = tickColor;
            fw::TColor textColor = t.Font().Color();
            if (t.ShowText()) {
                text = std::to_wstring(i);
                if (OnGetTickMarkText) OnGetTickMarkText(this, i, text);
            }
            if (OnDrawTick) {
                POINT at = vertical ? (first ? POINT{tl.Left, tl.Bottom - d} : POINT{br.Right - length, br.Bottom - d})
                                    : (first ? POINT{tl.Left + d, tl.Top} : POINT{br.Left + d, br.Top});
                OnDrawTick(this, c, at, i, first ? tmTopLeft : tmBottomRight, length, color, textColor, text,
                           defaultDraw);
            }
            c.Pen().SetColor(color);
            if (t.ShowImageAtThumbOnly() && i != position_) defaultDraw = false;
            if (t.ShowImageAtSteps() > 1 && i % t.ShowImageAtSteps() != 0) defaultDraw = false;
            if (!defaultDraw) continue;
            const int x = band.Left + d;
            const int y = band.Bottom - d;
            if (tickImages_) {
                if (tickImages_->Count() > 0) {
                    const int index = i < tickImages_->Count() && i >= 0 ? i : 0;
                    if (vertical)
                        tickImages_->Draw(c, first ? tl.Left : br.Right - length, y - tickImages_->Height() / 2,
                                          index, Enabled());
                    else
                        tickImages_->Draw(c, x - tickImages_->Width() / 2, band.Top, index, Enabled());
                }
            } else if (color != fw::clNone) {
                if (vertical) {
                    const int x1 = first ? tl.Left : br.Right - length;
                    Line(c, color, x1, y, x1 + length, y);
                    if (t.Line3D()) Line(c, BlendColors(color, kHighlight, 10), x1, y - 1, x1 + length, y - 1);
                } else {
                    const int y1 = first ? tl.Top : br.Bottom - length;
                    Line(c, color, x, y1, x, y1 + length);
                    if (t.Line3D()) Line(c, BlendColors(color, kHighlight, 10), x + 1, y1, x + 1, y1 + length);
                }
            }
            if (!t.ShowText()) continue;
            c.Font().Assign(t.Font());
            c.Font().SetColor(textColor);
            const SIZE ext = c.TextExtent(text);
            c.Brush().SetStyle(fw::TBrushStyle::bsClear);
            if (!vertical) {
                c.TextOut(x - ext.cx / 2,
                          first ? tl.Top - tickTextHeight_ + TickTextMargin : br.Bottom + TickTextMargin, text);
            } else if (t.RotateFontVert()) {
                c.Font().SetOrientation(first ? 900 : 2700);
                if (first)
                    c.TextOut(tl.Left - tickTextHeight_ + TickTextMargin, y + ext.cx / 2, text);
                else
                    c.TextOut(br.Right + tickTextHeight_, y - ext.cx / 2, text);
            } else if (first) {
                c.TextOut(tl.Left - ext.cx - TickTextMargin, y - tickTextHeight_ / 2, text);
            } else {
                c.TextOut(br.Left + t.Size() + TickTextMargin, y - tickTextHeight_ / 2, text);
            }
        }
    }
}

void TCustomTrackBar::DrawButtons() {
    if (RateMode() || !buttons_->Visible()) return;
    DrawButton(false);
    DrawButton(true);
}

void TCustomTrackBar::DrawButton(bool maxButton) {
    fw::TCanvas& c = Canvas();
    TTrackBarButtons& b = *buttons_;
    const TTrackBarLayout lay = Layout();
    const TRect R = maxButton ? lay.MaxButton() : lay.MinButton();
    const bool pressed = maxButton ? maxPressed_ : minPressed_;
    const bool hot = maxButton ? maxHot_ : minHot_;
    const TGlossColors& colors = pressed ? b.Down() : hot ? b.Hot() : b.Normal();
    TGDIPPicture& pic = maxButton ? (pressed ? b.MaxPictureDown() : hot ? b.MaxPictureHot() : b.MaxPicture())
                                  : (pressed ? b.MinPictureDown() : hot ? b.MinPictureHot() : b.MinPicture());
    const bool vertical = orientation_ == trVertical;
    if (!pic.Empty()) {
        pic.UpdateImageSize();
        if (!vertical) {
            fw::GdiObject<HRGN> clip(CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom));
            CanvasClip guard(c.Handle(), clip.get());
            DrawPicture(c, pic, R.Left, R.Top);
        } else if (maxButton) {
            DrawPicture(c, pic, R.Left, b.Size() < pic.Height() ? R.Bottom - pic.Width() : R.Top);
        } else {
            DrawPicture(c, pic, R.Left, R.Top);
        }
        return;
    }
    const int n = b.Size();
    const fw::TColor outer = colors.BorderColor == fw::clNone ? fw::clNone : BlendColors(colors.BorderColor, kHighlight, 30);
    TRect D = R;
    {
        TGPGraphics g(c.Handle());
        if (b.Shape() == bsRound) {
            if (vertical)
                D = {R.Left + (R.Right - R.Left - n) / 2, R.Top, 0, 0};
            else
                D = {R.Left, R.Top + (R.Bottom - R.Top - n) / 2, 0, 0};
            D.Right = D.Left + n;
            D.Bottom = D.Top + n;
            const auto path = BuildRoundRectPath(D.Left, D.Top, n, n, n / 2);
            const TGPRegion region(*path);
            g.SetClipRegion(region, 0);
            DrawGlossShape(g, D, 0, outer, colors.BorderColor, colors, b.Gradient(), b.GradientMirror(), vertical);
            g.ResetClip();
        } else {
            DrawGlossShape(g, R, 1, outer, colors.BorderColor, colors, b.Gradient(), b.GradientMirror(), vertical);
        }
    }
    const auto glyph = maxButton ? PlusGlyph(D, n) : MinusGlyph(D, n, vertical && b.RotateText());
    DrawStrokes(c, glyph, colors.Color, colors.BorderColor);
}

void TCustomTrackBar::DrawRates() {
    // Only values with a cell: a huge range must not loop on.
    const SIZE cell = RateCellSize();
    const int last = Layout().LastRateValue(cell.cx, cell.cy);
    for (int64_t v = int64_t(min_) + 1; v <= last; ++v) DrawRateCell(static_cast<int>(v));
}

void TCustomTrackBar::DrawRateCell(int value) {
    if (!RateMode() || value <= min_ || !HandleAllocated()) return;
    const SIZE cell = RateCellSize();
    const TRect r = Layout().RateCell(value, cell.cx, cell.cy);
    if (IsNone(r) || r.Left <= 0 || r.Bottom <= 0) return;
    TGDIPPicture& pic = value <= position_ ? *rateActive_ : *rateInActive_;
    if (pic.Empty()) return;
    // Outside a paint cycle the canvas has no handle: draw on the window.
    if (Canvas().HandleAllocated()) {
        DrawPicture(Canvas(), pic, r.Left, r.Top);
        return;
    }
    HDC dc = GetDC(handle_);
    {
        fw::CanvasPaintScope scope(Canvas(), dc, *font_);
        DrawPicture(Canvas(), pic, r.Left, r.Top);
    }
    ReleaseDC(handle_, dc);
}

void TCustomTrackBar::PaintThumb(const TRect& R, int value, bool down, bool hot) {
    TTrackBarThumb& t = *thumb_;
    if (RateMode() || t.Size() < 1) return;
    if (!t.ShowAtMinMax() && (value == min_ || value == max_)) return;
    fw::TCanvas& c = Canvas();
    TThumbPaint p;
    p.Colors = t.Normal();
    TGDIPPicture* pic = &t.Picture();
    if (down) {
        p.Colors = t.Down();
        if (!t.PictureDown().Empty()) pic = &t.PictureDown();
    } else if (hot) {
        p.Colors = t.Hot();
        if (!t.PictureHot().Empty()) pic = &t.PictureHot();
    }
    if (!Enabled()) {
        p.Colors = t.Disabled();
        if (!t.PictureDisabled().Empty()) pic = &t.PictureDisabled();
    }
    if (!pic->Empty()) {
        DrawPicture(c, *pic, R.Left, R.Top);
        return;
    }
    p.Shape = t.Shape();
    p.Tick = tick_->Position();
    p.Vertical = orientation_ == trVertical;
    p.Gradient = t.Gradient();
    p.GradientMirror = t.GradientMirror();
    p.Steps = t.Steps();
    p.Size = t.Size();
    PaintThumbShape(c, R, p);
}

RECT TTrackHintWindow::CalcHintRect(int, const std::wstring& hint) {
    fw::TBitmap probe(1, 1);
    probe.Canvas().Font().Assign(Font());
    const SIZE s = probe.Canvas().TextExtent(hint);
    return RECT{0, 0, s.cx, s.cy};
}

void TTrackHintWindow::ActivateHint(RECT rect, const std::wstring& hint) {
    caption_ = hint;
    const RECT size = CalcHintRect(0, hint);
    HMONITOR mon = MonitorFromPoint(POINT{rect.left, rect.top}, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(mon, &mi);
    const TRect m{mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom};
    const TRect r = PlaceTrackHint(rect.left, rect.top, size.right, size.bottom, m);
    HWND h = Handle();
    SetWindowPos(h, HWND_TOPMOST, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateBoundsFromWindow();
    visible_ = true;
    Invalidate();
}

void TTrackHintWindow::CreateParams(fw::TCreateParams& params) {
    fw::THintWindow::CreateParams(params);
    params.style &= ~static_cast<DWORD>(WS_BORDER);
    params.winClassName = L"TTrackHintWindow";
    params.classStyle |= CS_DROPSHADOW;
}

void TTrackHintWindow::Paint() {
    fw::TCanvas& c = Canvas();
    const RECT r = ClientRect();
    c.Brush().SetStyle(fw::TBrushStyle::bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(r);
    c.Pen().SetColor(fw::cl3DLight);
    c.Polyline({{r.left, r.bottom - 2}, {r.left, r.top}, {r.right - 1, r.top}});
    c.Pen().SetColor(fw::cl3DDkShadow);
    c.Polyline({{r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1}});
    RECT t = r;
    HDC dc = c.Handle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fw::ToColorRef(Font().Color()));
    fw::SelectGuard font(dc, Font().Handle());
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &t, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

}  // namespace kel::trackbar
