// A shown form with typed edits for the Windows tests, the typed edit's
// settings applied from the filter tests' option rows, OLE for the test
// program, and the pixels of a window.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/gui/forms.h"
#include "tests/support/win_test_app.h"
#include "widgets/editors/KelEdDD.h"
#include "widgets/editors/KelEdit.h"

namespace kel::test {

// OLE for the whole test program, as the programs' start step does it.
class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { StartOle(); }
    void TearDown() override { StopOle(); }
};

// Applies the rules' settings through the edit's properties.
inline void Apply(TKelEdit& edit, const TKelEditOptions& o) {
    edit.SetEditType(o.EditType);
    edit.SetSigned(o.Signed);
    if (o.EditType == TKelEditType::etFloat || o.EditType == TKelEditType::etMoney ||
        o.EditType == TKelEditType::etString) {
        edit.SetPrecision(o.Precision);
    }
    edit.SetPrecisionDisplay(o.PrecisionDisplay);
    edit.SetAutoThousandSeparator(o.AutoThousandSeparator);
    edit.SetExcelStyleDecimalSeparator(o.ExcelStyleDecimalSeparator);
    edit.SetPrefix(o.Prefix);
    edit.SetSuffix(o.Suffix);
    edit.SetLengthLimit(o.LengthLimit);
    edit.SetTabOnFullLength(o.TabOnFullLength);
    edit.SetAllowNumericNullValue(o.AllowNumericNullValue);
    edit.SetValidChars(o.ValidChars);
    edit.SetReturnIsTab(o.ReturnIsTab);
    edit.SetMaxLength(o.MaxLength);
    edit.SetReadOnly(o.ReadOnly);
    edit.SetShowURL(o.ShowURL);
}

// A borderless form at (x, y) that owns the edits made on it.
class EditForm {
public:
    explicit EditForm(int x = 40, int y = 40, int width = 400, int height = 200) {
        form = fw::test::TestApplication().CreateForm<fw::TForm>(std::wstring(L"TKelEditTestForm"));
        form->SetBorderStyle(fw::TFormBorderStyle::bsNone);
        form->SetFormStyle(fw::TFormStyle::fsStayOnTop);
        form->SetBounds(x, y, width, height);
        form->SetColor(fw::clWhite);
    }
    ~EditForm() { form->Free(); }
    EditForm(const EditForm&) = delete;
    EditForm& operator=(const EditForm&) = delete;

    TKelEdit* Add(const wchar_t* name, int left, int top, int width = 120, int height = 21) {
        auto* edit = new TKelEdit(form);
        edit->SetName(name);
        edit->SetBounds(left, top, width, height);
        edit->SetParent(form);
        return edit;
    }
    // Shows the form, makes it the active window and lets it paint.
    void Show() {
        form->Show();
        SetForegroundWindow(form->Handle());
        SetActiveWindow(form->Handle());
        Settle();
    }
    static void Settle(DWORD ms = 60) {
        const DWORD until = GetTickCount() + ms;
        fw::test::PumpUntil([until] { return static_cast<LONG>(GetTickCount() - until) >= 0; });
    }

    fw::TForm* form;
};

// 0xRRGGBB of a pixel of a window (window coordinates), after it painted.
inline uint32_t WindowPixel(HWND hwnd, int x, int y) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    EditForm::Settle(20);
    HDC dc = GetWindowDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

inline uint32_t Rgb(fw::TColor c) {
    const fw::TColor v = fw::ColorToRGB(c);
    return (static_cast<uint32_t>(fw::ColorR(v)) << 16) | (static_cast<uint32_t>(fw::ColorG(v)) << 8) | fw::ColorB(v);
}

}  // namespace kel::test
