#include "framework/image_list.h"

#include <cstring>

namespace fw {

TImageList::TImageList(int width, int height) : width_(width), height_(height) {
    list_ = ImageList_Create(width, height, ILC_COLOR32, 0, 4);
}

TImageList::~TImageList() {
    if (list_) ImageList_Destroy(list_);
}

int TImageList::Count() const { return list_ ? ImageList_GetImageCount(list_) : 0; }

int TImageList::Add(TBitmap& image) {
    if (!list_ || image.Empty()) return -1;
    GdiFlush();
    // The list copies from a bitmap that no DC holds: hand it a copy of the
    // pixels that never had a canvas (the image stays selected in its own).
    TBitmap copy(image.Width(), image.Height());
    if (copy.Empty()) return -1;
    std::memcpy(copy.Bits(), image.Bits(), static_cast<size_t>(image.Width()) * static_cast<size_t>(image.Height()) * 4);
    return ImageList_Add(list_, copy.Handle(), nullptr);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) {
    if (!list_ || index < 0 || index >= Count()) return;
    ImageList_Draw(list_, index, canvas.Handle(), x, y, ILD_NORMAL);
}

void TImageList::GetBitmap(int index, TBitmap& bitmap) {
    bitmap.SetSize(width_, height_);
    if (bitmap.Empty()) return;
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(clWhite);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.FillRect(RECT{0, 0, width_, height_});
    Draw(canvas, 0, 0, index);
    GdiFlush();
}

}  // namespace fw
