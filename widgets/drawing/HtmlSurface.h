// What the mini-HTML layout engine draws on: a surface that measures and
// draws text pieces, rectangles, bullets, lines and pictures, together with
// the rules in which the GDI and the GDI+ back ends differ. Platform-free:
// the back ends live in HtmlRender_win.cpp and HtmlRenderGP_win.cpp, the
// tests use a recording fake.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/colors.h"
#include "widgets/drawing/HtmlMarkup.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel {

enum THtmlFontStyle : unsigned { hfsBold = 1, hfsItalic = 2, hfsUnderline = 4, hfsStrikeOut = 8 };

// A font as the markup changes it; Height in pixels as the framework's
// TFont keeps it (negative: character height).
struct THtmlFont {
    std::wstring Name = L"Tahoma";
    int Height = -11;
    unsigned Style = 0;
    fw::TColor Color = fw::clBlack;
    uint8_t Charset = 1;  // DEFAULT_CHARSET
    bool operator==(const THtmlFont&) const = default;
    // The same typeface, whatever the colour.
    bool SameFace(const THtmlFont& o) const {
        return Height == o.Height && Style == o.Style && Charset == o.Charset && Name == o.Name;
    }
};

struct THtmlSize {
    int Width = 0;
    int Height = 0;
};

// A picture's natural size and the offset at which it is drawn (the frame
// of an animated GIF); a zero size means there is no picture to draw.
struct THtmlImageInfo {
    int Width = 0;
    int Height = 0;
    int OffsetX = 0;
    int OffsetY = 0;
    bool Present() const { return Width > 0 && Height > 0; }
};

struct THtmlLine {
    int X1, Y1, X2, Y2;
};

enum class THtmlBullet { Square, Circle };

enum class THtmlTextPlace {
    Piece,  // one line, bottom-aligned in the rectangle (GDI) or from its top-left (GDI+)
    Plain,  // from the rectangle's top-left
};

// The rules of the layout that depend on the drawing surface. The two back
// ends' settings are GdiHtmlPolicy and GdipHtmlPolicy.
struct THtmlPolicy {
    int BoxInset = 0;                    // lines start this far right of Rect.Left
    bool TrimLines = true;               // blanks and control characters trimmed off each line
    bool SpaceLastLine = true;           // LineSpacing also below the last line
    int HeightMargin = 0;                // added to TextHeight at the end
    bool HalfScriptExtra = false;        // script room t/2 when below t/4, else at least t/4
    bool BlankPiecesEmpty = false;       // a one-blank piece measures 0 and is never drawn
    bool AnchorOnTextBand = false;       // a word hit sets AnchorHref only within "gh" of the line top
    bool TextFromTop = false;            // sub/superscript shift the piece's top by half their room
    bool UnderlineBlanks = false;        // an underlined link word followed by another gets "_"
    bool SkipPiecesPastEdge = true;      // no word wrap: pieces within a "w" of the right edge are not drawn
    bool FitInclusive = false;           // a piece ending exactly at the right edge fits
    bool BreakOnlyAfterBlanks = false;   // no line break before a piece that follows a piece without a blank
    bool SubtractTrailingBlank = true;   // a line's width leaves out its last blank
    bool PaintsBackgrounds = true;       // page and paragraph backgrounds and pictures are painted
    bool ListImages = false;             // "<L TYPE="IMAGE" NAME=...>" bullets
    bool ErrorSegments = false;          // zig-zag as separate strokes with one extra at the end
};

THtmlPolicy GdiHtmlPolicy();
THtmlPolicy GdipHtmlPolicy();

class THtmlSurface {
public:
    virtual ~THtmlSurface() = default;

    virtual const THtmlPolicy& Policy() const = 0;
    // Text colour of blinking text in its off phase.
    virtual fw::TColor BlinkColor() const = 0;
    // Pixels per inch that font sizes in points convert with.
    virtual int FontPixelsPerInch() = 0;
    // Dots per inch of the device, which picture rooms are scaled to from 96.
    virtual THtmlSize ImagePixelsPerInch() = 0;

    virtual int TextHeight(const THtmlFont& font, std::wstring_view text) = 0;
    virtual int TextWidth(const THtmlFont& font, std::wstring_view text) = 0;
    // background clNone: no box behind the text.
    virtual void DrawText(const THtmlFont& font, std::wstring_view text, const TIntRect& rect, THtmlTextPlace place,
                          fw::TColor background) = 0;

    // Outline in pen, fill in brush; clNone paints nothing of that part.
    virtual void Rectangle(const TIntRect& rect, fw::TColor pen, fw::TColor brush) = 0;
    virtual void Bullet(THtmlBullet kind, const TIntRect& rect, fw::TColor color) = 0;
    virtual void Gradient(const TIntRect& rect, fw::TColor from, fw::TColor to, int bands, bool horizontal) = 0;
    virtual void Lines(const std::vector<THtmlLine>& lines, fw::TColor color) = 0;
    virtual void FocusRect(const TIntRect& rect) = 0;

    // The raw size of a picture (image list and icon sizes, a picture's
    // natural size); nothing present when there is none.
    virtual THtmlImageInfo Image(const THtmlImageRef& ref) = 0;
    // Draws it into rect: stretched, or at its own size from the top-left;
    // clip, when given, limits the drawing.
    virtual void DrawImage(const THtmlImageRef& ref, const TIntRect& rect, bool stretch, const TIntRect* clip) = 0;

    // Text from here on in `font` turned by `angle` degrees, until
    // EndRotation or until the font changes.
    virtual void Rotate(const THtmlFont& font, int angle) = 0;
    virtual void EndRotation() = 0;
};

}  // namespace kel
