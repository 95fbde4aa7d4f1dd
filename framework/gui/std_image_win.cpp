// TImage.
#include "framework/gui/std_image.h"

#include "framework/gui/image_list.h"

namespace fw {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    width_ = 105;
    height_ = 105;
}

TImage::~TImage() = default;

void TImage::ShowListImage(const TImageList& list, int index) {
    if (index < 0 || index >= list.Count()) {
        ClearPicture();
        return;
    }
    auto bitmap = std::make_unique<TBitmap>(list.Width(), list.Height());
    uint32_t* bits = bitmap->Bits();
    // Transparent pixels of the list show the parent: draw over a key colour
    // and leave those pixels out when painting.
    for (int i = 0; i < list.Width() * list.Height(); ++i) bits[i] = 0x00FF00FFu;
    list.Draw(bitmap->Canvas(), 0, 0, index);
    picture_ = std::move(bitmap);
    Invalidate();
}

void TImage::ClearPicture() {
    if (!picture_) return;
    picture_.reset();
    Invalidate();
}

void TImage::Paint() {
    if (PictureEmpty()) return;
    TransparentBlt(canvas_->Handle(), 0, 0, picture_->Width(), picture_->Height(), picture_->Canvas().Handle(), 0, 0,
                   picture_->Width(), picture_->Height(), RGB(0xFF, 0x00, 0xFF));
}

}  // namespace fw
