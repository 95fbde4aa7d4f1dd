// TNcLoginForm and ShowNcLoginForm.
#include "Updater/NcLogin.h"

#include <memory>

namespace oru {
namespace {

// A label whose "&" marks the letter that reaches its edit.
class TNcPrefixLabel : public fw::TLabel {
public:
    using fw::TLabel::TLabel;

protected:
    void Paint() override {
        HDC dc = Canvas().Handle();
        RECT r = ClientRect();
        fw::SelectGuard font(dc, Font().Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, fw::ToColorRef(Font().Color()));
        DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &r, DT_LEFT | DT_SINGLELINE);
    }
};

// The banner at the top: a blue band that lightens downwards.
void PaintBanner(fw::TCanvas& canvas, int width, int height) {
    for (int y = 0; y < height; ++y) {
        int t = height > 1 ? y * 255 / (height - 1) : 0;
        canvas.Brush().SetColor(fw::RGBColor(static_cast<uint8_t>(40 + t * 150 / 255), static_cast<uint8_t>(80 + t * 140 / 255),
                                             static_cast<uint8_t>(160 + t * 80 / 255)));
        canvas.FillRect(RECT{0, y, width, y + 1});
    }
}

struct FreeForm {
    void operator()(fw::TForm* f) const { f->Free(); }
};

}  // namespace

TNcLoginForm::TNcLoginForm(fw::TComponent* owner) : fw::TForm(owner, L"TNcLoginForm") {
    SetName(L"TWCLOGINFORM");
    SetBorderStyle(fw::TFormBorderStyle::bsDialog);
    SetPosition(fw::TPosition::poScreenCenter);
    SetKeyPreview(true);
    Font().SetName(L"MS Sans Serif");
    Font().SetSize(8);
    SetBounds(0, 0, 328, 223);

    Banner = new fw::TCustomControl(this);
    Banner->SetParent(this);
    Banner->SetBounds(0, 0, 320, 60);
    Banner->OnPaint = [this](fw::TComponent*) { PaintBanner(Banner->Canvas(), Banner->Width(), Banner->Height()); };

    Label1 = new TNcPrefixLabel(this);
    Label1->SetParent(this);
    Label1->SetCaption(L"&User name: ");
    Label1->SetLeft(16);
    Label1->SetTop(80);
    Edit1 = new fw::TEdit(this);
    Edit1->SetName(L"Edit1");
    Edit1->SetParent(this);
    Edit1->SetBounds(104, 80, 193, 21);

    Label2 = new TNcPrefixLabel(this);
    Label2->SetParent(this);
    Label2->SetCaption(L"&Password:");
    Label2->SetLeft(16);
    Label2->SetTop(112);
    Edit2 = new fw::TEdit(this);
    Edit2->SetName(L"Edit2");
    Edit2->SetParent(this);
    Edit2->SetBounds(104, 112, 193, 21);
    Edit2->SetPasswordChar(L'*');

    Button1 = new fw::TButton(this);
    Button1->SetName(L"Button1");
    Button1->SetParent(this);
    Button1->SetCaption(L"OK");
    Button1->SetDefault(true);
    Button1->SetModalResult(fw::mrOk);
    Button1->SetBounds(144, 152, 75, 25);

    Button2 = new fw::TButton(this);
    Button2->SetName(L"Button2");
    Button2->SetParent(this);
    Button2->SetCaption(L"Cancel");
    Button2->SetCancel(true);
    Button2->SetModalResult(fw::mrCancel);
    Button2->SetBounds(224, 152, 75, 25);

    OnShow = [this](fw::TComponent*) { Edit1->SetFocus(); };
}

void TNcLoginForm::FocusNext(bool backwards) {
    fw::TWinControl* order[] = {Edit1, Edit2, Button1, Button2};
    int n = 4, at = -1;
    for (int i = 0; i < n; ++i) {
        if (order[i]->Focused()) at = i;
    }
    int next = at < 0 ? 0 : (at + (backwards ? n - 1 : 1)) % n;
    order[next]->SetFocus();
}

void TNcLoginForm::KeyDown(WORD& key, fw::TShiftState shift) {
    fw::TForm::KeyDown(key, shift);
    switch (key) {
        case VK_RETURN:
            // Enter clicks the focused button, else the default one.
            key = 0;
            (Button2->Focused() ? Button2 : Button1)->Click();
            return;
        case VK_ESCAPE:
            key = 0;
            Button2->Click();
            return;
        case VK_TAB:
            key = 0;
            FocusNext((shift & fw::ssShift) != 0);
            return;
        case 'U':
        case 'P':
            if (shift & fw::ssAlt) {
                (key == 'U' ? Edit1 : Edit2)->SetFocus();
                key = 0;
            }
            return;
        default:
            return;
    }
}

void TNcLoginForm::KeyPress(wchar_t& key) {
    fw::TForm::KeyPress(key);
    // The edits would beep at these.
    if (key == L'\r' || key == L'\t' || key == 27) key = 0;
}

bool ShowNcLoginForm(const std::wstring& caption, std::wstring& user, std::wstring& password) {
    std::unique_ptr<TNcLoginForm, FreeForm> form(new TNcLoginForm(nullptr));
    form->SetCaption(caption);
    if (form->ShowModal() != fw::mrOk) return false;
    user = form->Edit1->Text();
    password = form->Edit2->Text();
    return true;
}

}  // namespace oru
