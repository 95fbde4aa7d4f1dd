// Applying looks to glow buttons and menu stylers.
#include "Display/kynThemeApply_win.h"

namespace kyn {

void SetFontLook(fw::TFont& font, TColor color, bool bold) {
    font.SetColor(color);
    const fw::TFontStyles style = bold ? (font.Style() | fw::fsBold) : (font.Style() & ~fw::TFontStyles{fw::fsBold});
    font.SetStyle(style);
}

void ApplyButtonLook(kel::glow::TKelGlowButton& button, const TButtonLook& look) {
    button.SetBorderStyle(look.BorderSingle ? kel::glow::bsSingle : kel::glow::bsNone);
    kel::glow::TGlowButtonAppearance& a = button.Appearance();
    a.SetBorderColor(look.BorderColor);
    a.SetBorderColorDown(look.BorderColorDown);
    a.SetBorderColorHot(look.BorderColorHot);
    a.SetColor(look.Color);
    a.SetColorTo(look.ColorTo);
    a.SetColorMirror(look.ColorMirror);
    a.SetColorMirrorTo(look.ColorMirrorTo);
    a.SetColorDown(look.ColorDown);
    a.SetColorDownTo(look.ColorDownTo);
    a.SetColorHot(look.ColorHot);
    a.SetColorHotTo(look.ColorHotTo);
    a.SetColorMirrorHot(look.ColorMirrorHot);
    a.SetColorMirrorHotTo(look.ColorMirrorHotTo);
    if (look.FontColor) button.Font().SetColor(*look.FontColor);
    if (look.FontBold) SetFontLook(button.Font(), button.Font().Color(), *look.FontBold);
    button.Invalidate();
}

void ApplyMenuTheme(kel::menus::TKelMenuStyler& styler, const TMenuTheme& t) {
    styler.SetUseSystemFont(false);
    styler.Background().SetColorByIndex(0, t.Background);
    styler.Background().SetColorByIndex(1, t.BackgroundTo);
    styler.IconBar().SetColorByIndex(0, t.IconBar);
    styler.IconBar().SetColorByIndex(1, t.IconBarTo);
    styler.IconBar().SetSize(t.IconBarWidth);
    styler.SetMenuBorderColor(t.MenuBorder);
    SetFontLook(styler.Font(), t.ItemFontColor, t.ItemBold);
    kel::menus::TSelectedItem& sel = styler.SelectedItem();
    sel.SetUseSystemFont(false);
    sel.SetColorByIndex(0, t.Selected);
    sel.SetColorByIndex(1, t.SelectedTo);
    sel.SetBorderColor(t.SelectedBorder);
    SetFontLook(sel.Font(), t.SelectedFontColor, t.SelectedBold);
    styler.Separator().SetColorByIndex(0, t.Separator);
    styler.Separator().SetColorByIndex(1, t.SeparatorTo);
    fw::TBitmap none;
    styler.Glyphs().SetSubMenu(&none);
    styler.NotifyMenus(true);
}

}  // namespace kyn
