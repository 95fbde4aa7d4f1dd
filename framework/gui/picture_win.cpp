#include "framework/gui/picture.h"

namespace fw {

TPicture::~TPicture() {
    if (graphic_) graphic_->OnChange = nullptr;
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    if (graphic_) graphic_->OnChange = nullptr;
    graphic_ = std::move(graphic);
    if (graphic_) graphic_->OnChange = [this] { Changed(); };
    Changed();
}

void TPicture::Assign(const TPicture* source) {
    if (source == this) return;
    if (!source || !source->graphic_) {
        SetGraphic(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> copy = source->graphic_->NewGraphic();
    copy->Assign(source->graphic_.get());
    SetGraphic(std::move(copy));
}

void TPicture::Draw(TCanvas& canvas, const RECT& rect) {
    if (graphic_) graphic_->Draw(canvas, rect);
}

}  // namespace fw
