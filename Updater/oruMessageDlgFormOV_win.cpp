// ToruMessageDialogForm.
#include "Updater/oruMessageDlgFormOV.h"

#include "Updater/oruMessageDlgLayout.h"

namespace oru {

int MessageDialogResult = -1;
int MessageDialogTheme = 0;

namespace {

using kel::glow::TKelGlowButton;

void SetWindowAlpha(HWND wnd, bool on, int alpha) {
    if (!wnd) return;
    LONG ex = GetWindowLongW(wnd, GWL_EXSTYLE);
    if (on) {
        if (!(ex & WS_EX_LAYERED)) SetWindowLongW(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SetLayeredWindowAttributes(wnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
    } else if (ex & WS_EX_LAYERED) {
        SetWindowLongW(wnd, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        RedrawWindow(wnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

}  // namespace

void SetControlFont(fw::TControl& control, const wchar_t* name, int size, fw::TFontStyles style) {
    control.Font().SetName(name);
    control.Font().SetSize(size);
    control.Font().SetStyle(style);
}

void TOruImage::SetImages(fw::TImageList* images) {
    if (images == images_) return;
    images_ = images;
    if (images) FreeNotification(images);
    Invalidate();
}

void TOruImage::SetImageIndex(int index) {
    if (index == index_) return;
    index_ = index;
    Invalidate();
}

void TOruImage::SetIcon(HICON icon) {
    icon_ = icon;
    Invalidate();
}

void TOruImage::Paint() {
    if (images_ && index_ >= 0) {
        images_->Draw(*canvas_, 0, 0, index_);
    } else if (icon_) {
        DrawIconEx(canvas_->Handle(), 0, 0, icon_, width_, height_, 0, nullptr, DI_NORMAL);
    }
}

void TOruImage::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TGraphicControl::Notification(component, operation);
    if (operation == fw::TOperation::opRemove && component == images_) images_ = nullptr;
}

ToruMessageDialogForm::ToruMessageDialogForm(fw::TComponent* owner) : fw::TForm(owner, L"ToruMessageDialogForm") {
    SetCaption(L"Message Dialog");
    SetBorderStyle(fw::TFormBorderStyle::bsNone);
    SetFormStyle(fw::TFormStyle::fsStayOnTop);
    SetColor(fw::clWhite);
    SetDoubleBuffered(true);
    SetKeyPreview(true);
    Font().SetName(L"Tahoma");
    Font().SetSize(8);

    MessageBoxImageList1 = new fw::TImageList(this, 32, 32);
    SystemImageList1 = new fw::TImageList(this, 22, 16);
    MakePictures();

    KelSmoothPanel1 = new kel::TKelSmoothPanel(this);
    KelSmoothPanel1->SetParent(this);
    KelSmoothPanel1->Fill().SetRounding(3);

    Image2 = new TOruImage(this);
    Image2->SetBounds(6, 5, 16, 16);
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    Image2->SetIcon(icon ? icon : LoadIconW(nullptr, IDI_APPLICATION));
    Image2->SetParent(KelSmoothPanel1);

    Label1 = new fw::TLabel(this);
    Label1->SetLeft(30);
    Label1->SetTop(5);
    SetControlFont(*Label1, L"Verdana", 10, fw::fsBold);
    Label1->SetParent(KelSmoothPanel1);

    Image1 = new TOruImage(this);
    Image1->SetBounds(311, 5, 22, 16);
    Image1->SetImages(SystemImageList1);
    Image1->SetImageIndex(0);
    Image1->SetVisible(false);
    Image1->SetParent(KelSmoothPanel1);

    KelSmoothPanel2 = new kel::TKelSmoothPanel(this);
    KelSmoothPanel2->Fill().SetRounding(3);
    KelSmoothPanel2->SetParent(KelSmoothPanel1);

    Image3 = new TOruImage(this);
    Image3->SetBounds(14, 12, 32, 32);
    Image3->SetImages(MessageBoxImageList1);
    Image3->SetParent(KelSmoothPanel2);

    Label2 = new fw::TLabel(this);
    Label2->SetLeft(64);
    Label2->SetTop(12);
    SetControlFont(*Label2, L"Tahoma", 12, fw::fsBold);
    Label2->SetParent(KelSmoothPanel2);

    Label3 = new fw::TLabel(this);
    Label3->SetAutoSize(false);
    Label3->SetWordWrap(true);
    SetControlFont(*Label3, L"Tahoma", 9, 0);
    Label3->SetParent(KelSmoothPanel2);

    KelGlowButton1 = new TKelGlowButton(this);
    KelGlowButton1->SetBounds(0, 0, 100, 18);
    KelGlowButton1->SetParent(KelSmoothPanel1);
    KelGlowButton2 = new TKelGlowButton(this);
    KelGlowButton2->SetBounds(0, 0, 100, 18);
    KelGlowButton2->SetParent(KelSmoothPanel1);

    KelGlowButton1->OnClick = [this](fw::TComponent*) { CloseBox(0); };
    KelGlowButton2->OnClick = [this](fw::TComponent*) { CloseBox(1); };
    Image1->OnClick = [this](fw::TComponent*) { CloseBox(0); };
    // Only the dark theme's right button changes its font under the pointer.
    KelGlowButton1->OnMouseEnter = [this](fw::TComponent*) {
        if (MessageDialogTheme == 1) KelGlowButton1->Font().SetColor(fw::clBlack);
    };
    KelGlowButton1->OnMouseLeave = [this](fw::TComponent*) {
        if (MessageDialogTheme == 1) KelGlowButton1->Font().SetColor(fw::clWhite);
    };
    Image1->OnMouseEnter = [this](fw::TComponent*) { Image1->SetImageIndex(1); };
    Image1->OnMouseLeave = [this](fw::TComponent*) { Image1->SetImageIndex(0); };
    for (fw::TControl* c : {static_cast<fw::TControl*>(KelSmoothPanel1), static_cast<fw::TControl*>(Label1)}) {
        c->OnMouseDown = [this](fw::TComponent*, fw::TMouseButton b, fw::TShiftState, int, int) { StartDrag(b); };
        c->OnMouseMove = [this](fw::TComponent*, fw::TShiftState, int, int) { EndDrag(); };
        c->OnMouseUp = [this](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) { EndDrag(); };
    }
    ResetDialog();
}

void ToruMessageDialogForm::MakePictures() {
    const wchar_t* icons[] = {IDI_INFORMATION, IDI_WARNING, IDI_QUESTION, IDI_ERROR};
    for (const wchar_t* id : icons) {
        fw::TBitmap b(32, 32);
        b.Canvas().Brush().SetColor(fw::clFuchsia);
        b.Canvas().FillRect(RECT{0, 0, 32, 32});
        DrawIconEx(b.Canvas().Handle(), 0, 0, LoadIconW(nullptr, id), 32, 32, 0, nullptr, DI_NORMAL);
        GdiFlush();
        MessageBoxImageList1->AddMasked(b, fw::clFuchsia);
    }
    // The close cross, grey and (under the pointer) red.
    for (fw::TColor color : {fw::TColor(0x808080), fw::TColor(0x2020E0)}) {
        fw::TBitmap b(22, 16);
        fw::TCanvas& c = b.Canvas();
        c.Brush().SetColor(fw::clFuchsia);
        c.FillRect(RECT{0, 0, 22, 16});
        c.Pen().SetColor(color);
        c.Pen().SetWidth(2);
        c.MoveTo(7, 4);
        c.LineTo(15, 12);
        c.MoveTo(15, 4);
        c.LineTo(7, 12);
        GdiFlush();
        SystemImageList1->AddMasked(b, fw::clFuchsia);
    }
}

void ToruMessageDialogForm::CreateParams(fw::TCreateParams& params) {
    fw::TForm::CreateParams(params);
    params.classStyle |= CS_DROPSHADOW;
}

LRESULT ToruMessageDialogForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Alt+F4 and the system menu's Close: no button answered.
    if (msg == WM_CLOSE) {
        CloseBox(-1);
        return 0;
    }
    return fw::TForm::WndProc(msg, wParam, lParam);
}

void ToruMessageDialogForm::KeyDown(WORD& key, fw::TShiftState shift) {
    if (key == VK_ESCAPE && shift == 0) {
        key = 0;
        CloseBox(-1);
        return;
    }
    fw::TForm::KeyDown(key, shift);
}

void ToruMessageDialogForm::CloseBox(int answer) {
    if (closing_ || !Visible()) return;
    closing_ = true;
    if (answer >= 0) MessageDialogResult = answer;
    FadeOut(this, 8);
    Close();
}

int ToruMessageDialogForm::ShowBox(bool question) {
    closing_ = false;
    ShowModal();
    // Closed without a button: the answer that changes nothing, never the
    // previous box's.
    MessageDialogResult = MessageDialogAnswer(MessageDialogResult, question);
    return MessageDialogResult;
}

int ToruMessageDialogForm::ShowInfo(int theme, const std::wstring& text, int type) {
    MessageDialogTheme = theme;
    ApplyTheme(theme);
    ResetDialog();
    if (type > 2) type = 0;
    if (type >= 0) {
        static const int pictures[] = {0, 1, 3};
        static const wchar_t* titles[] = {L"Information", L"Warning", L"Error"};
        Image3->SetImageIndex(pictures[type]);
        Label1->SetCaption(titles[type]);
    }
    Label2->SetCaption(text);
    KelGlowButton1->SetCaption(L"OK");
    KelGlowButton2->SetVisible(false);
    Label3->SetCaption(L"");
    LayoutDialog();
    return ShowBox(false);
}

int ToruMessageDialogForm::AskQuestion(int theme, const std::wstring& mainText, const std::wstring& rightCaption,
                                       const std::wstring& leftCaption, const std::wstring& subText) {
    MessageDialogTheme = theme;
    ApplyTheme(theme);
    ResetDialog();
    Image3->SetImageIndex(2);
    Label1->SetCaption(L"Question");
    Label2->SetCaption(mainText);
    KelGlowButton1->SetCaption(rightCaption);
    KelGlowButton2->SetCaption(leftCaption);
    KelGlowButton2->SetVisible(true);
    Label3->SetCaption(subText);
    LayoutDialog();
    return ShowBox(true);
}

void ToruMessageDialogForm::ResetDialog() {
    MessageDialogResult = -1;
    SetClientSize(340, 160);
    Label1->SetCaption(L"Message Box");
    Label2->SetWordWrap(false);
    Label2->SetAutoSize(true);
    Label2->SetCaption(L"Main Text");
    Label3->SetCaption(L"Sub Text");
    KelGlowButton2->SetVisible(false);
    Arrange();
    RepaintDialog();
}

void ToruMessageDialogForm::Arrange() {
    const int w = ClientWidth(), h = ClientHeight();
    KelSmoothPanel1->SetBounds(0, 0, w, h);
    // Margins 6 / 26 / 6 / 32.
    KelSmoothPanel2->SetBounds(6, 26, w - 12, h - 58);
    const int pw = KelSmoothPanel2->Width(), ph = KelSmoothPanel2->Height();
    // Bottom-aligned, margins 14 / 0 / 14 / 9.
    Label3->SetBounds(14, ph - 9 - 38, pw - 28, 38);
}

void ToruMessageDialogForm::LayoutDialog() {
    TMessageDlgLayoutInput in;
    in.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    in.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    in.ClientWidth = ClientWidth();
    in.ClientHeight = ClientHeight();
    in.MainLeft = Label2->Left();
    in.MainTop = Label2->Top();
    in.MainWidth = Label2->Width();
    in.MainHeight = Label2->Height();
    in.CloseWidth = Image1->Width();
    in.RightWidth = KelGlowButton1->Width();
    in.RightHeight = KelGlowButton1->Height();
    in.LeftWidth = KelGlowButton2->Width();
    in.LeftHeight = KelGlowButton2->Height();
    in.WrappedHeight = [this](int width) {
        Label2->SetWidth(width);
        Label2->SetWordWrap(true);
        return Label2->Height();
    };
    const TMessageDlgLayout out = LayoutMessageDialog(in);
    Label2->SetWidth(out.MainWidth);
    SetClientSize(out.ClientWidth, out.ClientHeight);
    Arrange();
    Image1->SetLeft(out.CloseLeft);
    KelGlowButton1->SetBounds(out.RightLeft, out.RightTop, KelGlowButton1->Width(), KelGlowButton1->Height());
    KelGlowButton2->SetBounds(out.LeftLeft, out.LeftTop, KelGlowButton2->Width(), KelGlowButton2->Height());
    CenterOnScreen();
}

void ToruMessageDialogForm::CenterOnScreen() {
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - ClientWidth()) / 2, (GetSystemMetrics(SM_CYSCREEN) - ClientHeight()) / 2,
              Width(), Height());
}

void ToruMessageDialogForm::RepaintDialog() {
    KelSmoothPanel1->MarkDirty();
    KelSmoothPanel1->Invalidate();
    KelSmoothPanel2->MarkDirty();
    KelSmoothPanel2->Invalidate();
    KelGlowButton1->Invalidate();
    for (fw::TLabel* label : {Label1, Label2, Label3}) {
        label->SetTransparent(false);
        label->SetTransparent(true);
        label->Invalidate();
    }
    Invalidate();
}

void ToruMessageDialogForm::StyleButton(TKelGlowButton& b, int theme, bool right) {
    auto& a = b.Appearance();
    b.SetParentFont(false);
    b.Font().SetStyle(fw::fsBold);
    const fw::TColor kLight = 0xEBEBEB, kHot = 0xF4F4F4;
    a.SetColorHot(kHot);
    a.SetColorHotTo(kLight);
    a.SetColorMirrorHot(kLight);
    a.SetColorMirrorHotTo(kLight);
    if (theme == 0) {
        b.SetBorderStyle(kel::glow::bsSingle);
        b.Font().SetColor(fw::clBlack);
        a.SetBorderColor(0x808080);
        a.SetBorderColorDown(fw::clBlack);
        a.SetBorderColorHot(fw::clBlack);
        a.SetColor(fw::clWhite);
        a.SetColorDown(fw::clWhite);
        a.SetColorDownTo(kLight);
        a.SetColorTo(kLight);
        a.SetColorMirror(kLight);
        a.SetColorMirrorTo(kLight);
        return;
    }
    b.SetBorderStyle(kel::glow::bsNone);
    const fw::TColor face = right ? 0xFF8A20 : 0xC8C0C0;
    b.Font().SetColor(right ? fw::clWhite : fw::clBlack);
    a.SetBorderColor(right ? face : 0x808080);
    a.SetBorderColorDown(right ? face : fw::clBlack);
    a.SetBorderColorHot(0x808080);
    a.SetColor(face);
    a.SetColorDown(right ? fw::clWhite : kLight);
    a.SetColorDownTo(kLight);
    a.SetColorTo(face);
    a.SetColorMirror(face);
    a.SetColorMirrorTo(face);
}

void ToruMessageDialogForm::ApplyTheme(int theme) {
    if (theme != 0 && theme != 1) return;
    const bool dark = theme == 1;
    kel::TGDIPFill& outer = KelSmoothPanel1->Fill();
    outer.SetBorderColor(0x808080);
    outer.SetBorderWidth(2);
    outer.SetColor(dark ? 0x303030 : fw::clWhite);
    outer.SetColorTo(dark ? fw::clBlack : 0xDCDCDC);
    outer.SetColorMirror(dark ? fw::clBlack : fw::clNone);
    outer.SetColorMirrorTo(dark ? 0x303030 : fw::clNone);
    Label1->Font().SetColor(dark ? fw::clWhite : 0x202020);
    Label2->Font().SetColor(dark ? 0xDCDCDC : 0x202020);
    Label3->Font().SetColor(dark ? fw::clWhite : 0x202020);
    kel::TGDIPFill& content = KelSmoothPanel2->Fill();
    content.SetBorderColor(dark ? fw::clBlack : 0xC0C0C0);
    content.SetBorderWidth(1);
    // Two plain halves: the colour above, the mirror colour below.
    content.SetColor(dark ? 0x6C6C6C : fw::clWhite);
    content.SetColorTo(content.Color());
    content.SetColorMirror(dark ? 0x505050 : 0xF0F0F0);
    content.SetColorMirrorTo(content.ColorMirror());
    if (dark) {
        KelSmoothPanel2->Caption().SetColorStart(fw::clWhite);
        KelSmoothPanel2->Caption().SetColorEnd(fw::clWhite);
    }
    StyleButton(*KelGlowButton1, theme, true);
    StyleButton(*KelGlowButton2, theme, false);
    SetColor(dark ? 0x808080 : 0xC0C0C0);
    RepaintDialog();
}

void ToruMessageDialogForm::SetAlphaBlend(bool on, int alpha) {
    alpha_blend_ = on;
    alpha_value_ = alpha;
    if (HandleAllocated()) SetWindowAlpha(Handle(), on, alpha);
}

void ToruMessageDialogForm::StartDrag(fw::TMouseButton button) {
    if (button != fw::TMouseButton::mbLeft || !HandleAllocated()) return;
    SetAlphaBlend(true, 198);
    ReleaseCapture();
    // Moves the window as if its caption were dragged.
    SendMessageW(Handle(), WM_SYSCOMMAND, 0xF012, 0);
    EndDrag();
}

void ToruMessageDialogForm::EndDrag() {
    if (alpha_blend_ || alpha_value_ != 255) SetAlphaBlend(false, 255);
}

void ToruMessageDialogForm::FadeOut(fw::TForm* form, int n) {
    if (!form) return;
    if (n < 0 || n > 198) n = 32;
    auto* box = dynamic_cast<ToruMessageDialogForm*>(form);
    HWND wnd = form->HandleAllocated() ? form->Handle() : nullptr;
    for (int alpha = 198; alpha >= n; --alpha) {
        SetWindowAlpha(wnd, true, alpha);
        if (box) box->last_fade_alpha_ = alpha;
    }
    SetWindowAlpha(wnd, false, 255);
    if (box) {
        box->alpha_blend_ = false;
        box->alpha_value_ = 255;
    }
}

}  // namespace oru
