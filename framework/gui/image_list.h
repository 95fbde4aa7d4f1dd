// TImageList: images of one size in a list of the common controls, drawn by
// index (menus, buttons and tabs take them by ImageIndex).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/core/component.h"
#include "framework/gui/graphics.h"

namespace fw {

class TImageList : public TComponent {
public:
    TImageList(TComponent* owner, int width = 16, int height = 16);
    ~TImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    HIMAGELIST Handle() const { return handle_; }

    // Adds the image (one or more of the list's width side by side); pixels
    // of `transparent` stay clear. The index of the first one added, or -1.
    int AddMasked(TBitmap& image, TColor transparent);
    void Clear();
    // Draws one image; a disabled one greyed. Nothing for a bad index.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // The image on a bitmap of the list's size, over white (print output
    // stretches it).
    void GetBitmap(int index, TBitmap& bitmap) const;

private:
    int width_;
    int height_;
    HIMAGELIST handle_ = nullptr;
};

}  // namespace fw
