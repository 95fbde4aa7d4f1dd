// A list of same-sized images over a comctl32 image list: the source of the
// images that widgets and the mini-HTML markup ("IDX:n") name by number.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/graphics.h"

namespace fw {

class TImageList {
public:
    TImageList(int width = 16, int height = 16);
    ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    HIMAGELIST Handle() const { return list_; }

    // Appends the bitmap (its top-left Width x Height pixels), opaque;
    // returns the new image's number, -1 on failure.
    int Add(TBitmap& image);
    // Draws image `index` with its top-left at (x, y).
    void Draw(TCanvas& canvas, int x, int y, int index);
    // The image on a bitmap of the list's size (over white).
    void GetBitmap(int index, TBitmap& bitmap);

private:
    int width_;
    int height_;
    HIMAGELIST list_ = nullptr;
};

}  // namespace fw
