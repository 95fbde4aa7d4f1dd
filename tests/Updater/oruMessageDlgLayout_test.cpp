// The message box's layout for short, long and very long main texts.
#include "Updater/oruMessageDlgLayout.h"

#include <gtest/gtest.h>

namespace oru {
namespace {

TEST(MessageDlgLayout, SizesAndPlaces) {
    // A line is 19 pixels; wrapping at w pixels gives ceil(text / w) lines.
    struct Row {
        const char* what;
        int screenWidth, textWidth;
        bool wraps;
        int mainWidth, mainHeight, clientWidth, clientHeight;
    } rows[] = {
        {"short text keeps the default size", 1280, 120, false, 120, 19, 340, 160},
        {"a fifth of the screen still fits", 1280, 256, false, 256, 19, 340, 160},
        {"wider: wraps at a fifth and grows by its height", 1280, 600, true, 256, 57, 340, 217},
        {"two lines grow by two lines", 1280, 400, true, 256, 38, 340, 198},
        {"a wide screen widens the box", 1920, 600, true, 384, 38, 480, 198},
        {"a narrow screen", 640, 300, true, 128, 57, 340, 217},
    };
    for (const auto& row : rows) {
        TMessageDlgLayoutInput in;
        in.ScreenWidth = row.screenWidth;
        in.ScreenHeight = 1024;
        in.MainWidth = row.textWidth;
        in.MainHeight = 19;
        in.WrappedHeight = [&](int w) { return (row.textWidth + w - 1) / w * 19; };
        auto out = LayoutMessageDialog(in);
        EXPECT_EQ(out.MainWraps, row.wraps) << row.what;
        EXPECT_EQ(out.MainWidth, row.mainWidth) << row.what;
        EXPECT_EQ(out.MainHeight, row.mainHeight) << row.what;
        EXPECT_EQ(out.ClientWidth, row.clientWidth) << row.what;
        EXPECT_EQ(out.ClientHeight, row.clientHeight) << row.what;
        EXPECT_EQ(out.CloseLeft, out.ClientWidth - 28) << row.what;
        EXPECT_EQ(out.RightLeft, out.ClientWidth - 107) << row.what;
        EXPECT_EQ(out.RightTop, out.ClientHeight - 26) << row.what;
        EXPECT_EQ(out.LeftLeft, out.ClientWidth - 214) << row.what;
        EXPECT_EQ(out.LeftTop, out.ClientHeight - 26) << row.what;
        EXPECT_EQ(out.FormLeft, (row.screenWidth - out.ClientWidth) / 2) << row.what;
        EXPECT_EQ(out.FormTop, (1024 - out.ClientHeight) / 2) << row.what;
    }
}

TEST(MessageDlgLayout, ClosingWithoutAButtonGivesTheSafeAnswer) {
    EXPECT_EQ(MessageDialogAnswer(-1, false), 0);
    EXPECT_EQ(MessageDialogAnswer(-1, true), 1);
    EXPECT_EQ(MessageDialogAnswer(0, true), 0);
    EXPECT_EQ(MessageDialogAnswer(1, true), 1);
}

}  // namespace
}  // namespace oru
