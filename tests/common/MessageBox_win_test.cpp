// The end request and the system's error texts.
#include "common/MessageBox.h"

#include "framework/gui/application.h"
#include "tests/common/win_test_support.h"

namespace common {
namespace {

using test::TBoxRecorder;

// This test program makes no other application object: the test sees the
// request both without one and with one.
TEST(MessageBoxes, EndRequestTerminatesTheApplication) {
    ASSERT_EQ(fw::Application, nullptr);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    RequestApplicationEnd();  // no application object yet: the loop's WM_QUIT
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    {
        fw::TApplication application;
        RequestApplicationEnd();
        EXPECT_TRUE(application.Terminated());
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    EXPECT_EQ(fw::Application, nullptr);
}

TEST(MessageBoxes, SystemErrorShowsTheSystemsTextOrNothing) {
    TBoxRecorder boxes;
    ShowSystemError(ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, TMessageBoxKind::Plain);
    EXPECT_EQ(boxes.boxes[0].text, SystemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(boxes.boxes[0].text.empty());
    EXPECT_NE(boxes.boxes[0].text.back(), L'\n');

    ShowSystemError(0x20001234);  // customer code: the system has no text
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

}  // namespace
}  // namespace common
