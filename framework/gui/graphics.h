// Painting: TFont, TPen and TBrush describe GDI objects and make them on
// demand; TCanvas draws on a device context with them; TBitmap is a 32-bit
// top-down DIB section with its own canvas. clNone never reaches GDI: a pen
// or brush of that colour draws nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/colors.h"

namespace fw {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// Base of the three: change notification and the cached handle.
class TGraphicsObject {
public:
    virtual ~TGraphicsObject();
    std::function<void()> OnChange;

protected:
    void Changed();
    void ReleaseHandle();
    HGDIOBJ handle_ = nullptr;
};

class TFont : public TGraphicsObject {
public:
    TFont();
    const std::wstring& Name() const { return name_; }
    void SetName(const std::wstring& name);
    // Size in points; Height in pixels (negative: character height).
    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int height);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    BYTE Charset() const { return charset_; }
    void SetCharset(BYTE charset);
    int Orientation() const { return orientation_; }  // tenths of a degree
    void SetOrientation(int tenths);
    void Assign(const TFont& other);
    HFONT Handle();
    // The LOGFONT this font makes, and the reverse.
    LOGFONTW LogFont() const;
    void SetLogFont(const LOGFONTW& lf);

    static int PixelsPerInch();

private:
    std::wstring name_ = L"Tahoma";
    int height_ = -11;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    BYTE charset_ = DEFAULT_CHARSET;
    int orientation_ = 0;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    void Assign(const TPen& other);
    HPEN Handle();
    bool DrawsNothing() const { return color_ == clNone || style_ == TPenStyle::psClear; }

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
};

enum class TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    void Assign(const TBrush& other);
    HBRUSH Handle();
    bool DrawsNothing() const { return color_ == clNone || style_ == TBrushStyle::bsClear; }

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
};

class TBitmap;

class TCanvas {
public:
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle();
    // Hands the canvas a DC that it does not own (pass nullptr to let go).
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont& Font() { return font_; }
    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }

    void FillRect(const RECT& r);
    void FrameRect(const RECT& r);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
    void Ellipse(int x1, int y1, int x2, int y2);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polygon(const std::vector<POINT>& points);
    void Polyline(const std::vector<POINT>& points);
    void TextOut(int x, int y, const std::wstring& text);
    void TextRect(const RECT& r, int x, int y, const std::wstring& text);
    SIZE TextExtent(const std::wstring& text);
    int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
    int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }
    void Draw(int x, int y, TBitmap& bitmap);
    void StretchDraw(const RECT& r, TBitmap& bitmap);
    void CopyRect(const RECT& dest, TCanvas& source, const RECT& src);
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

protected:
    // Canvases that own their DC make it here.
    virtual void CreateHandle() {}
    void RequirePen();
    void RequireBrush();
    void RequireFont();
    void DeselectObjects();

private:
    HDC dc_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    HGDIOBJ old_pen_ = nullptr;
    HGDIOBJ old_brush_ = nullptr;
    HGDIOBJ old_font_ = nullptr;
};

// A 32-bit top-down DIB section; pixels are 0xAARRGGBB words.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return !bitmap_; }
    HBITMAP Handle() const { return bitmap_; }
    uint32_t* ScanLine(int y) { return bits_ + static_cast<size_t>(y) * static_cast<size_t>(width_); }
    uint32_t* Bits() { return bits_; }
    TCanvas& Canvas();

private:
    class BitmapCanvas;
    void Release();
    int width_ = 0;
    int height_ = 0;
    HBITMAP bitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_bitmap_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};

// Lends a canvas a DC (and a font to draw with) for one paint; the canvas
// lets go of the DC on scope exit, also when the paint throws.
class CanvasPaintScope {
public:
    CanvasPaintScope(TCanvas& canvas, HDC dc, const TFont& font) : canvas_(canvas) {
        canvas_.SetHandle(dc);
        canvas_.Font().Assign(font);
    }
    ~CanvasPaintScope() { canvas_.SetHandle(nullptr); }
    CanvasPaintScope(const CanvasPaintScope&) = delete;
    CanvasPaintScope& operator=(const CanvasPaintScope&) = delete;

private:
    TCanvas& canvas_;
};

// Selects a GDI object into a DC and puts the old one back on scope exit.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Saves a DC's state (origin, clipping, selected objects) and restores it
// on scope exit.
class SavedDCState {
public:
    explicit SavedDCState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDCState() {
        if (saved_) RestoreDC(dc_, saved_);
    }
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// An off-screen bitmap compatible with a DC, for painting without flicker:
// paint into DC(), then CopyTo the screen. Everything is released on scope
// exit, also when the paint throws.
class MemoryDC {
public:
    MemoryDC(HDC compatible, int width, int height);
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC DC() const { return dc_; }
    void CopyTo(HDC target, int x = 0, int y = 0) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    int width_;
    int height_;
};

// Owns one GDI object and deletes it on scope exit.
template <class H>
class GdiObject {
public:
    explicit GdiObject(H h = nullptr) : h_(h) {}
    ~GdiObject() {
        if (h_) DeleteObject(h_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    H h_;
};

// A COLORREF for GDI, from a TColor that is not clNone.
inline COLORREF ToColorRef(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)) & 0x00FFFFFF; }

}  // namespace fw
