// The Windows half of the fill: painting with GDI+.
#include <windows.h>

#include <algorithm>
#include <optional>

#include "widgets/drawing/GDIPFill.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel {
namespace {

constexpr int kSmoothingModeDefault = 0;

// Resets the clip when a clipped step ends, also when a picture throws.
class ClipScope {
public:
    ClipScope(TGPGraphics& graphics, const TGPRegion& region) : graphics_(graphics) {
        graphics_.SetClipRegion(region, gpCombineModeReplace);
    }
    ~ClipScope() { graphics_.ResetClip(); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    TGPGraphics& graphics_;
};

// Sets a smoothing mode for one step and puts the caller's back.
class SmoothingScope {
public:
    SmoothingScope(TGPGraphics& graphics, int mode) : graphics_(graphics), previous_(graphics.GetSmoothingMode()) {
        graphics_.SetSmoothingMode(mode);
    }
    ~SmoothingScope() {
        if (previous_ >= 0) graphics_.SetSmoothingMode(previous_);
    }
    SmoothingScope(const SmoothingScope&) = delete;
    SmoothingScope& operator=(const SmoothingScope&) = delete;

private:
    TGPGraphics& graphics_;
    int previous_;
};

void AppendSegments(TGPGraphicsPath& path, const std::vector<TOutlineSegment>& segments) {
    for (const TOutlineSegment& s : segments) {
        if (s.Arc)
            path.AddArc(s.X1, s.Y1, s.X2, s.Y2, s.Start, s.Sweep);
        else
            path.AddLine(s.X1, s.Y1, s.X2, s.Y2);
    }
}

RECT ToRect(const TIntRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// What one part of the body is painted with.
struct TShapeFill {
    TKelGradientType Kind = gtNone;
    TARGB From = 0;
    TARGB To = 0;
    int Hatch = 0;
    float Angle = 0;
    bool Mirror = false;
    const TKelGDIPPicture* Texture = nullptr;
};

int LinearGradientMode(TKelGradientType kind) {
    switch (kind) {
        case gtHorizontal:
            return gpLinearGradientModeHorizontal;
        case gtForwardDiagonal:
            return gpLinearGradientModeForwardDiagonal;
        case gtBackwardDiagonal:
            return gpLinearGradientModeBackwardDiagonal;
        default:
            return gpLinearGradientModeVertical;
    }
}

// Fills the path when there is one, else the rectangle.
void FillShape(TGPGraphics& g, const TGPFloatRect& rect, const TGPGraphicsPath* path, const TShapeFill& s) {
    auto fill = [&](const TGPBrush& brush) {
        if (path)
            g.FillPath(brush, *path);
        else
            g.FillRectangleF(brush, rect);
    };
    switch (s.Kind) {
        case gtSolid: {
            TGPSolidBrush brush(s.From);
            fill(brush);
            break;
        }
        case gtVertical:
        case gtHorizontal:
        case gtForwardDiagonal:
        case gtBackwardDiagonal: {
            TGPLinearGradientBrush brush(GrowByOne(rect), s.From, s.To, LinearGradientMode(s.Kind));
            brush.SetGammaCorrection(true);
            fill(brush);
            if (s.Mirror) {
                // Hides the seam between the two halves.
                TGPSolidBrush seam(s.From);
                g.FillRectangle(seam, rect.X, rect.Y, rect.Width, 1);
            }
            break;
        }
        case gtAngle: {
            TGPLinearGradientBrush brush(GrowByOne(rect), s.From, s.To, s.Angle, true);
            brush.SetGammaCorrection(true);
            fill(brush);
            break;
        }
        case gtHatch: {
            TGPHatchBrush brush(s.Hatch, s.From, s.To);
            fill(brush);
            break;
        }
        case gtTexture:
            if (!s.Texture) break;
            if (path)
                TextureFillPath(*s.Texture, g, *path);
            else
                TextureFillRect(*s.Texture, g, rect);
            break;
        default:  // radial parts are painted by FillRadialRounded; gtPath paints nothing
            break;
    }
}

// A radial part: a solid base in the rounded shape, then an elliptic path
// gradient clipped to it whose centre sits on the part's outer edge.
void FillRadialRounded(TGPGraphics& g, const TGPFloatRect& rect, TARGB colour1, TARGB colour2, bool upper,
                       float radius, TFillRoundingType type) {
    auto shape = CreateRoundedPath(rect, radius, type);
    TGPSolidBrush base(upper ? colour1 : colour2);
    g.FillPath(base, *shape);
    TGPRegion region(*shape);
    ClipScope clip(g, region);
    const TRadialLayout layout = RadialLayout(rect, upper);
    TGPGraphicsPath ellipse;
    ellipse.AddEllipseRect(layout.Ellipse);
    TGPPathGradientBrush brush(ellipse);
    brush.SetCenterPoint(layout.Center);
    brush.SetCenterColor(upper ? colour2 : colour1);
    TARGB surround = upper ? colour1 : colour2;
    int count = 1;
    brush.SetSurroundColors(&surround, count);
    g.FillRectangleF(brush, rect);
}

void FillTriangle(TGPGraphics& g, const TGPBrush& brush, const TGlowLayout::Triangle& t) {
    TGPGraphicsPath path;
    path.AddLine(t[0].X, t[0].Y, t[1].X, t[1].Y);
    path.AddLine(t[1].X, t[1].Y, t[2].X, t[2].Y);
    path.CloseFigure();
    g.FillPath(brush, path);
}

// A glow band: its two corner triangles, then the band, in one vertical
// gradient over the band grown by a pixel.
void FillGlowBand(TGPGraphics& g, const TGPFloatRect& band, const std::array<TGlowLayout::Triangle, 2>& corners,
                  TARGB top, TARGB bottom) {
    if (!HasArea(band)) return;
    TGPLinearGradientBrush brush(GrowByOne(band), top, bottom, gpLinearGradientModeVertical);
    for (const auto& t : corners) FillTriangle(g, brush, t);
    g.FillRectangleF(brush, band);
}

}  // namespace

std::unique_ptr<TGPGraphicsPath> CreateRoundedPath(const TGPFloatRect& rect, float radius, TFillRoundingType type) {
    auto path = std::make_unique<TGPGraphicsPath>(gpFillModeAlternate);
    AppendSegments(*path, RoundedRectOutline(rect, radius, type));
    path->CloseFigure();
    return path;
}

void AddRoundedOutline(TGPGraphicsPath& path, TFillRoundingType type, float x, float y, float w, float h, float d,
                       float r) {
    AppendSegments(path, RoundedOutlineSegments(type, x, y, w, h, d, r));
}

TGPFloatRect TGDIPFill::Fill(TGPGraphics* graphics, const TGPFloatRect& rect, uint8_t borderOpacity, uint8_t opacity,
                             uint8_t opacityTo, uint8_t opacityMirror, uint8_t opacityMirrorTo) {
    const TFillOpacities o = ResolveOpacities(borderOpacity, opacity, opacityTo, opacityMirror, opacityMirrorTo);
    TGPFloatRect r = RectAfterShadow(rect);
    const auto inset = static_cast<float>(std::max(borderWidth_, 0));
    focusRect_ = {r.X + inset, r.Y + inset, r.Width - 2 * inset, r.Height - 2 * inset};
    if (!graphics || !HasArea(rect)) return r;
    TGPGraphics& g = *graphics;
    const bool border = borderWidth_ > 0 && borderColor_ != fw::clNone;
    const TARGB borderArgb = border ? ColorToARGBAlpha(o.Border, borderColor_) : 0;

    if (rect.Width == 1 || rect.Height == 1) {
        // Too thin for a shape: at most a line in the border colour.
        if (border) {
            TGPPen pen(borderArgb, static_cast<float>(borderWidth_));
            g.DrawLine(pen, rect.X, rect.Y, rect.X + rect.Width, rect.Y + rect.Height);
        }
    } else {
        if (shadowOffset_ > 0 && shadowColor_ != fw::clNone) DrawShadow(g, rect);
        if (HasArea(r)) {
            FillBody(g, r, o);
            if (backGroundPictureMode_ == pmInsideFill) DrawBackGroundPicture(g, r, true);
            if (border) {
                auto path = CreateRoundedPath(r, static_cast<float>(rounding_), roundingType_);
                TGPPen pen(borderArgb, static_cast<float>(borderWidth_));
                g.DrawPath(&pen, path.get());
            }
        }
    }
    DrawGlow(g, r);
    if (Focus) DrawFocus(g, o.Opacity);
    if (backGroundPictureMode_ == pmOutsideFill) DrawBackGroundPicture(g, r, false);
    DrawForegroundPicture(g, r);
    return r;
}

void TGDIPFill::DrawShadow(TGPGraphics& g, const TGPFloatRect& r) {
    // Built from solid rings rather than a path gradient with preset blend
    // colours: Wine ignores those and paints the whole shadow opaque white.
    const float radius = FitRadius(roundingType_, r.Width, r.Height, static_cast<float>(rounding_));
    const std::vector<TShadowStep> steps = ShadowSteps(r);
    for (size_t i = 0; i < steps.size(); ++i) {
        TGPGraphicsPath path(gpFillModeAlternate);
        AppendSegments(path, RoundedRectOutline(ScaleAboutCenter(r, steps[i].Scale), radius * steps[i].Scale,
                                                roundingType_));
        path.CloseFigure();
        if (i + 1 < steps.size()) {
            // The next step's shape cuts the hole that makes this step a ring.
            const float inner = steps[i + 1].Scale;
            AppendSegments(path, RoundedRectOutline(ScaleAboutCenter(r, inner), radius * inner, roundingType_));
            path.CloseFigure();
        }
        TGPSolidBrush brush(ColorToARGBAlpha(steps[i].Alpha, shadowColor_));
        g.FillPath(brush, path);
    }
}

void TGDIPFill::FillBody(TGPGraphics& g, const TGPFloatRect& r, const TFillOpacities& o) {
    const auto radius = static_cast<float>(rounding_);
    const bool radialUpper = gradientType_ == gtRadial && color_ != fw::clNone;
    const TARGB upperFrom = radialUpper ? ColorToARGBAlpha(o.Opacity, color_) : 0;
    const TARGB upperTo = radialUpper ? ColorToARGBAlpha(o.OpacityTo, colorTo_ == fw::clNone ? color_ : colorTo_) : 0;
    if (!PaintsTwoParts()) {
        if (radialUpper)
            FillRadialRounded(g, r, upperFrom, upperTo, true, radius, roundingType_);
        else
            FillPart(g, r, TPart::Whole, o);
        return;
    }
    const TFillParts parts = SplitFillParts(r);
    if (radialUpper)
        FillRadialRounded(g, parts.Upper, upperFrom, upperTo, true, radius, NarrowRounding(roundingType_, false));
    else
        FillPart(g, parts.Upper, TPart::Upper, o);
    if (gradientMirrorType_ == gtRadial) {
        const fw::TColor to = colorMirrorTo_ == fw::clNone ? colorMirror_ : colorMirrorTo_;
        FillRadialRounded(g, parts.Lower, ColorToARGBAlpha(o.Mirror, colorMirror_), ColorToARGBAlpha(o.MirrorTo, to),
                          false, radius, NarrowRounding(roundingType_, true));
    } else {
        FillPart(g, parts.Lower, TPart::Lower, o);
    }
}

void TGDIPFill::FillPart(TGPGraphics& g, const TGPFloatRect& rect, TPart part, const TFillOpacities& o) {
    const bool mirror = part == TPart::Lower;
    const fw::TColor from = mirror ? colorMirror_ : color_;
    const fw::TColor to = mirror ? colorMirrorTo_ : colorTo_;
    TShapeFill s;
    s.Kind = EffectiveGradientKind(mirror ? gradientMirrorType_ : gradientType_, from, to);
    if (s.Kind == gtNone || s.Kind == gtRadial || s.Kind == gtPath) return;
    s.From = ColorToARGBAlpha(mirror ? o.Mirror : o.Opacity, from);
    if (to != fw::clNone) s.To = ColorToARGBAlpha(mirror ? o.MirrorTo : o.OpacityTo, to);
    s.Hatch = mirror ? hatchStyleMirror_ : hatchStyle_;
    s.Angle = static_cast<float>(angle_);
    s.Mirror = mirror;
    if (backGroundPicturePosition_ == ppTiled) s.Texture = &backGroundPicture_;

    if (rounding_ <= 0) {
        FillShape(g, rect, nullptr, s);
        return;
    }
    // A part of a two-part fill keeps only its own corners rounded.
    const TFillRoundingType type = part == TPart::Whole ? roundingType_ : NarrowRounding(roundingType_, mirror);
    auto path = CreateRoundedPath(rect, static_cast<float>(rounding_), type);
    SmoothingScope smoothing(g, gpSmoothingModeAntiAlias);
    FillShape(g, rect, path.get(), s);
}

void TGDIPFill::DrawGlow(TGPGraphics& g, const TGPFloatRect& r) {
    if (glow_ == gmNone) return;
    TGPRegion region(r);
    ClipScope clip(g, region);
    const TGlowLayout layout = GlowLayout(r);
    if ((glow_ == gmGradient || glow_ == gmRadialGradient) && glowGradientColor_ != fw::clNone &&
        HasArea(layout.Inner)) {
        const fw::TColor c = glowGradientColor_;
        auto outline = CreateRoundedPath(layout.Inner, static_cast<float>(rounding_), roundingType_);
        TGPPen pen(ColorToARGBAlpha(200, c), 1);
        g.DrawPath(&pen, outline.get());
        FillGlowBand(g, layout.TopBand, layout.TopCorners, ColorToARGBAlpha(175, c), ColorToARGBAlpha(0, c));
        FillGlowBand(g, layout.BottomBand, layout.BottomCorners, ColorToARGBAlpha(0, c), ColorToARGBAlpha(220, c));
    }
    if ((glow_ == gmRadial || glow_ == gmRadialGradient) && glowRadialColor_ != fw::clNone &&
        HasArea(layout.RadialEllipse)) {
        TGPGraphicsPath ellipse;
        ellipse.AddEllipseRect(layout.RadialEllipse);
        TGPPathGradientBrush brush(ellipse);
        brush.SetCenterColor(ColorToARGBAlpha(150, glowRadialColor_));
        // The glow fades out towards the fill's colour; without one, into
        // its own.
        TARGB surround = ColorToARGBAlpha(0, color_ == fw::clNone ? glowRadialColor_ : color_);
        int count = 1;
        brush.SetSurroundColors(&surround, count);
        g.FillPath(brush, ellipse);
    }
}

void TGDIPFill::DrawFocus(TGPGraphics& g, uint8_t opacity) {
    if (FocusColor == fw::clNone || !HasArea(focusRect_)) return;
    SmoothingScope smoothing(g, kSmoothingModeDefault);
    TGPPen pen(ColorToARGBAlpha(opacity, FocusColor), 1);
    pen.SetDashStyle(gpDashStyleDot);
    auto path = CreateRoundedPath(focusRect_, static_cast<float>(rounding_ - std::max(borderWidth_, 0)), roundingType_);
    g.DrawPath(&pen, path.get());
}

void TGDIPFill::DrawBackGroundPicture(TGPGraphics& g, const TGPFloatRect& r, bool clipped) {
    if (gradientType_ != gtTexture || backGroundPicture_.Empty()) return;
    backGroundPicture_.UpdateImageSize();
    const auto target = FillPictureRect(backGroundPicturePosition_, backGroundPicture_.Width(),
                                        backGroundPicture_.Height(), IntegerBounds(r), backGroundPictureLeft_,
                                        backGroundPictureTop_);
    if (!target) return;
    if (!clipped) {
        backGroundPicture_.DrawOnGraphics(g, ToRect(*target));
        return;
    }
    auto shape = CreateRoundedPath(r, static_cast<float>(rounding_), roundingType_);
    TGPRegion region(*shape);
    ClipScope clip(g, region);
    backGroundPicture_.DrawOnGraphics(g, ToRect(*target));
}

void TGDIPFill::DrawForegroundPicture(TGPGraphics& g, const TGPFloatRect& r) {
    if (picture_.Empty()) return;
    int w = pictureWidth_, h = pictureHeight_;
    if (pictureSize_ == psOriginal) {
        picture_.UpdateImageSize();
        w = picture_.Width();
        h = picture_.Height();
    }
    const auto target = FillPictureRect(picturePosition_, w, h, IntegerBounds(r), pictureLeft_, pictureTop_);
    if (target) picture_.DrawOnGraphics(g, ToRect(*target));
}

}  // namespace kel
