// The pager's settings and appearance objects: tab metrics, the strip's
// scroll state, the strip background, the page body look, the tab colours
// per state, the tab progress bar and the button set. Each reports a change
// through OnChange, which its owner answers by relayout and repaint.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/core/colors.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/pager/KelPagerTypes.h"

namespace kel::pager {

using fw::TColor;
using TChangeEvent = std::function<void()>;

// A setter that stores a changed value and fires Changed.
#define KEL_PAGER_PROP(type, name, init)             \
public:                                             \
    type name() const { return name##_; }           \
    void Set##name(type value) {                    \
        if (value == name##_) return;               \
        name##_ = value;                            \
        Changed();                                  \
    }                                               \
                                                    \
private:                                            \
    type name##_ = init;

// A plain field: writing it fires nothing.
#define KEL_PAGER_FIELD(type, name, init)            \
public:                                             \
    type name() const { return name##_; }           \
    void Set##name(type value) { name##_ = value; } \
                                                    \
private:                                            \
    type name##_ = init;

class TChangeNotifier {
public:
    TChangeEvent OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }
};

// Tab metrics.
class TPagerTabSettings : public TChangeNotifier {
    KEL_PAGER_PROP(TPagerAlignment, Alignment, taLeftJustify)
    KEL_PAGER_PROP(int, LeftMargin, 4)
    KEL_PAGER_PROP(int, RightMargin, 4)
    KEL_PAGER_PROP(int, StartMargin, 4)
    KEL_PAGER_PROP(int, EndMargin, 0)
    KEL_PAGER_PROP(int, Height, 26)
    KEL_PAGER_PROP(int, Spacing, 4)
    KEL_PAGER_PROP(int, Width, 0)
    KEL_PAGER_PROP(bool, WordWrap, false)
    KEL_PAGER_PROP(TImagePosition, ImagePosition, ipLeft)
    KEL_PAGER_PROP(TKelTabShape, Shape, tsRectangle)
    KEL_PAGER_PROP(int, Rounding, 1)
    KEL_PAGER_PROP(bool, Glass, false)
public:
    void Assign(const TPagerTabSettings& source);
};

// Scroll state of the tab strip; no event.
class TPagerTabScroller {
public:
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    bool Visible() const { return visible_; }
    // Ignored when below Min.
    void SetMax(int value) {
        if (value >= min_) max_ = value;
    }
    // Ignored when above Max.
    void SetMin(int value) {
        if (value <= max_) min_ = value;
    }
    void SetPosition(int value) { position_ = value; }
    void SetVisible(bool value) { visible_ = value; }
    bool CanScrollBack() const { return min_ < position_; }
    bool CanScrollForward() const { return position_ < max_; }

private:
    int min_ = 0, max_ = 0, position_ = 0;
    bool visible_ = false;
};

// Background of the tab strip. Its setters fire Changed on every write.
class TGradientBackground : public TChangeNotifier {
public:
    int Steps() const { return steps_; }
    TColor Color() const { return color_; }
    TColor ColorTo() const { return colorTo_; }
    TGradientDirection Direction() const { return direction_; }
    void SetSteps(int v) { steps_ = v, Changed(); }
    void SetColor(TColor v) { color_ = v, Changed(); }
    void SetColorTo(TColor v) { colorTo_ = v, Changed(); }
    void SetDirection(TGradientDirection v) { direction_ = v, Changed(); }
    // Copies the four values without firing Changed.
    void Assign(const TGradientBackground& source);

private:
    int steps_ = 64;
    TColor color_ = fw::clWhite;
    TColor colorTo_ = fw::clBtnFace;
    TGradientDirection direction_ = gdHorizontal;
};

// Page body look.
class TVistaBackground : public TChangeNotifier {
    KEL_PAGER_PROP(int, Steps, 64)
    KEL_PAGER_PROP(TColor, Color, fw::clWhite)
    KEL_PAGER_PROP(TColor, ColorTo, fw::clWhite)
    KEL_PAGER_PROP(TColor, ColorMirror, fw::clSilver)
    KEL_PAGER_PROP(TColor, ColorMirrorTo, fw::clWhite)
    KEL_PAGER_PROP(TColor, BorderColor, fw::clGray)
    KEL_PAGER_PROP(TGDIPGradient, Gradient, ggVertical)
    KEL_PAGER_PROP(TGDIPGradient, GradientMirror, ggVertical)
public:
    // Steps and the five colours without Changed, the gradients through
    // their setters.
    void Assign(const TVistaBackground& source);
};

constexpr int fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

// The tab caption font as a value; the painters make the GDI font from it.
class TTabFont : public TChangeNotifier {
    KEL_PAGER_PROP(std::wstring, Name, L"Tahoma")
    KEL_PAGER_PROP(int, Size, 8)
    KEL_PAGER_PROP(int, Style, 0)
    KEL_PAGER_PROP(TColor, Color, fw::clWindowText)
public:
    void Assign(const TTabFont& source);
};

// Tab colours per state.
class TCustomTabAppearance : public TChangeNotifier {
public:
    TCustomTabAppearance();
    virtual ~TCustomTabAppearance() = default;
    TCustomTabAppearance(const TCustomTabAppearance&) = delete;
    TCustomTabAppearance& operator=(const TCustomTabAppearance&) = delete;

    KEL_PAGER_PROP(TColor, BorderColor, fw::clBtnFace)
    KEL_PAGER_FIELD(TColor, BorderColorHot, fw::clBlue)
    KEL_PAGER_PROP(TColor, BorderColorSelected, fw::clBtnFace)
    KEL_PAGER_PROP(TColor, BorderColorSelectedHot, fw::clNone)
    KEL_PAGER_PROP(TColor, BorderColorDisabled, fw::clNone)
    KEL_PAGER_PROP(TColor, BorderColorDown, fw::clNone)
    KEL_PAGER_PROP(TColor, Color, fw::clBtnFace)
    KEL_PAGER_PROP(TColor, ColorTo, fw::clWhite)
    KEL_PAGER_PROP(TColor, ColorMirror, fw::clWhite)
    KEL_PAGER_PROP(TColor, ColorMirrorTo, fw::clWhite)
    KEL_PAGER_PROP(TGDIPGradient, Gradient, ggVertical)
    KEL_PAGER_PROP(TGDIPGradient, GradientMirror, ggVertical)
    KEL_PAGER_PROP(TColor, ColorHot, fw::clYellow)
    KEL_PAGER_PROP(TColor, ColorHotTo, fw::clNone)
    KEL_PAGER_PROP(TColor, ColorMirrorHot, fw::clNone)
    KEL_PAGER_PROP(TColor, ColorMirrorHotTo, fw::clNone)
    KEL_PAGER_PROP(TGDIPGradient, GradientHot, ggVertical)
    KEL_PAGER_PROP(TGDIPGradient, GradientMirrorHot, ggVertical)
    KEL_PAGER_PROP(TColor, ColorSelected, fw::clWhite)
    KEL_PAGER_PROP(TColor, ColorSelectedTo, fw::clBtnFace)
    KEL_PAGER_PROP(TColor, ColorMirrorSelected, fw::clWhite)
    KEL_PAGER_PROP(TColor, ColorMirrorSelectedTo, fw::clWhite)
    KEL_PAGER_PROP(TGDIPGradient, GradientSelected, ggVertical)
    KEL_PAGER_PROP(TGDIPGradient, GradientMirrorSelected, ggVertical)
    KEL_PAGER_PROP(TColor, ColorDisabled, fw::clNone)
    KEL_PAGER_PROP(TColor, ColorDisabledTo, fw::clNone)
    KEL_PAGER_PROP(TColor, ColorMirrorDisabled, fw::clNone)
    KEL_PAGER_PROP(TColor, ColorMirrorDisabledTo, fw::clNone)
    KEL_PAGER_PROP(TGDIPGradient, GradientDisabled, ggVertical)
    KEL_PAGER_PROP(TGDIPGradient, GradientMirrorDisabled, ggVertical)
    KEL_PAGER_PROP(TColor, TextColor, fw::clBlue)
    KEL_PAGER_PROP(TColor, TextColorHot, fw::clBlue)
    KEL_PAGER_PROP(TColor, TextColorSelected, fw::clBlue)
    KEL_PAGER_PROP(TColor, TextColorDisabled, fw::clWhite)
    KEL_PAGER_FIELD(TColor, ShadowColor, 15255470)
    KEL_PAGER_FIELD(TColor, HighLightColor, 16775871)
    KEL_PAGER_FIELD(TColor, HighLightColorHot, 16643309)
    KEL_PAGER_FIELD(TColor, HighLightColorSelected, 6540536)
    KEL_PAGER_FIELD(TColor, HighLightColorSelectedHot, 12451839)
    KEL_PAGER_FIELD(TColor, HighLightColorDown, 16776144)

public:
    TTabFont& Font() { return font_; }
    const TTabFont& Font() const { return font_; }
    // Copies the font; its change fires OnFontChange, not OnChange.
    void SetFont(const TTabFont& font) { font_.Assign(font); }
    TChangeEvent OnFontChange;

    // Every colour, gradient and the font, through the setters; the plain
    // fields copied as they are.
    void Assign(const TCustomTabAppearance& source);

private:
    TTabFont font_;
};

// Adds the strip background.
class TTabAppearance : public TCustomTabAppearance {
public:
    TTabAppearance();
    TGradientBackground& BackGround() { return background_; }
    const TGradientBackground& BackGround() const { return background_; }
    void SetBackGround(const TGradientBackground& source) {
        background_.Assign(source);
        Changed();
    }
    void Assign(const TTabAppearance& source);

private:
    TGradientBackground background_;
};

// The progress bar drawn in a tab.
class TTabProgress : public TChangeNotifier {
    KEL_PAGER_PROP(TColor, Color, fw::clWhite)
    KEL_PAGER_PROP(TColor, ColorTo, fw::clSilver)
    KEL_PAGER_PROP(TColor, CompleteColor, fw::clWhite)
    KEL_PAGER_PROP(TColor, CompleteColorTo, fw::clRed)
    KEL_PAGER_PROP(int, Min, 0)
    KEL_PAGER_PROP(int, Max, 100)
    KEL_PAGER_PROP(int, Position, 50)
    KEL_PAGER_PROP(bool, Visible, false)
public:
    // All eight values, then Changed once.
    void Assign(const TTabProgress& source);
};

// Where a tab progress bar draws (orientation 0 top, 1 bottom, 2 left,
// 3 right).
struct TTabProgressGeometry {
    TPagerRect Bar;          // the background, R after the orientation's adjustment
    TPagerRect Complete;     // the filled part
    int Mode = 1;            // GDI+ linear gradient mode: 1 vertical, 0 horizontal
    bool Reversed = false;   // colour pairs run To -> From
};
TTabProgressGeometry TabProgressGeometry(const TTabProgress& progress, const TPagerRect& rect, int orientation,
                                         bool depthFlag);

// The pager's scroll, list and close buttons.
class TPageButtonSettings : public TChangeNotifier {
    KEL_PAGER_PROP(bool, CloseButton, false)
    KEL_PAGER_PROP(bool, PageListButton, false)
    KEL_PAGER_PROP(bool, ClosedListButton, false)
    KEL_PAGER_PROP(bool, FirstButton, false)
    KEL_PAGER_PROP(bool, LastButton, false)
    KEL_PAGER_PROP(bool, ScrollButtonsAlways, false)
    KEL_PAGER_FIELD(std::wstring, ScrollButtonPrevHint, L"Previous")
    KEL_PAGER_FIELD(std::wstring, ScrollButtonNextHint, L"Next")
    KEL_PAGER_FIELD(std::wstring, ScrollButtonFirstHint, L"First")
    KEL_PAGER_FIELD(std::wstring, ScrollButtonLastHint, L"Last")
    KEL_PAGER_FIELD(std::wstring, CloseButtonHint, L"Close")
    KEL_PAGER_FIELD(std::wstring, PageListButtonHint, L"Page List")
    KEL_PAGER_FIELD(std::wstring, ClosedListButtonHint, L"Closed Pages")
public:
    TPageButtonSettings();
    TPageButtonSettings(const TPageButtonSettings&) = delete;
    TPageButtonSettings& operator=(const TPageButtonSettings&) = delete;

    enum TPictureId { piNext, piPrev, piFirst, piLast, piPageList, piClose, piClosedList, piCount };
    TGDIPPicture& Picture(TPictureId id) { return *pictures_[id]; }
    // Copies the picture and fires Changed.
    void SetPicture(TPictureId id, const TGDIPPicture& picture);
    // The pictures for strips at the left or right side.
    enum TSidePictureId { spDown, spUp, spDownLast, spUpFirst, spCount };
    TGDIPPicture& SidePicture(TSidePictureId id) { return *side_[id]; }

    bool NextPictureChanged() const { return flags_[piNext]; }
    bool PrevPictureChanged() const { return flags_[piPrev]; }
    bool FirstPictureChanged() const { return flags_[piFirst]; }
    bool LastPictureChanged() const { return flags_[piLast]; }
    // The pager streams the first two.
    void SetNextPictureChanged(bool v) { flags_[piNext] = v; }
    void SetPrevPictureChanged(bool v) { flags_[piPrev] = v; }

    // The six Booleans, the seven pictures and the seven hints; not the
    // flags nor the side pictures.
    void Assign(const TPageButtonSettings& source);
    // The default pictures from the module's RCDATA resources; where the
    // module has none, small drawn glyphs (the host has neither).
    void LoadPictures(HINSTANCE__* module);

private:
    void PictureChanged(TPictureId id);
    std::unique_ptr<TGDIPPicture> pictures_[piCount];
    std::unique_ptr<TGDIPPicture> side_[spCount];
    bool flags_[piCount] = {};
};

// The page area: the client rectangle less the strip and the margins.
TPagerRect PagerPageRect(const TPagerRect& client, TTabPosition position, int tabHeight, int pageMargin);

}  // namespace kel::pager
