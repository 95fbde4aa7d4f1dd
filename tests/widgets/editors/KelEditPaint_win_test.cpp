// TKelEdit's looks under Wine, read back from the window: flat underline
// and soft frame, parent colour, focus frame, empty text, error marker,
// transparency, URL mode and the long-text hint.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "tests/widgets/editors/edit_form.h"

namespace kel {
namespace {

using test::EditForm;
using test::Rgb;
using test::WindowPixel;

// Pixels of the client area within a rectangle that satisfy `match`.
int ClientPixels(HWND hwnd, RECT r, const std::function<bool(uint32_t)>& match) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    EditForm::Settle(20);
    HDC dc = GetDC(hwnd);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c != CLR_INVALID && match((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c))) ++n;
        }
    }
    ReleaseDC(hwnd, dc);
    return n;
}

bool IsRed(uint32_t c) { return (c >> 16) > 0xC0 && ((c >> 8) & 0xFF) < 0x40 && (c & 0xFF) < 0x40; }

TEST(KelEditPaint, FlatWithTheParentColourAndBack) {
    EditForm f;
    f.form->SetColor(fw::clAqua);
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10, 120, 21);
    TKelEdit* other = f.Add(L"KelEdit2", 10, 60, 120, 21);
    f.Show();
    HWND h = edit->Handle();
    edit->SetFlat(true);
    EXPECT_EQ(edit->BorderStyle(), fw::TBorderStyle::bsNone);
    EXPECT_EQ(WindowPixel(h, 60, 8), Rgb(fw::clAqua));
    EXPECT_EQ(WindowPixel(h, 60, 20), Rgb(fw::clBlack));  // the underline
    EXPECT_EQ(WindowPixel(h, 1, 20), Rgb(fw::clAqua));    // it starts 2 pixels left of the text
    // The parent's colour stays through a focus in and out.
    edit->SetFocus();
    other->SetFocus();
    EXPECT_EQ(edit->Color(), fw::clAqua);
    EXPECT_EQ(WindowPixel(h, 60, 8), Rgb(fw::clAqua));
    edit->SetFlat(false);
    EXPECT_EQ(edit->Color(), fw::clWindow);
    EXPECT_EQ(edit->BorderStyle(), fw::TBorderStyle::bsSingle);
    EXPECT_NE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(WindowPixel(h, 60, 10), Rgb(fw::clWindow));
}

TEST(KelEditPaint, SoftFrameOfADisabledFlatEditIsGrey) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10, 120, 21);
    edit->SetFlatParentColor(false);
    f.Show();
    edit->SetFlat(true);
    edit->SetSoftBorder(true);
    edit->SetEnabled(false);
    HWND h = edit->Handle();
    // The frame stands 4 pixels left of and 3 above the formatting rectangle
    // (whose left edge includes the window's own margin).
    RECT r{};
    SendMessageW(h, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    const int left = r.left - 4, top = r.top - 3;
    EXPECT_EQ(WindowPixel(h, left, 20), Rgb(fw::clGray));
    EXPECT_EQ(WindowPixel(h, 119, 5), Rgb(fw::clGray));
    EXPECT_EQ(WindowPixel(h, 60, top), Rgb(fw::clGray));
    EXPECT_EQ(WindowPixel(h, 60, 10), Rgb(fw::clSilver));  // DisabledColor
    edit->SetEnabled(true);
    EXPECT_EQ(WindowPixel(h, left, 20), Rgb(fw::clBlack));
    EXPECT_EQ(WindowPixel(h, 60, 10), Rgb(fw::clWindow));
}

TEST(KelEditPaint, FocusBorderColourOnlyWhileFocused) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10, 120, 21);
    TKelEdit* other = f.Add(L"KelEdit2", 10, 60, 120, 21);
    edit->SetFocusBorderColor(fw::clRed);
    f.Show();
    other->SetFocus();
    HWND h = edit->Handle();
    EXPECT_NE(WindowPixel(h, 0, 0), Rgb(fw::clRed));
    edit->SetFocus();
    EXPECT_EQ(WindowPixel(h, 0, 0), Rgb(fw::clRed));
    EXPECT_EQ(WindowPixel(h, 119, 20), Rgb(fw::clRed));
    other->SetFocus();
    EXPECT_NE(WindowPixel(h, 0, 0), Rgb(fw::clRed));
}

TEST(KelEditPaint, EmptyTextAndErrorMarkerWithoutTheFocus) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10, 160, 24);
    TKelEdit* other = f.Add(L"KelEdit2", 10, 60, 120, 21);
    edit->SetEmptyText(L"Type here");
    f.Show();
    other->SetFocus();
    HWND h = edit->Handle();
    // Grey ink (the caret is black).
    auto grey = [](uint32_t c) {
        const int r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return r > 0x60 && r < 0xE0 && r == g && g == b;
    };
    EXPECT_GT(ClientPixels(h, RECT{3, 2, 80, 16}, grey), 10);
    edit->SetFocus();
    EXPECT_EQ(ClientPixels(h, RECT{3, 2, 80, 16}, grey), 0);
    edit->SetText(L"abcdefgh");
    edit->SetErrorMarkerLen(3);
    other->SetFocus();
    POINT third{};
    ASSERT_TRUE(edit->PosFromChar(3, third));
    const int red = ClientPixels(h, RECT{0, 10, third.x + 1, 20}, IsRed);
    EXPECT_GT(red, 6);
    EXPECT_EQ(ClientPixels(h, RECT{third.x + 8, 0, 150, 20}, IsRed), 0);
    edit->SetFocus();
    EXPECT_EQ(ClientPixels(h, RECT{0, 0, 150, 20}, IsRed), 0);
}

TEST(KelEditPaint, TransparentShowsTheParent) {
    EditForm f;
    f.form->SetColor(fw::clAqua);
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10, 120, 21);
    f.Show();
    HWND h = edit->Handle();
    EXPECT_EQ(WindowPixel(h, 60, 10), Rgb(fw::clWindow));
    edit->SetTransparent(true);
    EXPECT_EQ(WindowPixel(h, 60, 10), Rgb(fw::clAqua));
}

// Asks the hint the way the application does.
class HintProbe : public TKelEdit {
public:
    using TKelEdit::TKelEdit;
    using TKelEdit::HintShow;
};

TEST(KelEditPaint, UrlModeAndLongTextHint) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10, 160, 21);
    edit->SetShowURL(true);
    edit->SetURLColor(fw::clGreen);
    f.Show();
    edit->SetText(L"http://example.org");
    EXPECT_TRUE(edit->URLShown());
    EXPECT_NE(edit->Font().Style() & fw::fsUnderline, 0u);
    EXPECT_EQ(edit->Font().Color(), fw::clGreen);
    EXPECT_NE(edit->Cursor(), nullptr);
    std::wstring clicked;
    edit->OnURLClick = [&](fw::TComponent*, const std::wstring& url, bool& show) {
        clicked = url;
        show = false;
    };
    edit->SetFocus();
    SendMessageW(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 8));
    SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 8));
    EXPECT_EQ(clicked, L"http://example.org");
    // Typing it away turns the look off.
    edit->SetText(L"plain");
    EXPECT_FALSE(edit->URLShown());
    EXPECT_EQ(edit->Font().Style() & fw::fsUnderline, 0u);

    auto* probe = new HintProbe(f.form);
    probe->SetBounds(10, 60, 40, 21);
    probe->SetParent(f.form);
    probe->SetHintShowLargeText(true);
    probe->SetText(L"a text much wider than forty pixels");
    std::wstring hint = L"plain hint";
    POINT at{500, 500};
    probe->HintShow(hint, at);
    EXPECT_EQ(hint, L"a text much wider than forty pixels");
    EXPECT_EQ(at.x, probe->ClientToScreen(POINT{0, 0}).x);
    probe->SetText(L"ok");
    hint = L"plain hint";
    probe->HintShow(hint, at);
    EXPECT_EQ(hint, L"plain hint");
}

}  // namespace
}  // namespace kel
