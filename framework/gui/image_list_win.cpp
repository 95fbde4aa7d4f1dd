// TImageList over ImageList_*.
#include "framework/gui/image_list.h"

#include "framework/gui/common_controls.h"

namespace fw {

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {
    InitCommonControlsOnce();
    handle_ = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 4);
}

TImageList::~TImageList() {
    if (handle_) ImageList_Destroy(handle_);
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int TImageList::AddMasked(TBitmap& image, TColor transparent) {
    if (!handle_ || image.Empty()) return -1;
    // The list takes a copy; the bitmap must not be selected into a DC meanwhile.
    TBitmap copy(image.Width(), image.Height());
    BitBlt(copy.Canvas().Handle(), 0, 0, image.Width(), image.Height(), image.Canvas().Handle(), 0, 0, SRCCOPY);
    GdiFlush();
    HBITMAP bits = static_cast<HBITMAP>(CopyImage(copy.Handle(), IMAGE_BITMAP, 0, 0, 0));
    const int index = ImageList_AddMasked(handle_, bits, ToColorRef(transparent));
    DeleteObject(bits);
    return index;
}

void TImageList::Clear() {
    if (handle_) ImageList_RemoveAll(handle_);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (!handle_ || index < 0 || index >= Count()) return;
    HDC dc = canvas.Handle();
    if (enabled) {
        ImageList_Draw(handle_, index, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    HICON icon = ImageList_GetIcon(handle_, index, ILD_TRANSPARENT);
    if (!icon) return;
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, width_, height_, DST_ICON | DSS_DISABLED);
    DestroyIcon(icon);
}

void TImageList::GetBitmap(int index, TBitmap& bitmap) const {
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
