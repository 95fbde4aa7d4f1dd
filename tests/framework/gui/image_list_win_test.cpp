// The image list: images kept at the list's size, drawn by index and copied
// onto a bitmap.
#include <gtest/gtest.h>

#include "framework/gui/image_list.h"

namespace fw {
namespace {

uint32_t Px(TBitmap& bmp, int x, int y) {
    GdiFlush();
    return bmp.ScanLine(y)[x] & 0xFFFFFF;
}

void Fill(TBitmap& bmp, TColor color) {
    bmp.Canvas().Brush().SetColor(color);
    bmp.Canvas().Brush().SetStyle(TBrushStyle::bsSolid);
    bmp.Canvas().FillRect(RECT{0, 0, bmp.Width(), bmp.Height()});
    GdiFlush();
}

TEST(ImageList, DrawsImagesByIndexAndCopiesThemOntoABitmap) {
    TImageList list(nullptr, 8, 6);
    TBitmap red(8, 6), blue(8, 6);
    Fill(red, clRed);
    Fill(blue, clBlue);
    blue.Canvas().SetPixel(0, 0, clFuchsia);
    EXPECT_EQ(list.AddMasked(red, clFuchsia), 0);
    EXPECT_EQ(list.AddMasked(blue, clFuchsia), 1);
    EXPECT_EQ(list.Count(), 2);

    TBitmap target(20, 20);
    Fill(target, clWhite);
    list.Draw(target.Canvas(), 3, 4, 1);
    list.Draw(target.Canvas(), 0, 0, 2);  // no such image: nothing
    EXPECT_EQ(Px(target, 3, 4), 0xFFFFFFu);  // the masked pixel stays clear
    EXPECT_EQ(Px(target, 4, 4), 0x0000FFu);
    EXPECT_EQ(Px(target, 10, 9), 0x0000FFu);
    EXPECT_EQ(Px(target, 11, 9), 0xFFFFFFu);
    EXPECT_EQ(Px(target, 3, 10), 0xFFFFFFu);

    TBitmap copy;
    list.GetBitmap(1, copy);
    EXPECT_EQ(copy.Width(), 8);
    EXPECT_EQ(copy.Height(), 6);
    EXPECT_EQ(Px(copy, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Px(copy, 7, 5), 0x0000FFu);
}

}  // namespace
}  // namespace fw
