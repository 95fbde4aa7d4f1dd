// The fill's properties: defaults, one change event per changed value,
// Assign, the opacity arguments and the rectangle left after the shadow.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/widgets/drawing/gp_print.h"
#include "tests/widgets/drawing/test_data.h"
#include "widgets/drawing/GDIPFill.h"

namespace kel {
namespace {

// Every property with a value other than its default, and how to compare it.
struct Property {
    const char* name;
    std::function<void(TGDIPFill&)> set;
    std::function<bool(const TGDIPFill&, const TGDIPFill&)> same;
};

template <class Get>
std::function<bool(const TGDIPFill&, const TGDIPFill&)> By(Get get) {
    return [get](const TGDIPFill& a, const TGDIPFill& b) { return get(a) == get(b); };
}

std::vector<Property> Properties() {
    auto bytesOf = [](const TKelGDIPPicture& p) { return p.Bytes(); };
    return {
        {"Color", [](TGDIPFill& f) { f.SetColor(fw::clRed); }, By([](const TGDIPFill& f) { return f.Color(); })},
        {"ColorTo", [](TGDIPFill& f) { f.SetColorTo(fw::clBlue); }, By([](const TGDIPFill& f) { return f.ColorTo(); })},
        {"ColorMirror", [](TGDIPFill& f) { f.SetColorMirror(fw::clLime); },
         By([](const TGDIPFill& f) { return f.ColorMirror(); })},
        {"ColorMirrorTo", [](TGDIPFill& f) { f.SetColorMirrorTo(fw::clYellow); },
         By([](const TGDIPFill& f) { return f.ColorMirrorTo(); })},
        {"GradientType", [](TGDIPFill& f) { f.SetGradientType(gtHatch); },
         By([](const TGDIPFill& f) { return f.GradientType(); })},
        {"GradientMirrorType", [](TGDIPFill& f) { f.SetGradientMirrorType(gtRadial); },
         By([](const TGDIPFill& f) { return f.GradientMirrorType(); })},
        {"HatchStyle", [](TGDIPFill& f) { f.SetHatchStyle(HatchStyleCross); },
         By([](const TGDIPFill& f) { return f.HatchStyle(); })},
        {"HatchStyleMirror", [](TGDIPFill& f) { f.SetHatchStyleMirror(HatchStyleWeave); },
         By([](const TGDIPFill& f) { return f.HatchStyleMirror(); })},
        {"BackGroundPictureMode", [](TGDIPFill& f) { f.SetBackGroundPictureMode(pmInsideFill); },
         By([](const TGDIPFill& f) { return f.BackGroundPictureMode(); })},
        {"BackGroundPicture",
         [](TGDIPFill& f) { f.BackGroundPicture().LoadFromFile(test::DataFile("keyed.bmp")); },
         By([=](const TGDIPFill& f) { return bytesOf(f.BackGroundPicture()); })},
        {"BackGroundPicturePosition", [](TGDIPFill& f) { f.SetBackGroundPicturePosition(ppTiled); },
         By([](const TGDIPFill& f) { return f.BackGroundPicturePosition(); })},
        {"BackGroundPictureLeft", [](TGDIPFill& f) { f.SetBackGroundPictureLeft(7); },
         By([](const TGDIPFill& f) { return f.BackGroundPictureLeft(); })},
        {"BackGroundPictureTop", [](TGDIPFill& f) { f.SetBackGroundPictureTop(8); },
         By([](const TGDIPFill& f) { return f.BackGroundPictureTop(); })},
        {"Picture", [](TGDIPFill& f) { f.Picture().LoadFromFile(test::DataFile("quadrants.png")); },
         By([=](const TGDIPFill& f) { return bytesOf(f.Picture()); })},
        {"PicturePosition", [](TGDIPFill& f) { f.SetPicturePosition(ppCustom); },
         By([](const TGDIPFill& f) { return f.PicturePosition(); })},
        {"PictureLeft", [](TGDIPFill& f) { f.SetPictureLeft(9); }, By([](const TGDIPFill& f) { return f.PictureLeft(); })},
        {"PictureTop", [](TGDIPFill& f) { f.SetPictureTop(10); }, By([](const TGDIPFill& f) { return f.PictureTop(); })},
        {"PictureSize", [](TGDIPFill& f) { f.SetPictureSize(psCustom); },
         By([](const TGDIPFill& f) { return f.PictureSize(); })},
        {"PictureWidth", [](TGDIPFill& f) { f.SetPictureWidth(11); },
         By([](const TGDIPFill& f) { return f.PictureWidth(); })},
        {"PictureHeight", [](TGDIPFill& f) { f.SetPictureHeight(12); },
         By([](const TGDIPFill& f) { return f.PictureHeight(); })},
        {"Opacity", [](TGDIPFill& f) { f.SetOpacity(1); }, By([](const TGDIPFill& f) { return f.Opacity(); })},
        {"OpacityTo", [](TGDIPFill& f) { f.SetOpacityTo(2); }, By([](const TGDIPFill& f) { return f.OpacityTo(); })},
        {"OpacityMirror", [](TGDIPFill& f) { f.SetOpacityMirror(3); },
         By([](const TGDIPFill& f) { return f.OpacityMirror(); })},
        {"OpacityMirrorTo", [](TGDIPFill& f) { f.SetOpacityMirrorTo(4); },
         By([](const TGDIPFill& f) { return f.OpacityMirrorTo(); })},
        {"BorderColor", [](TGDIPFill& f) { f.SetBorderColor(fw::clNavy); },
         By([](const TGDIPFill& f) { return f.BorderColor(); })},
        {"BorderOpacity", [](TGDIPFill& f) { f.SetBorderOpacity(5); },
         By([](const TGDIPFill& f) { return f.BorderOpacity(); })},
        {"BorderWidth", [](TGDIPFill& f) { f.SetBorderWidth(3); }, By([](const TGDIPFill& f) { return f.BorderWidth(); })},
        {"Rounding", [](TGDIPFill& f) { f.SetRounding(6); }, By([](const TGDIPFill& f) { return f.Rounding(); })},
        {"RoundingType", [](TGDIPFill& f) { f.SetRoundingType(rtLeft); },
         By([](const TGDIPFill& f) { return f.RoundingType(); })},
        {"ShadowColor", [](TGDIPFill& f) { f.SetShadowColor(fw::clPurple); },
         By([](const TGDIPFill& f) { return f.ShadowColor(); })},
        {"ShadowOffset", [](TGDIPFill& f) { f.SetShadowOffset(4); },
         By([](const TGDIPFill& f) { return f.ShadowOffset(); })},
        {"Angle", [](TGDIPFill& f) { f.SetAngle(45); }, By([](const TGDIPFill& f) { return f.Angle(); })},
        {"Glow", [](TGDIPFill& f) { f.SetGlow(gmRadialGradient); }, By([](const TGDIPFill& f) { return f.Glow(); })},
        {"GlowGradientColor", [](TGDIPFill& f) { f.SetGlowGradientColor(fw::clTeal); },
         By([](const TGDIPFill& f) { return f.GlowGradientColor(); })},
        {"GlowRadialColor", [](TGDIPFill& f) { f.SetGlowRadialColor(fw::clOlive); },
         By([](const TGDIPFill& f) { return f.GlowRadialColor(); })},
    };
}

TEST(FillProperties, Defaults) {
    TGDIPFill f;
    EXPECT_EQ(f.Color(), fw::clSilver);
    EXPECT_EQ(f.ColorTo(), fw::clGray);
    EXPECT_EQ(f.ColorMirror(), fw::clNone);
    EXPECT_EQ(f.ColorMirrorTo(), fw::clNone);
    EXPECT_EQ(f.GradientType(), gtVertical);
    EXPECT_EQ(f.GradientMirrorType(), gtSolid);
    EXPECT_EQ(f.HatchStyle(), HatchStyleHorizontal);
    EXPECT_EQ(f.BackGroundPictureMode(), pmOutsideFill);
    EXPECT_TRUE(f.BackGroundPicture().Empty());
    EXPECT_TRUE(f.Picture().Empty());
    EXPECT_EQ(f.PicturePosition(), ppTopLeft);
    EXPECT_EQ(f.PictureSize(), psOriginal);
    EXPECT_EQ(f.PictureWidth(), 50);
    EXPECT_EQ(f.PictureHeight(), 50);
    EXPECT_EQ(f.Opacity(), 255);
    EXPECT_EQ(f.BorderColor(), fw::clNone);
    EXPECT_EQ(f.BorderWidth(), 1);
    EXPECT_EQ(f.Rounding(), 0);
    EXPECT_EQ(f.RoundingType(), rtBoth);
    EXPECT_EQ(f.ShadowColor(), fw::clGray);
    EXPECT_EQ(f.ShadowOffset(), 0);
    EXPECT_EQ(f.Glow(), gmNone);
    EXPECT_EQ(f.GlowGradientColor(), fw::clWhite);
    EXPECT_EQ(f.GlowRadialColor(), fw::clWhite);
    EXPECT_FALSE(f.Focus);
    EXPECT_EQ(f.FocusColor, fw::clBlack);
}

TEST(FillProperties, EveryChangeFiresOnceAndAnUnchangedValueNever) {
    for (const Property& p : Properties()) {
        TGDIPFill f;
        int changes = 0;
        TGDIPFill* sender = nullptr;
        f.OnChange = [&](TGDIPFill& s) {
            ++changes;
            sender = &s;
        };
        p.set(f);
        EXPECT_EQ(changes, 1) << p.name;
        EXPECT_EQ(sender, &f) << p.name;
        // The pictures report every load; plain values only real changes.
        const bool load = std::string(p.name) == "Picture" || std::string(p.name) == "BackGroundPicture";
        p.set(f);
        EXPECT_EQ(changes, load ? 2 : 1) << p.name << " set again";
    }
}

TEST(FillProperties, AssignCopiesEveryPropertyAndFiresOnce) {
    TGDIPFill source, target;
    for (const Property& p : Properties()) p.set(source);
    source.Focus = true;
    int sourceChanges = 0, targetChanges = 0;
    source.OnChange = [&](TGDIPFill&) { ++sourceChanges; };
    target.OnChange = [&](TGDIPFill&) { ++targetChanges; };

    target.Assign(&source);
    EXPECT_EQ(targetChanges, 1);
    EXPECT_EQ(sourceChanges, 0);
    const TGDIPFill defaults;
    for (const Property& p : Properties()) {
        EXPECT_TRUE(p.same(target, source)) << p.name;
        EXPECT_FALSE(p.same(target, defaults)) << p.name << " still has its default";
    }
    EXPECT_FALSE(target.Focus);  // not a stored property

    // The pictures are copies: changing the source's leaves the target's alone.
    source.Picture().Assign(nullptr);
    EXPECT_FALSE(target.Picture().Empty());
    // A picture changed through the target after Assign still reports.
    target.Picture().Assign(nullptr);
    EXPECT_EQ(targetChanges, 2);

    target.Assign(nullptr);
    EXPECT_EQ(targetChanges, 2);
    target.Assign(&target);
    EXPECT_EQ(targetChanges, 3);
}

TEST(FillProperties, SettingAPictureCopiesItsContents) {
    TGDIPFill f;
    int changes = 0;
    f.OnChange = [&](TGDIPFill&) { ++changes; };
    TKelGDIPPicture p;
    p.LoadFromFile(test::DataFile("keyed.bmp"));
    f.SetPicture(p);
    f.SetBackGroundPicture(p);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(f.Picture().Bytes(), p.Bytes());
    EXPECT_NE(&f.Picture(), &p);
    p.Assign(nullptr);
    EXPECT_FALSE(f.BackGroundPicture().Empty());
}

TEST(FillGeometry, OpacityArgumentsOf255TakeTheProperties) {
    TGDIPFill f;
    f.SetBorderOpacity(10);
    f.SetOpacity(20);
    f.SetOpacityTo(30);
    f.SetOpacityMirror(40);
    f.SetOpacityMirrorTo(50);
    EXPECT_EQ(f.ResolveOpacities(255, 255, 255, 255, 255), (TFillOpacities{10, 20, 30, 40, 50}));
    EXPECT_EQ(f.ResolveOpacities(128, 128, 128, 128, 128), (TFillOpacities{128, 128, 128, 128, 128}));
    EXPECT_EQ(f.ResolveOpacities(0, 255, 1, 255, 254), (TFillOpacities{0, 20, 1, 40, 254}));
}

TEST(FillGeometry, RectangleLeftAfterTheShadow) {
    TGDIPFill f;
    struct Row {
        int offset;
        fw::TColor colour;
        TGPFloatRect r, expected;
    } rows[] = {
        {5, fw::clGray, {0, 0, 100, 50}, {0, 0, 95, 45}},
        {5, fw::clNone, {0, 0, 100, 50}, {0, 0, 100, 50}},   // no shadow colour, no shadow
        {0, fw::clGray, {0, 0, 100, 50}, {0, 0, 100, 50}},
        {-3, fw::clGray, {0, 0, 100, 50}, {0, 0, 100, 50}},
        {5, fw::clGray, {2, 3, 1, 50}, {2, 3, 1, 50}},       // a line keeps its size
        {5, fw::clGray, {2, 3, 50, 1}, {2, 3, 50, 1}},
        {80, fw::clGray, {2, 3, 100, 50}, {2, 3, 20, 0}},    // never negative
    };
    for (const auto& row : rows) {
        f.SetShadowOffset(row.offset);
        f.SetShadowColor(row.colour);
        EXPECT_EQ(f.RectAfterShadow(row.r), row.expected) << row.offset;
    }
}

TEST(FillGeometry, TwoPartsOnlyWithAMirrorColourAndNotForHatchOrTexture) {
    TGDIPFill f;
    EXPECT_FALSE(f.PaintsTwoParts());
    f.SetColorMirror(fw::clBlue);
    EXPECT_TRUE(f.PaintsTwoParts());
    for (TKelGradientType single : {gtHatch, gtTexture}) {
        f.SetGradientType(single);
        EXPECT_FALSE(f.PaintsTwoParts());
    }
    f.SetGradientType(gtRadial);
    EXPECT_TRUE(f.PaintsTwoParts());
}

}  // namespace
}  // namespace kel
