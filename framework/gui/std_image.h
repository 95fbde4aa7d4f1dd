// TImage: a graphic control that shows one picture, drawn from an image list
// or any bitmap, at its top-left corner.
#pragma once

#include <memory>

#include "framework/gui/controls.h"

namespace fw {

class TImageList;

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    // The list's picture `index`; a bad index clears the picture.
    void ShowListImage(const TImageList& list, int index);
    void ClearPicture();
    bool PictureEmpty() const { return !picture_ || picture_->Empty(); }
    TBitmap* Picture() const { return picture_.get(); }

protected:
    void Paint() override;

private:
    std::unique_ptr<TBitmap> picture_;
};

}  // namespace fw
