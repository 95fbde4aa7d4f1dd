// The control panel's colour rule, toggles, flag rule and theme tables.
#include "Display/kynControlPanelLooks.h"

#include <gtest/gtest.h>

namespace kyn {
namespace {

using common::TDisplayColour;

TEST(ControlPanelColourRule, ChoiceAndContrastGiveTheColour) {
    struct Row {
        int choice;
        double contrast;
        double r, g, b;
    } rows[] = {
        {1, 0.0, 0.0, 0.0, 0.0}, {1, 0.25, 0.25, 0.25, 0.25}, {2, 0.0, 1.0, 1.0, 1.0},
        {2, 0.2, 0.8, 0.8, 0.8}, {3, 0.0, 0.0, 1.0, 0.0},     {3, 0.5, 0.0, 0.5, 0.0},
    };
    for (const Row& row : rows) {
        TDisplayColour c{0.3, 0.3, 0.3, 0, 0.0};
        ASSERT_TRUE(ApplyColourRule(c, row.choice, row.contrast)) << row.choice;
        EXPECT_DOUBLE_EQ(c.Red, row.r) << row.choice << " " << row.contrast;
        EXPECT_DOUBLE_EQ(c.Green, row.g) << row.choice << " " << row.contrast;
        EXPECT_DOUBLE_EQ(c.Blue, row.b) << row.choice << " " << row.contrast;
    }
    // Any other choice changes nothing.
    for (int choice : {0, 4, -1}) {
        TDisplayColour c{0.3, 0.4, 0.5, choice, 0.2};
        const TDisplayColour before = c;
        EXPECT_FALSE(ApplyColourRule(c, choice, 0.2));
        EXPECT_EQ(c, before);
    }
    EXPECT_EQ(ContrastPosition(0.2), 51);
    EXPECT_EQ(ContrastPosition(1.0), 255);
    EXPECT_EQ(ContrastPosition(0.5), 128);  // 127.5 rounds up
}

TEST(ControlPanelToggles, RunOptionsAndTheme) {
    EXPECT_EQ(NextRunOption(0), 1);  // no settings file
    EXPECT_EQ(NextRunOption(1), -1);
    EXPECT_EQ(NextRunOption(-1), 1);
    EXPECT_EQ(NextRunOption(7), 1);
    EXPECT_EQ(NextTheme(0), 1);
    EXPECT_EQ(NextTheme(1), 0);
    EXPECT_EQ(NextTheme(2), 0);  // only 0 gives the dark theme
}

TEST(ControlPanelLanguageFlag, NeverReadsPastThePictureList) {
    struct Row {
        int language;
        bool keep;
        int picture;
    } rows[] = {
        {0, true, -1}, {1, false, 1}, {2, false, 2},
        // Values the list has no picture for leave the flag empty.
        {3, false, -1}, {9, false, -1}, {12, false, -1}, {-1, false, -1},
    };
    for (const Row& row : rows) {
        const TFlagChange c = LanguageFlag(row.language);
        EXPECT_EQ(c.Keep, row.keep) << row.language;
        EXPECT_EQ(c.Picture, row.picture) << row.language;
    }
}

TEST(ControlPanelLooks, TabsRaiseTheSelectedOneInTheThemesColours) {
    const TButtonLook light = *SelectedTabLook(0, false);
    EXPECT_EQ(light.Color, 0xFF8420);
    EXPECT_EQ(light.ColorMirrorTo, 0xFF8420);
    EXPECT_EQ(light.FontColor, fw::clWhite);
    EXPECT_EQ(light.FontBold, true);
    EXPECT_FALSE(light.BorderSingle);
    EXPECT_EQ(TabLook(0)->Color, 0xEEEEEE);
    EXPECT_EQ(TabLook(0)->FontColor, fw::clBlack);
    EXPECT_EQ(SelectedTabPlace(0)->Top, 2);
    EXPECT_EQ(SelectedTabPlace(0)->Height, 22);
    EXPECT_EQ(SelectedTabPlace(1)->Top, 4);
    EXPECT_EQ(SelectedTabPlace(1)->Height, 18);
    EXPECT_EQ(kTabPlace.Top, 6);
    EXPECT_EQ(kTabPlace.Height, 14);

    const TButtonLook dark = *SelectedTabLook(1, false);
    EXPECT_EQ(dark.Color, 0x2084FF);
    EXPECT_EQ(dark.ColorHot, 0x2084FF);
    EXPECT_EQ(dark.ColorDownTo, 0xFFFFFF);
    EXPECT_EQ(SelectedTabLook(1, true)->ColorDownTo, 0xF8F8F8);  // "Configure"
    EXPECT_EQ(dark.FontColor, fw::clWhite);
    EXPECT_FALSE(dark.FontBold.has_value());

    // Another theme value keeps every colour and raises nothing.
    EXPECT_FALSE(TabLook(2).has_value());
    EXPECT_FALSE(SelectedTabLook(2, false).has_value());
    EXPECT_FALSE(SelectedTabPlace(2).has_value());
    EXPECT_FALSE(PanelTheme(2).has_value());
    EXPECT_FALSE(PopupMenuTheme(-1).has_value());
    EXPECT_FALSE(DropDownMenuTheme(3).has_value());
    EXPECT_FALSE(PauseLook(2, true).has_value());
}

TEST(ControlPanelLooks, PauseButtonTurnsOrangeWhilePausedInBothThemes) {
    struct Row {
        int theme;
        bool paused;
        bool single;
        TColor borderHot, color, mirrorTo, down;
    } rows[] = {
        {0, false, true, 0x000000, 0xFFFFFF, 0xEBEBEB, 0xFFFFFF},
        {1, false, false, 0x808080, 0xC8C0C0, 0xC8C0C0, 0xEBEBEB},
        {0, true, true, 0x000000, 0x2084FF, 0x2084FF, 0xFFFFFF},
        {1, true, false, 0x808080, 0x2084FF, 0x2084FF, 0xEBEBEB},
    };
    for (const Row& row : rows) {
        const TButtonLook l = *PauseLook(row.theme, row.paused);
        EXPECT_EQ(l.BorderSingle, row.single) << row.theme << row.paused;
        EXPECT_EQ(l.BorderColorHot, row.borderHot) << row.theme << row.paused;
        EXPECT_EQ(l.Color, row.color) << row.theme << row.paused;
        EXPECT_EQ(l.ColorMirrorTo, row.mirrorTo) << row.theme << row.paused;
        EXPECT_EQ(l.ColorDown, row.down) << row.theme << row.paused;
        EXPECT_EQ(l.BorderColor, 0x808080);
        EXPECT_EQ(l.ColorDownTo, 0xEBEBEB);
        EXPECT_EQ(l.ColorHot, 0xF4F4F4);
    }
    EXPECT_STREQ(PauseText(true).Caption, L"Resume");
    EXPECT_TRUE(PauseText(true).Bold);
    EXPECT_EQ(PauseText(true).FontColor, fw::clWhite);
    EXPECT_STREQ(PauseText(false).Caption, L"Pause");
    EXPECT_EQ(PauseText(false).FontColor, fw::clBlack);
}

TEST(ControlPanelLooks, ThemesOfSectionsSlidersAndMenus) {
    const TPanelTheme light = *PanelTheme(0), dark = *PanelTheme(1);
    EXPECT_EQ(light.FillColorTo, 0xDCDCDC);
    EXPECT_EQ(light.FillMirror, fw::clNone);
    EXPECT_EQ(dark.FillColor, 0x303030);
    EXPECT_EQ(dark.FillMirrorTo, 0x303030);
    EXPECT_EQ(dark.ActionButtons, TLook::DarkActionButton);
    EXPECT_EQ(ButtonLook(TLook::DarkActionButton).Color, 0xFF8A20);
    EXPECT_EQ(dark.SliderBorder, fw::clNone);
    EXPECT_EQ(dark.SliderCompletedTo, 0x2084FF);
    EXPECT_EQ(light.SliderCompleted, 0xFF0000);
    EXPECT_EQ(dark.LabelColor, 0xD4D4D4);
    EXPECT_TRUE(dark.LabelBold);
    EXPECT_EQ(light.BevelExtent, 3);
    EXPECT_EQ(dark.BevelExtent, 1);
    EXPECT_EQ(PopupMenuTheme(0)->IconBarWidth, 32);
    EXPECT_EQ(PopupMenuTheme(1)->SelectedBorder, fw::clNone);
    EXPECT_EQ(DropDownMenuTheme(0)->Background, 0xF8F8F8);
    EXPECT_EQ(DropDownMenuTheme(1)->ItemFontColor, 0xF0F0F0);
}

}  // namespace
}  // namespace kyn
