// One display form and control panel for the whole test program, as Quorvex
// has them; boxes and task dialogs are recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynMainFormGUI.h"
#include "common/MessageBox.h"
#include "framework/gui/screen_cursor.h"
#include "tests/support/win_test_app.h"
#include "widgets/drawing/KelGDIP.h"

namespace kyn::test {

// One pixel of the display's last frame shown, (x, y) from its top-left.
struct Pixel {
    int r, g, b;
};

inline Pixel FramePixel(int x, int y) {
    HWND hwnd = FindWindowW(L"TkynMainForm", nullptr);
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

inline bool Near(Pixel p, int r, int g, int b, int tol = 2) {
    return std::abs(p.r - r) <= tol && std::abs(p.g - g) <= tol && std::abs(p.b - b) <= tol;
}

class DisplayForm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (form_) return;
        auto& app = fw::test::TestApplication();
        kel::StartGdiplus();
        // No data folder here: record the boxes instead of blocking on them.
        common::SetMessageBoxHandler(
            [](common::TMessageBoxKind kind, const std::wstring& text) { Boxes().push_back(text), BoxKinds().push_back(kind); });
        common::SetEndRequestHandler([] {});
        SetDisplayDialogRunner(RecordDialog);
        form_ = app.CreateForm<TkynMainForm>(Model());
        StartupDialogs() = Dialogs();
        app.CreateForm<TkynControllerForm>(Model());
        form_->Show();
        ASSERT_TRUE(fw::test::PumpUntil([] { return Model().Sweep().GLReady && form_->FramesDrawn() > 2; }));
    }
    static TkynDisplayModel& Model() {
        static TkynDisplayModel model;  // outlives the test application's forms
        return model;
    }
    static std::vector<std::wstring>& Boxes() {
        static std::vector<std::wstring> boxes;
        return boxes;
    }
    static std::vector<common::TMessageBoxKind>& BoxKinds() {
        static std::vector<common::TMessageBoxKind> kinds;
        return kinds;
    }
    // The dialogs run so far and the result the next ones give.
    static std::vector<TDisplayDialog>& Dialogs() {
        static std::vector<TDisplayDialog> dialogs;
        return dialogs;
    }
    static int& DialogResult() {
        static int result = 101;
        return result;
    }
    // The dialogs the display form's creation ran.
    static std::vector<TDisplayDialog>& StartupDialogs() {
        static std::vector<TDisplayDialog> dialogs;
        return dialogs;
    }
    static bool& StartupInfoBeforeHook() {
        static bool before = false;
        return before;
    }
    static int RecordDialog(const TDisplayDialog& dialog) {
        if (Dialogs().empty() && kynMainForm && !kynMainForm->KeyboardHook &&
            !(kynMainForm->HandleAllocated() && IsWindowVisible(kynMainForm->Handle()))) {
            StartupInfoBeforeHook() = true;
        }
        Dialogs().push_back(dialog);
        return DialogResult();
    }
    void SetUp() override {
        if (form_->ScreenMode == TScreenMode::FullScreen) form_->ToggleFullScreen();
        if (kynControllerForm->Visible()) form_->ToggleControlPanel();
        model_.SetWindowBounds(0, 0, 320, 240);
        form_->SetBounds(0, 0, 320, 240);
        fw::SetScreenCursor(fw::TScreenCursor::crDefault);
        // A pointer left in the top rows by an earlier test shows the bar.
        form_->KelSmoothPanel1->SetVisible(false);
        model_.SetPaused(false);
        // Un-pausing starts the sweep: stop both timers after it, so that no
        // frame but a test's own reaches the window.
        form_->dpLineSweep->SetEnabled(false);
        form_->zuForceRepaint->SetEnabled(false);
        model_.RunServed();
        model_.SetSweepPos(0);
        model_.SetSweepMode(TSweepMode::smContinuous);
        model_.SetGridOn(false);
        model_.SetCrossHairsOn(false);
        model_.SetScanLineVisible(true);
        model_.SetGLReady(true);
        model_.SetSweepDirection(common::sdTopDown);
        model_.SetLineThickness(1);
        model_.SetBackgroundColour({0, 0, 0, common::ccBlack, 0});
        model_.SetLineColour({0, 1, 0, common::ccGreen, 0});
        Dialogs().clear();
        DialogResult() = 101;
    }
    TkynDisplayModel& model_ = Model();
    static inline TkynMainForm* form_ = nullptr;
};

}  // namespace kyn::test
