// TGlowButtonAppearance: the colour sets of a glow button (normal, hot,
// down, checked, disabled: two gradient halves and a border each) and the
// style presets that rewrite them. Every setter stores a changed value and
// fires OnChange.
#pragma once

#include <functional>

#include "framework/core/colors.h"
#include "widgets/buttons/KelGlowButtonTypes.h"

namespace kel::glow {

// The 25 colours, in declared order.
#define KEL_GLOW_COLORS(X)                                                                                      \
    X(Color) X(ColorTo) X(ColorMirror) X(ColorMirrorTo) X(BorderColor) X(ColorHot) X(ColorHotTo)               \
    X(ColorMirrorHot) X(ColorMirrorHotTo) X(BorderColorHot) X(ColorDown) X(ColorDownTo) X(ColorMirrorDown)       \
    X(ColorMirrorDownTo) X(BorderColorDown) X(ColorChecked) X(ColorCheckedTo) X(ColorMirrorChecked)             \
    X(ColorMirrorCheckedTo) X(BorderColorChecked) X(ColorDisabled) X(ColorDisabledTo) X(ColorMirrorDisabled)     \
    X(ColorMirrorDisabledTo) X(BorderColorDisabled)
// The 10 gradient kinds.
#define KEL_GLOW_GRADIENTS(X)                                                                                   \
    X(Gradient) X(GradientMirror) X(GradientHot) X(GradientMirrorHot) X(GradientDown) X(GradientMirrorDown)     \
    X(GradientChecked) X(GradientMirrorChecked) X(GradientDisabled) X(GradientMirrorDisabled)

// One colour set as a paint uses it.
struct TGlowColorSet {
    fw::TColor Color = 0, ColorTo = 0, ColorMirror = 0, ColorMirrorTo = 0, BorderColor = 0;
    TGDIPGradient Gradient = ggVertical, GradientMirror = ggVertical;
    friend bool operator==(const TGlowColorSet&, const TGlowColorSet&) = default;
};

class TGlowButtonAppearance {
public:
    TGlowButtonAppearance();
    TGlowButtonAppearance(const TGlowButtonAppearance&) = delete;
    TGlowButtonAppearance& operator=(const TGlowButtonAppearance&) = delete;

#define KEL_GLOW_DECLARE(name, type)                  \
    type name() const { return name##_; }              \
    void Set##name(type value) {                       \
        if (value == name##_) return;                  \
        name##_ = value;                               \
        Changed();                                     \
    }
#define KEL_GLOW_DECLARE_COLOR(name) KEL_GLOW_DECLARE(name, fw::TColor)
#define KEL_GLOW_DECLARE_GRADIENT(name) KEL_GLOW_DECLARE(name, TGDIPGradient)
    KEL_GLOW_COLORS(KEL_GLOW_DECLARE_COLOR)
    KEL_GLOW_GRADIENTS(KEL_GLOW_DECLARE_GRADIENT)
    KEL_GLOW_DECLARE(SystemFont, bool)
#undef KEL_GLOW_DECLARE_GRADIENT
#undef KEL_GLOW_DECLARE_COLOR
#undef KEL_GLOW_DECLARE

    // Copies all 35 values and SystemFont through the setters (OnChange
    // fires for each change); nil changes nothing.
    void Assign(const TGlowButtonAppearance* source);

    TGlowColorSet Normal() const;
    TGlowColorSet Hot() const;
    TGlowColorSet Down() const;
    TGlowColorSet Checked() const;
    TGlowColorSet Disabled() const;

    std::function<void()> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }

private:
#define KEL_GLOW_FIELD_COLOR(name) fw::TColor name##_ = 0;
#define KEL_GLOW_FIELD_GRADIENT(name) TGDIPGradient name##_ = ggVertical;
    KEL_GLOW_COLORS(KEL_GLOW_FIELD_COLOR)
    KEL_GLOW_GRADIENTS(KEL_GLOW_FIELD_GRADIENT)
#undef KEL_GLOW_FIELD_GRADIENT
#undef KEL_GLOW_FIELD_COLOR
    bool SystemFont_ = false;
};

// Rewrites the appearance for a style number (see widgets/drawing/
// StylePreset.h) through its setters; 8 and numbers outside 0..15 change
// nothing. True when the number is a preset.
bool ApplyGlowButtonPreset(TGlowButtonAppearance& appearance, int style);

}  // namespace kel::glow
