#include "widgets/drawing/HtmlDrawHelpers.h"

#include <commctrl.h>
#include <shellapi.h>


#include "widgets/drawing/HtmlMarkup.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel {
namespace {

HIMAGELIST SystemImageList(bool large) {
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | (large ? 0 : SHGFI_SMALLICON);
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"", 0, &info, sizeof info, flags));
}

}  // namespace

void DrawSteppedGradient(fw::TCanvas& canvas, fw::TColor color, fw::TColor colorTo, fw::TColor frameColor, int count,
                         const RECT& rect, bool horizontal) {
    TIntRect r{rect.left, rect.top, rect.right, rect.bottom};
    for (const TGradientBand& band : ClippedSteppedGradientBands(color, colorTo, count, r, horizontal)) {
        canvas.Pen().SetColor(band.Color);
        canvas.Brush().SetColor(canvas.Pen().Color());
        canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);  // a brush colour means a solid brush
        canvas.Rectangle(band.Rect.Left, band.Rect.Top, band.Rect.Right, band.Rect.Bottom);
    }
    if (frameColor != fw::clNone) {
        canvas.Brush().SetStyle(fw::TBrushStyle::bsClear);
        canvas.Pen().SetColor(frameColor);
        canvas.Rectangle(rect);
    }
}

void DrawSystemIcon(fw::TCanvas& canvas, int x, int y, const std::wstring& source, bool large, bool draw,
                    bool printMode, double scale, POINT& size) {
    bool complete = false;
    int index = ReadRunTimeInteger(source, complete);
    if (!complete && !source.empty()) {
        index = 0;
        SHFILEINFOW info{};
        // An existing file or folder gets its own icon; any other name the
        // icon of its extension.
        UINT flags = SHGFI_SYSICONINDEX;
        if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES) flags |= SHGFI_USEFILEATTRIBUTES;
        if (SHGetFileInfoW(source.c_str(), 0, &info, sizeof info, flags)) index = info.iIcon;
    }
    HIMAGELIST list = SystemImageList(large);
    int cx = 0, cy = 0;
    if (!list || !ImageList_GetIconSize(list, &cx, &cy)) cx = cy = 0;
    size.x = cx;
    size.y = cy;
    if (!draw || !list) return;
    if (!printMode) {
        ImageList_Draw(list, index, canvas.Handle(), x, y, ILD_TRANSPARENT);
        return;
    }
    if (cx <= 0 || cy <= 0) return;
    fw::TBitmap bitmap(cx, cy);
    ImageList_Draw(list, index, bitmap.Canvas().Handle(), 0, 0, ILD_NORMAL);
    StretchDrawDIB(canvas, RECT{x, y, x + RoundHalfEven(cx * scale), y + RoundHalfEven(cy * scale)}, bitmap);
}

void StretchDrawDIB(fw::TCanvas& canvas, const RECT& rect, fw::TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    GdiFlush();
    // The framework bitmap is a 32-bit top-down DIB section: its own bits
    // and this header describe it exactly.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bitmap.Width();
    info.bmiHeader.biHeight = -bitmap.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(canvas.Handle(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                  bitmap.Width(), bitmap.Height(), bitmap.Bits(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void CreateRotatedFont(fw::TCanvas& canvas, int angle, TRotatedFontState& state) {
    if (state.rotated) RestoreRotatedFont(canvas, state);
    LOGFONTW lf{};
    if (GetObjectW(canvas.Font().Handle(), sizeof lf, &lf) != sizeof lf) return;
    lf.lfEscapement = angle * 10;  // tenths of a degree
    lf.lfOrientation = angle * 10;
    HFONT rotated = CreateFontIndirectW(&lf);
    if (!rotated) return;
    HDC dc = canvas.Handle();
    state.dc = dc;
    state.replaced = SelectObject(dc, rotated);
    state.rotated = rotated;
}

void RestoreRotatedFont(fw::TCanvas& /*canvas*/, TRotatedFontState& state) {
    if (!state.rotated) return;
    // The canvas may have selected its own font since; then the rotated one
    // is no longer in the device context and only needs deleting.
    if (GetCurrentObject(state.dc, OBJ_FONT) == state.rotated) {
        if (!state.replaced || !SelectObject(state.dc, state.replaced))
            SelectObject(state.dc, GetStockObject(SYSTEM_FONT));
    }
    DeleteObject(state.rotated);
    state = TRotatedFontState{};
}

}  // namespace kel
