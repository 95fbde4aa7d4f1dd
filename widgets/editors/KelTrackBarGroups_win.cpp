// The trackbar's groups: construction, Assign and the sizes they take from
// their pictures.
#include "widgets/editors/KelTrackBarGroups.h"

#include "widgets/editors/KelTrackBar.h"

namespace kel::trackbar {

std::unique_ptr<TGDIPPicture> TTrackBarGroup::MakePicture(std::function<void()> hook) {
    auto p = std::make_unique<TGDIPPicture>();
    p->OnChange = std::move(hook);
    return p;
}

namespace {

std::unique_ptr<fw::TFont> TahomaFont(std::function<void()> hook) {
    auto f = std::make_unique<fw::TFont>();
    f->SetName(L"Tahoma");
    f->OnChange = std::move(hook);
    return f;
}

bool Vertical(const TCustomTrackBar* owner) { return owner && owner->Orientation() == trVertical; }

}  // namespace

TTrackBarSlider::TTrackBarSlider(TCustomTrackBar* owner) : owner_(owner) {
    auto hook = [this] { PictureChanged(); };
    picture_ = MakePicture(hook);
    pictureDisabled_ = MakePicture(hook);
    pictureCompleted_ = MakePicture(hook);
    pictureCompletedDisabled_ = MakePicture(hook);
}

void TTrackBarSlider::PictureChanged() {
    if (!picture_->Empty()) {
        picture_->UpdateImageSize();
        size_ = Vertical(owner_) ? picture_->Width() : picture_->Height();
        SetBorderColor(fw::clNone);
    }
    Changed();
}

void TTrackBarSlider::Assign(const TTrackBarSlider& s) {
    borderColor_ = s.borderColor_;
    borderColorDisabled_ = s.borderColorDisabled_;
    color_ = s.color_;
    colorTo_ = s.colorTo_;
    colorDisabled_ = s.colorDisabled_;
    colorDisabledTo_ = s.colorDisabledTo_;
    colorCompleted_ = s.colorCompleted_;
    colorCompletedTo_ = s.colorCompletedTo_;
    colorCompletedDisabled_ = s.colorCompletedDisabled_;
    colorCompletedDisabledTo_ = s.colorCompletedDisabledTo_;
    size_ = s.size_;
    rounded_ = s.rounded_;
    SetBorder3D(s.border3D_);
    SetVisible(s.visible_);
    picture_->Assign(s.picture_.get());
    pictureDisabled_->Assign(s.pictureDisabled_.get());
    pictureCompleted_->Assign(s.pictureCompleted_.get());
    pictureCompletedDisabled_->Assign(s.pictureCompletedDisabled_.get());
    pictureStretched_ = s.pictureStretched_;
    SetOffset(s.offset_);
}

TTrackBarThumb::TTrackBarThumb(TCustomTrackBar* owner) : owner_(owner) {
    auto hook = [this] { AdoptPictureSize(); };
    picture_ = MakePicture(hook);
    pictureHot_ = MakePicture(hook);
    pictureDown_ = MakePicture(hook);
    pictureDisabled_ = MakePicture(hook);
}

void TTrackBarThumb::SetSize(int v) {
    if (picture_->Empty()) Set(size_, v);
}

void TTrackBarThumb::SetWidth(int v) {
    if (picture_->Empty()) Set(width_, v);
}

void TTrackBarThumb::SetThumbPointer(TThumbPointer v) {
    if (!owner_ || !owner_->AllowThumbPointerChange(*this, v)) return;
    Set(pointer_, v);
}

void TTrackBarThumb::AdoptPictureSize() {
    if (!picture_->Empty() && owner_) {
        picture_->UpdateImageSize();
        if (Vertical(owner_)) {
            width_ = picture_->Height();
            size_ = picture_->Width();
        } else {
            size_ = picture_->Height();
            width_ = picture_->Width();
        }
    }
    Changed();
}

void TTrackBarThumb::Assign(const TTrackBarThumb& s) {
    normal_ = s.normal_;
    hot_ = s.hot_;
    down_ = s.down_;
    disabled_ = s.disabled_;
    steps_ = s.steps_;
    gradient_ = s.gradient_;
    gradientMirror_ = s.gradientMirror_;
    picture_->Assign(s.picture_.get());
    pictureHot_->Assign(s.pictureHot_.get());
    pictureDown_->Assign(s.pictureDown_.get());
    pictureDisabled_->Assign(s.pictureDisabled_.get());
    SetWidth(s.width_);
    SetShape(s.shape_);
    SetSize(s.size_);
    SetThumbPointer(s.pointer_);
}

TTrackBarTick::TTrackBarTick() {
    font_ = TahomaFont([this] { Changed(); });
    auto hook = [this] { Changed(); };
    picture_ = MakePicture(hook);
    pictureDisabled_ = MakePicture(hook);
}

void TTrackBarTick::Assign(const TTrackBarTick& s) {
    SetColor(s.color_);
    SetColorDisabled(s.colorDisabled_);
    SetSize(s.size_);
    SetPosition(s.position_);
    SetStyle(s.style_);
    picture_->Assign(s.picture_.get());
    pictureDisabled_->Assign(s.pictureDisabled_.get());
    font_->Assign(*s.font_);
    SetShowText(s.showText_);
    SetLine3D(s.line3D_);
    imageAtThumbOnly_ = s.imageAtThumbOnly_;
    imageAtSteps_ = s.imageAtSteps_;
    SetSpacing(s.spacing_);
}

TTrackBarButtons::TTrackBarButtons(TCustomTrackBar* owner) : owner_(owner) {
    auto adopt = [this] { AdoptPictureSize(); };
    auto plain = [this] { Changed(); };
    minPicture_ = MakePicture(adopt);
    maxPicture_ = MakePicture(adopt);
    minPictureHot_ = MakePicture(plain);
    minPictureDown_ = MakePicture(plain);
    maxPictureHot_ = MakePicture(plain);
    maxPictureDown_ = MakePicture(plain);
}

void TTrackBarButtons::SetSize(int v) {
    if (minPicture_->Empty() && maxPicture_->Empty()) Set(size_, v);
}

void TTrackBarButtons::AdoptPictureSize() {
    if ((!minPicture_->Empty() || !maxPicture_->Empty()) && owner_) {
        TGDIPPicture& p = minPicture_->Empty() ? *maxPicture_ : *minPicture_;
        p.UpdateImageSize();
        size_ = Vertical(owner_) ? p.Height() : p.Width();
    }
    Changed();
}

void TTrackBarButtons::Assign(const TTrackBarButtons& s) {
    SetColor(s.normal_.Color);
    SetColorTo(s.normal_.ColorTo);
    SetBorderColor(s.normal_.BorderColor);
    SetColorHot(s.hot_.Color);
    SetColorHotTo(s.hot_.ColorTo);
    SetBorderColorHot(s.hot_.BorderColor);
    SetColorDown(s.down_.Color);
    SetColorDownTo(s.down_.ColorTo);
    SetBorderColorDown(s.down_.BorderColor);
    normal_.ColorMirror = s.normal_.ColorMirror;
    normal_.ColorMirrorTo = s.normal_.ColorMirrorTo;
    hot_.ColorMirror = s.hot_.ColorMirror;
    hot_.ColorMirrorTo = s.hot_.ColorMirrorTo;
    down_.ColorMirror = s.down_.ColorMirror;
    down_.ColorMirrorTo = s.down_.ColorMirrorTo;
    minPicture_->Assign(s.minPicture_.get());
    minPictureHot_->Assign(s.minPictureHot_.get());
    minPictureDown_->Assign(s.minPictureDown_.get());
    maxPicture_->Assign(s.maxPicture_.get());
    maxPictureHot_->Assign(s.maxPictureHot_.get());
    maxPictureDown_->Assign(s.maxPictureDown_.get());
    SetVisible(s.visible_);
    SetSize(s.size_);
    SetShape(s.shape_);
    repeatClick_ = s.repeatClick_;
    repeatPause_ = s.repeatPause_;
    SetRotateText(s.rotateText_);
    initRepeatPause_ = s.initRepeatPause_;
    SetSpacing(s.spacing_);
    step_ = s.step_;
}

TTrackBarLabel::TTrackBarLabel() { font_ = TahomaFont([this] { Changed(); }); }

void TTrackBarLabel::Assign(const TTrackBarLabel& s) {
    visible_ = s.visible_;
    format_ = s.format_;
    font_->Assign(*s.font_);
    SetPosition(s.position_);
}

}  // namespace kel::trackbar
