// TFont, TPen, TBrush, TCanvas and TBitmap over GDI.
#include "framework/gui/graphics.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/core/exceptions.h"

namespace fw {

TGraphicsObject::~TGraphicsObject() { ReleaseHandle(); }

void TGraphicsObject::ReleaseHandle() {
    if (handle_) {
        DeleteObject(handle_);
        handle_ = nullptr;
    }
}

void TGraphicsObject::Changed() {
    // Listeners deselect the old handle first: a GDI object still selected
    // into a DC cannot be deleted.
    if (OnChange) OnChange();
    ReleaseHandle();
}

// ---- TFont

TFont::TFont() {
    // 8 points at the screen's resolution.
    height_ = -MulDiv(8, PixelsPerInch(), 72);
}

int TFont::PixelsPerInch() {
    static int ppi = [] {
        HDC dc = GetDC(nullptr);
        int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
        if (dc) ReleaseDC(nullptr, dc);
        return v > 0 ? v : 96;
    }();
    return ppi;
}

void TFont::SetName(const std::wstring& name) {
    if (name.empty() || name == name_) return;
    name_ = name;
    Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch(), 72)); }

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    // The colour is not part of the HFONT; tell listeners only.
    if (OnChange) OnChange();
}

void TFont::SetCharset(BYTE charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

void TFont::SetOrientation(int tenths) {
    if (tenths == orientation_) return;
    orientation_ = tenths;
    Changed();
}

void TFont::Assign(const TFont& other) {
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    charset_ = other.charset_;
    orientation_ = other.orientation_;
    Changed();
}

LOGFONTW TFont::LogFont() const {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = charset_;
    lf.lfEscapement = orientation_;
    lf.lfOrientation = orientation_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynW(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
    return lf;
}

void TFont::SetLogFont(const LOGFONTW& lf) {
    name_ = lf.lfFaceName;
    height_ = lf.lfHeight;
    style_ = 0;
    if (lf.lfWeight >= FW_BOLD) style_ |= fsBold;
    if (lf.lfItalic) style_ |= fsItalic;
    if (lf.lfUnderline) style_ |= fsUnderline;
    if (lf.lfStrikeOut) style_ |= fsStrikeOut;
    charset_ = lf.lfCharSet;
    orientation_ = lf.lfEscapement;
    Changed();
}

HFONT TFont::Handle() {
    if (!handle_) {
        LOGFONTW lf = LogFont();
        handle_ = CreateFontIndirectW(&lf);
    }
    return static_cast<HFONT>(handle_);
}

// ---- TPen

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(int width) {
    if (width == width_) return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TPen::Assign(const TPen& other) {
    color_ = other.color_;
    width_ = other.width_;
    style_ = other.style_;
    Changed();
}

HPEN TPen::Handle() {
    if (!handle_) {
        if (DrawsNothing()) {
            handle_ = CreatePen(PS_NULL, 0, 0);
        } else {
            static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
            handle_ = CreatePen(kStyles[static_cast<int>(style_)], width_, ToColorRef(color_));
        }
    }
    return static_cast<HPEN>(handle_);
}

// ---- TBrush

void TBrush::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TBrush::Assign(const TBrush& other) {
    color_ = other.color_;
    style_ = other.style_;
    Changed();
}

HBRUSH TBrush::Handle() {
    if (!handle_) {
        handle_ = DrawsNothing() ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(ToColorRef(color_));
    }
    return static_cast<HBRUSH>(handle_);
}

// ---- TCanvas

TCanvas::TCanvas() {
    // A changed pen, brush or font is selected again before the next drawing.
    pen_.OnChange = [this] {
        if (dc_ && old_pen_) {
            SelectObject(dc_, old_pen_);
            old_pen_ = nullptr;
        }
    };
    brush_.OnChange = [this] {
        if (dc_ && old_brush_) {
            SelectObject(dc_, old_brush_);
            old_brush_ = nullptr;
        }
    };
    font_.OnChange = [this] {
        if (dc_ && old_font_) {
            SelectObject(dc_, old_font_);
            old_font_ = nullptr;
        }
    };
}

TCanvas::~TCanvas() { DeselectObjects(); }

HDC TCanvas::Handle() {
    if (!dc_) CreateHandle();
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    DeselectObjects();
    dc_ = dc;
}

void TCanvas::DeselectObjects() {
    if (!dc_) return;
    if (old_pen_) SelectObject(dc_, old_pen_);
    if (old_brush_) SelectObject(dc_, old_brush_);
    if (old_font_) SelectObject(dc_, old_font_);
    old_pen_ = old_brush_ = old_font_ = nullptr;
}

void TCanvas::RequirePen() {
    HDC dc = Handle();
    HGDIOBJ prev = SelectObject(dc, pen_.Handle());
    if (!old_pen_) old_pen_ = prev;
}

void TCanvas::RequireBrush() {
    HDC dc = Handle();
    HGDIOBJ prev = SelectObject(dc, brush_.Handle());
    if (!old_brush_) old_brush_ = prev;
    if (!brush_.DrawsNothing()) {
        SetBkColor(dc, ToColorRef(brush_.Color()));
        SetBkMode(dc, OPAQUE);
    } else {
        SetBkMode(dc, TRANSPARENT);
    }
}

void TCanvas::RequireFont() {
    HDC dc = Handle();
    HGDIOBJ prev = SelectObject(dc, font_.Handle());
    if (!old_font_) old_font_ = prev;
    if (font_.Color() != clNone) SetTextColor(dc, ToColorRef(font_.Color()));
}

void TCanvas::FillRect(const RECT& r) {
    if (brush_.DrawsNothing()) return;
    ::FillRect(Handle(), &r, brush_.Handle());
}

void TCanvas::FrameRect(const RECT& r) {
    if (brush_.DrawsNothing()) return;
    ::FrameRect(Handle(), &r, brush_.Handle());
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    RequirePen();
    RequireBrush();
    ::Rectangle(Handle(), x1, y1, x2, y2);
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
    RequirePen();
    RequireBrush();
    ::RoundRect(Handle(), x1, y1, x2, y2, w, h);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    RequirePen();
    RequireBrush();
    ::Ellipse(Handle(), x1, y1, x2, y2);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    RequirePen();
    ::LineTo(Handle(), x, y);
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
    if (points.empty()) return;
    RequirePen();
    RequireBrush();
    ::Polygon(Handle(), points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
    if (points.empty()) return;
    RequirePen();
    ::Polyline(Handle(), points.data(), static_cast<int>(points.size()));
}

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
    RequireFont();
    RequireBrush();
    if (font_.Color() == clNone) return;
    ::TextOutW(Handle(), x, y, text.c_str(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::wstring& text) {
    RequireFont();
    RequireBrush();
    if (font_.Color() == clNone) return;
    UINT opts = ETO_CLIPPED | (brush_.DrawsNothing() ? 0 : ETO_OPAQUE);
    ::ExtTextOutW(Handle(), x, y, opts, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
    RequireFont();
    SIZE s{0, 0};
    GetTextExtentPoint32W(Handle(), text.c_str(), static_cast<int>(text.size()), &s);
    return s;
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    BitBlt(Handle(), x, y, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const RECT& r, TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    HDC dc = Handle();
    int old = SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, bitmap.Canvas().Handle(), 0, 0,
               bitmap.Width(), bitmap.Height(), SRCCOPY);
    SetStretchBltMode(dc, old);
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& src) {
    StretchBlt(Handle(), dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.Handle(),
               src.left, src.top, src.right - src.left, src.bottom - src.top, SRCCOPY);
}

TColor TCanvas::Pixel(int x, int y) { return static_cast<TColor>(::GetPixel(Handle(), x, y)); }

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (color == clNone) return;
    ::SetPixel(Handle(), x, y, ToColorRef(color));
}

// ---- MemoryDC

MemoryDC::MemoryDC(HDC compatible, int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {
    dc_ = CreateCompatibleDC(compatible);
    bitmap_ = CreateCompatibleBitmap(compatible, width_, height_);
    if (!dc_ || !bitmap_) {
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
        throw EOutOfMemory(L"Cannot create an off-screen bitmap of " + std::to_wstring(width_) + L" x " +
                           std::to_wstring(height_));
    }
    old_ = SelectObject(dc_, bitmap_);
}

MemoryDC::~MemoryDC() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void MemoryDC::CopyTo(HDC target, int x, int y) const { BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY); }

// ---- TBitmap

class TBitmap::BitmapCanvas : public TCanvas {
public:
    explicit BitmapCanvas(TBitmap* owner) : owner_(owner) {}

protected:
    void CreateHandle() override {
        if (!owner_->dc_) owner_->dc_ = CreateCompatibleDC(nullptr);
        if (owner_->bitmap_ && !owner_->old_bitmap_) owner_->old_bitmap_ = SelectObject(owner_->dc_, owner_->bitmap_);
        SetHandle(owner_->dc_);
    }

private:
    TBitmap* owner_;
};

TBitmap::~TBitmap() {
    canvas_.reset();
    Release();
    if (dc_) DeleteDC(dc_);
}

void TBitmap::Release() {
    if (canvas_) canvas_->SetHandle(nullptr);
    if (dc_ && old_bitmap_) {
        SelectObject(dc_, old_bitmap_);
        old_bitmap_ = nullptr;
    }
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && bitmap_) return;
    Release();
    if (width <= 0 || height <= 0) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) return;
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<BitmapCanvas>(this);
    canvas_->Handle();
    return *canvas_;
}

}  // namespace fw
