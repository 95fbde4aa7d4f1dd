// The pager's settings and appearance objects.
#include "widgets/pager/KelPagerAppearance.h"

#include <algorithm>
#include <cstdint>

namespace kel::pager {

void TPagerTabSettings::Assign(const TPagerTabSettings& s) {
    SetAlignment(s.Alignment());
    SetLeftMargin(s.LeftMargin());
    SetRightMargin(s.RightMargin());
    SetStartMargin(s.StartMargin());
    SetEndMargin(s.EndMargin());
    SetHeight(s.Height());
    SetSpacing(s.Spacing());
    SetWidth(s.Width());
    SetWordWrap(s.WordWrap());
    SetImagePosition(s.ImagePosition());
    SetShape(s.Shape());
    SetRounding(s.Rounding());
    SetGlass(s.Glass());
}

void TGradientBackground::Assign(const TGradientBackground& s) {
    steps_ = s.steps_;
    color_ = s.color_;
    colorTo_ = s.colorTo_;
    direction_ = s.direction_;
}

void TVistaBackground::Assign(const TVistaBackground& s) {
    Steps_ = s.Steps_;
    Color_ = s.Color_;
    ColorTo_ = s.ColorTo_;
    ColorMirror_ = s.ColorMirror_;
    ColorMirrorTo_ = s.ColorMirrorTo_;
    BorderColor_ = s.BorderColor_;
    SetGradient(s.Gradient());
    SetGradientMirror(s.GradientMirror());
}

void TTabFont::Assign(const TTabFont& s) {
    SetName(s.Name());
    SetSize(s.Size());
    SetStyle(s.Style());
    SetColor(s.Color());
}

TCustomTabAppearance::TCustomTabAppearance() {
    font_.OnChange = [this] {
        if (OnFontChange) OnFontChange();
    };
}

void TCustomTabAppearance::Assign(const TCustomTabAppearance& s) {
    SetBorderColor(s.BorderColor());
    BorderColorHot_ = s.BorderColorHot_;
    SetBorderColorSelected(s.BorderColorSelected());
    SetBorderColorSelectedHot(s.BorderColorSelectedHot());
    SetBorderColorDisabled(s.BorderColorDisabled());
    SetBorderColorDown(s.BorderColorDown());
    SetColor(s.Color());
    SetColorTo(s.ColorTo());
    SetColorMirror(s.ColorMirror());
    SetColorMirrorTo(s.ColorMirrorTo());
    SetGradient(s.Gradient());
    SetGradientMirror(s.GradientMirror());
    SetColorHot(s.ColorHot());
    SetColorHotTo(s.ColorHotTo());
    SetColorMirrorHot(s.ColorMirrorHot());
    SetColorMirrorHotTo(s.ColorMirrorHotTo());
    SetGradientHot(s.GradientHot());
    SetGradientMirrorHot(s.GradientMirrorHot());
    SetColorSelected(s.ColorSelected());
    SetColorSelectedTo(s.ColorSelectedTo());
    SetColorMirrorSelected(s.ColorMirrorSelected());
    SetColorMirrorSelectedTo(s.ColorMirrorSelectedTo());
    SetGradientSelected(s.GradientSelected());
    SetGradientMirrorSelected(s.GradientMirrorSelected());
    SetColorDisabled(s.ColorDisabled());
    SetColorDisabledTo(s.ColorDisabledTo());
    SetColorMirrorDisabled(s.ColorMirrorDisabled());
    SetColorMirrorDisabledTo(s.ColorMirrorDisabledTo());
    SetGradientDisabled(s.GradientDisabled());
    SetGradientMirrorDisabled(s.GradientMirrorDisabled());
    SetTextColor(s.TextColor());
    SetTextColorHot(s.TextColorHot());
    SetTextColorSelected(s.TextColorSelected());
    SetTextColorDisabled(s.TextColorDisabled());
    ShadowColor_ = s.ShadowColor_;
    HighLightColor_ = s.HighLightColor_;
    HighLightColorHot_ = s.HighLightColorHot_;
    HighLightColorSelected_ = s.HighLightColorSelected_;
    HighLightColorSelectedHot_ = s.HighLightColorSelectedHot_;
    HighLightColorDown_ = s.HighLightColorDown_;
    SetFont(s.Font());
}

TTabAppearance::TTabAppearance() {
    background_.OnChange = [this] { Changed(); };
}

void TTabAppearance::Assign(const TTabAppearance& s) {
    TCustomTabAppearance::Assign(s);
    SetBackGround(s.BackGround());
}

void TTabProgress::Assign(const TTabProgress& s) {
    Color_ = s.Color_;
    ColorTo_ = s.ColorTo_;
    CompleteColor_ = s.CompleteColor_;
    CompleteColorTo_ = s.CompleteColorTo_;
    Min_ = s.Min_;
    Max_ = s.Max_;
    Position_ = s.Position_;
    Visible_ = s.Visible_;
    Changed();
}

TTabProgressGeometry TabProgressGeometry(const TTabProgress& progress, const TPagerRect& rect, int orientation,
                                         bool depthFlag) {
    TTabProgressGeometry g;
    TPagerRect r = rect;
    switch (orientation) {
        case tpTop: r.Top += 1, r.Right += 2; break;
        case tpBottom: r.Right += 1; break;
        case tpLeft: r.Bottom -= 1; break;
        case tpRight: r.Right += 2; break;
        default: break;
    }
    g.Bar = r;
    const bool alongHeight = depthFlag && (orientation == tpLeft || orientation == tpRight);
    const int length = alongHeight ? r.Height() : r.Width();
    g.Mode = alongHeight ? 0 : 1;
    g.Reversed = alongHeight && orientation == tpRight;
    // A Max of 0 or below would divide by zero: nothing is filled then, and
    // the fill never runs past the bar.
    // Position / Max * length, rounded half to even in whole numbers: in
    // doubles the i686 build (x87, wider registers) rounds 1 / 6 * 9 the
    // other way.
    int filled = 0;
    if (progress.Max() > 0) {
        const int64_t m = progress.Max();
        const int64_t n = static_cast<int64_t>(progress.Position()) * length;
        int64_t q = n / m, rest = n % m;
        if (rest < 0) --q, rest += m;
        if (2 * rest > m || (2 * rest == m && q % 2 != 0)) ++q;
        q = std::min<int64_t>(std::max<int64_t>(q, 0), length);
        filled = static_cast<int>(q);
    }
    if (!alongHeight)
        g.Complete = TPagerRect{r.Left, r.Top, r.Left + filled, r.Bottom};
    else if (orientation == tpLeft)
        g.Complete = TPagerRect{r.Left, r.Bottom - filled, r.Right, r.Bottom};
    else
        g.Complete = TPagerRect{r.Left, r.Top, r.Right, r.Top + filled};
    return g;
}

TPageButtonSettings::TPageButtonSettings() {
    for (auto& p : pictures_) p = std::make_unique<TGDIPPicture>();
    for (auto& p : side_) p = std::make_unique<TGDIPPicture>();
    for (TPictureId id : {piNext, piPrev, piFirst, piLast, piClosedList})
        pictures_[id]->OnChange = [this, id] { PictureChanged(id); };
}

void TPageButtonSettings::PictureChanged(TPictureId id) {
    flags_[id] = true;
    Changed();
}

void TPageButtonSettings::SetPicture(TPictureId id, const TGDIPPicture& picture) {
    pictures_[id]->Assign(&picture);
    Changed();
}

void TPageButtonSettings::Assign(const TPageButtonSettings& s) {
    SetCloseButton(s.CloseButton());
    SetPageListButton(s.PageListButton());
    SetClosedListButton(s.ClosedListButton());
    SetFirstButton(s.FirstButton());
    SetLastButton(s.LastButton());
    SetScrollButtonsAlways(s.ScrollButtonsAlways());
    for (int i = 0; i < piCount; ++i) SetPicture(TPictureId(i), *s.pictures_[i]);
    ScrollButtonPrevHint_ = s.ScrollButtonPrevHint_;
    ScrollButtonNextHint_ = s.ScrollButtonNextHint_;
    ScrollButtonFirstHint_ = s.ScrollButtonFirstHint_;
    ScrollButtonLastHint_ = s.ScrollButtonLastHint_;
    CloseButtonHint_ = s.CloseButtonHint_;
    PageListButtonHint_ = s.PageListButtonHint_;
    ClosedListButtonHint_ = s.ClosedListButtonHint_;
}

TPagerRect PagerPageRect(const TPagerRect& c, TTabPosition position, int h, int m) {
    switch (position) {
        case tpTop: return TPagerRect{c.Left + m, c.Top + h, c.Right - m, c.Bottom - (m + 1)};
        case tpBottom: return TPagerRect{c.Left + m, c.Top + (m + 1), c.Right - m, c.Bottom - h};
        case tpLeft: return TPagerRect{c.Left + h, c.Top + (m + 1), c.Right - m, c.Bottom - (m + 1)};
        case tpRight: return TPagerRect{c.Left + m, c.Top + (m + 1), c.Right - h, c.Bottom - (m + 1)};
    }
    return c;
}

}  // namespace kel::pager
