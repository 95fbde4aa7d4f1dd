// The control classes under Wine: the one paint routine and transparency,
// reflected notifications, Tab order and the dialog keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/gui/common_controls.h"
#include "framework/gui/controls.h"
#include "framework/gui/forms.h"
#include "framework/gui/std_button.h"
#include "framework/gui/std_edit.h"
#include "tests/support/win_test_app.h"

namespace fw {
namespace {

using test::PumpUntil;
using test::TestApplication;

uint32_t Px(TBitmap& bmp, int x, int y) {
    GdiFlush();
    return bmp.ScanLine(y)[x] & 0xFFFFFF;  // 0xRRGGBB
}

// A custom control that fills one rectangle of its own.
class Square : public TCustomControl {
public:
    Square(TComponent* owner, RECT r, TColor c) : TCustomControl(owner), rect_(r), colour_(c) {}

protected:
    void Paint() override {
        Canvas().Brush().SetColor(colour_);
        Canvas().FillRect(rect_);
    }

private:
    RECT rect_;
    TColor colour_;
};

class Block : public TGraphicControl {
public:
    Block(TComponent* owner, TColor c) : TGraphicControl(owner), colour_(c) {}

protected:
    void Paint() override {
        Canvas().Brush().SetColor(colour_);
        Canvas().FillRect(ClientRect());
    }

private:
    TColor colour_;
};

TEST(Painting, TransparentControlOnATransparentParentShowsWhatLiesBeneathBoth) {
    auto& app = TestApplication();
    auto* form = app.CreateForm<TForm>(std::wstring(L"TFwPaintTestForm"));
    form->SetColor(clRed);
    form->SetBorderStyle(TFormBorderStyle::bsNone);
    form->SetBounds(0, 0, 100, 100);
    // `outer` at (10,10) paints blue in its corner; a green graphic control
    // lies on it; `inner`, at (5,5) in `outer`, paints nothing of its own.
    auto* outer = new Square(form, RECT{0, 0, 10, 10}, clBlue);
    outer->SetParentBackground(true);
    outer->SetBounds(10, 10, 60, 60);
    outer->SetParent(form);
    auto* green = new Block(form, clLime);
    green->SetBounds(20, 0, 10, 30);
    green->SetParent(outer);
    auto* inner = new Square(form, RECT{0, 0, 0, 0}, clBlack);
    inner->SetParentBackground(true);
    inner->SetBounds(5, 5, 40, 40);
    inner->SetParent(outer);

    TBitmap bmp(40, 40);
    inner->PaintTo(bmp.Canvas().Handle());
    struct Row {
        int x, y;
        uint32_t rgb;
        const char* what;
    } rows[] = {
        {0, 0, 0x0000FF, "outer's own content"},
        {18, 2, 0x00FF00, "the graphic control on outer"},
        {10, 10, 0xFF0000, "the form beneath outer"},
        {39, 39, 0xFF0000, "the form at the far corner"},
    };
    for (const Row& r : rows) EXPECT_EQ(Px(bmp, r.x, r.y), r.rgb) << r.what;

    // Without ParentBackground the control fills its own colour.
    inner->SetParentBackground(false);
    inner->SetColor(clYellow);
    inner->PaintTo(bmp.Canvas().Handle());
    EXPECT_EQ(Px(bmp, 10, 10), 0xFFFF00u);
    form->Free();
}

TEST(Painting, EveryRoadPaintsTheSamePixels) {
    auto& app = TestApplication();
    auto* form = app.CreateForm<TForm>(std::wstring(L"TFwPaintRoadsForm"));
    form->SetBorderStyle(TFormBorderStyle::bsNone);
    form->SetBounds(0, 0, 60, 60);
    auto* panel = new Square(form, RECT{2, 2, 8, 8}, clBlue);
    panel->SetColor(clYellow);
    panel->SetBounds(0, 0, 30, 30);
    panel->SetParent(form);
    auto* block = new Block(form, clLime);
    block->SetBounds(10, 10, 5, 5);
    block->SetParent(panel);
    HWND h = panel->Handle();
    const std::function<void(HDC)> roads[] = {
        [&](HDC dc) { panel->PaintTo(dc); },
        [&](HDC dc) { SendMessageW(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT); },
        [&](HDC dc) { SendMessageW(h, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); },
    };
    for (bool buffered : {false, true}) {
        panel->SetDoubleBuffered(buffered);
        for (size_t i = 0; i < std::size(roads); ++i) {
            TBitmap bmp(30, 30);
            roads[i](bmp.Canvas().Handle());
            EXPECT_EQ(Px(bmp, 0, 0), 0xFFFF00u) << "background, road " << i;
            EXPECT_EQ(Px(bmp, 4, 4), 0x0000FFu) << "content, road " << i;
            EXPECT_EQ(Px(bmp, 12, 12), 0x00FF00u) << "graphic child, road " << i;
        }
    }
    form->Free();
}

// A child that records what its parent reflects to it.
class ReflectProbe : public TWinControl {
public:
    explicit ReflectProbe(TComponent* owner) : TWinControl(owner) {}
    std::vector<std::wstring> seen;
    HBRUSH brush = reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.systemClassName = L"STATIC";
    }
    bool CommandNotify(WORD code) override {
        seen.push_back(L"command " + std::to_wstring(code));
        return true;
    }
    bool ScrollReflect(UINT msg, WORD code, int position) override {
        seen.push_back(std::wstring(msg == WM_HSCROLL ? L"h" : L"v") + L"scroll " + std::to_wstring(code) + L" " +
                       std::to_wstring(position));
        return true;
    }
    HBRUSH ColorReflect(UINT msg, HDC) override {
        seen.push_back(L"colour " + std::to_wstring(msg));
        return brush;
    }
};

// Called once or many times, it leaves every common-control class ready.
TEST(CommonControls, EveryClassTheControlsUseCanBeMadeAfterInitialisation) {
    InitCommonControlsOnce();
    InitCommonControlsOnce();
    for (const wchar_t* cls : {L"msctls_progress32", L"msctls_trackbar32", L"SysAnimate32", L"SysTabControl32",
                               L"SysListView32", L"msctls_updown32", L"tooltips_class32"}) {
        HWND w = CreateWindowExW(0, cls, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(w, nullptr) << cls;
        if (w) DestroyWindow(w);
    }
}

TEST(Reflection, ParentHandsChildNotificationsToTheChild) {
    auto& app = TestApplication();
    auto* form = app.CreateForm<TForm>(std::wstring(L"TFwReflectForm"));
    auto* child = new ReflectProbe(form);
    child->SetParent(form);
    const auto c = reinterpret_cast<LPARAM>(child->Handle());
    HDC dc = GetDC(child->Handle());
    struct Row {
        UINT msg;
        WPARAM wParam;
        LRESULT result;
        std::wstring seen;
    } rows[] = {
        {WM_COMMAND, MAKEWPARAM(0, 7), 0, L"command 7"},
        {WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 42), 0, L"hscroll 4 42"},
        {WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0, L"vscroll 1 0"},
        {WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LRESULT>(child->brush),
         L"colour " + std::to_wstring(WM_CTLCOLORSTATIC)},
        {WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LRESULT>(child->brush),
         L"colour " + std::to_wstring(WM_CTLCOLOREDIT)},
    };
    for (const Row& r : rows) {
        child->seen.clear();
        EXPECT_EQ(SendMessageW(form->Handle(), r.msg, r.wParam, c), r.result) << r.msg;
        EXPECT_EQ(child->seen, std::vector<std::wstring>{r.seen}) << r.msg;
    }
    ReleaseDC(child->Handle(), dc);
    form->Free();
}

// Sends a key to the control that has the focus, as the message loop would.
void PressKey(WORD key, bool shift = false) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    SendMessageW(GetFocus(), WM_KEYDOWN, key, 0);
    state[VK_SHIFT] = 0;
    SetKeyboardState(state);
}

TEST(TabOrder, TabAndShiftTabFollowTheOrderAndSkipWhatCannotTakeFocus) {
    auto& app = TestApplication();
    auto* form = app.CreateForm<TForm>(std::wstring(L"TFwTabForm"));
    form->SetBounds(0, 0, 300, 200);
    auto add = [&](TWinControl* c, TWinControl* parent, const wchar_t* name, int top) {
        c->SetName(name);
        c->SetBounds(10, top, 80, 22);
        c->SetParent(parent);
        return c;
    };
    auto* first = add(new TEdit(form), form, L"first", 0);
    auto* box = new TCustomControl(form);
    box->SetBounds(100, 0, 150, 150);
    box->SetParent(form);
    auto* inBox1 = add(new TButton(form), box, L"inBox1", 0);
    auto* inBox2 = add(new TButton(form), box, L"inBox2", 30);
    auto* hidden = add(new TButton(form), box, L"hidden", 60);
    hidden->Hide();
    auto* noStop = add(new TButton(form), form, L"noStop", 30);
    noStop->SetTabStop(false);
    auto* last = add(new TEdit(form), form, L"last", 60);
    // Swap the two buttons in the box, and put `last` before the box.
    inBox2->SetTabOrder(0);
    last->SetTabOrder(1);
    EXPECT_EQ(inBox1->TabOrder(), 1);
    EXPECT_EQ(box->TabOrder(), 2);

    form->Show();
    first->SetFocus();
    auto focusedName = [] {
        TWinControl* c = TWinControl::FromHandle(GetFocus());
        return c ? c->Name() : std::wstring(L"?");
    };
    std::vector<std::wstring> forward, backward;
    for (int i = 0; i < 4; ++i) {
        PressKey(VK_TAB);
        forward.push_back(focusedName());
    }
    for (int i = 0; i < 4; ++i) {
        PressKey(VK_TAB, true);
        backward.push_back(focusedName());
    }
    EXPECT_EQ(forward, (std::vector<std::wstring>{L"last", L"inBox2", L"inBox1", L"first"}));
    EXPECT_EQ(backward, (std::vector<std::wstring>{L"inBox1", L"inBox2", L"last", L"first"}));
    form->Free();
}

TEST(DialogKeys, EnterAndEscClickTheDefaultAndCancelButtonsOfAModalForm) {
    auto& app = TestApplication();
    struct Row {
        const char* name;
        WORD key;
        bool focusRetry;  // the key goes to a focused, non-default button
        TModalResult result;
    } rows[] = {
        {"Enter in the edit", VK_RETURN, false, mrOk},
        {"Esc in the edit", VK_ESCAPE, false, mrCancel},
        {"Enter on another button", VK_RETURN, true, mrRetry},
        {"Esc on another button", VK_ESCAPE, true, mrCancel},
    };
    for (const Row& r : rows) {
        auto* form = app.CreateForm<TForm>(std::wstring(L"TFwDialogKeysForm"));
        form->SetBounds(0, 0, 300, 120);
        auto* edit = new TEdit(form);
        edit->SetParent(form);
        auto button = [&](TModalResult result, int left) {
            auto* b = new TButton(form);
            b->SetModalResult(result);
            b->SetBounds(left, 40, 70, 25);
            b->SetParent(form);
            return b;
        };
        auto* ok = button(mrOk, 0);
        ok->SetDefault(true);
        auto* cancel = button(mrCancel, 80);
        cancel->SetCancel(true);
        auto* retry = button(mrRetry, 160);
        int clicks = 0;
        ok->OnClick = [&](TComponent*) { ++clicks; };
        form->HandleNeeded();
        TWinControl* target = r.focusRetry ? static_cast<TWinControl*>(retry) : edit;
        PostMessageW(target->Handle(), WM_KEYDOWN, r.key, 0);
        EXPECT_EQ(form->ShowModal(), r.result) << r.name;
        EXPECT_EQ(clicks, r.result == mrOk ? 1 : 0) << r.name;
        form->Free();
    }
}

TEST(DialogKeys, KeyPreviewLetsTheFormSeeAndSwallowKeysFirst) {
    auto& app = TestApplication();
    auto* form = app.CreateForm<TForm>(std::wstring(L"TFwPreviewForm"));
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    std::vector<std::wstring> order;
    form->OnKeyDown = [&](TComponent*, WORD& key, TShiftState) {
        order.push_back(L"form " + std::to_wstring(key));
        if (key == 'X') key = 0;
    };
    edit->OnKeyDown = [&](TComponent*, WORD& key, TShiftState) { order.push_back(L"edit " + std::to_wstring(key)); };
    for (bool preview : {false, true}) {
        form->SetKeyPreview(preview);
        SendMessageW(edit->Handle(), WM_KEYDOWN, 'A', 0);
        SendMessageW(edit->Handle(), WM_KEYDOWN, 'X', 0);
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"edit 65", L"edit 88", L"form 65", L"edit 65", L"form 88"}));
    form->Free();
}

}  // namespace
}  // namespace fw
