// TTaskDialogButton (command links and the expand button) and the built-in
// pictures they show.
#include <windows.h>

#include <cmath>
#include <cstring>

#include "widgets/editors/TaskDialogForm.h"
#include "widgets/editors/TaskDialogPictures.h"

namespace kel::taskdialog {

namespace {

constexpr uint32_t kMagenta = 0x00FF00FF;  // DIB pixel order: 0x00RRGGBB

uint32_t Pixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

void Clear(fw::TBitmap& b, int size) {
    b.SetSize(size, size);
    for (int y = 0; y < size; ++y) {
        uint32_t* row = b.ScanLine(y);
        for (int x = 0; x < size; ++x) row[x] = kMagenta;
    }
}

void Disc(fw::TBitmap& b, double cx, double cy, double r, COLORREF fill, COLORREF rim) {
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (d <= r - 1) {
                b.ScanLine(y)[x] = Pixel(fill);
            } else if (d <= r) {
                b.ScanLine(y)[x] = Pixel(rim);
            }
        }
    }
}

// A chevron pointing right (dir 0), down (1) or up (2), centred.
void Chevron(fw::TBitmap& b, int dir, COLORREF colour) {
    const int n = b.Width();
    const int c = n / 2;
    for (int i = -3; i <= 3; ++i) {
        const int a = 3 - (i < 0 ? -i : i);
        for (int t = 0; t < 2; ++t) {
            int x, y;
            if (dir == 0) {
                x = c - 1 + a - 1 + t;
                y = c + i;
            } else if (dir == 1) {
                x = c + i;
                y = c - 1 + a - 1 + t;
            } else {
                x = c + i;
                y = c + 1 - a + 1 - t;
            }
            if (x >= 0 && y >= 0 && x < n && y < n) b.ScanLine(y)[x] = Pixel(colour);
        }
    }
}

void Arrow(fw::TBitmap& b, COLORREF colour) {
    Clear(b, 16);
    for (int x = 2; x <= 11; ++x) {
        b.ScanLine(7)[x] = Pixel(colour);
        b.ScanLine(8)[x] = Pixel(colour);
    }
    for (int i = 0; i < 5; ++i) {
        for (int t = 0; t < 2; ++t) {
            b.ScanLine(7 - i)[13 - i - t] = Pixel(colour);
            b.ScanLine(8 + i)[13 - i - t] = Pixel(colour);
        }
    }
}

void Shield(fw::TBitmap& b) {
    Clear(b, 32);
    for (int y = 2; y < 30; ++y) {
        const int half = y < 18 ? 12 : 12 - (y - 18);
        for (int x = 16 - half; x < 16 + half; ++x) {
            const bool left = x < 16, top = y < 14;
            const COLORREF c = (left == top) ? RGB(0, 80, 200) : RGB(240, 200, 0);
            b.ScanLine(y)[x] = Pixel(c);
        }
    }
}

}  // namespace

bool LoadTaskDialogPicture(const wchar_t* name, fw::TBitmap& b) {
    if (!name) return false;
    const std::wstring n = name;
    if (n == L"TD_ARW") {
        Arrow(b, RGB(30, 150, 30));
    } else if (n == L"TD_ARWHOT") {
        Arrow(b, RGB(40, 190, 40));
    } else if (n == L"TD_ARWDOWN") {
        Arrow(b, RGB(20, 110, 20));
    } else if (n == L"TD_ARWDIS") {
        Arrow(b, RGB(160, 160, 160));
    } else if (n == L"TD_EXP" || n == L"TD_EXPHOT" || n == L"TD_EXPDOWN" || n == L"TD_COLP" || n == L"TD_COLPHOT" ||
               n == L"TD_COLPDOWN") {
        Clear(b, 19);
        const bool hot = n.ends_with(L"HOT"), down = n.ends_with(L"DOWN");
        const COLORREF fill = down ? RGB(200, 215, 235) : hot ? RGB(235, 244, 255) : RGB(255, 255, 255);
        Disc(b, 9.5, 9.5, 9, fill, RGB(150, 160, 175));
        Chevron(b, n.starts_with(L"TD_EXP") ? 1 : 2, RGB(60, 70, 90));
    } else if (n == L"TD_SHIELD") {
        Shield(b);
    } else {
        b.SetSize(0, 0);
        return false;
    }
    return true;
}

void StretchTransparentPicture(HDC dc, int x, int y, int width, int height, fw::TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(src, bitmap.Handle());
    TransparentBlt(dc, x, y, width, height, src, 0, 0, bitmap.Width(), bitmap.Height(), kPictureTransparent);
    SelectObject(src, old);
    DeleteDC(src);
}

void DrawTransparentPicture(HDC dc, int x, int y, int width, int height, fw::TBitmap& bitmap) {
    StretchTransparentPicture(dc, x, y, width, height, bitmap);
}

// -- TTaskDialogButton

TTaskDialogButton::TTaskDialogButton(fw::TComponent* owner)
    : fw::TCustomControl(owner),
      picture_(std::make_unique<fw::TBitmap>()),
      pictureHot_(std::make_unique<fw::TBitmap>()),
      pictureDown_(std::make_unique<fw::TBitmap>()),
      pictureDisabled_(std::make_unique<fw::TBitmap>()) {
    width_ = 22;
    height_ = 23;
    show_hint_ = false;
    tab_stop_ = true;
    parent_background_ = true;
}

TTaskDialogButton::~TTaskDialogButton() = default;

void TTaskDialogButton::SetPictures(const wchar_t* normal, const wchar_t* hot, const wchar_t* down,
                                    const wchar_t* disabled) {
    LoadTaskDialogPicture(normal, *picture_);
    LoadTaskDialogPicture(hot, *pictureHot_);
    LoadTaskDialogPicture(down, *pictureDown_);
    LoadTaskDialogPicture(disabled, *pictureDisabled_);
    Invalidate();
}

void TTaskDialogButton::SetBackColor(fw::TColor v) {
    backColor_ = v;
    parent_background_ = v == fw::clNone;
    Invalidate();
}

void TTaskDialogButton::Paint() {
    fw::TCanvas& c = Canvas();
    HDC dc = c.Handle();
    RECT r = ClientRect();
    if (backColor_ != fw::clNone) {
        c.Brush().SetColor(backColor_);
        c.FillRect(r);
    }
    fw::TColor border = fw::clNone;
    if (down_) {
        border = borderColorDown_;
    } else if (hot_) {
        border = borderColorHot_;
    }
    if (!enabled_) border = fw::clNone;
    if (Focused()) border = borderColorDown_;

    fw::TBitmap* picture = picture_.get();
    if (down_ && !pictureDown_->Empty()) {
        picture = pictureDown_.get();
    } else if (hot_ && !pictureHot_->Empty()) {
        picture = pictureHot_.get();
    }
    if (!enabled_ && !pictureDisabled_->Empty()) picture = pictureDisabled_.get();
    int textLeft = 2;
    if (!picture->Empty()) {
        const int px = caption_.empty() ? (r.right - picture->Width()) / 2 : 4;
        const int py = (r.bottom - picture->Height()) / 2;
        DrawTransparentPicture(dc, px, py, picture->Width(), picture->Height(), *picture);
        textLeft = px + picture->Width() + 3;
    }
    if (!caption_.empty()) {
        SetBkMode(dc, TRANSPARENT);
        RECT text{textLeft, 0, r.right, r.bottom};
        const UINT reading = IsRightToLeft() ? DT_RTLREADING : 0;
        if (!HasEscapedLineBreak(caption_) && caption_.find(L'\r') == std::wstring::npos) {
            fw::SelectGuard f(dc, headingFont_.Handle());
            SetTextColor(dc, fw::ToColorRef(headingFont_.Color()));
            const std::wstring line = TrimBlanks(caption_);
            DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &text, DT_SINGLELINE | DT_VCENTER | reading);
        } else {
            const auto lines = SplitTextLines(caption_);
            // The block's height, as the form measured it.
            int blockHeight = 0;
            for (size_t i = 0; i < lines.size(); ++i) {
                if (lines[i].empty()) continue;
                fw::SelectGuard f(dc, i == 0 ? headingFont_.Handle() : font_->Handle());
                RECT m{0, 0, 0, 0};
                DrawTextW(dc, lines[i].c_str(), static_cast<int>(lines[i].size()), &m, DT_CALCRECT | DT_SINGLELINE);
                blockHeight += (m.bottom - m.top) + (i == 0 ? 10 : 2);
            }
            int y = (r.bottom - blockHeight) / 2 + 2;
            for (size_t i = 0; i < lines.size(); ++i) {
                fw::TFont& f = i == 0 ? headingFont_ : *font_;
                fw::SelectGuard g(dc, f.Handle());
                SetTextColor(dc, fw::ToColorRef(f.Color()));
                SIZE gh{};
                GetTextExtentPoint32W(dc, L"gh", 2, &gh);
                RECT line{textLeft, y, r.right, y + gh.cy};
                DrawTextW(dc, lines[i].c_str(), static_cast<int>(lines[i].size()), &line, DT_SINGLELINE | reading);
                y += gh.cy + (i == 0 ? 4 : 2);
            }
        }
    }
    if (border != fw::clNone) {
        c.Brush().SetStyle(fw::TBrushStyle::bsClear);
        c.Pen().SetColor(border);
        c.RoundRect(0, 0, r.right, r.bottom, 2, 2);
        c.Brush().SetStyle(fw::TBrushStyle::bsSolid);
    }
}

void TTaskDialogButton::Click() {
    EventScope scope(this);
    if (modalResult_ != 0) {
        if (fw::TForm* form = fw::GetParentForm(this)) form->SetModalResult(modalResult_);
    }
    fw::TCustomControl::Click();
}

void TTaskDialogButton::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    if (button == fw::TMouseButton::mbLeft) {
        down_ = true;
        Invalidate();
    }
    fw::TCustomControl::MouseDown(button, shift, x, y);
}

void TTaskDialogButton::MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    if (button == fw::TMouseButton::mbLeft) {
        down_ = false;
        Invalidate();
    }
    fw::TCustomControl::MouseUp(button, shift, x, y);
}

void TTaskDialogButton::MouseEnter() {
    hot_ = true;
    if (focusOnHover_ && CanFocus()) SetFocus();
    Invalidate();
    fw::TCustomControl::MouseEnter();
}

void TTaskDialogButton::MouseLeave() {
    hot_ = false;
    Invalidate();
    fw::TCustomControl::MouseLeave();
}

void TTaskDialogButton::KeyPress(wchar_t& key) {
    fw::TCustomControl::KeyPress(key);
    if (key == L' ' || key == L'\r') {
        key = 0;
        Click();
    }
}

void TTaskDialogButton::DoEnter() {
    fw::TCustomControl::DoEnter();
    Invalidate();
}

void TTaskDialogButton::DoExit() {
    fw::TCustomControl::DoExit();
    Invalidate();
}

bool TTaskDialogButton::WantsDialogKey(WORD key) { return key == VK_RETURN; }

}  // namespace kel::taskdialog
