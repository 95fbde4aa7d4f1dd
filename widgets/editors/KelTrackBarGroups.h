// The trackbar's groups of settings: the slider bar, the thumb, the tick
// marks, the auto-repeat buttons and the track label. Each setter stores a
// changed value and fires the group's OnChange, which the trackbar hooks to
// repaint, except where noted as a plain field. Pictures and fonts are owned;
// their setters copy. The slider, thumb and buttons know their trackbar.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/core/colors.h"
#include "framework/gui/graphics.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/editors/KelTrackBarTypes.h"

namespace kel::trackbar {

class TCustomTrackBar;

// The five colours of one state of a glossy thumb or button.
struct TGlossColors {
    fw::TColor Color;
    fw::TColor ColorTo;
    fw::TColor ColorMirror;
    fw::TColor ColorMirrorTo;
    fw::TColor BorderColor;
    friend bool operator==(const TGlossColors&, const TGlossColors&) = default;
};

class TTrackBarGroup {
public:
    TTrackBarGroup() = default;
    virtual ~TTrackBarGroup() = default;
    TTrackBarGroup(const TTrackBarGroup&) = delete;
    TTrackBarGroup& operator=(const TTrackBarGroup&) = delete;

    std::function<void()> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }
    template <class T>
    void Set(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Changed();
    }
    // An owned picture whose changes run `hook`.
    static std::unique_ptr<TGDIPPicture> MakePicture(std::function<void()> hook);
};

class TTrackBarSlider : public TTrackBarGroup {
public:
    explicit TTrackBarSlider(TCustomTrackBar* owner);
    void Assign(const TTrackBarSlider& source);
    TCustomTrackBar* OwnerTrackBar() const { return owner_; }

    bool Visible() const { return visible_; }
    void SetVisible(bool v) { Set(visible_, v); }
    int Size() const { return size_; }
    void SetSize(int v) { Set(size_, v); }
    int Offset() const { return offset_; }
    void SetOffset(int v) { Set(offset_, v); }
    fw::TColor Color() const { return color_; }
    void SetColor(fw::TColor v) { Set(color_, v); }
    fw::TColor ColorTo() const { return colorTo_; }
    void SetColorTo(fw::TColor v) { Set(colorTo_, v); }
    TGradientDirection Direction() const { return direction_; }
    void SetDirection(TGradientDirection v) { Set(direction_, v); }
    fw::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(fw::TColor v) { Set(borderColor_, v); }
    bool Border3D() const { return border3D_; }
    void SetBorder3D(bool v) { Set(border3D_, v); }
    bool Rounded() const { return rounded_; }
    void SetRounded(bool v) { Set(rounded_, v); }
    fw::TColor ColorDisabled() const { return colorDisabled_; }
    void SetColorDisabled(fw::TColor v) { Set(colorDisabled_, v); }
    fw::TColor ColorDisabledTo() const { return colorDisabledTo_; }
    void SetColorDisabledTo(fw::TColor v) { Set(colorDisabledTo_, v); }
    fw::TColor BorderColorDisabled() const { return borderColorDisabled_; }
    void SetBorderColorDisabled(fw::TColor v) { Set(borderColorDisabled_, v); }
    fw::TColor ColorCompleted() const { return colorCompleted_; }
    void SetColorCompleted(fw::TColor v) { Set(colorCompleted_, v); }
    fw::TColor ColorCompletedTo() const { return colorCompletedTo_; }
    void SetColorCompletedTo(fw::TColor v) { Set(colorCompletedTo_, v); }
    fw::TColor ColorCompletedDisabled() const { return colorCompletedDisabled_; }
    void SetColorCompletedDisabled(fw::TColor v) { Set(colorCompletedDisabled_, v); }
    fw::TColor ColorCompletedDisabledTo() const { return colorCompletedDisabledTo_; }
    void SetColorCompletedDisabledTo(fw::TColor v) { Set(colorCompletedDisabledTo_, v); }
    TGDIPPicture& Picture() const { return *picture_; }
    void SetPicture(const TGDIPPicture& p) { picture_->Assign(&p); }
    TGDIPPicture& PictureDisabled() const { return *pictureDisabled_; }
    void SetPictureDisabled(const TGDIPPicture& p) { pictureDisabled_->Assign(&p); }
    TGDIPPicture& PictureCompleted() const { return *pictureCompleted_; }
    void SetPictureCompleted(const TGDIPPicture& p) { pictureCompleted_->Assign(&p); }
    TGDIPPicture& PictureCompletedDisabled() const { return *pictureCompletedDisabled_; }
    void SetPictureCompletedDisabled(const TGDIPPicture& p) { pictureCompletedDisabled_->Assign(&p); }
    bool PictureStretched() const { return pictureStretched_; }
    void SetPictureStretched(bool v) { Set(pictureStretched_, v); }
    int Steps() const { return steps_; }
    void SetSteps(int v) { steps_ = v; }

    // Whether the bar shows a completed part (enabled colours or picture).
    bool ShowsCompleted() const { return colorCompleted_ != fw::clNone || !pictureCompleted_->Empty(); }

private:
    // A slider picture takes the bar's thickness from the picture and drops
    // the border.
    void PictureChanged();

    TCustomTrackBar* owner_;
    bool visible_ = true;
    int size_ = 2;
    int offset_ = 10;
    fw::TColor color_ = 0xFFFFFF;
    fw::TColor colorTo_ = 0x000000;
    TGradientDirection direction_ = gdHorizontal;
    fw::TColor borderColor_ = 0xC29674;
    bool border3D_ = true;
    bool rounded_ = false;
    fw::TColor colorDisabled_ = 0x000000;
    fw::TColor colorDisabledTo_ = 0x000000;
    fw::TColor borderColorDisabled_ = 0x000000;
    fw::TColor colorCompleted_ = fw::clNone;
    fw::TColor colorCompletedTo_ = fw::clNone;
    fw::TColor colorCompletedDisabled_ = fw::clNone;
    fw::TColor colorCompletedDisabledTo_ = fw::clNone;
    std::unique_ptr<TGDIPPicture> picture_, pictureDisabled_, pictureCompleted_, pictureCompletedDisabled_;
    bool pictureStretched_ = false;
    int steps_ = 20;
};

class TTrackBarThumb : public TTrackBarGroup {
public:
    explicit TTrackBarThumb(TCustomTrackBar* owner);
    void Assign(const TTrackBarThumb& source);
    TCustomTrackBar* OwnerTrackBar() const { return owner_; }

    TThumbShape Shape() const { return shape_; }
    void SetShape(TThumbShape v) { Set(shape_, v); }
    // Size (across the track) and Width (along it) follow a picture while
    // there is one; writes are ignored then.
    int Size() const { return size_; }
    void SetSize(int v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TThumbPointer ThumbPointer() const { return pointer_; }
    // Changes only with the trackbar's consent (which may alter the value).
    void SetThumbPointer(TThumbPointer v);
    bool ShowAtMinMax() const { return showAtMinMax_; }
    void SetShowAtMinMax(bool v) { Set(showAtMinMax_, v); }
    TGDIPGradient Gradient() const { return gradient_; }
    void SetGradient(TGDIPGradient v) { Set(gradient_, v); }
    TGDIPGradient GradientMirror() const { return gradientMirror_; }
    void SetGradientMirror(TGDIPGradient v) { Set(gradientMirror_, v); }

    // The colour sets of the four states, read as a whole.
    const TGlossColors& Normal() const { return normal_; }
    const TGlossColors& Hot() const { return hot_; }
    const TGlossColors& Down() const { return down_; }
    const TGlossColors& Disabled() const { return disabled_; }
    // Whole sets, as the style presets write them (no change event).
    void StoreColors(const TGlossColors& normal) { normal_ = normal; }
    void StoreHotColors(const TGlossColors& hot) { hot_ = hot; }
    void StoreDownColors(const TGlossColors& down) { down_ = down; }

    void SetColor(fw::TColor v) { Set(normal_.Color, v); }
    void SetColorTo(fw::TColor v) { Set(normal_.ColorTo, v); }
    void SetColorMirror(fw::TColor v) { Set(normal_.ColorMirror, v); }
    void SetColorMirrorTo(fw::TColor v) { Set(normal_.ColorMirrorTo, v); }
    void SetBorderColor(fw::TColor v) { Set(normal_.BorderColor, v); }
    void SetColorHot(fw::TColor v) { Set(hot_.Color, v); }
    void SetColorHotTo(fw::TColor v) { Set(hot_.ColorTo, v); }
    void SetColorMirrorHot(fw::TColor v) { hot_.ColorMirror = v; }      // plain field
    void SetColorMirrorHotTo(fw::TColor v) { hot_.ColorMirrorTo = v; }  // plain field
    void SetBorderColorHot(fw::TColor v) { Set(hot_.BorderColor, v); }
    void SetColorDown(fw::TColor v) { Set(down_.Color, v); }
    void SetColorDownTo(fw::TColor v) { Set(down_.ColorTo, v); }
    void SetColorMirrorDown(fw::TColor v) { down_.ColorMirror = v; }      // plain field
    void SetColorMirrorDownTo(fw::TColor v) { down_.ColorMirrorTo = v; }  // plain field
    void SetBorderColorDown(fw::TColor v) { Set(down_.BorderColor, v); }
    void SetColorDisabled(fw::TColor v) { Set(disabled_.Color, v); }
    void SetColorDisabledTo(fw::TColor v) { Set(disabled_.ColorTo, v); }
    void SetColorMirrorDisabled(fw::TColor v) { Set(disabled_.ColorMirror, v); }
    void SetColorMirrorDisabledTo(fw::TColor v) { Set(disabled_.ColorMirrorTo, v); }
    void SetBorderColorDisabled(fw::TColor v) { Set(disabled_.BorderColor, v); }

    TGDIPPicture& Picture() const { return *picture_; }
    void SetPicture(const TGDIPPicture& p) { picture_->Assign(&p); }
    TGDIPPicture& PictureHot() const { return *pictureHot_; }
    void SetPictureHot(const TGDIPPicture& p) { pictureHot_->Assign(&p); }
    TGDIPPicture& PictureDown() const { return *pictureDown_; }
    void SetPictureDown(const TGDIPPicture& p) { pictureDown_->Assign(&p); }
    TGDIPPicture& PictureDisabled() const { return *pictureDisabled_; }
    void SetPictureDisabled(const TGDIPPicture& p) { pictureDisabled_->Assign(&p); }
    int Steps() const { return steps_; }
    void SetSteps(int v) { steps_ = v; }

    // Takes the size of Picture (turned for vertical trackbars), then fires
    // OnChange; run on every picture change and after loading.
    void AdoptPictureSize();

private:
    TCustomTrackBar* owner_;
    TThumbShape shape_ = tsPointer;
    int size_ = 15;
    int width_ = 10;
    TThumbPointer pointer_ = tpCenter;
    bool showAtMinMax_ = true;
    TGDIPGradient gradient_ = ggVertical;
    TGDIPGradient gradientMirror_ = ggRadial;
    TGlossColors normal_{0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0x9D6F40};
    TGlossColors hot_{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB};
    TGlossColors down_{0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B};
    TGlossColors disabled_{0, 0, 0, 0, 0};
    std::unique_ptr<TGDIPPicture> picture_, pictureHot_, pictureDown_, pictureDisabled_;
    int steps_ = 64;
};

class TTrackBarTick : public TTrackBarGroup {
public:
    TTrackBarTick();
    void Assign(const TTrackBarTick& source);

    TTickStyle Style() const { return style_; }
    void SetStyle(TTickStyle v) { Set(style_, v); }
    TTickMark Position() const { return position_; }
    void SetPosition(TTickMark v) { Set(position_, v); }
    int Size() const { return size_; }
    void SetSize(int v) { Set(size_, v); }
    int Spacing() const { return spacing_; }
    void SetSpacing(int v) { Set(spacing_, v); }
    fw::TColor Color() const { return color_; }
    void SetColor(fw::TColor v) { Set(color_, v); }
    fw::TColor ColorDisabled() const { return colorDisabled_; }
    void SetColorDisabled(fw::TColor v) { Set(colorDisabled_, v); }
    bool ShowText() const { return showText_; }
    void SetShowText(bool v) { Set(showText_, v); }
    fw::TFont& Font() const { return *font_; }
    void SetFont(const fw::TFont& f) { font_->Assign(f); }
    bool RotateFontVert() const { return rotateFontVert_; }
    void SetRotateFontVert(bool v) { Set(rotateFontVert_, v); }
    bool Line3D() const { return line3D_; }
    void SetLine3D(bool v) { Set(line3D_, v); }
    // Kept, copied and cleared by the style presets; tick images come from
    // the trackbar's TickImages.
    TGDIPPicture& Picture() const { return *picture_; }
    void SetPicture(const TGDIPPicture& p) { picture_->Assign(&p); }
    TGDIPPicture& PictureDisabled() const { return *pictureDisabled_; }
    void SetPictureDisabled(const TGDIPPicture& p) { pictureDisabled_->Assign(&p); }
    bool ShowImageAtThumbOnly() const { return imageAtThumbOnly_; }
    void SetShowImageAtThumbOnly(bool v) { Set(imageAtThumbOnly_, v); }
    int ShowImageAtSteps() const { return imageAtSteps_; }
    void SetShowImageAtSteps(int v) { Set(imageAtSteps_, v); }

private:
    TTickStyle style_ = tsAuto;
    TTickMark position_ = tmBottomRight;
    int size_ = 4;
    int spacing_ = 8;
    fw::TColor color_ = 0x000000;
    fw::TColor colorDisabled_ = 0x000000;
    bool showText_ = false;
    std::unique_ptr<fw::TFont> font_;
    bool rotateFontVert_ = true;
    bool line3D_ = false;
    std::unique_ptr<TGDIPPicture> picture_, pictureDisabled_;
    bool imageAtThumbOnly_ = false;
    int imageAtSteps_ = 1;
};

class TTrackBarButtons : public TTrackBarGroup {
public:
    explicit TTrackBarButtons(TCustomTrackBar* owner);
    void Assign(const TTrackBarButtons& source);
    TCustomTrackBar* OwnerTrackBar() const { return owner_; }

    bool Visible() const { return visible_; }
    void SetVisible(bool v) { Set(visible_, v); }
    // Follows MinPicture (or MaxPicture) while either is set; writes are
    // ignored then.
    int Size() const { return size_; }
    void SetSize(int v);
    TTrackButtonShape Shape() const { return shape_; }
    void SetShape(TTrackButtonShape v) { Set(shape_, v); }
    int Spacing() const { return spacing_; }
    void SetSpacing(int v) { Set(spacing_, v); }
    // Plain fields.
    int Step() const { return step_; }
    void SetStep(int v) { step_ = v; }
    bool RepeatClick() const { return repeatClick_; }
    void SetRepeatClick(bool v) { repeatClick_ = v; }
    unsigned InitRepeatPause() const { return initRepeatPause_; }
    void SetInitRepeatPause(unsigned v) { initRepeatPause_ = v; }
    unsigned RepeatPause() const { return repeatPause_; }
    void SetRepeatPause(unsigned v) { repeatPause_ = v; }

    bool RotateText() const { return rotateText_; }
    void SetRotateText(bool v) { Set(rotateText_, v); }
    TGDIPGradient Gradient() const { return gradient_; }
    void SetGradient(TGDIPGradient v) { Set(gradient_, v); }
    TGDIPGradient GradientMirror() const { return gradientMirror_; }
    void SetGradientMirror(TGDIPGradient v) { Set(gradientMirror_, v); }

    const TGlossColors& Normal() const { return normal_; }
    const TGlossColors& Hot() const { return hot_; }
    const TGlossColors& Down() const { return down_; }
    void StoreColors(const TGlossColors& normal) { normal_ = normal; }
    void StoreHotColors(const TGlossColors& hot) { hot_ = hot; }
    void StoreDownColors(const TGlossColors& down) { down_ = down; }
    void SetColor(fw::TColor v) { Set(normal_.Color, v); }
    void SetColorTo(fw::TColor v) { Set(normal_.ColorTo, v); }
    void SetBorderColor(fw::TColor v) { Set(normal_.BorderColor, v); }
    void SetColorHot(fw::TColor v) { Set(hot_.Color, v); }
    void SetColorHotTo(fw::TColor v) { Set(hot_.ColorTo, v); }
    void SetBorderColorHot(fw::TColor v) { Set(hot_.BorderColor, v); }
    void SetColorDown(fw::TColor v) { Set(down_.Color, v); }
    void SetColorDownTo(fw::TColor v) { Set(down_.ColorTo, v); }
    void SetBorderColorDown(fw::TColor v) { Set(down_.BorderColor, v); }
    // The mirror colours are plain fields.
    void SetColorMirror(fw::TColor v) { normal_.ColorMirror = v; }
    void SetColorMirrorTo(fw::TColor v) { normal_.ColorMirrorTo = v; }
    void SetColorMirrorHot(fw::TColor v) { hot_.ColorMirror = v; }
    void SetColorMirrorHotTo(fw::TColor v) { hot_.ColorMirrorTo = v; }
    void SetColorMirrorDown(fw::TColor v) { down_.ColorMirror = v; }
    void SetColorMirrorDownTo(fw::TColor v) { down_.ColorMirrorTo = v; }

    TGDIPPicture& MinPicture() const { return *minPicture_; }
    void SetMinPicture(const TGDIPPicture& p) { minPicture_->Assign(&p); }
    TGDIPPicture& MinPictureHot() const { return *minPictureHot_; }
    void SetMinPictureHot(const TGDIPPicture& p) { minPictureHot_->Assign(&p); }
    TGDIPPicture& MinPictureDown() const { return *minPictureDown_; }
    void SetMinPictureDown(const TGDIPPicture& p) { minPictureDown_->Assign(&p); }
    TGDIPPicture& MaxPicture() const { return *maxPicture_; }
    void SetMaxPicture(const TGDIPPicture& p) { maxPicture_->Assign(&p); }
    TGDIPPicture& MaxPictureHot() const { return *maxPictureHot_; }
    void SetMaxPictureHot(const TGDIPPicture& p) { maxPictureHot_->Assign(&p); }
    TGDIPPicture& MaxPictureDown() const { return *maxPictureDown_; }
    void SetMaxPictureDown(const TGDIPPicture& p) { maxPictureDown_->Assign(&p); }

    // Takes Size from MinPicture (or MaxPicture) along the track, then
    // fires OnChange; run when either changes and after loading.
    void AdoptPictureSize();

private:
    TCustomTrackBar* owner_;
    bool visible_ = false;
    int size_ = 20;
    TTrackButtonShape shape_ = bsRound;
    int spacing_ = 2;
    int step_ = 1;
    bool repeatClick_ = true;
    unsigned initRepeatPause_ = 400;
    unsigned repeatPause_ = 100;
    bool rotateText_ = true;
    TGDIPGradient gradient_ = ggVertical;
    TGDIPGradient gradientMirror_ = ggVertical;
    TGlossColors normal_{0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0x8D572F};
    TGlossColors hot_{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB};
    TGlossColors down_{0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B};
    std::unique_ptr<TGDIPPicture> minPicture_, minPictureHot_, minPictureDown_, maxPicture_, maxPictureHot_,
        maxPictureDown_;
};

class TTrackBarLabel : public TTrackBarGroup {
public:
    TTrackBarLabel();
    void Assign(const TTrackBarLabel& source);

    bool Visible() const { return visible_; }
    void SetVisible(bool v) { Set(visible_, v); }
    TLabelPosition Position() const { return position_; }
    void SetPosition(TLabelPosition v) { Set(position_, v); }
    const std::wstring& Format() const { return format_; }
    void SetFormat(const std::wstring& v) { Set(format_, v); }
    fw::TFont& Font() const { return *font_; }
    void SetFont(const fw::TFont& f) { font_->Assign(f); }
    int Spacing() const { return spacing_; }
    void SetSpacing(int v) { Set(spacing_, v); }

private:
    bool visible_ = false;
    TLabelPosition position_ = lpTopCenter;
    std::wstring format_ = L"Pos: %d";
    std::unique_ptr<fw::TFont> font_;
    int spacing_ = 4;
};

}  // namespace kel::trackbar
