// The GDI+ object layer: one wrapper class per kind of GDI+ object over the
// GDI+ flat API, each owning its native object and keeping the last failure
// status. Nothing here throws on a GDI+ failure: the status shows in the
// operation's result and, stickily, in LastStatus(). Wrappers live on GDI+'s
// own heap when made with new, and GDI+ stays up until the last wrapper is
// gone (see StopGdiplus).
//
// Arguments passed as pointers may be null (GDI+ then answers with its own
// status); arguments passed as references must be existing objects.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstddef>
#include <memory>
#include <string>

#include "framework/gui/graphics.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/drawing/KelGDIPTypes.h"

// The native object types of the flat API (defined in <gdiplus.h>).
namespace Gdiplus {
class GpGraphics;
class GpPen;
class GpBrush;
class GpPath;
class GpRegion;
class GpFontFamily;
class GpFontCollection;
class GpFont;
class GpStringFormat;
class GpImage;
class GpImageAttributes;
}  // namespace Gdiplus

namespace kel {

// Start step of the layer, run once on the GUI thread before any window
// exists: starts GDI+ without its background thread and runs GDI+'s
// notification hook on this thread instead.
void StartGdiplus();
// Stop step: unhooks and shuts GDI+ down. While wrappers are still alive the
// shutdown waits for the last of them, so none outlives GDI+.
void StopGdiplus();
bool GdiplusRunning();
int LiveGdiplusWrappers();

// GDI+ values used by the widgets (the flat API's own numbers).
enum : int {
    gpSmoothingModeAntiAlias = 4,
    gpTextRenderingHintAntiAlias = 4,
    gpTextRenderingHintClearTypeGridFit = 5,
    gpUnitWorld = 0,
    gpUnitPixel = 2,
    gpUnitPoint = 3,
    gpFillModeAlternate = 0,
    gpFillModeWinding = 1,
    gpCombineModeReplace = 0,
    gpDashStyleSolid = 0,
    gpDashStyleDot = 2,
    gpWrapModeTile = 0,
    gpWrapModeClamp = 4,
    gpStringFormatFlagsDirectionVertical = 2,
    gpStringAlignmentNear = 0,
    gpStringAlignmentCenter = 1,
    gpStringAlignmentFar = 2,
    gpHotkeyPrefixNone = 0,
    gpHotkeyPrefixShow = 1,
    gpHotkeyPrefixHide = 2,
    gpFontStyleBold = 1,
    gpFontStyleItalic = 2,
    gpFontStyleUnderline = 4,
    gpLinearGradientModeHorizontal = 0,
    gpLinearGradientModeVertical = 1,
    gpLinearGradientModeForwardDiagonal = 2,
    gpLinearGradientModeBackwardDiagonal = 3,
    gpColorAdjustTypeDefault = 0,
};
constexpr int gpPixelFormat32bppARGB = 0x26200A;

using TDrawImageAbort = BOOL(CALLBACK*)(void*);

class TGdiplusBase {
public:
    // Instances made with new live on GDI+'s heap; GDI+ is started on demand
    // when that heap is not there yet. Throws fw::EOutOfMemory when GDI+
    // still cannot allocate.
    static void* operator new(std::size_t size);
    static void operator delete(void* p);
    static void* operator new[](std::size_t) = delete;
    static void operator delete[](void*) = delete;

    TGdiplusBase(const TGdiplusBase&) = delete;
    TGdiplusBase& operator=(const TGdiplusBase&) = delete;
    virtual ~TGdiplusBase();

    // The last failure of any operation (or the creation's status, Ok
    // included); a later success never resets it.
    TGPStatus LastStatus() const { return lastStatus_; }

protected:
    TGdiplusBase();
    // Stores a failure and hands the status back.
    TGPStatus SetStatus(int status);
    void SetCreationStatus(int status) { lastStatus_ = static_cast<TGPStatus>(status); }

private:
    TGPStatus lastStatus_ = stOk;
};

class TGPBrush;
class TGPPen;
class TGPGraphicsPath;
class TGPRegion;
class TGPFontFamily;
class TGPFont;
class TGPStringFormat;
class TGPImage;
class TGPImageAttributes;

class TGPGraphics : public TGdiplusBase {
public:
    explicit TGPGraphics(HDC dc);
    // A null image makes no call: null handle, status Ok.
    explicit TGPGraphics(TGPImage* image);
    ~TGPGraphics() override;
    static std::unique_ptr<TGPGraphics> CreateFromHDC(HDC dc) { return std::make_unique<TGPGraphics>(dc); }
    static std::unique_ptr<TGPGraphics> CreateFromImage(TGPImage* image) {
        return std::make_unique<TGPGraphics>(image);
    }
    Gdiplus::GpGraphics* Native() const { return native_; }

    TGPStatus SetTextRenderingHint(int hint);
    int GetSmoothingMode();  // -1 when the call fails
    TGPStatus SetSmoothingMode(int mode);
    HDC GetHDC();  // null when the call fails
    TGPStatus ReleaseHDC(HDC dc);

    TGPStatus DrawPath(const TGPPen* pen, const TGPGraphicsPath* path);
    TGPStatus FillPath(const TGPBrush& brush, const TGPGraphicsPath& path);
    TGPStatus FillRectangle(const TGPBrush& brush, float x, float y, float width, float height);
    TGPStatus FillRectangleF(const TGPBrush& brush, const TGPFloatRect& rect);
    TGPStatus DrawRectangle(const TGPPen& pen, float x, float y, float width, float height);
    TGPStatus DrawRectangleF(const TGPPen& pen, const TGPFloatRect& rect);
    TGPStatus DrawLine(const TGPPen& pen, float x1, float y1, float x2, float y2);
    TGPStatus FillEllipseI(const TGPBrush& brush, int x, int y, int width, int height);
    TGPStatus SetClipRegion(const TGPRegion& region, int combineMode);
    TGPStatus ResetClip();
    TGPStatus DrawImageAt(const TGPImage* image, int x, int y);
    TGPStatus DrawImageRect(const TGPImage* image, int x, int y, int width, int height);
    TGPStatus DrawImageRectRect(const TGPImage* image, const TGPFloatRect& dest, float srcX, float srcY,
                                float srcWidth, float srcHeight, int srcUnit, const TGPImageAttributes* attributes,
                                TDrawImageAbort callback = nullptr, void* callbackData = nullptr);

    // length -1: up to the terminating null.
    TGPStatus MeasureString(const wchar_t* text, int length, const TGPFont* font, const TGPFloatRect& layout,
                            const TGPStringFormat* format, TGPFloatRect& boundingBox, int* codepointsFitted = nullptr,
                            int* linesFilled = nullptr);
    TGPStatus MeasureStringBounds(const wchar_t* text, int length, const TGPFont* font, const TGPFloatRect& layout,
                                  TGPFloatRect& boundingBox);
    TGPStatus DrawString(const wchar_t* text, int length, const TGPFont* font, const TGPFloatRect& layout,
                         const TGPStringFormat* format, const TGPBrush* brush);
    TGPStatus DrawStringW(const std::wstring& text, const TGPFont* font, const TGPFloatRect& layout,
                          const TGPStringFormat* format, const TGPBrush* brush);
    TGPStatus DrawStringAt(const wchar_t* text, int length, const TGPFont* font, const TGPFloatPoint& origin,
                           const TGPBrush* brush);

    // GDI's DrawText for GDI+: only DT_CALCRECT is looked at; clNone as
    // background means none. Returns the height of the (measured) rectangle.
    int DrawText(const std::wstring& text, int length, RECT& rect, fw::TFont& font, UINT format,
                 fw::TColor background);
    // The same in `gpFont`, made by MakeFont(font) once for many calls.
    int DrawText(const std::wstring& text, int length, RECT& rect, const TGPFont& gpFont, const fw::TFont& font,
                 UINT format, fw::TColor background);
    // Height of the text's bounding box in a font made by MakeFont.
    int TextHeight(const std::wstring& text, fw::TFont& font);
    int TextHeight(const std::wstring& text, const TGPFont& gpFont);
    // A GDI+ font for a framework font (bold, italic and underline carried
    // over, size in points), falling back as MakeFontFamily does.
    static std::unique_ptr<TGPFont> MakeFont(fw::TFont& font);

private:
    Gdiplus::GpGraphics* native_ = nullptr;
};

class TGPPen : public TGdiplusBase {
public:
    TGPPen(TARGB color, float width);  // unit World
    ~TGPPen() override;
    Gdiplus::GpPen* Native() const { return native_; }
    TGPStatus SetDashStyle(int style);

private:
    Gdiplus::GpPen* native_ = nullptr;
};

class TGPBrush : public TGdiplusBase {
public:
    ~TGPBrush() override;
    Gdiplus::GpBrush* Native() const { return native_; }

protected:
    TGPBrush() = default;
    Gdiplus::GpBrush* native_ = nullptr;
};

class TGPSolidBrush : public TGPBrush {
public:
    explicit TGPSolidBrush(TARGB color);
};

class TGPHatchBrush : public TGPBrush {
public:
    TGPHatchBrush(int hatchStyle, TARGB foreColor, TARGB backColor);
};

class TGPTextureBrush : public TGPBrush {
public:
    TGPTextureBrush(const TGPImage& image, int wrapMode);
};

class TGPLinearGradientBrush : public TGPBrush {
public:
    // All three with wrap mode Tile.
    TGPLinearGradientBrush(const TGPFloatPoint& point1, const TGPFloatPoint& point2, TARGB color1, TARGB color2);
    TGPLinearGradientBrush(const TGPFloatRect& rect, TARGB color1, TARGB color2, int mode);
    TGPLinearGradientBrush(const TGPFloatRect& rect, TARGB color1, TARGB color2, float angle, bool angleScalable);
    static std::unique_ptr<TGPLinearGradientBrush> CreateFromPoints(const TGPFloatPoint& p1, const TGPFloatPoint& p2,
                                                                    TARGB c1, TARGB c2) {
        return std::make_unique<TGPLinearGradientBrush>(p1, p2, c1, c2);
    }
    static std::unique_ptr<TGPLinearGradientBrush> CreateFromRect(const TGPFloatRect& r, TARGB c1, TARGB c2,
                                                                  int mode) {
        return std::make_unique<TGPLinearGradientBrush>(r, c1, c2, mode);
    }
    static std::unique_ptr<TGPLinearGradientBrush> CreateFromRectWithAngle(const TGPFloatRect& r, TARGB c1, TARGB c2,
                                                                           float angle, bool scalable) {
        return std::make_unique<TGPLinearGradientBrush>(r, c1, c2, angle, scalable);
    }
    TGPStatus SetGammaCorrection(bool useGamma);
};

class TGPPathGradientBrush : public TGPBrush {
public:
    explicit TGPPathGradientBrush(const TGPGraphicsPath& path);
    static std::unique_ptr<TGPPathGradientBrush> CreateFromPath(const TGPGraphicsPath& path) {
        return std::make_unique<TGPPathGradientBrush>(path);
    }
    // Returns LastStatus() after the call.
    TGPStatus SetCenterColor(TARGB color);
    TGPStatus SetCenterPoint(const TGPFloatPoint& point);
    TGPStatus SetCenterPointI(const TGPIntPoint& point);
    TGPStatus SetWrapMode(int wrapMode);
    int GetPointCount();  // 0 when the call fails
    // InvalidParameter without a call for a count of 0 or less or no colours.
    TGPStatus SetInterpolationColors(const TARGB* colors, const float* positions, int count);
    // InvalidParameter without a call for no colours, a count of 0 or less or
    // one above the point count; otherwise count receives GDI+'s answer.
    TGPStatus SetSurroundColors(const TARGB* colors, int& count);
};

class TGPGraphicsPath : public TGdiplusBase {
public:
    explicit TGPGraphicsPath(int fillMode = gpFillModeAlternate);
    ~TGPGraphicsPath() override;
    Gdiplus::GpPath* Native() const { return native_; }

    TGPStatus Reset();
    TGPStatus CloseFigure();
    TGPStatus AddLine(float x1, float y1, float x2, float y2);
    TGPStatus AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle);
    TGPStatus AddEllipse(float x, float y, float width, float height);
    TGPStatus AddEllipseRect(const TGPFloatRect& rect);
    TGPStatus AddCurve(const TGPIntPoint* points, int count, float tension);
    TGPStatus AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
    TGPStatus AddBezierPoints(const TGPIntPoint& p1, const TGPIntPoint& p2, const TGPIntPoint& p3,
                              const TGPIntPoint& p4);

private:
    Gdiplus::GpPath* native_ = nullptr;
};

class TGPRegion : public TGdiplusBase {
public:
    explicit TGPRegion(const TGPFloatRect& rect);
    explicit TGPRegion(const TGPGraphicsPath& path);
    ~TGPRegion() override;
    static std::unique_ptr<TGPRegion> CreateFromRect(const TGPFloatRect& r) { return std::make_unique<TGPRegion>(r); }
    static std::unique_ptr<TGPRegion> CreateFromPath(const TGPGraphicsPath& p) {
        return std::make_unique<TGPRegion>(p);
    }
    Gdiplus::GpRegion* Native() const { return native_; }

private:
    Gdiplus::GpRegion* native_ = nullptr;
};

class TGPFontFamily : public TGdiplusBase {
public:
    // A family that is not installed leaves status 14 (FontFamilyNotFound).
    explicit TGPFontFamily(const std::wstring& name, Gdiplus::GpFontCollection* collection = nullptr);
    ~TGPFontFamily() override;
    // GDI+'s generic sans-serif family.
    static std::unique_ptr<TGPFontFamily> GenericSansSerif();
    Gdiplus::GpFontFamily* Native() const { return native_; }

private:
    TGPFontFamily() = default;
    Gdiplus::GpFontFamily* native_ = nullptr;
};

// The family of that name; when it is not installed (status 14 or 15)
// "Arial", and when that is missing too GDI+'s generic sans-serif family,
// so that text never silently disappears.
std::unique_ptr<TGPFontFamily> MakeFontFamily(const std::wstring& name);

class TGPFont : public TGdiplusBase {
public:
    TGPFont(const TGPFontFamily* family, float emSize, int style, int unit);
    ~TGPFont() override;
    Gdiplus::GpFont* Native() const { return native_; }

private:
    Gdiplus::GpFont* native_ = nullptr;
};

class TGPStringFormat : public TGdiplusBase {
public:
    explicit TGPStringFormat(int formatFlags = 0, LANGID language = 0);
    ~TGPStringFormat() override;
    Gdiplus::GpStringFormat* Native() const { return native_; }
    TGPStatus SetAlignment(int alignment);
    TGPStatus SetLineAlignment(int alignment);
    TGPStatus SetTrimming(int trimming);
    TGPStatus SetHotkeyPrefix(int prefix);

private:
    Gdiplus::GpStringFormat* native_ = nullptr;
};

class TGPImage : public TGdiplusBase {
public:
    // The stream is used only during the call (GDI+ keeps its own reference).
    explicit TGPImage(IStream* stream, bool useEmbeddedColorManagement = false);
    ~TGPImage() override;
    Gdiplus::GpImage* Native() const { return native_; }

    unsigned GetWidth();   // 0 when the call fails
    unsigned GetHeight();  // 0 when the call fails
    int GetPixelFormat();
    int GetBitsPerPixel() { return (GetPixelFormat() >> 8) & 0xFF; }
    bool IsAlphaFormat() { return (GetPixelFormat() & 0x40000) != 0; }
    bool IsIndexedFormat() { return (GetPixelFormat() & 0x10000) != 0; }
    TGPImageFormatKind GetFormatKind();

protected:
    TGPImage() = default;
    Gdiplus::GpImage* native_ = nullptr;
};

class TGPBitmap : public TGPImage {
public:
    TGPBitmap(IStream* stream, bool useEmbeddedColorManagement);
    // Stride 0 and no pixel buffer: GDI+ allocates the pixels.
    TGPBitmap(int width, int height, int pixelFormat);
    static std::unique_ptr<TGPBitmap> CreateFromStream(IStream* stream, bool useICM = false) {
        return std::make_unique<TGPBitmap>(stream, useICM);
    }
    static std::unique_ptr<TGPBitmap> CreateWithFormat(int width, int height, int pixelFormat) {
        return std::make_unique<TGPBitmap>(width, height, pixelFormat);
    }
    TGPStatus GetPixel(int x, int y, TARGB& color);
};

class TGPImageAttributes : public TGdiplusBase {
public:
    TGPImageAttributes();
    ~TGPImageAttributes() override;
    Gdiplus::GpImageAttributes* Native() const { return native_; }
    // Pixels between low and high (inclusive, per channel) become transparent.
    TGPStatus SetColorKey(TARGB low, TARGB high, int adjustType = gpColorAdjustTypeDefault);

private:
    Gdiplus::GpImageAttributes* native_ = nullptr;
};

// Bands of SteppedGradientBands drawn with the canvas's Rectangle; the
// canvas pen and brush keep the last band's colour.
void DrawSteppedGradientBands(fw::TCanvas& canvas, fw::TColor from, fw::TColor to, int steps, const RECT& rect,
                              bool horizontal);

// True when kernel32 exports GetLocaleInfoEx (Windows Vista and later).
bool IsWindowsVistaOrLater();

}  // namespace kel
