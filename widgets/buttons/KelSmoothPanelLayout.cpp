// The smooth panel's geometry and presets.
#include "widgets/buttons/KelSmoothPanelLayout.h"

#include <algorithm>

namespace kel::panel {

int TextRenderingHintOf(TKelSmoothPanelTextRenderingHint hint) {
    switch (hint) {
        case tAntiAlias: return 4;         // AntiAlias
        case tAntiAliasGridFit: return 3;  // AntiAliasGridFit
        case tClearType: return 5;         // ClearTypeGridFit
    }
    return 3;
}

bool IsBottomLocation(TKelSmoothPanelLocation location) {
    return location == plBottomLeft || location == plBottomCenter || location == plBottomRight;
}

void PlaceByLocation(int& x, int& y, const TGPFloatRect& r, int w, int h, TKelSmoothPanelLocation location) {
    const int rx = RoundHalfEven(r.X);
    const int ry = RoundHalfEven(r.Y);
    const int rw = RoundHalfEven(r.Width);
    const int rh = RoundHalfEven(r.Height);
    const int right = std::max(rw - w, rx);
    const int center = right / 2;
    const int middle = (rh - h) / 2;
    const int bottom = rh - h;
    switch (location) {
        case plTopLeft: x = rx; y = ry; break;
        case plTopCenter: x = center; y = ry; break;
        case plTopRight: x = right; y = ry; break;
        case plCenterLeft: x = rx; y = middle; break;
        case plCenterCenter: x = center; y = middle; break;
        case plCenterRight: x = right; y = middle; break;
        case plBottomLeft: x = rx; y = bottom; break;
        case plBottomCenter: x = center; y = bottom; break;
        case plBottomRight: x = right; y = bottom; break;
        case plCustom: break;
    }
}

TCaptionArea CaptionArea(const TGPFloatRect& fillRect, bool hasPicture, int pictureWidth,
                         TFillPicturePosition picturePosition, TKelSmoothPanelLocation location) {
    TCaptionArea area{fillRect, 0};
    if (!hasPicture) return area;
    const bool top = location == plTopLeft || location == plTopRight;
    const bool bottom = location == plBottomLeft || location == plBottomRight;
    if ((picturePosition == ppTopLeft && top) || (picturePosition == ppBottomLeft && bottom)) {
        area.Rect.X += static_cast<float>(pictureWidth);
        area.Inset = pictureWidth;
    } else if ((picturePosition == ppTopRight && top) || (picturePosition == ppBottomRight && bottom)) {
        area.Rect.Width -= static_cast<float>(pictureWidth);
    }
    return area;
}

TCaptionLine CaptionLine(const TGPFloatRect& captionArea, float y, float measuredHeight,
                         TKelSmoothPanelLocation location) {
    TCaptionLine line;
    line.X1 = RoundHalfEven(captionArea.X + 2);
    line.X2 = RoundHalfEven(captionArea.Width - 2);
    line.Y = IsBottomLocation(location) ? y - 2 : y + measuredHeight;
    return line;
}

TIntRect HtmlMeasureRect(const THtmlBlockInput& in) {
    const int avail = in.Available();
    if (in.Location == plCustom) return TIntRect{0, in.CaptionHeight, avail - in.Left, 10000};
    return TIntRect{in.Left, in.CaptionHeight, avail, 10000};
}

TIntRect HtmlDrawRect(const THtmlBlockInput& in, TGPFloatRect fillRect, int textWidth, int textHeight) {
    const int avail = in.Available();
    fillRect.Height -= static_cast<float>(in.CaptionHeight);
    if (in.Location == plCustom) {
        const int x = in.Left;
        const int y = in.Top;
        return TIntRect{x, y, x + (avail - in.Left), y + textHeight};
    }
    int x = 0;
    int y = 0;
    PlaceByLocation(x, y, fillRect, textWidth, textHeight, in.Location);
    y += in.CaptionHeight;
    return TIntRect{x, y, x + textWidth, y + textHeight};
}

TSmoothPanelPreset SmoothPanelPreset(int style) {
    using namespace fw;
    struct Row {
        int style;
        TColor start, end, line, color, colorTo, mirror, mirrorTo, border;
        bool mirrorVertical, glowRadial;
    };
    static const Row rows[] = {
        {0, clBlack, clBlack, clBlack, 0xFDEADA, 0xE4AE88, clNone, clNone, 0xDFD2C5, false, false},
        {1, clBlack, clBlack, clBlack, 0xF7F3F3, 0xE6D8D8, clNone, clNone, 0x927476, false, false},
        {2, clBlack, clBlack, clBlack, 0xCFF0EA, 0x8CC0B1, clNone, clNone, 0x6B7760, false, false},
        {3, clBlack, clBlack, clBlack, clWhite, 0xC9D1D5, clNone, clNone, clGray, false, false},
        {4, 0xB0721C, 0x9F661A, 0xB0721C, 0xFAF1E9, 0xEDD8C7, 0xEDD8C7, 0xFFF2E7, 0xE3B28D, true, false},
        {5, clWhite, clWhite, clWhite, 0xCFC6C1, 0xC5BBB4, 0xC5BBB4, 0xECECE5, clBlack, true, false},
        {6, clBlack, clBlack, clBlack, clBtnFace, clBtnFace, clNone, clNone, clBlack, false, false},
        {7, clBlack, clBlack, clBlack, clWhite, 0xD9E9EC, clNone, clNone, 0x828F92, false, false},
        {9, 0xB0721C, 0x9F661A, 0xB0721C, 0xF6F1EE, 0xE7DCD5, 0xE7DCD5, 0xF4F4EE, 0x74706F, true, false},
        {10, clBlack, clBlack, 0xFDDE99, 0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDDE99, false, false},
        {11, clBlack, clBlack, 0xCEA27D, 0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xCEA27D, false, false},
        {12, clBlack, clBlack, clBlack, clBtnFace, clBtnFace, clNone, clNone, clBlack, false, false},
        {13, 0x5B391E, 0x5B391E, 0x5B391E, 0xFDF6EF, 0xF0DAC7, clNone, clNone, 0xC7B29F, false, true},
        {14, 0x5B391E, 0x5B391E, 0x5B391E, clWhite, 0xEDE5E0, clNone, clNone, 0xD2CDC8, false, true},
        {15, clWhite, clWhite, clWhite, 0xBFBFBF, 0x919191, clNone, clNone, 0x6D6D6D, false, true},
    };
    for (const Row& r : rows) {
        if (r.style != style) continue;
        return TSmoothPanelPreset{true,       r.start,    r.end,   r.line,           r.color,     r.colorTo,
                                  r.mirror,   r.mirrorTo, r.border, r.mirrorVertical, r.glowRadial};
    }
    return TSmoothPanelPreset{};
}

}  // namespace kel::panel
