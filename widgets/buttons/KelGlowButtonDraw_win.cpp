// TKelGlowButton's paint: the state becomes a glossy two-half face, a
// border shaped by the button's place in a row, the focus frame, the image,
// the caption and notes, and the drop-down part with its arrow.
#include <algorithm>
#include <cmath>

#include "framework/gui/image_list.h"
#include "widgets/buttons/KelGlowButton.h"
#include "widgets/drawing/GlobalMemoryStream.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel::glow {
namespace {

constexpr int kStringFormatNoWrap = 0x1000;
constexpr fw::TColor kFocusColor = 0xE4AD89;
constexpr fw::TColor kGrey = 0x808080;

float F(int v) { return static_cast<float>(v); }

void FillGradientHalf(TGPGraphics& g, const THalfFill& h) {
    const int L = h.Rect.Left, T = h.Rect.Top, R = h.Rect.Right, Bm = h.Rect.Bottom;
    const int w = R - L, ht = Bm - T;
    // Right and bottom are passed as width and height: the fill reaches
    // past the half; the button's clip cuts it.
    TGPSolidBrush solid(ColorToOpaqueARGB(h.Upper ? h.First : h.Second));
    g.FillRectangle(solid, F(L), F(T), F(R), F(Bm));
    TGPGraphicsPath path;
    if (h.Upper)
        path.AddEllipse(F(L), F(T - ht / 2 + 2), F(R), F(Bm));
    else
        path.AddEllipse(F(L), F(T), F(R), F(Bm));
    if (h.Kind == ggRadial) {
        TGPPathGradientBrush brush(path);
        brush.SetCenterPointI(IntPoint(L + w / 2, h.Upper ? T : Bm));
        brush.SetCenterColor(ColorToOpaqueARGB(h.Upper ? h.Second : h.First));
        TARGB surround = ColorToOpaqueARGB(h.Upper ? h.First : h.Second);
        int count = 1;
        brush.SetSurroundColors(&surround, count);
        g.FillRectangle(brush, F(L), F(T), F(R), F(Bm));
        return;
    }
    const int mode = h.Kind == ggVertical ? gpLinearGradientModeVertical
                     : h.Kind == ggDiagonalForward ? gpLinearGradientModeForwardDiagonal
                                                   : gpLinearGradientModeBackwardDiagonal;
    if (w <= 0 || ht <= 0) return;
    TGPLinearGradientBrush brush(FloatRect(F(L), F(T), F(w), F(ht)), ColorToOpaqueARGB(h.First),
                                 ColorToOpaqueARGB(h.Second), mode);
    g.FillRectangle(brush, F(L), F(T), F(R), F(Bm));
}

struct EdgeRect {
    int X, Y, W, H, r;
};

void AddTop(TGPGraphicsPath& p, const EdgeRect& e, bool fromLeftCorner) {
    p.AddLine(F(fromLeftCorner ? e.X + e.r : e.X), F(e.Y), F(e.X + e.W - 2 * e.r), F(e.Y));
}

void DrawRoundedBorder(TGPGraphics& g, fw::TColor c, const EdgeRect& e, bool dotted) {
    TGPPen pen(ColorToOpaqueARGB(c), 1);
    if (dotted) pen.SetDashStyle(gpDashStyleDot);
    if (e.r == 0 && !dotted) {
        g.DrawRectangle(pen, F(e.X), F(e.Y), F(e.W), F(e.H));
        return;
    }
    const int X = e.X, Y = e.Y, w = e.W, ht = e.H, r = e.r, d = 2 * r;
    TGPGraphicsPath p;
    AddTop(p, e, true);
    if (r) p.AddArc(F(X + w - d), F(Y), F(d), F(d), 270, 90);
    p.AddLine(F(X + w), F(Y + r), F(X + w), F(Y + ht - d));
    if (r) p.AddArc(F(X + w - d), F(Y + ht - d), F(d), F(d), 0, 90);
    p.AddLine(F(X + w - d), F(Y + ht), F(X + r), F(Y + ht));
    if (r) p.AddArc(F(X), F(Y + ht - d), F(d), F(d), 90, 90);
    p.AddLine(F(X), F(Y + ht - d), F(X), F(Y + r));
    if (r) p.AddArc(F(X), F(Y), F(d), F(d), 180, 90);
    p.CloseFigure();
    g.DrawPath(&pen, &p);
}

void Line(TGPGraphics& g, fw::TColor c, int x1, int y1, int x2, int y2) {
    TGPPen pen(ColorToOpaqueARGB(c), 1);
    g.DrawLine(pen, F(x1), F(y1), F(x2), F(y2));
}

void LeftEdgeOfInner(TGPGraphics& g, fw::TColor c, const EdgeRect& e, bool emphasised) {
    if (emphasised)
        Line(g, ScaleColor(c, -5), e.X, e.Y, e.X, e.Y + e.H);
    else
        Line(g, ScaleColor(fw::clWhite, -10), e.X, e.Y + 2, e.X, e.Y + e.H - 2);
}

void DrawLeftEdges(TGPGraphics& g, fw::TColor c, const EdgeRect& e) {
    const int X = e.X, Y = e.Y, w = e.W, ht = e.H, r = e.r, d = 2 * r;
    TGPPen pen(ColorToOpaqueARGB(c), 1);
    TGPGraphicsPath p;
    p.AddLine(F(X + w), F(Y + ht), F(X + r), F(Y + ht));
    if (r) p.AddArc(F(X), F(Y + ht - d), F(d), F(d), 90, 90);
    p.AddLine(F(X), F(Y + ht - d), F(X), F(Y + r));
    if (r) p.AddArc(F(X), F(Y), F(d), F(d), 180, 90);
    p.AddLine(F(X + r), F(Y), F(X + w), F(Y));
    g.DrawPath(&pen, &p);
    Line(g, ScaleColor(c, -5), X + w, Y, X + w, Y + ht);
}

void DrawMiddleEdges(TGPGraphics& g, fw::TColor c, const EdgeRect& e, bool emphasised) {
    Line(g, c, e.X - 1, e.Y + e.H, e.X + e.W, e.Y + e.H);
    Line(g, c, e.X - 1, e.Y, e.X + e.W, e.Y);
    Line(g, ScaleColor(c, -5), e.X + e.W, e.Y, e.X + e.W, e.Y + e.H);
    LeftEdgeOfInner(g, c, e, emphasised);
}

void DrawRightEdges(TGPGraphics& g, fw::TColor c, const EdgeRect& e, bool emphasised) {
    const int X = e.X, Y = e.Y, w = e.W, ht = e.H, r = e.r, d = 2 * r;
    TGPPen pen(ColorToOpaqueARGB(c), 1);
    TGPGraphicsPath p;
    p.AddLine(F(X), F(Y), F(X + w - d), F(Y));
    if (r) p.AddArc(F(X + w - d), F(Y), F(d), F(d), 270, 90);
    p.AddLine(F(X + w), F(Y + r), F(X + w), F(Y + ht - d));
    if (r) p.AddArc(F(X + w - d), F(Y + ht - d), F(d), F(d), 0, 90);
    p.AddLine(F(X + w), F(Y + ht), F(X), F(Y + ht));
    g.DrawPath(&pen, &p);
    LeftEdgeOfInner(g, c, e, emphasised);
}

void DrawDropDownArrow(fw::TCanvas& canvas, TPoint at, fw::TColor color, bool down, fw::TColor highlight) {
    const TArrowPixels px = DropDownArrowPixels(at, down);
    for (const TPoint& p : px.Ink) canvas.SetPixel(p.X, p.Y, color);
    for (const TPoint& p : px.Highlight) canvas.SetPixel(p.X, p.Y, highlight);
}

std::unique_ptr<TGPImage> LoadImage(const TGDIPPicture& picture, std::unique_ptr<TGlobalMemoryStream>& stream) {
    stream = std::make_unique<TGlobalMemoryStream>(picture.Bytes());
    return std::make_unique<TGPImage>(stream->Stream());
}

void DrawPictureKeyed(TGPGraphics& g, TPoint at, const TGDIPPicture& picture) {
    if (picture.Empty() || !picture.HasBytes()) return;
    std::unique_ptr<TGlobalMemoryStream> stream;
    auto image = LoadImage(picture, stream);
    const int w = static_cast<int>(image->GetWidth()), h = static_cast<int>(image->GetHeight());
    if (w <= 0 || h <= 0) return;
    if (image->GetFormatKind() == ifBMP) {
        TGlobalMemoryStream bitmapStream(picture.Bytes());
        TGPBitmap bitmap(bitmapStream.Stream(), false);
        TARGB key = 0;
        bitmap.GetPixel(0, h - 1, key);
        TGPImageAttributes attributes;
        attributes.SetColorKey(key, key);
        g.DrawImageRectRect(image.get(), FloatRect(F(at.X), F(at.Y), F(w), F(h)), 0, 0, F(w), F(h), gpUnitPixel,
                            &attributes);
        return;
    }
    g.DrawImageRect(image.get(), at.X, at.Y, w, h);
}

void DrawImageListImageKeyed(TGPGraphics& g, TPoint at, fw::TImageList* list, bool enabled, int index) {
    if (!list || index < 0) return;
    fw::TBitmap bitmap(list->Width(), list->Height());
    bitmap.Canvas().Brush().SetColor(fw::clFuchsia);
    bitmap.Canvas().FillRect(RECT{0, 0, list->Width(), list->Height()});
    list->Draw(bitmap.Canvas(), 0, 0, index, enabled);
    GdiFlush();
    TGDIPPicture picture;
    picture.Assign(bitmap);
    DrawPictureKeyed(g, at, picture);
}

int CALLBACK FontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// GDI+ text for outline fonts that the screen has; GDI text otherwise.
bool UseGdiplusText(fw::TCanvas& canvas, fw::TFont& font, TAntiAlias antiAlias) {
    if (antiAlias == aaNone) return false;
    HDC dc = canvas.Handle();
    TEXTMETRICW tm{};
    {
        fw::SelectGuard select(dc, font.Handle());
        if (!GetTextMetricsW(dc, &tm)) return false;
    }
    if (!(tm.tmPitchAndFamily & TMPF_VECTOR) || (tm.tmPitchAndFamily & TMPF_DEVICE)) return false;
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, font.Name().c_str(), LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &lf, FontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// Wine's GdipMeasureString leaves the box at the top-left of the layout
// rectangle whatever the alignment; Windows places it as it would draw.
void AlignMeasuredBox(TGPFloatRect& box, const TGPFloatRect& layout, int alignment, int lineAlignment) {
    auto align = [](float& pos, float size, float start, float extent, int how) {
        if (how == gpStringAlignmentNear || size >= extent || std::abs(pos - start) > 0.5f) return;
        const float room = extent - size;
        pos = start + (how == gpStringAlignmentCenter ? room / 2 : room);
    };
    align(box.X, box.Width, layout.X, layout.Width, alignment);
    align(box.Y, box.Height, layout.Y, layout.Height, lineAlignment);
}

int GpStyle(const fw::TFont& f) {
    int s = 0;
    if (f.Style() & fw::fsBold) s |= gpFontStyleBold;
    if (f.Style() & fw::fsItalic) s |= gpFontStyleItalic;
    if (f.Style() & fw::fsUnderline) s |= gpFontStyleUnderline;
    return s;
}

std::wstring NotesText(const fw::TStringList* notes) {
    if (!notes || notes->Count() == 0) return {};
    std::wstring t = notes->Text();
    while (!t.empty() && (t.back() == L'\n' || t.back() == L'\r')) t.pop_back();
    return t;
}

}  // namespace

SIZE TKelCustomGlowButton::DrawButton(fw::TCanvas& canvas, const TDrawInputs& in) {
    const TRect rect{in.Rect.left, in.Rect.top, in.Rect.right, in.Rect.bottom};
    const TRect d = DropDownRect(rect, in.DropDownPosition);
    const TRect k = ContentRect(rect, in.DropDownButton, in.DropDownPosition);
    int kw = k.Right - k.Left, kh = k.Bottom - k.Top;
    const int r = in.Rounded ? 3 : 0;
    const std::wstring notes = NotesText(in.Notes);
    const TButtonLayout layout = notes.empty() ? in.Layout : blGlyphLeftAdjusted;
    HDC dc = canvas.Handle();

    TGPGraphics g(dc);
    TGPRegion clip(FloatRect(F(rect.Left), F(rect.Top), F(rect.Right - rect.Left), F(rect.Bottom - rect.Top)));
    g.SetClipRegion(clip, gpCombineModeReplace);
    if (!in.Transparent) {
        for (const THalfFill& h : FaceFills(rect, in.Colors, in.DropDownButton, in.Highlighted, in.DropDownSplit,
                                            in.DropDownPosition, in.DropDownState))
            FillGradientHalf(g, h);
    }
    g.SetSmoothingMode(gpSmoothingModeAntiAlias);
    const EdgeRect edge{rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1, r};
    if (!in.Transparent && in.HasBorder) {
        const bool emphasised = in.Hot || in.Down;
        switch (in.Position) {
            case bpStandalone: DrawRoundedBorder(g, in.Colors.BorderColor, edge, false); break;
            case bpLeft: DrawLeftEdges(g, in.Colors.BorderColor, edge); break;
            case bpMiddle: DrawMiddleEdges(g, in.Colors.BorderColor, edge, emphasised); break;
            case bpRight: DrawRightEdges(g, in.Colors.BorderColor, edge, emphasised); break;
        }
    }
    if (in.FocusBorder) {
        DrawRoundedBorder(g, kFocusColor, {rect.Left + 1, rect.Top + 1, rect.Right - 3, rect.Bottom - 3, r}, false);
        DrawRoundedBorder(g, kGrey, {rect.Left + 2, rect.Top + 2, rect.Right - 5, rect.Bottom - 5, r}, true);
    }

    fw::TFont& font = *in.Font;
    // Image size.
    TImageSize img;
    const bool forced = in.PictureSize.cx > 0 && in.PictureSize.cy > 0;
    const bool glyph = in.GlyphBitmap && in.GlyphBitmap->Width() >= 2 && in.GlyphBitmap->Height() >= 2;
    if (glyph) {
        img = {in.GlyphBitmap->Width(), in.GlyphBitmap->Height()};
        if (forced) img = {in.PictureSize.cx, in.PictureSize.cy};
    } else if (in.Picture && !in.Picture->Empty()) {
        in.Picture->UpdateImageSize();
        img = {in.Picture->Width(), in.Picture->Height()};
        if (forced) img = {in.PictureSize.cx, in.PictureSize.cy};
    } else if (in.ImageIndex >= 0 && in.Images) {
        img = {in.Images->Width(), in.Images->Height()};
    }
    const std::wstring& rawCaption = in.Caption.empty() ? in.WideCaption : in.Caption;
    img = SpacedImageSize(img, !rawCaption.empty(), layout, in.Spacing);
    SIZE size{img.P, img.Q};
    const std::wstring caption = ExpandLineBreaks(rawCaption, forced);

    const bool gdiplusText = UseGdiplusText(canvas, font, in.AntiAlias);
    TTextMetrics m;
    int referenceLine = 0;
    TPlacementInputs place;
    place.Layout = layout;
    place.Gdi = !gdiplusText;
    place.WordWrap = in.WordWrap;
    place.K = k;
    place.Img = img;
    place.Spacing = in.Spacing;

    std::unique_ptr<TGPFontFamily> family, notesFamily;
    std::unique_ptr<TGPFont> gpFont, gpNotesFont;
    std::unique_ptr<TGPStringFormat> format;
    if (gdiplusText) {
        family = MakeFontFamily(font.Name());
        gpFont = std::make_unique<TGPFont>(family.get(), F(font.Size()), GpStyle(font), gpUnitPoint);
        format = std::make_unique<TGPStringFormat>(in.WordWrap ? 0 : kStringFormatNoWrap);
        const int alignment = layout == blGlyphLeftAdjusted    ? gpStringAlignmentNear
                              : layout == blGlyphRightAdjusted ? gpStringAlignmentFar
                                                               : gpStringAlignmentCenter;
        format->SetAlignment(alignment);
        const int lineAlignment = layout == blGlyphTopAdjusted      ? gpStringAlignmentNear
                                  : layout == blGlyphBottomAdjusted ? gpStringAlignmentFar
                                                                    : gpStringAlignmentCenter;
        format->SetLineAlignment(lineAlignment);
        format->SetHotkeyPrefix(gpHotkeyPrefixShow);
        format->SetTrimming(in.Trimming);
        if (in.AntiAlias == aaClearType) g.SetTextRenderingHint(gpTextRenderingHintClearTypeGridFit);
        if (in.AntiAlias == aaAntiAlias) g.SetTextRenderingHint(gpTextRenderingHintAntiAlias);
        TGPFloatRect layoutRect = in.MeasureOnly ? FloatRect(F(k.Left), F(k.Top), 4096, 4096)
                                                 : FloatRect(F(k.Left), F(k.Top), F(kw), F(kh));
        if (img.P > 0) layoutRect.Width -= F(img.P + in.Spacing);
        TGPFloatRect box{};
        g.MeasureString(caption.c_str(), static_cast<int>(caption.size()), gpFont.get(), layoutRect, format.get(), box);
        AlignMeasuredBox(box, layoutRect, alignment, lineAlignment);
        m.TextWidth = box.Width;
        m.TextHeight = box.Height;
        place.TextLeft = box.X;
        referenceLine = RoundHalfEven(box.Y + box.Height);
        if (!notes.empty() && in.NotesFont) {
            notesFamily = MakeFontFamily(in.NotesFont->Name());
            gpNotesFont = std::make_unique<TGPFont>(notesFamily.get(), F(in.NotesFont->Size()),
                                                    GpStyle(*in.NotesFont), gpUnitPoint);
            TGPFloatRect notesBox{};
            g.MeasureString(notes.c_str(), static_cast<int>(notes.size()), gpNotesFont.get(), layoutRect,
                            format.get(), notesBox);
            m.NotesWidth = notesBox.Width;
            m.NotesHeight = notesBox.Height;
        }
        const TSize s = MeasuredSizeGP(layout, m, img, in.Spacing);
        size = {s.Width, s.Height};
    } else {
        HDC cdc = canvas.Handle();
        {
            fw::SelectGuard select(cdc, font.Handle());
            RECT calc{0, 0, 4096, 0};
            const UINT flags = DT_CALCRECT | (in.WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
            const int th = DrawTextW(cdc, caption.c_str(), static_cast<int>(caption.size()), &calc, flags);
            m.TextHeight = th;
            m.TextWidth = calc.right - calc.left;
        }
        referenceLine = (kh + static_cast<int>(m.TextHeight)) / 2;
        if (!notes.empty() && in.NotesFont) {
            fw::SelectGuard select(cdc, in.NotesFont->Handle());
            RECT calc{0, 0, 2, 0};
            m.NotesHeight = DrawTextW(cdc, notes.c_str(), static_cast<int>(notes.size()), &calc,
                                      DT_CALCRECT | DT_WORDBREAK);
            m.NotesWidth = calc.right - calc.left;
        }
        if (layout == blGlyphLeft)
            place.GdiTextX = (kw - static_cast<int>(m.TextWidth) - img.P) / 2;
        const TSize s = MeasuredSizeGDI(layout, m, img, in.Spacing);
        size = {s.Width, s.Height};
    }
    if (in.MeasureOnly) return size;

    place.TextWidth = m.TextWidth;
    place.TextHeight = m.TextHeight;
    const TPlacement p = PlaceContent(place);
    const fw::TColor textColor = in.Enabled ? font.Color() : kGrey;
    if (in.DrawCaption && !caption.empty()) {
        if (gdiplusText) {
            TGPFloatRect lr = FloatRect(static_cast<float>(p.X) - 1, static_cast<float>(p.Y),
                                        static_cast<float>(p.Width), static_cast<float>(p.Height));
            if (!notes.empty()) {
                format->SetLineAlignment(gpStringAlignmentNear);
                lr.Y += static_cast<float>((p.Height - RoundHalfEven(m.TextHeight) - RoundHalfEven(m.NotesHeight)) / 2);
            }
            TGPSolidBrush brush(ColorToOpaqueARGB(textColor));
            g.DrawString(caption.c_str(), static_cast<int>(caption.size()), gpFont.get(), lr, format.get(), &brush);
            if (!notes.empty() && gpNotesFont) {
                lr.Y += F(RoundHalfEven(m.TextHeight));
                TGPSolidBrush notesBrush(ColorToOpaqueARGB(in.NotesFont->Color()));
                g.DrawString(notes.c_str(), static_cast<int>(notes.size()), gpNotesFont.get(), lr, format.get(),
                             &notesBrush);
            }
        } else {
            RECT tr{RoundHalfEven(p.X), RoundHalfEven(p.Y), RoundHalfEven(p.X) + RoundHalfEven(p.Width),
                    RoundHalfEven(p.Y) + RoundHalfEven(p.Height)};
            UINT flags = in.WordWrap ? DT_WORDBREAK : DT_SINGLELINE;
            switch (layout) {
                case blGlyphLeft: case blGlyphRight: case blGlyphBottom: flags |= DT_CENTER | DT_VCENTER; break;
                case blGlyphTop: case blGlyphTopAdjusted: flags |= DT_CENTER; break;
                case blGlyphLeftAdjusted:
                    tr.left += 2;
                    if (notes.empty())
                        flags |= DT_VCENTER;
                    else
                        tr.top = (tr.bottom - tr.top - RoundHalfEven(m.TextHeight) - RoundHalfEven(m.NotesHeight)) / 2;
                    break;
                case blGlyphRightAdjusted: flags |= DT_RIGHT | DT_VCENTER; break;
                case blGlyphBottomAdjusted: flags |= DT_CENTER | DT_BOTTOM; break;
            }
            HDC cdc = canvas.Handle();
            SetBkMode(cdc, TRANSPARENT);
            {
                fw::SelectGuard select(cdc, font.Handle());
                SetTextColor(cdc, fw::ToColorRef(textColor));
                if (in.WordWrap && notes.empty()) {
                    RECT calc = tr;
                    const int h = DrawTextW(cdc, caption.c_str(), static_cast<int>(caption.size()), &calc,
                                            flags | DT_CALCRECT);
                    switch (layout) {
                        case blGlyphTop: tr.top = p.Y0 + img.Q; break;
                        case blGlyphTopAdjusted: break;
                        case blGlyphBottomAdjusted: tr.top = tr.bottom - h; break;
                        default: tr.top = (tr.bottom - tr.top - h) / 2; break;
                    }
                }
                DrawTextW(cdc, caption.c_str(), static_cast<int>(caption.size()), &tr, flags);
            }
            if (!notes.empty() && in.NotesFont) {
                RECT nr{tr.left, tr.top + RoundHalfEven(m.TextHeight), tr.right,
                        tr.top + RoundHalfEven(m.TextHeight) + RoundHalfEven(m.NotesHeight)};
                fw::SelectGuard select(cdc, in.NotesFont->Handle());
                SetTextColor(cdc, fw::ToColorRef(in.NotesFont->Color()));
                DrawTextW(cdc, notes.c_str(), static_cast<int>(notes.size()), &nr, flags & ~UINT(DT_VCENTER));
            }
        }
    }

    // Image.
    if (in.DropDownButton) (in.DropDownPosition == dpRight ? kw : kh) -= 8;
    const TRect centreIn{k.Left, k.Top, k.Left + kw, k.Top + kh};
    const bool hasCaption = !caption.empty();
    auto placeImage = [&](int w, int h) {
        if (hasCaption) return TPoint{p.X0, p.Y0};
        const TSize c = CentreIn(centreIn, w, h);
        return TPoint{c.Width, c.Height};
    };
    if (glyph) {
        const int w = forced ? in.PictureSize.cx : in.GlyphBitmap->Width();
        const int h = forced ? in.PictureSize.cy : in.GlyphBitmap->Height();
        const TPoint at = placeImage(w, h);
        TGDIPPicture picture;
        picture.Assign(*in.GlyphBitmap);
        picture.Draw(canvas, RECT{at.X, at.Y, at.X + w, at.Y + h});
    } else if (in.Picture && !in.Picture->Empty()) {
        const int w = forced ? in.PictureSize.cx : in.Picture->Width();
        const int h = forced ? in.PictureSize.cy : in.Picture->Height();
        const TPoint at = placeImage(w, h);
        if (forced)
            in.Picture->Draw(canvas, RECT{at.X, at.Y, at.X + w, at.Y + h});
        else
            DrawPictureKeyed(g, at, *in.Picture);
    } else if (in.ImageIndex != -1 && in.Images) {
        const TPoint at = placeImage(in.Images->Width(), in.Images->Height());
        DrawImageListImageKeyed(g, at, in.Images, in.ImagesEnabled, in.ImageIndex);
    }

    // Drop-down part.
    if (in.DropDownButton) {
        canvas.Brush().SetStyle(fw::TBrushStyle::bsClear);
        if (in.Highlighted && in.DropDownSplit) {
            canvas.Pen().SetColor(in.Colors.BorderColor);
            canvas.MoveTo(d.Left, d.Top);
            if (in.DropDownPosition == dpBottom)
                canvas.LineTo(d.Right, d.Top);
            else
                canvas.LineTo(d.Left, d.Bottom);
        }
        canvas.Brush().SetStyle(fw::TBrushStyle::bsSolid);
        const TPoint at = ArrowPoint(d, in.DropDownPosition, hasCaption, referenceLine);
        DrawDropDownArrow(canvas, at, in.Enabled ? fw::clBlack : kGrey, in.ArrowDown, fw::clWhite);
    }
    return size;
}

void TKelCustomGlowButton::Paint() {
    if (painting_) return;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(painting_);

    fw::TCanvas& canvas = Canvas();
    HDC dc = canvas.Handle();
    const RECT client{0, 0, width_, height_};
    if (transparent_ && !model_.Hot) PaintParentBackground(this, dc);

    model_.NormaliseState();
    TColorInputs ci;
    ci.State = model_.State;
    ci.Enabled = Enabled();
    ci.ShowDisabled = show_disabled_;
    ci.Style = model_.Style;
    ci.GroupIndex = model_.GroupIndex;
    ci.FadeRunning = fade_timer_ != nullptr;
    ci.MouseInFlag = model_.MouseInFlag;
    ci.MouseOver = model_.MouseOver;
    ci.Pressed = model_.Pressed;
    ci.Transparent = transparent_;
    ci.HotLevel = model_.HotLevel;
    ci.DownLevel = model_.DownLevel;
    ci.Position = position_;
    ci.LeftDown = model_.LeftDown;
    ci.Focused = model_.Focused;
    ci.FocusType = focus_type_;
    const TColorChoice colors = ChooseColors(appearance_, ci);
    const bool focusedHot = model_.Focused && (focus_type_ == ftHot || focus_type_ == ftHotBorder);

    TDrawInputs in;
    in.Rect = client;
    in.Colors = colors.Set;
    in.Highlighted = colors.Highlighted;
    if (!Enabled() && disabled_images_) {
        in.Images = disabled_images_;
        in.ImagesEnabled = true;
    } else {
        in.Images = model_.MouseOver && hot_images_ ? hot_images_ : images_;
        in.ImagesEnabled = Enabled();
    }
    if (Enabled() || disabled_picture_->Empty())
        in.Picture = model_.MouseOver && !hot_picture_->Empty() ? hot_picture_.get() : picture_.get();
    else
        in.Picture = disabled_picture_.get();
    if (show_caption_) {
        in.Caption = caption_;
        in.WideCaption = wide_caption_;
    }
    in.DropDownState = model_.DropDownState();

    fw::TFont font;
    font.Assign(*font_);
    if (!parent_font_ && appearance_.SystemFont()) font.SetName(IsWindowsVistaOrLater() ? L"Segoe UI" : L"Tahoma");
    in.Font = &font;
    fw::TBitmap glyph(1, 1);
    GetGlyphBitmap(glyph);
    in.GlyphBitmap = &glyph;
    if (auto* action = dynamic_cast<fw::TCustomAction*>(Action());
        action && action->ImageIndex() >= 0 && action->ActionList() && action->ActionList()->Images()) {
        if (!in.Images || image_list_type_ == ipActionList) {
            in.Images = action->ActionList()->Images();
            in.ImagesEnabled = Enabled();
        }
        image_index_ = action->ImageIndex();
    }
    in.ImageIndex = image_index_;
    if (auto_size_ && (size_state_ == bsGlyph || size_state_ == bsLabel)) {
        in.PictureSize = SIZE{16, 16};
        if (in.Images && image_index_ >= 0) in.Picture = nullptr;
        if (size_state_ == bsGlyph) {
            in.Caption.clear();
            in.WideCaption.clear();
        }
    }
    in.Layout = layout_;
    in.DropDownButton = model_.DropDownButton;
    in.Enabled = Enabled();
    in.FocusBorder = DrawsFocusBorder();
    in.DropDownPosition = model_.DropDownPosition;
    in.AntiAlias = anti_alias_;
    in.Hot = model_.Hot;
    in.Position = position_;
    in.DropDownSplit = model_.DropDownSplit;
    in.HasBorder = HasBorder();
    in.WordWrap = word_wrap_;
    in.Rounded = rounded_;
    in.ArrowDown = drop_down_direction_ == ddDown;
    in.Spacing = spacing_;
    in.Trimming = trimming_;
    in.Notes = &notes_;
    in.NotesFont = notes_font_.get();
    in.Down = model_.Down();

    if (measuring_ || (size_state_changed_ && auto_size_)) {
        in.MeasureOnly = true;
        const SIZE content = DrawButton(canvas, in);
        in.MeasureOnly = false;
        if (auto_size_) {
            const TSize s = AutoSizeFor({static_cast<int>(content.cx), static_cast<int>(content.cy)}, spacing_,
                                        margin_horz_, margin_vert_, model_.DropDownButton, model_.DropDownPosition);
            int w = s.Width, h = s.Height;
            FireEvent(OnAdjustAutoSize, this, w, h);
            if (w != width_ || h != height_) SetBounds(left_, top_, w, h);
        }
        size_state_changed_ = false;
    }
    in.Transparent = transparent_ && !model_.Hot && !focusedHot && model_.State != vsDown;
    DrawButton(canvas, in);
    PaintOverlay();
    const TGlowButtonState state = model_.State == vsDown ? gsDown : model_.Hot ? gsHot : gsNormal;
    FireEvent(OnDrawButton, this, canvas, client, state);
    if (!parent_) return;

    if (rounded_ && (!transparent_ || model_.Hot || model_.State == vsDown || model_.MouseOver) &&
        position_ != bpMiddle) {
        fw::GdiObject<HRGN> corners(CreateRectRgn(0, 0, 0, 0));
        for (const TPoint& c : CornerPixels(width_, height_, position_)) {
            fw::GdiObject<HRGN> pixel(CreateRectRgn(c.X, c.Y, c.X + 1, c.Y + 1));
            CombineRgn(corners.get(), corners.get(), pixel.get(), RGN_OR);
        }
        fw::SavedDCState saved(dc);
        POINT origin;
        GetViewportOrgEx(dc, &origin);
        OffsetRgn(corners.get(), origin.x, origin.y);
        ExtSelectClipRgn(dc, corners.get(), RGN_AND);
        PaintParentBackground(this, dc);
    }
}

}  // namespace kel::glow
