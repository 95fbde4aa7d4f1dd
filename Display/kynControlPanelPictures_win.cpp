// The control panel's pictures.
#include "Display/kynControlPanelPictures_win.h"

#include <cmath>
#include <functional>

namespace kyn {

namespace {

constexpr uint32_t kKey = 0xFFFF00FF;  // transparent (magenta), as 0xAARRGGBB
constexpr fw::TColor kKeyColor = 0xFF00FF;

// Adds one picture whose pixels come from `pixel`(x, y) as 0xRRGGBB, or kKey.
void AddPicture(fw::TImageList& list, const std::function<uint32_t(int, int)>& pixel) {
    fw::TBitmap bmp(list.Width(), list.Height());
    for (int y = 0; y < list.Height(); ++y) {
        uint32_t* row = bmp.ScanLine(y);
        for (int x = 0; x < list.Width(); ++x) row[x] = 0xFF000000u | pixel(x, y);
    }
    list.AddMasked(bmp, kKeyColor);
}

bool InRoundRect(int x, int y, int w, int h, int r) {
    auto corner = [r](int dx, int dy) { return dx * dx + dy * dy <= r * r; };
    if (x < r && y < r) return corner(r - x, r - y);
    if (x >= w - r && y < r) return corner(x - (w - r - 1), r - y);
    if (x < r && y >= h - r) return corner(r - x, y - (h - r - 1));
    if (x >= w - r && y >= h - r) return corner(x - (w - r - 1), y - (h - r - 1));
    return true;
}

}  // namespace

void AddCloseImages(fw::TImageList& list) {
    // A cross on a rounded plate: grey, then red while the mouse is over it.
    for (uint32_t plate : {0x707070u, 0xD03020u}) {
        AddPicture(list, [&](int x, int y) -> uint32_t {
            const int w = list.Width(), h = list.Height();
            if (!InRoundRect(x, y, w, h, 3)) return kKey;
            const int cx = x - (w - h) / 2;  // square area of the cross
            const bool cross = cx >= 2 && cx < h - 2 && y >= 2 && y < h - 2 &&
                               (std::abs(cx - y) <= 0 || std::abs(cx + y - (h - 1)) <= 0 ||
                                std::abs(cx - y) == 1 || std::abs(cx + y - (h - 1)) == 1);
            return cross ? 0xFFFFFFu : plate;
        });
    }
}

void AddThemeImages(fw::TImageList& list) {
    // A disc half white, half dark: the two themes. Hot shows an orange
    // ring, pressed an inverted disc.
    for (int state = 0; state < 3; ++state) {
        AddPicture(list, [&](int x, int y) -> uint32_t {
            const double cx = (list.Width() - 1) / 2.0, cy = (list.Height() - 1) / 2.0;
            const double d = std::hypot(x - cx, y - cy);
            if (d > 7.5) return kKey;
            if (d > 6.3) return state == 1 ? 0xFF8420u : 0x808080u;
            const bool left = x < cx;
            const bool light = state == 2 ? !left : left;
            return light ? 0xF4F4F4u : 0x303030u;
        });
    }
}

void AddFlagImages(fw::TImageList& list) {
    const int w = list.Width(), h = list.Height();
    const int top = 2, bottom = h - 2;  // 12 rows of flag, 2 clear above and below
    auto inFlag = [&](int x, int y) { return x >= 1 && x < w - 1 && y >= top && y < bottom; };
    // "XX": no language chosen: a grey flag with a white diagonal cross.
    AddPicture(list, [&](int x, int y) -> uint32_t {
        if (!inFlag(x, y)) return kKey;
        const int fx = x - 1, fy = y - top, flagW = w - 2, flagH = bottom - top;
        const int a = fx * flagH - fy * flagW, b = fx * flagH + fy * flagW - flagW * flagH;
        if (std::abs(a) <= flagW || std::abs(b) <= flagW) return 0xFFFFFFu;
        return 0x9A9A9Au;
    });
    // "US": red and white stripes with a blue canton and white stars.
    AddPicture(list, [&](int x, int y) -> uint32_t {
        if (!inFlag(x, y)) return kKey;
        const int fx = x - 1, fy = y - top;
        if (fx < 9 && fy < 7) return (fx % 2 == 1 && fy % 2 == 1) ? 0xFFFFFFu : 0x3C3B6Eu;
        return (fy % 2 == 0) ? 0xB22234u : 0xFFFFFFu;
    });
    // "NL": red, white and blue bands.
    AddPicture(list, [&](int x, int y) -> uint32_t {
        if (!inFlag(x, y)) return kKey;
        const int band = (y - top) * 3 / (bottom - top);
        return band == 0 ? 0xAE1C28u : band == 1 ? 0xFFFFFFu : 0x21468Bu;
    });
}

}  // namespace kyn
