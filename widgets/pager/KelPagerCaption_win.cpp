// Tab captions with GDI (no anti-aliasing) or GDI+.
#include "widgets/pager/KelPagerCaption.h"

#include <cmath>
#include <memory>

#include "framework/core/streams.h"
#include "framework/gui/image_list.h"
#include "widgets/drawing/DecodedImage.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/KelGDIP.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel::pager {

using namespace fw;

namespace {

struct TGdiPlusText {
    std::unique_ptr<TGPGraphics> graphics;
    std::unique_ptr<TGPFontFamily> family;
    std::unique_ptr<TGPFont> font;
    std::unique_ptr<TGPStringFormat> format;
};

TGdiPlusText MakeGdiPlusText(TCanvas& canvas, const TCaptionStyle& style, bool vertical) {
    TGdiPlusText t;
    t.graphics = std::make_unique<TGPGraphics>(canvas.Handle());
    TFont& f = canvas.Font();
    t.family = MakeFontFamily(f.Name());
    int gpStyle = 0;
    if (f.Style() & fw::fsBold) gpStyle |= gpFontStyleBold;
    if (f.Style() & fw::fsItalic) gpStyle |= gpFontStyleItalic;
    if (f.Style() & fw::fsUnderline) gpStyle |= gpFontStyleUnderline;
    t.font = std::make_unique<TGPFont>(t.family.get(), float(f.Size()), gpStyle, gpUnitPoint);
    t.graphics->SetSmoothingMode(gpSmoothingModeAntiAlias);
    t.format = std::make_unique<TGPStringFormat>(vertical ? gpStringFormatFlagsDirectionVertical : 0);
    t.format->SetAlignment(style.Alignment == taRightJustify ? gpStringAlignmentFar
                           : style.Alignment == taCenter     ? gpStringAlignmentCenter
                                                             : gpStringAlignmentNear);
    t.format->SetLineAlignment(gpStringAlignmentCenter);
    t.format->SetHotkeyPrefix(gpHotkeyPrefixShow);
    t.graphics->SetTextRenderingHint(style.AntiAlias == aaClearType ? gpTextRenderingHintClearTypeGridFit
                                                                    : gpTextRenderingHintAntiAlias);
    return t;
}

TGPFloatRect ToFloat(const RECT& r) {
    return FloatRect(float(r.left), float(r.top), float(r.right - r.left), float(r.bottom - r.top));
}

int GdiPlusWidth(TGdiPlusText& t, const std::wstring& text, const RECT& rect) {
    TGPFloatRect box{};
    t.graphics->MeasureString(text.c_str(), int(text.size()), t.font.get(),
                              FloatRect(float(rect.left), float(rect.top), 1000, float(rect.bottom - rect.top)),
                              t.format.get(), box);
    return int(std::lround(box.Width));
}

int GdiWidth(HDC dc, const std::wstring& text) {
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return r.right - r.left;
}

}  // namespace

SIZE GetWideTextExtent(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    if (!text.empty()) GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    return size;
}

int CanvasWideTextWidth(TCanvas& canvas, const std::wstring& text) {
    HDC dc = canvas.Handle();
    SelectGuard font(dc, canvas.Font().Handle());
    return GetWideTextExtent(dc, text).cx;
}

namespace {

// The graphics to draw on: the given one, else a new one on the canvas.
struct TSurface {
    std::unique_ptr<TGPGraphics> owned;
    TGPGraphics* g = nullptr;
    TSurface(TGPGraphics* graphics, TCanvas* canvas) {
        if (graphics) {
            g = graphics;
        } else if (canvas) {
            owned = std::make_unique<TGPGraphics>(canvas->Handle());
            owned->SetSmoothingMode(gpSmoothingModeAntiAlias);
            g = owned.get();
        }
    }
};

// Draws decoded bytes at their own size, keyed on the pixel (kx, ky) when
// asked (ky -1: the bottom row).
void DrawKeyedImage(TGPGraphics& g, const TBytes& bytes, POINT at, bool key, int kx, int ky) {
    TDecodedImage image(bytes);
    if (!image.Ok()) return;
    const int w = int(image.Image().GetWidth()), h = int(image.Image().GetHeight());
    if (key && image.Image().GetFormatKind() != ifPNG && w > 0 && h > 0) {
        TDecodedImage bitmap(bytes, true);
        TARGB colour = 0;
        if (bitmap.Ok()) bitmap.Bitmap()->GetPixel(kx, ky < 0 ? h - 1 : ky, colour);
        TGPImageAttributes attributes;
        attributes.SetColorKey(colour, colour);
        g.DrawImageRectRect(&image.Image(), FloatRect(float(at.x), float(at.y), float(w), float(h)), 0, 0, float(w),
                            float(h), gpUnitPixel, &attributes);
        return;
    }
    g.DrawImageAt(&image.Image(), at.x, at.y);
}

}  // namespace

void DrawImageListImageGP(TGPGraphics* graphics, TCanvas* canvas, POINT at, bool enabled, int imageIndex,
                          const TImageList* list) {
    if (!list || imageIndex < 0 || (!graphics && !canvas)) return;
    TBitmap bitmap(list->Width(), list->Height());
    if (bitmap.Empty()) return;
    list->Draw(bitmap.Canvas(), 0, 0, imageIndex, enabled);
    const TBytes bytes = BitmapFileBytes(bitmap);
    TSurface s(graphics, canvas);
    DrawKeyedImage(*s.g, bytes, at, true, 0, -1);
}

void DrawGraphicGP(TGPGraphics* graphics, TCanvas* canvas, POINT at, bool useColorKey, const TGraphic& graphic) {
    if (!graphics && !canvas) return;
    TMemoryStream stream;
    graphic.SaveToStream(&stream);
    if (stream.Size() <= 0) return;
    const TBytes bytes(stream.Memory(), stream.Memory() + stream.Size());
    TSurface s(graphics, canvas);
    DrawKeyedImage(*s.g, bytes, at, useColorKey, 0, 0);
}

std::wstring TruncateCaption(TCanvas& canvas, const std::wstring& text, const RECT& rect, bool useGdiPlus,
                             bool wordWrap, TTabPosition position, bool addEllipsis) {
    if (wordWrap) return text;
    const int room = position == tpLeft || position == tpRight ? rect.bottom - rect.top : rect.right - rect.left;
    const std::wstring suffix = addEllipsis ? L"..." : L"";
    std::wstring s = text;
    if (useGdiPlus) {
        TGdiPlusText t = MakeGdiPlusText(canvas, TCaptionStyle{}, false);
        if (GdiPlusWidth(t, s, rect) < room - 2) return s;
        while (!s.empty() && GdiPlusWidth(t, s + suffix, rect) >= room - 2) s.pop_back();
        return s + suffix;
    }
    HDC dc = canvas.Handle();
    if (GdiWidth(dc, s) < room) return s;
    while (!s.empty() && GdiWidth(dc, s + suffix) >= room) s.pop_back();
    return s + suffix;
}

void DrawTabCaption(TCanvas& canvas, const RECT& rect, const std::wstring& caption, const std::wstring& wideCaption,
                    const TCaptionStyle& style, bool draw, RECT& textRect) {
    std::wstring text = caption.empty() ? wideCaption : caption;
    if (text.empty()) return;
    const bool gdiPlus = style.AntiAlias != aaNone;
    if (draw && style.Ellipsis)
        text = TruncateCaption(canvas, text, rect, gdiPlus, style.WordWrap, style.Position, true);
    if (gdiPlus) {
        TGdiPlusText t = MakeGdiPlusText(canvas, style, draw && style.Position == tpRight);
        TGPFloatRect box{};
        t.graphics->MeasureString(text.c_str(), int(text.size()), t.font.get(), ToFloat(rect), t.format.get(), box);
        textRect = RECT{int(std::lround(box.X)), int(std::lround(box.Y)), int(std::lround(box.X + box.Width)),
                        int(std::lround(box.Y + box.Height))};
        if (!draw) return;
        const TColor color = style.Enabled ? canvas.Font().Color() : TColor(0x808080);
        TGPSolidBrush brush(ColorToOpaqueARGB(color));
        t.graphics->DrawString(text.c_str(), int(text.size()), t.font.get(), ToFloat(rect), t.format.get(), &brush);
        return;
    }
    HDC dc = canvas.Handle();
    HGDIOBJ oldFont = SelectObject(dc, canvas.Font().Handle());
    RECT calc{rect.left, rect.top, rect.left + 65535, rect.bottom};
    DrawTextW(dc, text.c_str(), int(text.size()), &calc,
              DT_CALCRECT | (style.Ellipsis ? DT_END_ELLIPSIS : DT_WORDBREAK));
    textRect = calc;
    if (draw) {
        RECT r = rect;
        OffsetRect(&r, 3, 0);
        const UINT align = style.Alignment == taRightJustify ? DT_RIGHT : style.Alignment == taCenter ? DT_CENTER : DT_LEFT;
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColor = SetTextColor(dc, ColorToRGB(canvas.Font().Color()));
        DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | align);
        SetTextColor(dc, oldColor);
        SetBkMode(dc, oldMode);
    }
    SelectObject(dc, oldFont);
}

}  // namespace kel::pager
