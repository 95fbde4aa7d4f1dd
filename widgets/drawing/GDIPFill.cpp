#include "widgets/drawing/GDIPFill.h"

namespace kel {

TGDIPFill::TGDIPFill() {
    backGroundPicture_.OnChange = [this] { PictureChanged(); };
    picture_.OnChange = [this] { PictureChanged(); };
}

TGDIPFill::~TGDIPFill() {
    backGroundPicture_.OnChange = nullptr;
    picture_.OnChange = nullptr;
}

void TGDIPFill::Changed() {
    if (OnChange) OnChange(*this);
}

void TGDIPFill::PictureChanged() {
    // Assign reports its pictures' changes with its own single event.
    if (!assigning_) Changed();
}

void TGDIPFill::Assign(const TGDIPFill* source) {
    if (!source) return;
    if (source != this) {
        assigning_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{assigning_};
        color_ = source->color_;
        colorTo_ = source->colorTo_;
        colorMirror_ = source->colorMirror_;
        colorMirrorTo_ = source->colorMirrorTo_;
        gradientType_ = source->gradientType_;
        gradientMirrorType_ = source->gradientMirrorType_;
        hatchStyle_ = source->hatchStyle_;
        hatchStyleMirror_ = source->hatchStyleMirror_;
        backGroundPictureMode_ = source->backGroundPictureMode_;
        backGroundPicture_.Assign(&source->backGroundPicture_);
        backGroundPicturePosition_ = source->backGroundPicturePosition_;
        backGroundPictureLeft_ = source->backGroundPictureLeft_;
        backGroundPictureTop_ = source->backGroundPictureTop_;
        picture_.Assign(&source->picture_);
        picturePosition_ = source->picturePosition_;
        pictureLeft_ = source->pictureLeft_;
        pictureTop_ = source->pictureTop_;
        pictureSize_ = source->pictureSize_;
        pictureWidth_ = source->pictureWidth_;
        pictureHeight_ = source->pictureHeight_;
        opacity_ = source->opacity_;
        opacityTo_ = source->opacityTo_;
        opacityMirror_ = source->opacityMirror_;
        opacityMirrorTo_ = source->opacityMirrorTo_;
        borderColor_ = source->borderColor_;
        borderOpacity_ = source->borderOpacity_;
        borderWidth_ = source->borderWidth_;
        rounding_ = source->rounding_;
        roundingType_ = source->roundingType_;
        shadowColor_ = source->shadowColor_;
        shadowOffset_ = source->shadowOffset_;
        angle_ = source->angle_;
        glow_ = source->glow_;
        glowGradientColor_ = source->glowGradientColor_;
        glowRadialColor_ = source->glowRadialColor_;
    }
    Changed();
}

TFillOpacities TGDIPFill::ResolveOpacities(uint8_t borderOpacity, uint8_t opacity, uint8_t opacityTo,
                                           uint8_t opacityMirror, uint8_t opacityMirrorTo) const {
    auto pick = [](uint8_t argument, uint8_t property) { return argument == 255 ? property : argument; };
    return {pick(borderOpacity, borderOpacity_), pick(opacity, opacity_), pick(opacityTo, opacityTo_),
            pick(opacityMirror, opacityMirror_), pick(opacityMirrorTo, opacityMirrorTo_)};
}

TGPFloatRect TGDIPFill::RectAfterShadow(const TGPFloatRect& r) const {
    // A line-thin rectangle is drawn as a line and keeps its size.
    if (r.Width == 1 || r.Height == 1 || !HasArea(r)) return r;
    if (shadowOffset_ <= 0 || shadowColor_ == fw::clNone) return r;
    return ShrinkByShadow(r, shadowOffset_);
}

bool TGDIPFill::PaintsTwoParts() const {
    return colorMirror_ != fw::clNone && gradientType_ != gtHatch && gradientType_ != gtTexture;
}

}  // namespace kel
