#include "widgets/drawing/KelGDIPColors.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kel {
namespace {

int ClampByte(int v) { return std::clamp(v, 0, 255); }

fw::TColor PackColor(int red, int green, int blue) {
    return static_cast<fw::TColor>(ClampByte(red) | (ClampByte(green) << 8) | (ClampByte(blue) << 16));
}

int ScaleChannel(int value, int percent) {
    if (value == 0) return ClampByte(percent);
    // Below -100 the factor would turn negative and wrap around the byte.
    double factor = std::clamp(100 + percent, 0, 100) / 100.0;
    return ClampByte(RoundHalfEven(value * factor));
}

}  // namespace

int RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    double r = std::round(value);  // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5) r = 2.0 * std::round(value / 2.0);
    return static_cast<int>(r);
}

TARGB ColorToARGBAlpha(uint8_t alpha, fw::TColor color) {
    fw::TColor c = fw::ColorToRGB(color);
    return ComposeARGB(alpha, fw::ColorR(c), fw::ColorG(c), fw::ColorB(c));
}

TARGB ColorToOpaqueARGB(fw::TColor color) { return ColorToARGBAlpha(255, color); }

TARGB ComposeARGB(int alpha, int red, int green, int blue) {
    return (static_cast<TARGB>(alpha & 0xFF) << 24) | (static_cast<TARGB>(red & 0xFF) << 16) |
           (static_cast<TARGB>(green & 0xFF) << 8) | static_cast<TARGB>(blue & 0xFF);
}

TARGB ComposeOpaqueARGB(int red, int green, int blue) { return ComposeARGB(255, red, green, blue); }

fw::TColor BlendColors(fw::TColor color1, fw::TColor color2, int percent) {
    if (percent >= 100) return color1;
    if (percent <= 0) return color2;
    fw::TColor c1 = fw::ColorToRGB(color1);
    fw::TColor c2 = fw::ColorToRGB(color2);
    double f = percent / 100.0;
    auto mix = [f](int a, int b) { return std::min(RoundHalfEven(f * a + (1.0 - f) * b), 255); };
    return PackColor(mix(fw::ColorR(c1), fw::ColorR(c2)), mix(fw::ColorG(c1), fw::ColorG(c2)),
                     mix(fw::ColorB(c1), fw::ColorB(c2)));
}

fw::TColor ScaleColorChannels(fw::TColor color, int redPercent, int greenPercent, int bluePercent) {
    fw::TColor c = fw::ColorToRGB(color);
    return PackColor(ScaleChannel(fw::ColorR(c), redPercent), ScaleChannel(fw::ColorG(c), greenPercent),
                     ScaleChannel(fw::ColorB(c), bluePercent));
}

fw::TColor ScaleColor(fw::TColor color, int percent) { return ScaleColorChannels(color, percent, percent, percent); }

namespace {

struct BandStepper {
    BandStepper(fw::TColor from, fw::TColor to, int count) {
        fw::TColor f = fw::ColorToRGB(from);
        fw::TColor t = fw::ColorToRGB(to);
        base[0] = fw::ColorR(f);
        base[1] = fw::ColorG(f);
        base[2] = fw::ColorB(f);
        step[0] = (fw::ColorR(t) - base[0]) / static_cast<double>(count);
        step[1] = (fw::ColorG(t) - base[1]) / static_cast<double>(count);
        step[2] = (fw::ColorB(t) - base[2]) / static_cast<double>(count);
    }
    fw::TColor Band(int i) const {
        return PackColor(base[0] + RoundHalfEven(i * step[0]), base[1] + RoundHalfEven(i * step[1]),
                         base[2] + RoundHalfEven(i * step[2]));
    }
    int base[3];
    double step[3];
};

}  // namespace

std::vector<TGradientBand> SteppedGradientBands(fw::TColor from, fw::TColor to, int steps, const TIntRect& rect,
                                                bool horizontal, int spanShortening) {
    if (steps < 1) steps = 1;
    BandStepper stepper(from, to, steps);
    double span = horizontal ? rect.Right - spanShortening - rect.Left : rect.Bottom - spanShortening - rect.Top;
    double size = span / steps;
    std::vector<TGradientBand> bands;
    bands.reserve(static_cast<size_t>(steps));
    for (int i = 0; i < steps; ++i) {
        TGradientBand b;
        b.Color = stepper.Band(i);
        if (horizontal) {
            b.Rect.Left = rect.Left + RoundHalfEven(i * size);
            b.Rect.Top = rect.Top;
            b.Rect.Right = b.Rect.Left + RoundHalfEven(size) + 1;
            b.Rect.Bottom = rect.Bottom;
        } else {
            b.Rect.Left = rect.Left;
            b.Rect.Top = rect.Top + RoundHalfEven(i * size);
            b.Rect.Right = rect.Right;
            b.Rect.Bottom = b.Rect.Top + RoundHalfEven(size) + 1;
        }
        bands.push_back(b);
    }
    return bands;
}

std::vector<TGradientBand> ClippedSteppedGradientBands(fw::TColor from, fw::TColor to, int count, const TIntRect& rect,
                                                       bool horizontal) {
    if (count < 1) count = 1;
    BandStepper stepper(from, to, count);
    double size = (horizontal ? rect.Right - rect.Left : rect.Bottom - rect.Top) / static_cast<double>(count);
    int width = static_cast<int>(std::trunc(size));
    std::vector<TGradientBand> bands;
    bands.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TGradientBand b;
        b.Color = stepper.Band(i);
        if (horizontal) {
            b.Rect.Left = rect.Left + RoundHalfEven(i * size);
            b.Rect.Right = std::min(b.Rect.Left + width + 1, rect.Right);
            b.Rect.Top = rect.Top;
            b.Rect.Bottom = rect.Bottom;
        } else {
            b.Rect.Top = rect.Top + RoundHalfEven(i * size);
            b.Rect.Bottom = std::min(b.Rect.Top + width + 1, rect.Bottom);
            b.Rect.Left = rect.Left;
            b.Rect.Right = rect.Right;
        }
        bands.push_back(b);
    }
    return bands;
}

std::wstring VersionNrText(uint32_t versionNr) {
    return std::to_wstring(versionNr >> 24) + L"." + std::to_wstring((versionNr >> 16) & 0xFF) + L"." +
           std::to_wstring((versionNr >> 8) & 0xFF) + L"." + std::to_wstring(versionNr & 0xFF);
}

}  // namespace kel
