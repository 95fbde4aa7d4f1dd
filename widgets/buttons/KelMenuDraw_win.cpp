#include "widgets/buttons/KelMenuDraw.h"

namespace kel::menus {

void FillColor(fw::TCanvas& canvas, const RECT& r, fw::TColor color) {
    if (color == fw::clNone) return;
    canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(color);
    canvas.FillRect(r);
}

void FrameColor(fw::TCanvas& canvas, const RECT& r, fw::TColor color) {
    if (color == fw::clNone) return;
    canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(color);
    canvas.FrameRect(r);
}

void FillGradient(fw::TCanvas& canvas, const RECT& r, TGradientDirection direction, fw::TColor from, fw::TColor to) {
    // Both ends clNone (a background without colours) leave the area as it is.
    if (from == fw::clNone && (to == fw::clNone || to == from)) return;
    for (const TFillPiece& piece : GradientFillPieces(FromRect(r), direction, from, to))
        FillColor(canvas, ToRect(piece.Rect), piece.Color);
}

void FillGradientPart(fw::TCanvas& canvas, const RECT& full, const RECT& clip, TGradientDirection direction,
                      fw::TColor from, fw::TColor to) {
    if (from == fw::clNone && (to == fw::clNone || to == from)) return;
    if (const auto slice = GradientPart(FromRect(full), FromRect(clip), direction, from, to))
        FillGradient(canvas, ToRect(slice->Rect), direction, slice->From, slice->To);
}

void DrawGradientBox(fw::TCanvas& canvas, const RECT& r, fw::TColor from, fw::TColor to, TGradientDirection direction,
                     fw::TColor border, bool fill) {
    if (fill && from != fw::clNone) FillGradient(canvas, r, direction, from, to);
    FrameColor(canvas, r, border);
}

void DrawMirrorBox(fw::TCanvas& canvas, const RECT& r, fw::TColor from, fw::TColor to, fw::TColor mirrorFrom,
                   fw::TColor mirrorTo, TGradientDirection direction, fw::TColor border, bool fill) {
    if (fill && from != fw::clNone) {
        if (mirrorFrom != fw::clNone) {
            const LONG mid = r.top + (r.bottom - r.top) / 2;
            FillGradient(canvas, RECT{r.left, r.top, r.right, mid}, direction, from, to);
            FillGradient(canvas, RECT{r.left, mid, r.right, r.bottom}, direction, mirrorFrom, mirrorTo);
        } else {
            FillGradient(canvas, r, direction, from, to);
        }
    }
    FrameColor(canvas, r, border);
}

void DrawGradientLine(fw::TCanvas& canvas, const RECT& r, fw::TColor color, fw::TColor colorTo,
                      TGradientDirection direction, TGradientType type, int gradientWidth, int margin) {
    for (const TGradientSlice& piece :
         GradientLinePieces(FromRect(r), color, colorTo, direction, type, gradientWidth, margin))
        FillGradient(canvas, ToRect(piece.Rect), direction, piece.From, piece.To);
}

void PaintBackground(fw::TCanvas& canvas, const RECT& r, TBackground& background, bool withGradient) {
    const RECT a{r.left + background.MarginX(), r.top + background.MarginY(), r.right - background.MarginX(),
                 r.bottom - background.MarginY()};
    const int width = a.right - a.left, height = a.bottom - a.top;
    if (width <= 0 || height <= 0) return;
    fw::TBitmap& cache = background.CacheBitmap();
    if (cache.Width() != width || cache.Height() != height) {
        cache.SetSize(width, height);
        FillColor(cache.Canvas(), RECT{0, 0, width, height}, fw::clWhite);
    }
    fw::TPicture* picture = background.HasPicture() ? background.Image() : nullptr;
    const TBackgroundPosition position = background.Position();
    const bool covers = picture && (position == bpTiled || position == bpStretched) && !picture->Graphic()->Transparent();
    const RECT whole{0, 0, width, height};
    if (withGradient && !covers)
        FillGradient(cache.Canvas(), whole, background.GradientDirection(), background.Color(), background.ColorTo());
    if (picture) {
        const int pw = picture->Width(), ph = picture->Height();
        if (position == bpTiled) {
            if (pw > 0 && ph > 0)
                for (int y = 0; y < height; y += ph)
                    for (int x = 0; x < width; x += pw) picture->Draw(cache.Canvas(), RECT{x, y, x + pw, y + ph});
        } else if (position == bpStretched) {
            picture->Draw(cache.Canvas(), whole);
        } else {
            TIntPoint at{background.OffsetX(), background.OffsetY()};
            if (position != bpXY)
                at = PicturePosition(position, background.OffsetX(), background.OffsetY(), FromRect(whole), pw, ph);
            picture->Draw(cache.Canvas(), RECT{at.X, at.Y, at.X + pw, at.Y + ph});
        }
    }
    GdiFlush();
    canvas.Draw(a.left, a.top, cache);
}

HFONT MakeRotatedFont(fw::TFont& font, int angle) {
    LOGFONTW lf{};
    lf.lfHeight = font.Height();
    lf.lfEscapement = angle * 10;
    lf.lfWeight = (font.Style() & fw::fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style() & fw::fsItalic) ? 1 : 0;
    lf.lfUnderline = (font.Style() & fw::fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (font.Style() & fw::fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, font.Name().c_str(), LF_FACESIZE);
    lf.lfPitchAndFamily = VARIABLE_PITCH;
    return CreateFontIndirectW(&lf);
}

void DrawSideBarCaption(fw::TCanvas& canvas, const RECT& bar, TSideBar& sideBar) {
    const std::wstring& text = sideBar.Caption();
    canvas.Font().Assign(sideBar.Font());
    fw::GdiObject<HFONT> rotated(MakeRotatedFont(sideBar.Font(), sideBar.Direction() == dDownToUp ? 90 : -90));
    HDC dc = canvas.Handle();
    fw::SelectGuard select(dc, rotated.get());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    int bottomPicture = 0;
    TBackground& image = sideBar.Image();
    if (image.HasPicture() && (image.Position() == bpBottomLeft || image.Position() == bpBottomRight))
        bottomPicture = image.Image()->Height();
    const auto alignment = static_cast<TCaptionAlignment>(static_cast<int>(sideBar.Alignment()));
    const TIntPoint at = SideBarCaptionOrigin(sideBar.Size(), bar.bottom - bar.top, extent.cx, extent.cy, alignment,
                                              sideBar.Direction(), sideBar.CaptionOffset(), bottomPicture);
    const int x = bar.left + at.X, y = bar.top + at.Y;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const RECT clip{bar.left, bar.top, bar.right, bar.bottom + 1};
    const int d = sideBar.Depth();
    auto draw = [&](int dx, int dy, fw::TColor color) {
        SetTextColor(dc, fw::ToColorRef(color));
        ExtTextOutW(dc, x + dx, y + dy, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    };
    if (sideBar.RaisedColor() != fw::clNone) draw(-d, d, sideBar.RaisedColor());
    if (sideBar.ShadowColor() != fw::clNone) draw(d, -d, sideBar.ShadowColor());
    if (sideBar.Font().Color() != fw::clNone) draw(0, 0, sideBar.Font().Color());
    SetBkMode(dc, oldMode);
}

void DrawSideBarBorder(fw::TCanvas& canvas, const RECT& bar, TSideBar& sideBar) {
    FrameColor(canvas, RECT{bar.left, bar.top, bar.right - sideBar.SplitterWidth(), bar.bottom},
               sideBar.BorderColor());
}

void DrawSideBarSplitter(fw::TCanvas& canvas, const RECT& bar, TSideBar& sideBar) {
    if (sideBar.SplitterColor() == fw::clNone) return;
    const RECT splitter{bar.right - sideBar.SplitterWidth(), bar.top, bar.right, bar.bottom};
    DrawGradientLine(canvas, splitter, sideBar.SplitterColor(), sideBar.SplitterColorTo(), gdVertical,
                     sideBar.SplitterGradientType(), sideBar.SplitterGradientWidth(), sideBar.SplitterMargin());
}

RECT BitmapRect(const fw::TBitmap* bitmap) {
    if (!bitmap) return RECT{0, 0, 0, 0};
    return RECT{0, 0, bitmap->Width(), bitmap->Height()};
}

void DrawGlyph(fw::TCanvas& canvas, int x, int y, fw::TBitmap& glyph, fw::TColor color) {
    if (glyph.Empty()) return;
    GdiFlush();
    for (int gy = 0; gy < glyph.Height(); ++gy) {
        const uint32_t* row = glyph.ScanLine(gy);
        for (int gx = 0; gx < glyph.Width(); ++gx)
            if ((row[gx] & 0xFFFFFF) == 0) canvas.SetPixel(x + gx, y + gy, color);
    }
}

void DrawTransparent(fw::TCanvas& canvas, int x, int y, fw::TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    GdiFlush();
    const uint32_t transparent = bitmap.ScanLine(bitmap.Height() - 1)[0] & 0xFFFFFF;
    for (int by = 0; by < bitmap.Height(); ++by) {
        const uint32_t* row = bitmap.ScanLine(by);
        for (int bx = 0; bx < bitmap.Width(); ++bx) {
            const uint32_t px = row[bx] & 0xFFFFFF;
            if (px != transparent) canvas.SetPixel(x + bx, y + by, fw::RGBColor(uint8_t(px >> 16), uint8_t(px >> 8), uint8_t(px)));
        }
    }
}

}  // namespace kel::menus
