// The task dialog driven on both paths under Wine: the system's task dialog
// (the version probe made to say common controls 6) and the emulation form
// (what Wine's 5.81 common controls get). Each dialog is acted on by a
// timer once it shows; a safety net closes one that a test left open.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/gui/clipboard.h"
#include "framework/gui/std_button.h"
#include "framework/gui/timer.h"
#include "tests/support/win_screenshot.h"
#include "tests/support/win_test_app.h"
#include "widgets/editors/TaskDialog.h"
#include "widgets/editors/TaskDialogForm.h"

namespace kel::taskdialog {
namespace {

constexpr UINT kClickButton = WM_USER + 102;


enum class Path { Native, Emulated };

std::string PathName(Path p) { return p == Path::Native ? "native" : "emulated"; }
std::string ParamName(const ::testing::TestParamInfo<Path>& p) { return PathName(p.param); }

class TaskDialogTest : public ::testing::TestWithParam<Path> {
protected:
    void SetUp() override {
        fw::test::TestApplication();
        dialog = std::make_unique<TKelTaskDialog>(nullptr);
        UsePath(GetParam());
        SetShellOpenHook([this](HWND, const std::wstring& verb, const std::wstring& file) {
            shellCalls.push_back(verb + L" " + file);
        });
    }
    void TearDown() override {
        SetShellOpenHook(nullptr);
        dialog.reset();
    }

    void UsePath(Path p) {
        dialog->VersionProbe = [p] {
            return TSystemVersions{6, p == Path::Native ? 0x00060010u : 0x00050051u};
        };
    }

    // Executes the dialog; `act` runs once when it has shown for a moment.
    // A dialog still open after 15 s is closed and the test fails.
    int Run(const std::function<void()>& act) {
        fw::TTimer timer(nullptr);
        int ticks = 0;
        bool acted = false;
        timedOut = false;
        timer.SetInterval(50);
        timer.OnTimer = [&](fw::TComponent*) {
            ++ticks;
            HWND h = dialog->DialogHandle;
            if (!acted && h && IsWindowVisible(h) && ticks >= 6) {
                acted = true;

                if (act) act();
            }
            if (ticks > 300 && h) {
                timedOut = true;
                timer.SetEnabled(false);
                if (dialog->NativeShown) {
                    PostMessageW(h, WM_CLOSE, 0, 0);
                } else if (dialog->EmulationForm) {
                    dialog->EmulationForm->SetModalResult(IdCancel);
                }
            }
        };
        timer.SetEnabled(true);
        const int result = dialog->Execute();

        EXPECT_FALSE(timedOut) << "the dialog was left open";
        EXPECT_EQ(dialog->DialogHandle, nullptr);
        return result;
    }

    // Presses the button with this identifier, on either path.
    void Click(int id) {
        if (dialog->NativeShown) {
            SendMessageW(dialog->DialogHandle, kClickButton, static_cast<WPARAM>(id), 0);
            return;
        }
        TKelMessageForm* form = dialog->EmulationForm;
        ASSERT_NE(form, nullptr);
        for (auto* list : {&form->CustomButtonList, &form->CommonButtonList}) {
            for (fw::TWinControl* c : *list) {
                auto* link = dynamic_cast<TTaskDialogButton*>(c);
                const int result = link ? link->ModalResult() : dialog->GetButtonModalResult(c);
                if (result != id) continue;
                if (link) {
                    link->Click();
                } else {
                    SendMessageW(c->Handle(), BM_CLICK, 0, 0);
                }
                return;
            }
        }
        ADD_FAILURE() << "no button " << id;
    }

    // Sends Esc to the control that has the focus in the dialog.
    void PressEscape() {
        if (dialog->NativeShown) {
            // What the system's dialog manager makes of Esc.
            HWND h = dialog->DialogHandle;
            PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(h, IDCANCEL)));
            return;
        }
        HWND target = GetFocus();
        if (!target || (target != dialog->DialogHandle && !IsChild(dialog->DialogHandle, target)))
            target = dialog->DialogHandle;
        PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    }

    void Shot(const std::string& name) {
        if (dialog->DialogHandle) {
            RedrawWindow(dialog->DialogHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            fw::test::SaveWindowShot(dialog->DialogHandle, ("taskdialog_" + PathName(GetParam()) + "_" + name).c_str());
        }
    }

    bool Shown() const { return dialog->DialogHandle && IsWindowVisible(dialog->DialogHandle); }

    std::unique_ptr<TKelTaskDialog> dialog;
    std::vector<std::wstring> shellCalls;
    bool timedOut = false;
};

// -- the display program's four dialogs

void StartupInfo(TKelTaskDialog& d) {
    d.SetTitle(L"Application Control Info");
    d.SetIcon(tiInformation);
    d.SetInstruction(L"Quorvex Display");
    d.SetContent(
        L"Press Esc Key for Main Menu or Right Click On Display Panel After Closing this Message Dialog");
    d.SetExpandedText(
        L"For More Information About this Application Go To <a href=\"https://quorvex.example/\">quorvex.example</a> ");
    d.SetCollapsControlText(L"More");
    d.SetExpandControlText(L"Less");
    d.SetOptions({doHyperlinks});
    d.CustomButtons().Clear();
    d.SetDefaultButton(0);
}

void RunPrompt(TKelTaskDialog& d) {
    d.SetTitle(L"Start Scan Line Run");
    d.SetIcon(tiQuestion);
    d.SetInstruction(L"Press Enter to Start Scan Line Run");
    d.SetContent(L"");
    d.SetExpandedText(L"After Run Press Esc Key for Menu or Right Click on Display Panel Area");
    d.SetCollapsControlText(L"More");
    d.SetExpandControlText(L"Less");
    d.SetOptions({});
    d.CustomButtons().Clear();
    d.CustomButtons().Add(L"OK");
    d.SetDefaultButton(101);
    d.SetVerificationText(L"");
}

void ConfirmClose(TKelTaskDialog& d) {
    d.SetTitle(L"Confirm Close");
    d.SetIcon(tiQuestion);
    d.SetInstruction(L"Close Quorvex Display?");
    d.SetContent(L"");
    d.SetExpandedText(L"");
    d.SetCollapsControlText(L"");
    d.SetExpandControlText(L"");
    d.SetOptions({});
    d.CustomButtons().Clear();
    d.CustomButtons().Add(L"Close");
    d.CustomButtons().Add(L"Do Not Close");
    d.SetDefaultButton(101);
}

void LanguageInvitation(TKelTaskDialog& d) {
    d.SetTitle(L"Set Your Language");
    d.SetIcon(tiQuestion);
    d.SetInstruction(L"Translate Quorvex Display into Your Language?");
    d.SetContent(L"Contact us <a href=\"https://maker.example/\">maker.example</a>");
    d.SetExpandedText(
        L"If your language is not on the list or you wish to make corrections, please contact us for details");
    d.SetCollapsControlText(L"More");
    d.SetExpandControlText(L"Hide");
    d.SetOptions({doHyperlinks});
    d.CustomButtons().Clear();
    d.SetDefaultButton(0);
}

TEST_P(TaskDialogTest, DisplayProgramDialogsShowAndReturnTheirButtons) {
    const struct {
        const char* name;
        void (*configure)(TKelTaskDialog&);
        int press;
    } rows[] = {
        {"startup_info", StartupInfo, IdOK},
        {"run_prompt", RunPrompt, 100},
        {"confirm_close", ConfirmClose, 101},
        {"language_invitation", LanguageInvitation, IdOK},
    };
    // One component configured anew for each, as the display form does it.
    for (const auto& r : rows) {
        r.configure(*dialog);
        const int result = Run([&] {
            Shot(r.name);
            Click(r.press);
        });
        EXPECT_EQ(result, r.press) << r.name;
        EXPECT_EQ(dialog->NativeShown, GetParam() == Path::Native) << r.name;
    }
}

TEST_P(TaskDialogTest, CommonButtonsReturnTheSameIdentifiersOnBothPaths) {
    const struct {
        TCommonButton button;
        int id;
    } rows[] = {{cbRetry, 4}, {cbClose, 8}};
    for (const auto& r : rows) {
        dialog->SetInstruction(L"Pick one");
        dialog->SetCommonButtons({cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose});
        EXPECT_EQ(Run([&] { Click(r.id); }), r.id);
    }
}

TEST_P(TaskDialogTest, EscapeClosesOnlyWhereCancellingIsAllowed) {
    dialog->SetInstruction(L"No way out but OK");
    dialog->SetCommonButtons({cbOK});
    bool stayed = false;
    const int result = Run([&] {
        PressEscape();
        fw::test::PumpUntil([] { return false; }, 300);
        stayed = Shown();
        Click(IdOK);
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(result, IdOK);

    // Wine's own task dialog ignores Esc without a Cancel button.
    if (GetParam() == Path::Emulated) {
        dialog->SetOptions({doAllowDialogCancel});
        EXPECT_EQ(Run([&] { PressEscape(); }), IdCancel);
    }

    // A Cancel button allows it for its own run; the options stay as set.
    dialog->SetOptions({});
    dialog->SetCommonButtons({cbOK, cbCancel});
    EXPECT_EQ(Run([&] { PressEscape(); }), IdCancel);
    EXPECT_FALSE(dialog->Options().Contains(doAllowDialogCancel));
}

TEST_P(TaskDialogTest, AutoCloseEndsWithTheDefaultButton) {
    dialog->SetInstruction(L"Closing by itself");
    dialog->CustomButtons().Add(L"First");
    dialog->CustomButtons().Add(L"Second");
    dialog->SetDefaultButton(101);
    dialog->SetAutoClose(true);
    dialog->SetAutoCloseTimeOut(300);
    std::vector<int> clicks;
    dialog->OnDialogButtonClick = [&](fw::TComponent*, int id) { clicks.push_back(id); };
    EXPECT_EQ(Run(nullptr), 101);
    EXPECT_GE(dialog->ElapsedTime, 400);
    EXPECT_EQ(clicks, std::vector<int>{101});

    dialog->CustomButtons().Clear();
    dialog->SetDefaultButton(0);
    dialog->SetCommonButtons({cbYes, cbNo});
    EXPECT_EQ(Run(nullptr), IdYes);
}

TEST_P(TaskDialogTest, RadiosAndVerificationReportTheirState) {
    // Wine's own task dialog shows neither; the callback test covers the
    // native notifications.
    if (GetParam() == Path::Native) GTEST_SKIP() << "no radio buttons in Wine's task dialog";
    dialog->SetInstruction(L"Choose");
    dialog->RadioButtons().Add(L"Alpha");
    dialog->RadioButtons().Add(L"Beta");
    dialog->SetVerificationText(L"Remember my choice");
    dialog->SetCommonButtons({cbOK});
    std::vector<int> radios;
    std::vector<bool> checks;
    dialog->OnDialogRadioClick = [&](fw::TComponent*, int id) { radios.push_back(id); };
    dialog->OnDialogVerifyClick = [&](fw::TComponent*, bool on) { checks.push_back(on); };
    const int result = Run([&] {
        Shot("radios");
        TKelMessageForm* form = dialog->EmulationForm;
        SendMessageW(form->RadioButtonList[1]->Handle(), BM_CLICK, 0, 0);
        SendMessageW(form->VerifyCheckBox->Handle(), BM_CLICK, 0, 0);
        Click(IdOK);
    });
    EXPECT_EQ(result, IdOK);
    EXPECT_EQ(dialog->RadioButtonResult, 201);
    EXPECT_TRUE(dialog->VerifyResult);
    EXPECT_EQ(radios, std::vector<int>{201});
    EXPECT_EQ(checks, std::vector<bool>{true});
}

TEST_P(TaskDialogTest, NativeCallbackFiresTheEvents) {
    std::vector<std::wstring> seen;
    dialog->OnDialogRadioClick = [&](fw::TComponent*, int id) { seen.push_back(L"radio " + std::to_wstring(id)); };
    dialog->OnDialogVerifyClick = [&](fw::TComponent*, bool on) { seen.push_back(on ? L"verify on" : L"verify off"); };
    dialog->OnDialogButtonClick = [&](fw::TComponent*, int id) { seen.push_back(L"button " + std::to_wstring(id)); };
    dialog->OnDialogClose = [&](fw::TComponent*, bool& canClose) { canClose = false; };
    dialog->NativeNotification(nullptr, 6, 201, 0);
    dialog->NativeNotification(nullptr, 8, 1, 0);
    // A close handler that refuses keeps the dialog open (S_FALSE).
    EXPECT_EQ(dialog->NativeNotification(nullptr, 2, 101, 0), 1);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"radio 201", L"verify on", L"button 101"}));
}

TEST_P(TaskDialogTest, HyperlinkCallbackOpensOnlyWebAndMailLinks) {
    // The native dialog's link notification, straight into the callback.
    dialog->NativeNotification(nullptr, 3, 0, reinterpret_cast<LPARAM>(L"https://maker.example/"));
    dialog->NativeNotification(nullptr, 3, 0, reinterpret_cast<LPARAM>(L"mailto:team@maker.example"));
    dialog->NativeNotification(nullptr, 3, 0, reinterpret_cast<LPARAM>(L"file:///C:/windows/notepad.exe"));
    dialog->NativeNotification(nullptr, 3, 0, reinterpret_cast<LPARAM>(L"notepad.exe"));
    EXPECT_EQ(shellCalls, (std::vector<std::wstring>{L"open https://maker.example/", L"open mailto:team@maker.example"}));
    std::vector<std::wstring> hrefs;
    dialog->OnDialogHyperlinkClick = [&](fw::TComponent*, const std::wstring& href) { hrefs.push_back(href); };
    dialog->NativeNotification(nullptr, 3, 0, reinterpret_cast<LPARAM>(L"https://maker.example/"));
    EXPECT_EQ(hrefs, std::vector<std::wstring>{L"https://maker.example/"});
    EXPECT_EQ(shellCalls.size(), 2u);
}

TEST_P(TaskDialogTest, FailingNativeCallFallsBackToTheEmulation) {
    if (GetParam() == Path::Emulated) GTEST_SKIP() << "native path only";
    dialog->NativeLibrary = L"kyn-no-such-comctl.dll";
    dialog->SetInstruction(L"Asked anyway");
    bool emulated = false;
    EXPECT_EQ(Run([&] {
                  emulated = dialog->EmulationForm != nullptr;
                  Click(IdOK);
              }),
              IdOK);
    EXPECT_TRUE(emulated);
    EXPECT_FALSE(dialog->NativeShown);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, TaskDialogTest, ::testing::Values(Path::Native, Path::Emulated),
                         ParamName);

// -- the emulation form alone

class EmulatedTaskDialogTest : public TaskDialogTest {};

TEST_P(EmulatedTaskDialogTest, WineTakesTheEmulation) {
    const TSystemVersions v = ReadSystemVersions();
    EXPECT_EQ(ChooseDialogPath(v.WindowsMajor, v.ComCtlVersionMS, nndAuto), TDialogPath::Emulated)
        << std::hex << v.ComCtlVersionMS;
}

TEST_P(EmulatedTaskDialogTest, ExpandAndCollapseReLayTheForm) {
    StartupInfo(*dialog);
    dialog->SetOptions({});
    dialog->SetExpandedText(L"A second paragraph\\nwith two lines");
    int collapsed = 0, expanded = 0, again = 0;
    bool rectWhileCollapsed = true;
    Run([&] {
        TKelMessageForm* form = dialog->EmulationForm;
        collapsed = form->ClientHeight();
        rectWhileCollapsed = form->GetExpandedTextRect().Left >= 0;
        form->ExpandButton->Click();
        expanded = form->ClientHeight();
        Shot("expanded");
        form->ExpandButton->Click();
        again = form->ClientHeight();
        Click(IdOK);
    });
    EXPECT_FALSE(rectWhileCollapsed);
    EXPECT_GT(expanded, collapsed);
    EXPECT_EQ(again, collapsed);
}

TEST_P(EmulatedTaskDialogTest, ContentLinksFireTheirEvent) {
    dialog->SetInstruction(L"Links");
    dialog->SetContent(L"Visit <a href=\"https://maker.example/\">the maker</a> or <a href=\"file:///C:/x.exe\">this</a>");
    dialog->SetOptions({doHyperlinks});
    std::vector<std::wstring> hrefs;
    const auto clickEveryLink = [&] {
        TKelMessageForm* form = dialog->EmulationForm;
        const TTdRect r = form->GetContentRect();
        std::vector<std::wstring> seen;
        for (int y = r.Top; y < r.Bottom; y += 3) {
            for (int x = r.Left; x < r.Right; x += 3) {
                const std::wstring href = form->LinkAtPoint(x, y);
                if (href.empty() || std::find(seen.begin(), seen.end(), href) != seen.end()) continue;
                seen.push_back(href);
                const LPARAM at = MAKELPARAM(x, y);
                SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
                SendMessageW(form->Handle(), WM_LBUTTONUP, 0, at);
            }
        }
        Click(IdOK);
    };
    dialog->OnDialogHyperlinkClick = [&](fw::TComponent*, const std::wstring& href) { hrefs.push_back(href); };
    Run(clickEveryLink);
    EXPECT_EQ(hrefs, (std::vector<std::wstring>{L"https://maker.example/", L"file:///C:/x.exe"}));
    EXPECT_TRUE(shellCalls.empty());

    dialog->OnDialogHyperlinkClick = nullptr;
    Run(clickEveryLink);
    EXPECT_EQ(shellCalls, std::vector<std::wstring>{L"open https://maker.example/"});
}

TEST_P(EmulatedTaskDialogTest, CtrlCCopiesTheDialogText) {
    dialog->SetTitle(L"Copy me");
    dialog->SetInstruction(L"The instruction");
    dialog->SetContent(L"The content");
    std::wstring copied;
    Run([&] {
        WORD key = 'C';
        dialog->EmulationForm->KeyDown(key, fw::ssCtrl);
        copied = fw::Clipboard().AsText();
        Click(IdOK);
    });
    EXPECT_EQ(copied, L"Copy me\r\nThe instruction\r\nThe content");
}

TEST_P(EmulatedTaskDialogTest, CommandLinksProgressAndFooter) {
    dialog->SetTitle(L"Command links");
    dialog->SetIcon(tiWarning);
    dialog->SetInstruction(L"What next?");
    dialog->SetContent(L"Pick a way to go on.");
    dialog->CustomButtons().Add(L"Go on\\nKeeps what you have");
    dialog->CustomButtons().Add(L"Start again\\nThrows the changes away");
    dialog->SetOptions({doCommandLinks, doProgressBar});
    dialog->SetFooter(L"Footer text");
    dialog->SetFooterIcon(tfiInformation);
    dialog->SetDefaultButton(100);
    int ticks = 0;
    dialog->OnDialogProgress = [&](fw::TComponent*, int& pos, TTaskDialogProgressState&) {
        ++ticks;
        pos = 60;
    };
    int position = 0;
    std::wstring grown;
    int before = 0, after = 0;
    const int result = Run([&] {
        TKelMessageForm* form = dialog->EmulationForm;
        fw::test::PumpUntil([&] { return ticks > 0; }, 3000);
        position = form->ProgressBar->Position();
        Shot("command_links");
        before = form->ContentHeight;
        dialog->SetContent(L"A much longer content that no longer fits on one line of the form, so the form has to "
                           L"measure it again and make room for a second and maybe a third line of text.");
        after = form->ContentHeight;
        Click(101);
    });
    EXPECT_EQ(result, 101);
    EXPECT_EQ(position, 60);
    EXPECT_GT(after, before);
}

TEST_P(EmulatedTaskDialogTest, InputControlsHandTheirTextBack) {
    dialog->SetInstruction(L"Your input");
    dialog->InputItems.Add(L"One");
    dialog->InputItems.Add(L"Two");
    // An edit the user changes; a list that keeps the item picked at start.
    dialog->InputKind = ikEdit;
    dialog->InputText = L"before";
    Run([&] {
        dialog->EmulationForm->InputEdit->SetText(L"after");
        Click(IdOK);
    });
    EXPECT_EQ(dialog->InputText, L"after");
    dialog->InputKind = ikComboList;
    dialog->InputText = L"Two";
    Run([&] {
        Shot("input_list");
        Click(IdOK);
    });
    EXPECT_EQ(dialog->InputText, L"Two");
    // A date comes back in the short date format.
    dialog->InputKind = ikDate;
    dialog->InputText = L"2024-03-05";
    Run([&] { Click(IdOK); });
    SYSTEMTIME st{};
    st.wYear = 2024;
    st.wMonth = 3;
    st.wDay = 5;
    wchar_t expected[128] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, expected, 128);
    EXPECT_EQ(dialog->InputText, std::wstring(expected));
}

INSTANTIATE_TEST_SUITE_P(Emulation, EmulatedTaskDialogTest, ::testing::Values(Path::Emulated),
                         ParamName);

}  // namespace
}  // namespace kel::taskdialog
