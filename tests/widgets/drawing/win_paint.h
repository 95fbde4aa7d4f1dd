// Off-screen painting for the Windows drawing tests: a 32-bit bitmap filled
// white, pixels read back as 0xRRGGBB, and ink counts inside a box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "framework/gui/graphics.h"

namespace kel::test {

inline void FillWhite(fw::TBitmap& bmp) {
    bmp.Canvas().Brush().SetColor(fw::clWhite);
    bmp.Canvas().Brush().SetStyle(fw::TBrushStyle::bsSolid);
    bmp.Canvas().FillRect(RECT{0, 0, bmp.Width(), bmp.Height()});
    GdiFlush();
}

// 0xRRGGBB of the pixel at (x, y).
inline uint32_t Px(fw::TBitmap& bmp, int x, int y) {
    GdiFlush();
    return bmp.ScanLine(y)[x] & 0xFFFFFF;
}

inline uint32_t Rgb(int r, int g, int b) { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }

// Every channel within `tolerance` of the expected colour.
inline bool Near(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

// Pixels in [left, right) x [top, bottom) that are not white.
inline int InkIn(fw::TBitmap& bmp, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (Px(bmp, x, y) != 0xFFFFFF) ++n;
    return n;
}

}  // namespace kel::test
