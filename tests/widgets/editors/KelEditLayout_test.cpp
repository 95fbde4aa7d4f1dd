// The typed edit's geometry: label positions, formatting rectangle, error
// marker, frames and the extras drawn after the window painted.
#include <gtest/gtest.h>

#include "widgets/editors/KelEditLayout.h"

namespace kel {
namespace {

using P = TLabelPosition;

TEST(KelEditLayout, LabelPlacementInEveryPosition) {
    // Edit at (100, 50), 80 x 21; label 40 x 13 with a caption 36 wide; margin 2.
    const TIntRect edit{100, 50, 180, 71};
    struct Row {
        P position;
        TEditPoint at;
    } rows[] = {
        {P::lpLeftTop, {62, 50}},        {P::lpLeftCenter, {62, 54}},     {P::lpLeftBottom, {62, 58}},
        {P::lpTopLeft, {100, 35}},       {P::lpBottomLeft, {100, 73}},    {P::lpLeftTopLeft, {98, 50}},
        {P::lpLeftCenterLeft, {98, 54}}, {P::lpLeftBottomLeft, {98, 58}}, {P::lpTopCenter, {120, 35}},
        {P::lpBottomCenter, {120, 73}},  {P::lpRightTop, {182, 50}},      {P::lpRightCenter, {182, 54}},
        {P::lpRighBottom, {182, 58}},    {P::lpTopRight, {140, 35}},      {P::lpBottomRight, {140, 73}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(LabelPlacement(r.position, edit, 40, 13, 2, 36), r.at) << static_cast<int>(r.position);
    }
    // Halving truncates toward zero: a label taller than the edit.
    EXPECT_EQ(LabelPlacement(P::lpLeftCenter, TIntRect{0, 0, 10, 10}, 5, 13, 0, 5).Y, -1);
}

TEST(KelEditLayout, FormattingRectangle) {
    const TIntRect flat = FormattingRect(true, true, 9, 100, 21);
    EXPECT_EQ(flat.Left, 4);
    EXPECT_EQ(flat.Top, 3);
    EXPECT_EQ(flat.Right, 96);
    EXPECT_EQ(flat.Bottom, 17);
    const TIntRect plain2d = FormattingRect(false, false, 9, 100, 21);
    EXPECT_EQ(plain2d.Left, 3);
    EXPECT_EQ(plain2d.Right, 97);
    EXPECT_EQ(plain2d.Bottom, 21);
    EXPECT_EQ(FormattingRect(true, false, 9, 100, 21).Left, 7);
}

TEST(KelEditLayout, ErrorMarker) {
    // Characters 8 pixels wide from x = 2; the window knows no point behind
    // the last one.
    auto pos = [](int i) { return TEditPoint{2 + 8 * i, 1}; };
    TEditPoint start, end;
    ErrorMarkerEnds(0, 3, 5, pos, start, end);
    EXPECT_EQ(start, (TEditPoint{2, 1}));
    EXPECT_EQ(end, (TEditPoint{18, 1}));
    // Behind the text: a short zig-zag just behind it.
    ErrorMarkerEnds(9, 2, 5, pos, start, end);
    EXPECT_EQ(start, (TEditPoint{46, 1}));
    EXPECT_EQ(end, (TEditPoint{38, 1}));
    const std::vector<TEditPoint> zig = ErrorMarkerZigZag({2, 1}, {8, 1}, 10);
    const std::vector<TEditPoint> expected{{2, 14}, {5, 11}, {8, 14}, {11, 11}, {14, 14}};
    EXPECT_EQ(zig, expected);
}

TEST(KelEditLayout, BorderFrames) {
    using K = TFramePlan::TKind;
    struct Row {
        const char* name;
        TEditLookState state;
        K kind;
        fw::TColor color;
    };
    auto s = [](auto change) {
        TEditLookState st;
        st.ParentColor = 0x123456;
        change(st);
        return st;
    };
    const Row rows[] = {
        {"disabled with visual styles: silver", s([](auto& x) { x.Enabled = false, x.IsComCtl6 = true; }), K::Single,
         fw::clSilver},
        {"disabled without: nothing", s([](auto& x) { x.Enabled = false; }), K::None, fw::clNone},
        {"focus colour while focused", s([](auto& x) { x.FocusBorderColor = fw::clRed, x.Focused = true; }), K::Single,
         fw::clRed},
        {"focus colour without focus: nothing", s([](auto& x) { x.FocusBorderColor = fw::clRed; }), K::None, fw::clNone},
        {"flat look hides the border", s([](auto& x) { x.Flat = true; }), K::Double, 0x123456},
        {"focus border hovered: sunken", s([](auto& x) { x.FocusBorder = true, x.Hovering = true; }), K::Sunken,
         fw::clBtnFace},
        {"focus border, active control: sunken", s([](auto& x) { x.FocusBorder = true, x.Active = true; }), K::Sunken,
         fw::clBtnFace},
        {"focus border, idle: flat", s([](auto& x) { x.FocusBorder = true; }), K::Double, 0x123456},
        {"designing: nothing", s([](auto& x) { x.Designing = true, x.Flat = true; }), K::None, fw::clNone},
    };
    for (const Row& r : rows) {
        const TFramePlan f = BorderFrame(r.state);
        EXPECT_EQ(f.Kind, r.kind) << r.name;
        if (r.kind != K::None) {
            EXPECT_EQ(f.Color, r.color) << r.name;
        }
    }
    EXPECT_FALSE(DrawsBorders(TEditLookState{}));
    EXPECT_TRUE(DrawsBorders(s([](auto& x) { x.FocusBorder = true, x.Hovering = true; })));
    EXPECT_FALSE(PaintEndsWithBorders(TEditLookState{}));
    EXPECT_TRUE(PaintEndsWithBorders(s([](auto& x) { x.Enabled = false; })));
}

TEST(KelEditLayout, Extras) {
    TEditLookState st;
    st.Flat = true;
    st.Width = 100;
    st.Height = 21;
    st.FormatRect = TIntRect{4, 3, 96, 17};
    TExtrasPlan plan = PlanExtras(st);
    EXPECT_EQ(plan.FlatLine, (std::vector<TEditPoint>{{2, 20}, {100, 20}}));
    EXPECT_EQ(plan.LineColor, fw::clBlack);
    st.SoftBorder = true;
    st.Enabled = false;
    plan = PlanExtras(st);
    EXPECT_EQ(plan.FlatLine, (std::vector<TEditPoint>{{0, 20}, {99, 20}, {99, 0}, {0, 0}, {0, 20}}));
    EXPECT_EQ(plan.LineColor, fw::clGray);
    st.FocusBorder = true;
    st.Focused = true;
    plan = PlanExtras(st);
    EXPECT_TRUE(plan.ClientBorder);
    EXPECT_TRUE(plan.FlatLine.empty());
    // Empty text and the error marker only without the focus.
    TEditLookState idle;
    idle.HasEmptyText = true;
    idle.ErrorMarkerLength = 2;
    EXPECT_TRUE(PlanExtras(idle).EmptyText);
    EXPECT_TRUE(PlanExtras(idle).ErrorMarker);
    idle.Focused = true;
    EXPECT_FALSE(PlanExtras(idle).EmptyText);
    EXPECT_FALSE(PlanExtras(idle).ErrorMarker);
    idle.DropCaret = {10, 3};
    idle.FontHeight = -11;
    plan = PlanExtras(idle);
    EXPECT_TRUE(plan.DropMark);
    EXPECT_EQ(plan.DropMarkRect.Right, 11);
    EXPECT_EQ(plan.DropMarkRect.Bottom, 14);
}

}  // namespace
}  // namespace kel
