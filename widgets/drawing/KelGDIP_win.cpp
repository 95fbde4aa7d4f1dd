#include "widgets/drawing/KelGDIP.h"

#include <atomic>
#include <cstdint>
#include <vector>

#include "framework/core/exceptions.h"
#include "widgets/drawing/GdiplusFlat.h"

namespace kel {
namespace {

// GDI+ session of the process. GDI+ runs without its background thread; its
// background work then runs through the notification hook on the thread that
// started the layer (the GUI thread).
struct GdiplusSession {
    ULONG_PTR startupToken = 0;
    ULONG_PTR hookToken = 0;
    Gdiplus::GdiplusStartupOutput output;
    bool started = false;
    bool hooked = false;
    bool stopRequested = false;
    std::atomic<int> liveWrappers{0};
};

GdiplusSession& Session() {
    static GdiplusSession session;
    return session;
}

void EnsureStarted() {
    GdiplusSession& s = Session();
    if (s.started) return;
    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = TRUE;
    input.SuppressExternalCodecs = FALSE;
    s.output = Gdiplus::GdiplusStartupOutput();
    // With the background thread suppressed GDI+ insists on the output record.
    if (Gdiplus::GdiplusStartup(&s.startupToken, &input, &s.output) == Gdiplus::Ok) {
        s.started = true;
        s.stopRequested = false;
    }
}

void ShutdownNow() {
    GdiplusSession& s = Session();
    if (!s.started) return;
    if (s.hooked && s.output.NotificationUnhook) s.output.NotificationUnhook(s.hookToken);
    s.hooked = false;
    Gdiplus::GdiplusShutdown(s.startupToken);
    s.started = false;
    s.stopRequested = false;
    s.startupToken = 0;
}

Gdiplus::RectF ToRectF(const TGPFloatRect& r) { return Gdiplus::RectF(r.X, r.Y, r.Width, r.Height); }

TGPFloatRect FromRectF(const Gdiplus::RectF& r) { return TGPFloatRect{r.X, r.Y, r.Width, r.Height}; }

// The flat header declares the abort callback as an untyped pointer.
Gdiplus::DrawImageAbort AsDrawImageAbort(TDrawImageAbort callback) {
    return reinterpret_cast<Gdiplus::DrawImageAbort>(reinterpret_cast<uintptr_t>(callback));
}

// GDI+ declares ARGB as DWORD; ours is uint32_t (the same bits, another type).
std::vector<Gdiplus::ARGB> ToGdipColors(const TARGB* colors, int count) {
    return std::vector<Gdiplus::ARGB>(colors, colors + count);
}

template <class W>
auto NativeOf(const W* w) -> decltype(w->Native()) {
    return w ? w->Native() : nullptr;
}

}  // namespace

void StartGdiplus() {
    EnsureStarted();
    GdiplusSession& s = Session();
    s.stopRequested = false;  // started again before the last wrapper went
    if (s.started && !s.hooked && s.output.NotificationHook) {
        if (s.output.NotificationHook(&s.hookToken) == Gdiplus::Ok) s.hooked = true;
    }
}

void StopGdiplus() {
    GdiplusSession& s = Session();
    if (!s.started) return;
    if (s.liveWrappers.load() > 0) {
        s.stopRequested = true;  // the last wrapper's destructor finishes it
        return;
    }
    ShutdownNow();
}

bool GdiplusRunning() { return Session().started; }

int LiveGdiplusWrappers() { return Session().liveWrappers.load(); }

// ---- TGdiplusBase

void* TGdiplusBase::operator new(std::size_t size) {
    void* p = gdip::GdipAlloc(size);
    if (!p) {
        EnsureStarted();
        p = gdip::GdipAlloc(size);
    }
    if (!p) throw fw::EOutOfMemory(L"GDI+ could not allocate a drawing object");
    return p;
}

void TGdiplusBase::operator delete(void* p) {
    if (p) gdip::GdipFree(p);
}

TGdiplusBase::TGdiplusBase() {
    // Objects on the stack come here without operator new.
    EnsureStarted();
    ++Session().liveWrappers;
}

TGdiplusBase::~TGdiplusBase() {
    GdiplusSession& s = Session();
    if (--s.liveWrappers == 0 && s.stopRequested) ShutdownNow();
}

TGPStatus TGdiplusBase::SetStatus(int status) {
    if (status != stOk) lastStatus_ = static_cast<TGPStatus>(status);
    return static_cast<TGPStatus>(status);
}

// ---- TGPGraphics

TGPGraphics::TGPGraphics(HDC dc) { SetCreationStatus(gdip::GdipCreateFromHDC(dc, &native_)); }

TGPGraphics::TGPGraphics(TGPImage* image) {
    if (image) SetCreationStatus(gdip::GdipGetImageGraphicsContext(image->Native(), &native_));
}

TGPGraphics::~TGPGraphics() { gdip::GdipDeleteGraphics(native_); }

TGPStatus TGPGraphics::SetTextRenderingHint(int hint) {
    return SetStatus(gdip::GdipSetTextRenderingHint(native_, static_cast<Gdiplus::TextRenderingHint>(hint)));
}

int TGPGraphics::GetSmoothingMode() {
    Gdiplus::SmoothingMode mode = Gdiplus::SmoothingModeDefault;
    if (SetStatus(gdip::GdipGetSmoothingMode(native_, &mode)) != stOk) return -1;
    return static_cast<int>(mode);
}

TGPStatus TGPGraphics::SetSmoothingMode(int mode) {
    return SetStatus(gdip::GdipSetSmoothingMode(native_, static_cast<Gdiplus::SmoothingMode>(mode)));
}

HDC TGPGraphics::GetHDC() {
    HDC dc = nullptr;
    if (SetStatus(gdip::GdipGetDC(native_, &dc)) != stOk) return nullptr;
    return dc;
}

TGPStatus TGPGraphics::ReleaseHDC(HDC dc) { return SetStatus(gdip::GdipReleaseDC(native_, dc)); }

TGPStatus TGPGraphics::DrawPath(const TGPPen* pen, const TGPGraphicsPath* path) {
    return SetStatus(gdip::GdipDrawPath(native_, NativeOf(pen), NativeOf(path)));
}

TGPStatus TGPGraphics::FillPath(const TGPBrush& brush, const TGPGraphicsPath& path) {
    return SetStatus(gdip::GdipFillPath(native_, brush.Native(), path.Native()));
}

TGPStatus TGPGraphics::FillRectangle(const TGPBrush& brush, float x, float y, float width, float height) {
    return SetStatus(gdip::GdipFillRectangle(native_, brush.Native(), x, y, width, height));
}

TGPStatus TGPGraphics::FillRectangleF(const TGPBrush& brush, const TGPFloatRect& r) {
    return FillRectangle(brush, r.X, r.Y, r.Width, r.Height);
}

TGPStatus TGPGraphics::DrawRectangle(const TGPPen& pen, float x, float y, float width, float height) {
    return SetStatus(gdip::GdipDrawRectangle(native_, pen.Native(), x, y, width, height));
}

TGPStatus TGPGraphics::DrawRectangleF(const TGPPen& pen, const TGPFloatRect& r) {
    return DrawRectangle(pen, r.X, r.Y, r.Width, r.Height);
}

TGPStatus TGPGraphics::DrawLine(const TGPPen& pen, float x1, float y1, float x2, float y2) {
    return SetStatus(gdip::GdipDrawLine(native_, pen.Native(), x1, y1, x2, y2));
}

TGPStatus TGPGraphics::FillEllipseI(const TGPBrush& brush, int x, int y, int width, int height) {
    return SetStatus(gdip::GdipFillEllipseI(native_, brush.Native(), x, y, width, height));
}

TGPStatus TGPGraphics::SetClipRegion(const TGPRegion& region, int combineMode) {
    return SetStatus(
        gdip::GdipSetClipRegion(native_, region.Native(), static_cast<Gdiplus::CombineMode>(combineMode)));
}

TGPStatus TGPGraphics::ResetClip() { return SetStatus(gdip::GdipResetClip(native_)); }

TGPStatus TGPGraphics::DrawImageAt(const TGPImage* image, int x, int y) {
    return SetStatus(gdip::GdipDrawImageI(native_, NativeOf(image), x, y));
}

TGPStatus TGPGraphics::DrawImageRect(const TGPImage* image, int x, int y, int width, int height) {
    return SetStatus(gdip::GdipDrawImageRect(native_, NativeOf(image), static_cast<float>(x), static_cast<float>(y),
                                             static_cast<float>(width), static_cast<float>(height)));
}

TGPStatus TGPGraphics::DrawImageRectRect(const TGPImage* image, const TGPFloatRect& dest, float srcX, float srcY,
                                         float srcWidth, float srcHeight, int srcUnit,
                                         const TGPImageAttributes* attributes, TDrawImageAbort callback,
                                         void* callbackData) {
    return SetStatus(gdip::GdipDrawImageRectRect(native_, NativeOf(image), dest.X, dest.Y, dest.Width, dest.Height,
                                                 srcX, srcY, srcWidth, srcHeight, static_cast<Gdiplus::Unit>(srcUnit),
                                                 NativeOf(attributes), AsDrawImageAbort(callback), callbackData));
}

TGPStatus TGPGraphics::MeasureString(const wchar_t* text, int length, const TGPFont* font, const TGPFloatRect& layout,
                                     const TGPStringFormat* format, TGPFloatRect& boundingBox, int* codepointsFitted,
                                     int* linesFilled) {
    Gdiplus::RectF lay = ToRectF(layout);
    Gdiplus::RectF box;
    INT fitted = 0, lines = 0;
    TGPStatus st = SetStatus(
        gdip::GdipMeasureString(native_, text, length, NativeOf(font), &lay, NativeOf(format), &box, &fitted, &lines));
    boundingBox = FromRectF(box);
    if (codepointsFitted) *codepointsFitted = fitted;
    if (linesFilled) *linesFilled = lines;
    return st;
}

TGPStatus TGPGraphics::MeasureStringBounds(const wchar_t* text, int length, const TGPFont* font,
                                           const TGPFloatRect& layout, TGPFloatRect& boundingBox) {
    Gdiplus::RectF lay = ToRectF(layout);
    Gdiplus::RectF box;
    TGPStatus st =
        SetStatus(gdip::GdipMeasureString(native_, text, length, NativeOf(font), &lay, nullptr, &box, nullptr, nullptr));
    boundingBox = FromRectF(box);
    return st;
}

TGPStatus TGPGraphics::DrawString(const wchar_t* text, int length, const TGPFont* font, const TGPFloatRect& layout,
                                  const TGPStringFormat* format, const TGPBrush* brush) {
    Gdiplus::RectF lay = ToRectF(layout);
    return SetStatus(gdip::GdipDrawString(native_, text, length, NativeOf(font), &lay, NativeOf(format), NativeOf(brush)));
}

TGPStatus TGPGraphics::DrawStringW(const std::wstring& text, const TGPFont* font, const TGPFloatRect& layout,
                                   const TGPStringFormat* format, const TGPBrush* brush) {
    return DrawString(text.c_str(), static_cast<int>(text.size()), font, layout, format, brush);
}

TGPStatus TGPGraphics::DrawStringAt(const wchar_t* text, int length, const TGPFont* font, const TGPFloatPoint& origin,
                                    const TGPBrush* brush) {
    return DrawString(text, length, font, TGPFloatRect{origin.X, origin.Y, 0, 0}, nullptr, brush);
}

std::unique_ptr<TGPFont> TGPGraphics::MakeFont(fw::TFont& font) {
    auto family = MakeFontFamily(font.Name());
    int style = 0;
    if (font.Style() & fw::fsBold) style |= gpFontStyleBold;
    if (font.Style() & fw::fsItalic) style |= gpFontStyleItalic;
    if (font.Style() & fw::fsUnderline) style |= gpFontStyleUnderline;
    return std::make_unique<TGPFont>(family.get(), static_cast<float>(font.Size()), style, gpUnitPoint);
}

int TGPGraphics::TextHeight(const std::wstring& text, fw::TFont& font) { return TextHeight(text, *MakeFont(font)); }

int TGPGraphics::TextHeight(const std::wstring& text, const TGPFont& gpFont) {
    TGPFloatRect box;
    MeasureStringBounds(text.c_str(), static_cast<int>(text.size()), &gpFont, TGPFloatRect{0, 0, 10000, 10000}, box);
    return RoundHalfEven(box.Height);
}

int TGPGraphics::DrawText(const std::wstring& text, int length, RECT& rect, fw::TFont& font, UINT format,
                          fw::TColor background) {
    return DrawText(text, length, rect, *MakeFont(font), font, format, background);
}

int TGPGraphics::DrawText(const std::wstring& text, int length, RECT& rect, const TGPFont& gpFont,
                          const fw::TFont& font, UINT format, fw::TColor background) {
    if (length < 0 || length > static_cast<int>(text.size())) length = static_cast<int>(text.size());
    bool calcRect = (format & DT_CALCRECT) != 0;
    bool fillBackground = background != fw::clNone;
    if (calcRect || fillBackground) {
        // GDI+ does not measure trailing blanks: measure an "i" in place of one.
        std::wstring copy = text.substr(0, static_cast<size_t>(length));
        if (copy.size() > 1 && copy.back() == L' ') copy.back() = L'i';
        double margin = 2;
        if (font.Size() > 8) margin += RoundHalfEven((font.Size() - 8) / 1.5);
        TGPFloatRect layout{static_cast<float>(rect.left), static_cast<float>(rect.top),
                            static_cast<float>(rect.right - rect.left + 1000), static_cast<float>(rect.bottom - rect.top)};
        TGPFloatRect box;
        MeasureStringBounds(copy.c_str(), length, &gpFont, layout, box);
        rect.right = rect.left + RoundHalfEven(box.Width - margin);
        rect.bottom = rect.top + RoundHalfEven(box.Height);
        if (fillBackground) {
            TGPSolidBrush brush(ColorToOpaqueARGB(background));
            FillRectangle(brush, static_cast<float>(rect.left + 1), static_cast<float>(rect.top),
                          static_cast<float>(box.Width - margin + 1), box.Height);
        }
    }
    if (!calcRect && font.Color() != fw::clNone) {
        TGPSolidBrush brush(ColorToOpaqueARGB(font.Color()));
        DrawStringAt(text.c_str(), length, &gpFont,
                     TGPFloatPoint{static_cast<float>(rect.left), static_cast<float>(rect.top)}, &brush);
    }
    return rect.bottom - rect.top;
}

// ---- TGPPen

TGPPen::TGPPen(TARGB color, float width) {
    SetCreationStatus(gdip::GdipCreatePen1(color, width, Gdiplus::UnitWorld, &native_));
}

TGPPen::~TGPPen() { gdip::GdipDeletePen(native_); }

TGPStatus TGPPen::SetDashStyle(int style) {
    return SetStatus(gdip::GdipSetPenDashStyle(native_, static_cast<Gdiplus::DashStyle>(style)));
}

// ---- brushes

TGPBrush::~TGPBrush() { gdip::GdipDeleteBrush(native_); }

TGPSolidBrush::TGPSolidBrush(TARGB color) {
    Gdiplus::GpSolidFill* fill = nullptr;
    SetCreationStatus(gdip::GdipCreateSolidFill(color, &fill));
    native_ = fill;
}

TGPHatchBrush::TGPHatchBrush(int hatchStyle, TARGB foreColor, TARGB backColor) {
    Gdiplus::GpHatch* hatch = nullptr;
    SetCreationStatus(
        gdip::GdipCreateHatchBrush(static_cast<Gdiplus::HatchStyle>(hatchStyle), foreColor, backColor, &hatch));
    native_ = hatch;
}

TGPTextureBrush::TGPTextureBrush(const TGPImage& image, int wrapMode) {
    Gdiplus::GpTexture* texture = nullptr;
    SetCreationStatus(gdip::GdipCreateTexture(image.Native(), static_cast<Gdiplus::WrapMode>(wrapMode), &texture));
    native_ = texture;
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPFloatPoint& point1, const TGPFloatPoint& point2, TARGB color1,
                                               TARGB color2) {
    Gdiplus::PointF p1(point1.X, point1.Y), p2(point2.X, point2.Y);
    Gdiplus::GpLineGradient* line = nullptr;
    SetCreationStatus(gdip::GdipCreateLineBrush(&p1, &p2, color1, color2, Gdiplus::WrapModeTile, &line));
    native_ = line;
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPFloatRect& rect, TARGB color1, TARGB color2, int mode) {
    Gdiplus::RectF r = ToRectF(rect);
    Gdiplus::GpLineGradient* line = nullptr;
    SetCreationStatus(gdip::GdipCreateLineBrushFromRect(&r, color1, color2, static_cast<Gdiplus::LinearGradientMode>(mode),
                                                        Gdiplus::WrapModeTile, &line));
    native_ = line;
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPFloatRect& rect, TARGB color1, TARGB color2, float angle,
                                               bool angleScalable) {
    Gdiplus::RectF r = ToRectF(rect);
    Gdiplus::GpLineGradient* line = nullptr;
    SetCreationStatus(gdip::GdipCreateLineBrushFromRectWithAngle(&r, color1, color2, angle, angleScalable ? TRUE : FALSE,
                                                                 Gdiplus::WrapModeTile, &line));
    native_ = line;
}

TGPStatus TGPLinearGradientBrush::SetGammaCorrection(bool useGamma) {
    return SetStatus(
        gdip::GdipSetLineGammaCorrection(static_cast<Gdiplus::GpLineGradient*>(native_), useGamma ? TRUE : FALSE));
}

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath& path) {
    Gdiplus::GpPathGradient* gradient = nullptr;
    SetCreationStatus(gdip::GdipCreatePathGradientFromPath(path.Native(), &gradient));
    native_ = gradient;
}

namespace {
Gdiplus::GpPathGradient* AsPathGradient(Gdiplus::GpBrush* b) { return static_cast<Gdiplus::GpPathGradient*>(b); }
}  // namespace

TGPStatus TGPPathGradientBrush::SetCenterColor(TARGB color) {
    SetStatus(gdip::GdipSetPathGradientCenterColor(AsPathGradient(native_), color));
    return LastStatus();
}

TGPStatus TGPPathGradientBrush::SetCenterPoint(const TGPFloatPoint& point) {
    Gdiplus::PointF p(point.X, point.Y);
    return SetStatus(gdip::GdipSetPathGradientCenterPoint(AsPathGradient(native_), &p));
}

TGPStatus TGPPathGradientBrush::SetCenterPointI(const TGPIntPoint& point) {
    Gdiplus::Point p(point.X, point.Y);
    return SetStatus(gdip::GdipSetPathGradientCenterPointI(AsPathGradient(native_), &p));
}

TGPStatus TGPPathGradientBrush::SetWrapMode(int wrapMode) {
    return SetStatus(
        gdip::GdipSetPathGradientWrapMode(AsPathGradient(native_), static_cast<Gdiplus::WrapMode>(wrapMode)));
}

int TGPPathGradientBrush::GetPointCount() {
    INT count = 0;
    if (SetStatus(gdip::GdipGetPathGradientPointCount(AsPathGradient(native_), &count)) != stOk) return 0;
    return count;
}

TGPStatus TGPPathGradientBrush::SetInterpolationColors(const TARGB* colors, const float* positions, int count) {
    if (count <= 0 || !colors) return SetStatus(stInvalidParameter);
    auto argb = ToGdipColors(colors, count);
    return SetStatus(gdip::GdipSetPathGradientPresetBlend(AsPathGradient(native_), argb.data(), positions, count));
}

TGPStatus TGPPathGradientBrush::SetSurroundColors(const TARGB* colors, int& count) {
    if (!colors || count <= 0 || count > GetPointCount()) return SetStatus(stInvalidParameter);
    INT answered = count;
    auto argb = ToGdipColors(colors, count);
    SetStatus(gdip::GdipSetPathGradientSurroundColorsWithCount(AsPathGradient(native_), argb.data(), &answered));
    if (LastStatus() == stOk) count = answered;
    return LastStatus();
}

// ---- TGPGraphicsPath

TGPGraphicsPath::TGPGraphicsPath(int fillMode) {
    SetCreationStatus(gdip::GdipCreatePath(static_cast<Gdiplus::FillMode>(fillMode), &native_));
}

TGPGraphicsPath::~TGPGraphicsPath() { gdip::GdipDeletePath(native_); }

TGPStatus TGPGraphicsPath::Reset() { return SetStatus(gdip::GdipResetPath(native_)); }

TGPStatus TGPGraphicsPath::CloseFigure() { return SetStatus(gdip::GdipClosePathFigure(native_)); }

TGPStatus TGPGraphicsPath::AddLine(float x1, float y1, float x2, float y2) {
    return SetStatus(gdip::GdipAddPathLine(native_, x1, y1, x2, y2));
}

TGPStatus TGPGraphicsPath::AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle) {
    return SetStatus(gdip::GdipAddPathArc(native_, x, y, width, height, startAngle, sweepAngle));
}

TGPStatus TGPGraphicsPath::AddEllipse(float x, float y, float width, float height) {
    return SetStatus(gdip::GdipAddPathEllipse(native_, x, y, width, height));
}

TGPStatus TGPGraphicsPath::AddEllipseRect(const TGPFloatRect& r) { return AddEllipse(r.X, r.Y, r.Width, r.Height); }

TGPStatus TGPGraphicsPath::AddCurve(const TGPIntPoint* points, int count, float tension) {
    std::vector<Gdiplus::Point> pts;
    if (points && count > 0) {
        pts.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) pts.emplace_back(points[i].X, points[i].Y);
    }
    return SetStatus(gdip::GdipAddPathCurve2I(native_, pts.empty() ? nullptr : pts.data(), count, tension));
}

TGPStatus TGPGraphicsPath::AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
    return SetStatus(gdip::GdipAddPathBezier(native_, x1, y1, x2, y2, x3, y3, x4, y4));
}

TGPStatus TGPGraphicsPath::AddBezierPoints(const TGPIntPoint& p1, const TGPIntPoint& p2, const TGPIntPoint& p3,
                                           const TGPIntPoint& p4) {
    auto f = [](int32_t v) { return static_cast<float>(v); };
    return AddBezier(f(p1.X), f(p1.Y), f(p2.X), f(p2.Y), f(p3.X), f(p3.Y), f(p4.X), f(p4.Y));
}

// ---- TGPRegion

TGPRegion::TGPRegion(const TGPFloatRect& rect) {
    Gdiplus::RectF r = ToRectF(rect);
    SetCreationStatus(gdip::GdipCreateRegionRect(&r, &native_));
}

TGPRegion::TGPRegion(const TGPGraphicsPath& path) { SetCreationStatus(gdip::GdipCreateRegionPath(path.Native(), &native_)); }

TGPRegion::~TGPRegion() { gdip::GdipDeleteRegion(native_); }

// ---- fonts

TGPFontFamily::TGPFontFamily(const std::wstring& name, Gdiplus::GpFontCollection* collection) {
    SetCreationStatus(gdip::GdipCreateFontFamilyFromName(name.c_str(), collection, &native_));
}

TGPFontFamily::~TGPFontFamily() { gdip::GdipDeleteFontFamily(native_); }

std::unique_ptr<TGPFontFamily> TGPFontFamily::GenericSansSerif() {
    std::unique_ptr<TGPFontFamily> family(new TGPFontFamily());
    family->SetCreationStatus(gdip::GdipGetGenericFontFamilySansSerif(&family->native_));
    return family;
}

namespace {
bool FamilyMissing(const TGPFontFamily& f) {
    return f.LastStatus() == stFontFamilyNotFound || f.LastStatus() == stFontStyleNotFound || !f.Native();
}
}  // namespace

std::unique_ptr<TGPFontFamily> MakeFontFamily(const std::wstring& name) {
    auto family = std::make_unique<TGPFontFamily>(name);
    if (!FamilyMissing(*family)) return family;
    family = std::make_unique<TGPFontFamily>(L"Arial");
    if (!FamilyMissing(*family)) return family;
    // A bare system may lack Arial too; without a family the text would vanish.
    auto generic = TGPFontFamily::GenericSansSerif();
    if (generic->Native()) return generic;
    return family;
}

TGPFont::TGPFont(const TGPFontFamily* family, float emSize, int style, int unit) {
    SetCreationStatus(gdip::GdipCreateFont(NativeOf(family), emSize, style, static_cast<Gdiplus::Unit>(unit), &native_));
}

TGPFont::~TGPFont() { gdip::GdipDeleteFont(native_); }

// ---- TGPStringFormat

TGPStringFormat::TGPStringFormat(int formatFlags, LANGID language) {
    SetCreationStatus(gdip::GdipCreateStringFormat(formatFlags, language, &native_));
}

TGPStringFormat::~TGPStringFormat() { gdip::GdipDeleteStringFormat(native_); }

TGPStatus TGPStringFormat::SetAlignment(int alignment) {
    return SetStatus(gdip::GdipSetStringFormatAlign(native_, static_cast<Gdiplus::StringAlignment>(alignment)));
}

TGPStatus TGPStringFormat::SetLineAlignment(int alignment) {
    return SetStatus(gdip::GdipSetStringFormatLineAlign(native_, static_cast<Gdiplus::StringAlignment>(alignment)));
}

TGPStatus TGPStringFormat::SetTrimming(int trimming) {
    return SetStatus(gdip::GdipSetStringFormatTrimming(native_, static_cast<Gdiplus::StringTrimming>(trimming)));
}

TGPStatus TGPStringFormat::SetHotkeyPrefix(int prefix) {
    return SetStatus(gdip::GdipSetStringFormatHotkeyPrefix(native_, prefix));
}

// ---- TGPImage and TGPBitmap

TGPImage::TGPImage(IStream* stream, bool useEmbeddedColorManagement) {
    SetCreationStatus(useEmbeddedColorManagement ? gdip::GdipLoadImageFromStreamICM(stream, &native_)
                                                 : gdip::GdipLoadImageFromStream(stream, &native_));
}

TGPImage::~TGPImage() { gdip::GdipDisposeImage(native_); }

unsigned TGPImage::GetWidth() {
    UINT w = 0;
    if (SetStatus(gdip::GdipGetImageWidth(native_, &w)) != stOk) return 0;
    return w;
}

unsigned TGPImage::GetHeight() {
    UINT h = 0;
    if (SetStatus(gdip::GdipGetImageHeight(native_, &h)) != stOk) return 0;
    return h;
}

int TGPImage::GetPixelFormat() {
    Gdiplus::PixelFormat format = 0;
    SetStatus(gdip::GdipGetImagePixelFormat(native_, &format));
    return static_cast<int>(format);
}

TGPImageFormatKind TGPImage::GetFormatKind() {
    GUID g{};
    if (SetStatus(gdip::GdipGetImageRawFormat(native_, &g)) != stOk) return ifUnknown;
    // GDI+'s image format GUIDs differ only in their first field.
    static const uint8_t kTail[8] = {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E};
    if (g.Data2 != 0x0728 || g.Data3 != 0x11D3) return ifUnknown;
    for (int i = 0; i < 8; ++i)
        if (g.Data4[i] != kTail[i]) return ifUnknown;
    if (g.Data1 >= 0xB96B3CAA && g.Data1 <= 0xB96B3CB2) return static_cast<TGPImageFormatKind>(g.Data1 - 0xB96B3CA9);
    if (g.Data1 == 0xB96B3CB5) return ifIcon;
    return ifUnknown;
}

TGPBitmap::TGPBitmap(IStream* stream, bool useEmbeddedColorManagement) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    SetCreationStatus(useEmbeddedColorManagement ? gdip::GdipCreateBitmapFromStreamICM(stream, &bitmap)
                                                 : gdip::GdipCreateBitmapFromStream(stream, &bitmap));
    native_ = bitmap;
}

TGPBitmap::TGPBitmap(int width, int height, int pixelFormat) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    SetCreationStatus(gdip::GdipCreateBitmapFromScan0(width, height, 0, pixelFormat, nullptr, &bitmap));
    native_ = bitmap;
}

TGPStatus TGPBitmap::GetPixel(int x, int y, TARGB& color) {
    Gdiplus::ARGB c = 0;
    TGPStatus st = SetStatus(gdip::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(native_), x, y, &c));
    color = c;
    return st;
}

// ---- TGPImageAttributes

TGPImageAttributes::TGPImageAttributes() { SetCreationStatus(gdip::GdipCreateImageAttributes(&native_)); }

TGPImageAttributes::~TGPImageAttributes() { gdip::GdipDisposeImageAttributes(native_); }

TGPStatus TGPImageAttributes::SetColorKey(TARGB low, TARGB high, int adjustType) {
    return SetStatus(gdip::GdipSetImageAttributesColorKeys(native_, static_cast<Gdiplus::ColorAdjustType>(adjustType),
                                                           TRUE, low, high));
}

// ---- free helpers

void DrawSteppedGradientBands(fw::TCanvas& canvas, fw::TColor from, fw::TColor to, int steps, const RECT& rect,
                              bool horizontal) {
    TIntRect r{rect.left, rect.top, rect.right, rect.bottom};
    for (const TGradientBand& band : SteppedGradientBands(from, to, steps, r, horizontal)) {
        canvas.Pen().SetColor(band.Color);
        canvas.Brush().SetColor(canvas.Pen().Color());
        canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);  // a brush colour means a solid brush
        canvas.Rectangle(band.Rect.Left, band.Rect.Top, band.Rect.Right, band.Rect.Bottom);
    }
}

bool IsWindowsVistaOrLater() {
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    return kernel && GetProcAddress(kernel, "GetLocaleInfoEx") != nullptr;
}

}  // namespace kel
