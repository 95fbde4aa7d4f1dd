// Brimlet's message box shown modally: both themes painted off-screen and
// kept as screenshots, the layout of short and long texts, the titles and
// pictures, and the answers of buttons, Esc and Alt+F4.
#include "Updater/oruMessageDlgFormOV.h"

#include <gtest/gtest.h>

#include "framework/gui/timer.h"
#include "tests/support/win_screenshot.h"
#include "tests/support/win_test_app.h"
#include "tests/widgets/drawing/win_paint.h"

namespace oru {
namespace {

using kel::test::Near;
using kel::test::Px;

struct Box {
    ToruMessageDialogForm* form;
    Box() {
        fw::test::TestApplication();
        form = new ToruMessageDialogForm(nullptr);
    }
    ~Box() { form->Free(); }
    // Runs `action` once the box shows; the box must be closed by it.
    void WhileShown(std::function<void()> action) {
        auto* timer = new fw::TTimer(form);
        timer->SetEnabled(false);
        timer->SetInterval(30);
        timer->OnTimer = [timer, action](fw::TComponent*) {
            timer->SetEnabled(false);
            // Let the box paint first.
            fw::test::PumpUntil([] { return false; }, 100);
            action();
        };
        form->OnShow = [timer](fw::TComponent*) { timer->SetEnabled(true); };
    }
    uint32_t FormPixel(fw::TBitmap& bmp, int x, int y) {
        bmp.SetSize(form->ClientWidth(), form->ClientHeight());
        kel::test::FillWhite(bmp);
        form->PaintTo(bmp.Canvas().Handle(), true);
        GdiFlush();
        return Px(bmp, x, y);
    }
    void PostKey(UINT msg, WPARAM key, LPARAM flags) {
        HWND target = GetFocus() ? GetFocus() : form->Handle();
        PostMessageW(target, msg, key, flags | 1);
    }
};

TEST(MessageDialog, BothThemesPaintTheirColours) {
    struct Row {
        int theme;
        const char* shot;
        uint32_t outer, content, button;
    } rows[] = {
        {0, "message_dialog_light", 0xFFFFFF, 0xFFFFFF, 0xF8F8F8},
        {1, "message_dialog_dark", 0x303030, 0x6C6C6C, 0x208AFF},
    };
    Box box;
    for (const auto& row : rows) {
        uint32_t outer = 0, content = 0, button = 0;
        box.WhileShown([&] {
            fw::TBitmap bmp;
            outer = box.FormPixel(bmp, 250, 8);
            content = Px(bmp, 300, 60);
            button = Px(bmp, 240, 138);
            EXPECT_FALSE(fw::test::SaveWindowShot(box.form->Handle(), row.shot).empty());
            box.form->KelGlowButton1->Click();
        });
        EXPECT_EQ(box.form->ShowInfo(row.theme, L"Update Available", 0), 0);
        EXPECT_EQ(MessageDialogTheme, row.theme);
        EXPECT_TRUE(Near(outer, row.outer, 40)) << row.shot << std::hex << " outer " << outer;
        EXPECT_TRUE(Near(content, row.content, 40)) << row.shot << std::hex << " content " << content;
        EXPECT_TRUE(Near(button, row.button, 40)) << row.shot << std::hex << " button " << button;
    }
}

TEST(MessageDialog, QuestionShowsBothButtonsAndItsTexts) {
    Box box;
    box.WhileShown([&] {
        auto* f = box.form;
        EXPECT_EQ(f->Label1->Caption(), L"Question");
        EXPECT_EQ(f->Image3->ImageIndex(), 2);
        EXPECT_TRUE(f->KelGlowButton2->Visible());
        EXPECT_EQ(f->KelGlowButton1->Caption(), L"Close");
        EXPECT_EQ(f->KelGlowButton2->Caption(), L"Do Not Close");
        EXPECT_EQ(f->Label3->Caption(), L"Sub");
        EXPECT_EQ(f->KelGlowButton1->Left(), 233);
        EXPECT_EQ(f->KelGlowButton1->Top(), 134);
        EXPECT_EQ(f->KelGlowButton2->Left(), 126);
        EXPECT_EQ(f->KelGlowButton2->Top(), 134);
        EXPECT_FALSE(fw::test::SaveWindowShot(f->Handle(), "message_dialog_question").empty());
        f->KelGlowButton2->Click();
    });
    EXPECT_EQ(box.form->AskQuestion(1, L"Close Update?", L"Close", L"Do Not Close", L"Sub"), 1);
}

TEST(MessageDialog, ClosingWithoutAButtonGivesTheSafeAnswerNeverAStaleOne) {
    Box box;
    // A question answered "Close" (0), then one closed by Esc: 1, not 0.
    box.WhileShown([&] { box.form->KelGlowButton1->Click(); });
    ASSERT_EQ(box.form->AskQuestion(0, L"Close?", L"Close", L"Do Not Close", L""), 0);
    box.WhileShown([&] { box.PostKey(WM_KEYDOWN, VK_ESCAPE, 0); });
    EXPECT_EQ(box.form->AskQuestion(0, L"Close?", L"Close", L"Do Not Close", L""), 1);
    // Alt+F4 on a question after one answered 0 again.
    box.WhileShown([&] { box.form->KelGlowButton1->Click(); });
    ASSERT_EQ(box.form->AskQuestion(0, L"Close?", L"Close", L"Do Not Close", L""), 0);
    box.WhileShown([&] { box.PostKey(WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29); });
    EXPECT_EQ(box.form->AskQuestion(0, L"Close?", L"Close", L"Do Not Close", L""), 1);
    EXPECT_EQ(MessageDialogResult, 1);
    // An information box after the question's 1, closed by Alt+F4: 0.
    box.WhileShown([&] { box.PostKey(WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29); });
    EXPECT_EQ(box.form->ShowInfo(1, L"Install File Not Found", 2), 0);
    EXPECT_FALSE(box.form->Visible());
    EXPECT_FALSE(box.form->AlphaBlend()) << "the fade-out ends opaque";
    EXPECT_EQ(box.form->LastFadeAlpha(), 8);
}

TEST(MessageDialog, LongTextWrapsAndTheNextBoxStartsFromTheDefaultSize) {
    Box box;
    const int fifth = GetSystemMetrics(SM_CXSCREEN) / 5;
    int width = 0, height = 0, labelWidth = 0, labelHeight = 0, left = 0;
    box.WhileShown([&] {
        width = box.form->ClientWidth();
        height = box.form->ClientHeight();
        labelWidth = box.form->Label2->Width();
        labelHeight = box.form->Label2->Height();
        left = box.form->Left();
        fw::test::SaveWindowShot(box.form->Handle(), "message_dialog_long_text");
        box.form->KelGlowButton1->Click();
    });
    std::wstring text;
    for (int i = 0; i < 12; ++i) text += L"The download of the update failed ";
    box.form->ShowInfo(0, text, 2);
    EXPECT_EQ(labelWidth, fifth);
    EXPECT_GT(labelHeight, 40) << "several lines";
    EXPECT_EQ(height, 160 + labelHeight);
    EXPECT_EQ(width, 340);
    EXPECT_EQ(left, (GetSystemMetrics(SM_CXSCREEN) - 340) / 2);

    box.WhileShown([&] {
        width = box.form->ClientWidth();
        height = box.form->ClientHeight();
        box.form->KelGlowButton1->Click();
    });
    box.form->ShowInfo(0, L"Short", 5);
    EXPECT_EQ(width, 340);
    EXPECT_EQ(height, 160);
    EXPECT_EQ(box.form->Label1->Caption(), L"Information") << "type 5 is information";
    EXPECT_EQ(box.form->Image3->ImageIndex(), 0);
}

TEST(MessageDialog, NegativeTypeKeepsThePreviousPicture) {
    Box box;
    box.WhileShown([&] { box.form->KelGlowButton1->Click(); });
    box.form->ShowInfo(0, L"Warning first", 1);
    box.WhileShown([&] { box.form->KelGlowButton1->Click(); });
    box.form->ShowInfo(0, L"No type", -1);
    EXPECT_EQ(box.form->Label1->Caption(), L"Message Box");
    EXPECT_EQ(box.form->Image3->ImageIndex(), 1);
}

TEST(MessageDialog, FadeOutClampsItsFinalAlpha) {
    Box box;
    for (auto [n, last] : {std::pair{8, 8}, {-1, 32}, {250, 32}, {198, 198}}) {
        ToruMessageDialogForm::FadeOut(box.form, n);
        EXPECT_EQ(box.form->LastFadeAlpha(), last) << n;
        EXPECT_FALSE(box.form->AlphaBlend());
    }
}

}  // namespace
}  // namespace oru
