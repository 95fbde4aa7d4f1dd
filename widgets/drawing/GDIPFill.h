// TGDIPFill: the fill description that smooth panels paint their background
// with and that the programs' themes recolour: a rounded rectangle with a
// soft drop shadow, an upper and a "mirror" lower part (solid, linear,
// angled, hatched, textured or radial), a background picture, a border, a
// glow overlay, a dotted focus outline and a foreground picture.
//
// Every setter stores a changed value and fires OnChange once; unchanged
// values fire nothing. The properties and Assign build everywhere; Fill and
// the path helpers draw with GDI+ and exist in the Windows build only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "framework/core/colors.h"
#include "widgets/drawing/GDIPFillGeometry.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/KelGDIPTypes.h"

namespace kel {

class TGPGraphics;
class TGPGraphicsPath;

enum TGlowMode { gmNone, gmGradient, gmRadial, gmRadialGradient };
enum TFillPictureSize { psOriginal, psCustom };
enum TFillPictureMode { pmInsideFill, pmOutsideFill };

// The five opacities of one fill call after the arguments of 255 have been
// replaced by the fill's own properties.
struct TFillOpacities {
    uint8_t Border = 255;
    uint8_t Opacity = 255;
    uint8_t OpacityTo = 255;
    uint8_t Mirror = 255;
    uint8_t MirrorTo = 255;
    friend bool operator==(const TFillOpacities&, const TFillOpacities&) = default;
};

class TGDIPFill {
public:
    TGDIPFill();
    ~TGDIPFill();
    TGDIPFill(const TGDIPFill&) = delete;
    TGDIPFill& operator=(const TGDIPFill&) = delete;

    // Fired with the fill by Changed.
    std::function<void(TGDIPFill&)> OnChange;

    fw::TColor Color() const { return color_; }
    void SetColor(fw::TColor value) { Store(color_, value); }
    fw::TColor ColorTo() const { return colorTo_; }
    void SetColorTo(fw::TColor value) { Store(colorTo_, value); }
    // clNone: one part only.
    fw::TColor ColorMirror() const { return colorMirror_; }
    void SetColorMirror(fw::TColor value) { Store(colorMirror_, value); }
    fw::TColor ColorMirrorTo() const { return colorMirrorTo_; }
    void SetColorMirrorTo(fw::TColor value) { Store(colorMirrorTo_, value); }
    TKelGradientType GradientType() const { return gradientType_; }
    void SetGradientType(TKelGradientType value) { Store(gradientType_, value); }
    TKelGradientType GradientMirrorType() const { return gradientMirrorType_; }
    void SetGradientMirrorType(TKelGradientType value) { Store(gradientMirrorType_, value); }
    kel::HatchStyle HatchStyle() const { return hatchStyle_; }
    void SetHatchStyle(kel::HatchStyle value) { Store(hatchStyle_, value); }
    kel::HatchStyle HatchStyleMirror() const { return hatchStyleMirror_; }
    void SetHatchStyleMirror(kel::HatchStyle value) { Store(hatchStyleMirror_, value); }

    TFillPictureMode BackGroundPictureMode() const { return backGroundPictureMode_; }
    void SetBackGroundPictureMode(TFillPictureMode value) { Store(backGroundPictureMode_, value); }
    // Drawn only with GradientType gtTexture; ppTiled makes it the texture.
    TKelGDIPPicture& BackGroundPicture() { return backGroundPicture_; }
    const TKelGDIPPicture& BackGroundPicture() const { return backGroundPicture_; }
    // Copies the picture's contents.
    void SetBackGroundPicture(const TKelGDIPPicture& value) { backGroundPicture_.Assign(&value); }
    TFillPicturePosition BackGroundPicturePosition() const { return backGroundPicturePosition_; }
    void SetBackGroundPicturePosition(TFillPicturePosition value) { Store(backGroundPicturePosition_, value); }
    int BackGroundPictureLeft() const { return backGroundPictureLeft_; }
    void SetBackGroundPictureLeft(int value) { Store(backGroundPictureLeft_, value); }
    int BackGroundPictureTop() const { return backGroundPictureTop_; }
    void SetBackGroundPictureTop(int value) { Store(backGroundPictureTop_, value); }

    TKelGDIPPicture& Picture() { return picture_; }
    const TKelGDIPPicture& Picture() const { return picture_; }
    void SetPicture(const TKelGDIPPicture& value) { picture_.Assign(&value); }
    TFillPicturePosition PicturePosition() const { return picturePosition_; }
    void SetPicturePosition(TFillPicturePosition value) { Store(picturePosition_, value); }
    int PictureLeft() const { return pictureLeft_; }
    void SetPictureLeft(int value) { Store(pictureLeft_, value); }
    int PictureTop() const { return pictureTop_; }
    void SetPictureTop(int value) { Store(pictureTop_, value); }
    TFillPictureSize PictureSize() const { return pictureSize_; }
    void SetPictureSize(TFillPictureSize value) { Store(pictureSize_, value); }
    int PictureWidth() const { return pictureWidth_; }
    void SetPictureWidth(int value) { Store(pictureWidth_, value); }
    int PictureHeight() const { return pictureHeight_; }
    void SetPictureHeight(int value) { Store(pictureHeight_, value); }

    uint8_t Opacity() const { return opacity_; }
    void SetOpacity(uint8_t value) { Store(opacity_, value); }
    uint8_t OpacityTo() const { return opacityTo_; }
    void SetOpacityTo(uint8_t value) { Store(opacityTo_, value); }
    uint8_t OpacityMirror() const { return opacityMirror_; }
    void SetOpacityMirror(uint8_t value) { Store(opacityMirror_, value); }
    uint8_t OpacityMirrorTo() const { return opacityMirrorTo_; }
    void SetOpacityMirrorTo(uint8_t value) { Store(opacityMirrorTo_, value); }

    // clNone, or a width of 0 or less: no border.
    fw::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(fw::TColor value) { Store(borderColor_, value); }
    uint8_t BorderOpacity() const { return borderOpacity_; }
    void SetBorderOpacity(uint8_t value) { Store(borderOpacity_, value); }
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value) { Store(borderWidth_, value); }
    // Corner radius in pixels; 0 (or less) means square corners.
    int Rounding() const { return rounding_; }
    void SetRounding(int value) { Store(rounding_, value); }
    TFillRoundingType RoundingType() const { return roundingType_; }
    void SetRoundingType(TFillRoundingType value) { Store(roundingType_, value); }
    // clNone, or an offset of 0 or less: no shadow.
    fw::TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(fw::TColor value) { Store(shadowColor_, value); }
    int ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(int value) { Store(shadowOffset_, value); }
    // Degrees of gtAngle gradients.
    int Angle() const { return angle_; }
    void SetAngle(int value) { Store(angle_, value); }
    TGlowMode Glow() const { return glow_; }
    void SetGlow(TGlowMode value) { Store(glow_, value); }
    fw::TColor GlowGradientColor() const { return glowGradientColor_; }
    void SetGlowGradientColor(fw::TColor value) { Store(glowGradientColor_, value); }
    fw::TColor GlowRadialColor() const { return glowRadialColor_; }
    void SetGlowRadialColor(fw::TColor value) { Store(glowRadialColor_, value); }

    // Not streamed and not copied by Assign: a dotted focus outline, and the
    // rectangle it goes round (the filled rectangle less BorderWidth on
    // every side), set by every Fill.
    bool Focus = false;
    fw::TColor FocusColor = fw::clBlack;
    const TGPFloatRect& FocusRect() const { return focusRect_; }

    // Copies every property but OnChange (pictures by contents) from another
    // fill and fires OnChange once; nil changes nothing.
    void Assign(const TGDIPFill* source);
    // Fires OnChange.
    void Changed();

    // 255 takes the property (BorderOpacity, Opacity, OpacityTo,
    // OpacityMirror, OpacityMirrorTo); any other value overrides it.
    TFillOpacities ResolveOpacities(uint8_t borderOpacity, uint8_t opacity, uint8_t opacityTo, uint8_t opacityMirror,
                                    uint8_t opacityMirrorTo) const;
    // The rectangle a Fill of r leaves after its shadow.
    TGPFloatRect RectAfterShadow(const TGPFloatRect& r) const;
    // True when Fill of r paints two parts.
    bool PaintsTwoParts() const;

    // Windows: paints the fill into r and returns the rectangle left after
    // the shadow (RectAfterShadow). Without a graphics, or for a rectangle
    // without area, nothing is drawn. Throws what the
    // pictures throw when their bytes cannot be handed to GDI+; the graphics'
    // clip and smoothing mode are restored then too.
    TGPFloatRect Fill(TGPGraphics* graphics, const TGPFloatRect& r, uint8_t borderOpacity = 255, uint8_t opacity = 255,
                      uint8_t opacityTo = 255, uint8_t opacityMirror = 255, uint8_t opacityMirrorTo = 255);

private:
    enum class TPart { Whole, Upper, Lower };

    template <class T>
    void Store(T& field, T value) {
        if (field == value) return;
        field = value;
        Changed();
    }
    void PictureChanged();
    // Windows drawing steps.
    void FillBody(TGPGraphics& graphics, const TGPFloatRect& r, const TFillOpacities& o);
    void FillPart(TGPGraphics& graphics, const TGPFloatRect& rect, TPart part, const TFillOpacities& o);
    void DrawShadow(TGPGraphics& graphics, const TGPFloatRect& r);
    void DrawGlow(TGPGraphics& graphics, const TGPFloatRect& r);
    void DrawFocus(TGPGraphics& graphics, uint8_t opacity);
    void DrawBackGroundPicture(TGPGraphics& graphics, const TGPFloatRect& r, bool clipped);
    void DrawForegroundPicture(TGPGraphics& graphics, const TGPFloatRect& r);

    fw::TColor color_ = fw::clSilver;
    fw::TColor colorTo_ = fw::clGray;
    fw::TColor colorMirror_ = fw::clNone;
    fw::TColor colorMirrorTo_ = fw::clNone;
    TKelGradientType gradientType_ = gtVertical;
    TKelGradientType gradientMirrorType_ = gtSolid;
    kel::HatchStyle hatchStyle_ = HatchStyleHorizontal;
    kel::HatchStyle hatchStyleMirror_ = HatchStyleHorizontal;
    TFillPictureMode backGroundPictureMode_ = pmOutsideFill;
    TKelGDIPPicture backGroundPicture_;
    TFillPicturePosition backGroundPicturePosition_ = ppTopLeft;
    int backGroundPictureLeft_ = 0;
    int backGroundPictureTop_ = 0;
    TKelGDIPPicture picture_;
    TFillPicturePosition picturePosition_ = ppTopLeft;
    int pictureLeft_ = 0;
    int pictureTop_ = 0;
    TFillPictureSize pictureSize_ = psOriginal;
    int pictureWidth_ = 50;
    int pictureHeight_ = 50;
    uint8_t opacity_ = 255;
    uint8_t opacityTo_ = 255;
    uint8_t opacityMirror_ = 255;
    uint8_t opacityMirrorTo_ = 255;
    fw::TColor borderColor_ = fw::clNone;
    uint8_t borderOpacity_ = 255;
    int borderWidth_ = 1;
    int rounding_ = 0;
    TFillRoundingType roundingType_ = rtBoth;
    fw::TColor shadowColor_ = fw::clGray;
    int shadowOffset_ = 0;
    int angle_ = 0;
    TGlowMode glow_ = gmNone;
    fw::TColor glowGradientColor_ = fw::clWhite;
    fw::TColor glowRadialColor_ = fw::clWhite;

    TGPFloatRect focusRect_;
    bool assigning_ = false;
};

// Windows: a new closed path (fill mode Alternate) of the rectangle's
// rounded outline; the radius is fitted to the rectangle (FitRadius).
std::unique_ptr<TGPGraphicsPath> CreateRoundedPath(const TGPFloatRect& rect, float radius, TFillRoundingType type);
// Windows: appends RoundedOutlineSegments to a path.
void AddRoundedOutline(TGPGraphicsPath& path, TFillRoundingType type, float x, float y, float w, float h, float d,
                       float r);

}  // namespace kel
