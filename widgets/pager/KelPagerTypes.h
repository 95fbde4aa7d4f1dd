// Value types of the tab pager. Ordinal values follow the list order from 0.
#pragma once

#include "widgets/buttons/KelGlowButtonTypes.h"

namespace kel::pager {

using glow::TGDIPGradient;
using glow::ggRadial;
using glow::ggVertical;
using glow::ggDiagonalForward;
using glow::ggDiagonalBackward;
using glow::TShortCutHintPos;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TKelTabShape { tsRectangle, tsLeftRamp, tsRightRamp, tsLeftRightRamp };
enum TImagePosition { ipLeft, ipTop, ipRight, ipBottom };
enum TPagerAlignment { taLeftJustify, taRightJustify, taCenter };
enum TGradientDirection { gdHorizontal, gdVertical };
enum TPagerAntiAlias { aaNone, aaClearType, aaAntiAlias };
enum TCloseOnTabPos { cpRight, cpLeft };

enum TOfficePagerStyle {
    psOffice2003Blue,
    psOffice2003Silver,
    psOffice2003Olive,
    psOffice2003Classic,
    psOffice2007Luna,
    psOffice2007Obsidian,
    psWindowsXP,
    psWhidbey,
    psCustom,
    psOffice2007Silver,
    psWindowsVista,
    psWindows7,
    psTerminal,
    psOffice2010Blue,
    psOffice2010Silver,
    psOffice2010Black
};
constexpr int kOfficePagerStyleCount = 16;

// Change kinds a styler passes to its pagers (0: the pager took a styler).
enum TStylerChange {
    scStylerSet = 0,
    scTabAppearance = 1,
    scPageAppearance = 2,
    scRoundedCorners = 3,
    scGlowButtonAppearance = 4,
    scTabFont = 5
};

// A rectangle with exclusive right and bottom.
struct TPagerRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TPagerRect&, const TPagerRect&) = default;
};

}  // namespace kel::pager
