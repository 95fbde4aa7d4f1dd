// The login form, driven as a user would: buttons and keys.
#include "Updater/NcLogin.h"

#include <gtest/gtest.h>

#include "framework/gui/timer.h"
#include "tests/support/win_test_app.h"

namespace oru {
namespace {

using fw::test::FindOwnWindow;

TEST(NcLoginForm, OkCopiesTheEditsAndCancelChangesNothing) {
    fw::test::TestApplication();
    enum class Act { OkButton, EnterInPassword, EscapeKey, CancelButton };
    struct Row {
        Act act;
        bool result;
    };
    const Row rows[] = {{Act::OkButton, true}, {Act::EnterInPassword, true}, {Act::EscapeKey, false}, {Act::CancelButton, false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.act));
        std::wstring caption, startTexts;
        bool layoutOk = false, hidden = false;
        fw::TTimer timer(nullptr);
        timer.SetInterval(15);
        timer.OnTimer = [&](fw::TComponent*) {
            HWND h = FindOwnWindow(L"TNcLoginForm");
            auto* form = h && IsWindowVisible(h) ? dynamic_cast<TNcLoginForm*>(fw::TWinControl::FromHandle(h)) : nullptr;
            if (!form || form->ModalResult() != fw::mrNone) return;
            timer.SetEnabled(false);
            caption = form->Caption();
            startTexts = form->Edit1->Text() + L"|" + form->Edit2->Text();
            RECT wr;
            GetWindowRect(h, &wr);
            layoutOk = wr.right - wr.left == 328 && wr.bottom - wr.top == 223 && form->Edit1->Left() == 104 &&
                       form->Edit2->Top() == 112 && form->Button1->Left() == 144 && form->Button2->Left() == 224 &&
                       (GetWindowLongW(h, GWL_STYLE) & WS_SYSMENU) && !(GetWindowLongW(h, GWL_STYLE) & WS_MINIMIZEBOX);
            hidden = SendMessageW(form->Edit2->Handle(), EM_GETPASSWORDCHAR, 0, 0) == L'*';
            form->Edit1->SetText(L"new user");
            form->Edit2->SetText(L"new \u00e4 pass");
            switch (r.act) {
                case Act::OkButton: SendMessageW(form->Button1->Handle(), BM_CLICK, 0, 0); break;
                case Act::EnterInPassword: SendMessageW(form->Edit2->Handle(), WM_KEYDOWN, VK_RETURN, 0); break;
                case Act::EscapeKey: SendMessageW(form->Edit1->Handle(), WM_KEYDOWN, VK_ESCAPE, 0); break;
                case Act::CancelButton: SendMessageW(form->Button2->Handle(), BM_CLICK, 0, 0); break;
            }
        };
        std::wstring user = L"old user", password = L"old pass";
        EXPECT_EQ(ShowNcLoginForm(L"Connect to example.test", user, password), r.result);
        EXPECT_EQ(caption, L"Connect to example.test");
        EXPECT_EQ(startTexts, L"|");  // the incoming values are not shown
        EXPECT_TRUE(layoutOk);
        EXPECT_TRUE(hidden);
        EXPECT_EQ(user, r.result ? L"new user" : L"old user");
        EXPECT_EQ(password, r.result ? L"new \u00e4 pass" : L"old pass");
        // The form is freed either way.
        EXPECT_EQ(FindOwnWindow(L"TNcLoginForm"), nullptr);
    }
}

}  // namespace
}  // namespace oru
