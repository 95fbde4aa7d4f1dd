// Colour helpers shared by every widget: TColor (0x00BBGGRR, system colours
// allowed) to GDI+ ARGB, blending, shading, the band geometry of the stepped
// GDI gradients, and the Version text of components. Platform-free: system
// colours resolve through the framework's ColorToRGB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/colors.h"
#include "widgets/drawing/KelGDIPTypes.h"

namespace kel {

// Round to the nearest integer, halves to the even neighbour (the widgets'
// rounding). Values beyond the int range saturate.
int RoundHalfEven(double value);

TARGB ColorToOpaqueARGB(fw::TColor color);
TARGB ColorToARGBAlpha(uint8_t alpha, fw::TColor color);
// Only the low byte of each argument counts.
TARGB ComposeARGB(int alpha, int red, int green, int blue);
TARGB ComposeOpaqueARGB(int red, int green, int blue);
inline uint8_t ARGBRed(TARGB c) { return static_cast<uint8_t>(c >> 16); }
inline uint8_t ARGBGreen(TARGB c) { return static_cast<uint8_t>(c >> 8); }
inline uint8_t ARGBBlue(TARGB c) { return static_cast<uint8_t>(c); }

// percent >= 100 gives color1 as given, <= 0 color2 as given (system colours
// stay system colours); between, the resolved channels are mixed.
fw::TColor BlendColors(fw::TColor color1, fw::TColor color2, int percent);
// Shades each channel by a percentage (the widgets pass -5 and -10 to
// darken); a black channel rises to a positive percentage. Results stay
// within 0..255.
fw::TColor ScaleColor(fw::TColor color, int percent);
fw::TColor ScaleColorChannels(fw::TColor color, int redPercent, int greenPercent, int bluePercent);

struct TIntRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TIntRect&, const TIntRect&) = default;
};

// One band of a stepped gradient: drawn with GDI's Rectangle (outline and
// fill in Color), so Right and Bottom are exclusive.
struct TGradientBand {
    fw::TColor Color = 0;
    TIntRect Rect;
};

// The bands of DrawSteppedGradientBands: `steps` bands (0 or less count as
// 1) from `from` towards `to`, each one pixel wider than its step so that it
// reaches into the next; the last stops one step short of `to`.
// `spanShortening` measures the span that many pixels shorter (the slider
// and the pager use 1), leaving the bands' cross extent alone.
std::vector<TGradientBand> SteppedGradientBands(fw::TColor from, fw::TColor to, int steps, const TIntRect& rect,
                                                bool horizontal, int spanShortening = 0);

// The bands of DrawSteppedGradient (the HTML renderers' gradient): band
// widths are truncated and no band reaches past the rectangle's far edge.
std::vector<TGradientBand> ClippedSteppedGradientBands(fw::TColor from, fw::TColor to, int count, const TIntRect& rect,
                                                       bool horizontal);

// The Version text of a component: major.minor.release.build from a packed
// number (major in bits 24-31 ... build in bits 0-7).
std::wstring VersionNrText(uint32_t versionNr);

// Components with a published Version property derive from this; assigning
// Version keeps the value (it only shows in the designer).
class IKelVersion {
public:
    virtual ~IKelVersion() = default;
    virtual uint32_t GetVersionNr() const = 0;
    std::wstring GetVersion() const { return VersionNrText(GetVersionNr()); }
    void SetVersion(const std::wstring& /*ignored*/) {}
};

}  // namespace kel
