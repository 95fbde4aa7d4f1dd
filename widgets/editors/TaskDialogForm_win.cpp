// TKelMessageForm: the emulated task dialog. It is built in code for each
// execution from the component's properties, laid out by
// ArrangeTaskDialog, and draws its texts (plain or mini-HTML) itself.
#include <windows.h>

#include <commctrl.h>
#include <oleauto.h>

#include <algorithm>

#include "framework/gui/application.h"
#include "framework/gui/clipboard.h"
#include "widgets/drawing/HtmlRender.h"
#include "widgets/drawing/KelGDIP.h"
#include "widgets/editors/TaskDialogForm.h"
#include "widgets/editors/TaskDialogPictures.h"

namespace kel::taskdialog {

namespace {

constexpr fw::TColor kInstructionColor = 0xC45300;
constexpr fw::TColor kLinkBorderColor = 0xFFE16C;
constexpr fw::TColor kWindowWhite = 0xFFFFFF;

// A memory DC with a canvas in a given font, for measuring before the form
// has painted.
class MeasureCanvas {
public:
    explicit MeasureCanvas(const fw::TFont& font) : dc_(CreateCompatibleDC(nullptr)) {
        canvas_.SetHandle(dc_);
        canvas_.Font().Assign(font);
    }
    ~MeasureCanvas() {
        canvas_.SetHandle(nullptr);
        DeleteDC(dc_);
    }
    MeasureCanvas(const MeasureCanvas&) = delete;
    MeasureCanvas& operator=(const MeasureCanvas&) = delete;
    fw::TCanvas& Canvas() { return canvas_; }
    HDC DC() { return canvas_.Handle(); }

private:
    HDC dc_;
    fw::TCanvas canvas_;
};

SIZE AverageCharSize(fw::TCanvas& canvas) {
    std::wstring letters;
    for (wchar_t c = L'A'; c <= L'Z'; ++c) letters += c;
    for (wchar_t c = L'a'; c <= L'z'; ++c) letters += c;
    SIZE s = canvas.TextExtent(letters);
    s.cx /= 52;
    return s;
}

int SingleLineWidth(fw::TCanvas& canvas, const std::wstring& text, UINT flags) {
    RECT r{0, 0, 0, 0};
    HDC dc = canvas.Handle();
    fw::SelectGuard font(dc, canvas.Font().Handle());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | flags);
    return r.right - r.left;
}

int SingleLineHeight(fw::TCanvas& canvas, const std::wstring& text, UINT flags) {
    RECT r{0, 0, 0, 0};
    HDC dc = canvas.Handle();
    fw::SelectGuard font(dc, canvas.Font().Handle());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | flags);
    return r.bottom - r.top;
}

std::wstring ExeNameWithoutExt() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    if (const size_t slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) name = name.substr(slash + 1);
    if (const size_t dot = name.find_last_of(L'.'); dot != std::wstring::npos) name = name.substr(0, dot);
    return name;
}

// Measures a command link's caption: the heading line in the heading font,
// note lines in the body font; padded adds the room the button draws with.
void MeasureCommandLinkText(fw::TCanvas& canvas, const std::wstring& text, const fw::TFont& heading, bool padded,
                            int& height, int& width, UINT flags, const fw::TFont& body) {
    fw::TFont saved;
    saved.Assign(canvas.Font());
    height = width = 0;
    if (HasEscapedLineBreak(text) || text.find(L'\r') != std::wstring::npos) {
        const auto lines = SplitTextLines(text);
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::wstring line = TrimBlanks(lines[i]);
            if (line.empty()) continue;
            if (i == 0) {
                canvas.Font().Assign(heading);
                width = SingleLineWidth(canvas, line, flags) + (padded ? 8 : 0);
                height = SingleLineHeight(canvas, line, flags) + (padded ? 10 : 0);
            } else {
                canvas.Font().Assign(body);
                width = std::max(width, SingleLineWidth(canvas, line, flags) + (padded ? 8 : 0));
                height += SingleLineHeight(canvas, line, flags) + (padded ? 2 : 0);
            }
        }
    } else {
        canvas.Font().Assign(heading);
        width = SingleLineWidth(canvas, TrimBlanks(text), flags);
        height = SingleLineHeight(canvas, TrimBlanks(text), flags);
    }
    canvas.Font().Assign(saved);
}

HICON LoadSystemIcon(int id, int size) {
    if (id == 0) return nullptr;
    return static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

// -- TTdMemo, TTdComboBox

void TTdMemo::CreateParams(fw::TCreateParams& p) {
    fw::TEdit::CreateParams(p);
    p.style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
    p.style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
}

TTdComboBox::TTdComboBox(fw::TComponent* owner, bool listOnly) : fw::TWinControl(owner), listOnly_(listOnly) {
    width_ = 145;
    height_ = 200;  // the window's height holds the dropped-down list
    tab_stop_ = true;
}

void TTdComboBox::CreateParams(fw::TCreateParams& p) {
    fw::TWinControl::CreateParams(p);
    p.systemClassName = L"COMBOBOX";
    p.style |= WS_VSCROLL | CBS_AUTOHSCROLL | (listOnly_ ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
}

void TTdComboBox::CreateHandleDone() {
    for (const auto& item : Items) SendMessageW(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (DropDownCount > 0) SendMessageW(handle_, CB_SETMINVISIBLE, static_cast<WPARAM>(DropDownCount), 0);
    SetText(text_);
}

std::wstring TTdComboBox::Text() const {
    if (!handle_) return text_;
    const int length = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(handle_, text.data(), length + 1)));
    return text;
}

void TTdComboBox::SetText(const std::wstring& text) {
    text_ = text;
    if (!handle_) return;
    if (listOnly_) {
        const LRESULT index = SendMessageW(handle_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else {
        SetWindowTextW(handle_, text.c_str());
    }
}

TTdDatePicker::TTdDatePicker(fw::TComponent* owner) : fw::TWinControl(owner) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_DATE_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)registered;
    width_ = 186;
    height_ = 21;
    tab_stop_ = true;
}

void TTdDatePicker::CreateParams(fw::TCreateParams& p) {
    fw::TWinControl::CreateParams(p);
    p.systemClassName = DATETIMEPICK_CLASSW;
    p.style |= DTS_SHORTDATEFORMAT;
}

void TTdDatePicker::CreateHandleDone() {
    if (hasDate_) SendMessageW(handle_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date_));
}

void TTdDatePicker::SetDateText(const std::wstring& text) {
    DATE value = 0;
    SYSTEMTIME st{};
    std::wstring copy = text;
    if (text.empty() || FAILED(VarDateFromStr(copy.data(), LOCALE_USER_DEFAULT, 0, &value)) ||
        !VariantTimeToSystemTime(value, &st))
        return;
    date_ = st;
    hasDate_ = true;
    if (handle_) SendMessageW(handle_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date_));
}

std::wstring TTdDatePicker::DateText() {
    SYSTEMTIME st{};
    if (!handle_ || SendMessageW(handle_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) {
        if (!hasDate_) return {};
        st = date_;
    }
    wchar_t buffer[128] = {};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128)) return {};
    return buffer;
}

// -- TTdLabel

void TTdLabel::Paint() {
    HDC dc = canvas_->Handle();
    RECT r = ClientRect();
    fw::SelectGuard font(dc, font_->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fw::ToColorRef(font_->Color()));
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r,
              DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | (IsRightToLeft() ? DT_RTLREADING : 0));
}

// -- TTdCheckButton

TTdCheckButton::TTdCheckButton(fw::TComponent* owner, bool radio) : fw::TWinControl(owner), radio_(radio) {
    width_ = 200;
    height_ = 17;
    tab_stop_ = true;
}

void TTdCheckButton::CreateParams(fw::TCreateParams& p) {
    fw::TWinControl::CreateParams(p);
    p.systemClassName = L"BUTTON";
    p.style |= radio_ ? BS_RADIOBUTTON : BS_CHECKBOX;
}

void TTdCheckButton::CreateHandleDone() {
    SendMessageW(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TTdCheckButton::Checked() const { return checked_; }

void TTdCheckButton::SetChecked(bool v) {
    checked_ = v;
    if (handle_) SendMessageW(handle_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
    if (v && radio_ && parent_) {
        // Radio buttons of one parent exclude each other.
        for (int i = 0; i < parent_->ControlCount(); ++i) {
            auto* other = dynamic_cast<TTdCheckButton*>(parent_->Control(i));
            if (other && other != this && other->radio_ && other->checked_) other->SetChecked(false);
        }
    }
}

bool TTdCheckButton::CommandNotify(WORD code) {
    if (code != BN_CLICKED) return false;
    if (radio_) {
        SetChecked(true);
    } else {
        SetChecked(!checked_);
    }
    Click();
    return true;
}

HBRUSH TTdCheckButton::ColorReflect(UINT /*msg*/, HDC dc) {
    if (color_ == fw::clNone) return nullptr;
    if (!brush_ || brushColor_ != color_) {
        brush_ = fw::GdiObject<HBRUSH>(CreateSolidBrush(fw::ToColorRef(color_)));
        brushColor_ = color_;
    }
    SetBkColor(dc, fw::ToColorRef(color_));
    return brush_.get();
}

// -- TTdImage

TTdImage::TTdImage(fw::TComponent* owner) : fw::TGraphicControl(owner) {
    width_ = 32;
    height_ = 32;
}

TTdImage::~TTdImage() {
    if (icon_ && ownsIcon_) DestroyIcon(icon_);
}

void TTdImage::SetIcon(HICON icon, bool owned) {
    if (icon_ && ownsIcon_) DestroyIcon(icon_);
    icon_ = icon;
    ownsIcon_ = owned;
    Invalidate();
}

void TTdImage::Paint() {
    HDC dc = canvas_->Handle();
    if (icon_) {
        DrawIconEx(dc, 0, 0, icon_, width_, height_, 0, nullptr, DI_NORMAL);
    } else if (!bitmap_.Empty()) {
        DrawTransparentPicture(dc, 0, 0, bitmap_.Width(), bitmap_.Height(), bitmap_);
    }
}

// -- TKelMessageForm

TKelMessageForm::TKelMessageForm(fw::TComponent* owner) : fw::TForm(owner, L"TKelMessageForm") {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font_->SetLogFont(metrics.lfMessageFont);
    }
    color_ = kWindowWhite;
    top_hooks_.DialogChar = [this](wchar_t ch, fw::TShiftState shift) {
        if (OnAccelerator(ch)) return true;
        return BroadcastDialogChar(ch, shift);
    };
}

TKelMessageForm::~TKelMessageForm() = default;

void TKelMessageForm::CreateParams(fw::TCreateParams& p) {
    fw::TForm::CreateParams(p);
    const bool minimize = options_.Contains(doAllowMinimize);
    if (!options_.Contains(doAllowDialogCancel) && !minimize) p.style &= ~static_cast<DWORD>(WS_SYSMENU);
    if (!minimize) p.style &= ~static_cast<DWORD>(WS_MINIMIZEBOX);
}

void TKelMessageForm::ComputeUnits() {
    MeasureCanvas m(*font_);
    const SIZE avg = AverageCharSize(m.Canvas());
    Units = DialogUnitsOf(avg.cx, avg.cy);
}

std::wstring TKelMessageForm::PreparedText(const std::wstring& text, bool always) const {
    if (options_.Contains(doHyperlinks)) return HtmlLineBreaks(text);
    if (always || HasEscapedLineBreak(text)) return PlainLineBreaks(text);
    return text;
}

void TKelMessageForm::MeasureText(fw::TCanvas& canvas, const std::wstring& text, int& width, int& height) {
    if (text.empty()) {
        width = height = 0;
        return;
    }
    RECT r{0, 0, width == 0 ? 1000 : width, 100};
    HDC dc = canvas.Handle();
    fw::SelectGuard font(dc, canvas.Font().Handle());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | (IsRightToLeft() ? DT_RTLREADING : 0));
    width = r.right;
    height = r.bottom;
}

int TKelMessageForm::CaptionWidth(const std::wstring& text) {
    MeasureCanvas m(*font_);
    int w = 1000, h = 0;
    MeasureText(m.Canvas(), text, w, h);
    return text.empty() ? 0 : w;
}

TTdSize TKelMessageForm::MeasureHtml(const std::wstring& text, int boxWidth) {
    MeasureCanvas m(*font_);
    if (!options_.Contains(doHyperlinks)) {
        int w = std::max(boxWidth, 1), h = 0;
        MeasureText(m.Canvas(), text, w, h);
        return {boxWidth, h};
    }
    THtmlParams p;
    p.Text = text;
    p.Rect = {0, 0, std::max(boxWidth, 1), 26};
    p.ShadowOffset = 1;
    p.HitTestOnly = true;
    p.MeasureOnly = true;
    p.SelectedMode = true;
    p.LinkColor = 0xFF0000;
    p.ShadowColor = 0x808080;
    THtmlResults res;
    RenderHtmlText(m.Canvas(), p, res);
    return {res.TextWidth, res.TextHeight};
}

void TKelMessageForm::DrawHtml(HDC dc, const std::wstring& text, const TTdRect& rect) {
    fw::TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Font().Assign(*font_);
    THtmlParams p;
    p.Text = text;
    p.Rect = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    p.ShadowOffset = 1;
    p.BlinkPhase = false;
    p.LinkColor = 0xFF0000;
    p.ShadowColor = 0x808080;
    THtmlResults res;
    RenderHtmlText(canvas, p, res);
    canvas.SetHandle(nullptr);
}

void TKelMessageForm::SetClient(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    SetClientSize(width, height);
}

void TKelMessageForm::BuildControls(TCustomKelTaskDialog* c) {
    component_ = c;
    const TTaskDialogSettings s = c->Settings();
    ComputeUnits();
    const TDialogUnits& u = Units;
    const UINT reading = IsRightToLeft() ? DT_RTLREADING : 0;
    MeasureCanvas m(*font_);
    fw::TCanvas& canvas = m.Canvas();

    // 1. caption
    caption_ = s.Title.empty() ? ExeNameWithoutExt() : s.Title;
    SetCaption(caption_);
    minWidth_ = caption_.empty() ? 0 : CaptionWidth(caption_) + 50;
    commonRow_ = customRow_ = 0;
    ContentLeft = u.HMargin;
    int y = u.VMargin;

    // 2.-3. common buttons
    const TDefaultRows rows = DefaultAndCancelRows(s.DefaultButton, s.CommonButtons);
    static int widthCache[CommonButtonCount] = {};
    for (int b = 0; b < CommonButtonCount; ++b) {
        const auto cb = static_cast<TCommonButton>(b);
        if (!s.CommonButtons.Contains(cb)) continue;
        const TCommonButtonRow& row = CommonButtonRowOf(cb);
        if (widthCache[b] == 0) widthCache[b] = SingleLineWidth(canvas, row.Caption, reading) + 16;
        fw::TWinControl* button = c->CreateButton(this);
        CommonButtonList.push_back(button);
        button->SetName(row.Name);
        button->SetParent(this);
        c->SetButtonText(button, row.Caption);
        c->SetButtonModalResult(button, row.ModalResult);
        button->SetTag(b == rows.DefaultRow ? 1 : 0);
        if (row.ModalResult == IdCancel && options_.Contains(doAllowDialogCancel)) c->SetButtonCancel(button, true);
        if (!rows.NoDefault && b == rows.DefaultRow) c->SetButtonDefault(button, true);
        if (s.DefaultButton == 0 && b == rows.CancelRow && options_.Contains(doAllowDialogCancel))
            c->SetButtonCancel(button, true);
        button->SetBounds(0, 0, std::max(widthCache[b], 60), u.ButtonHeight);
        commonRow_ += button->Width() + u.ButtonGap;
        button->OnClick = [this](fw::TComponent* sender) { ButtonClick(sender); };
        if (rows.NoDefault) button->SetTabStop(false);
    }
    if (!rows.NoDefault) {
        for (auto* b : CommonButtonList) {
            if (b->Tag() == 1) b->SetTabOrder(0);
        }
    }

    // 4. custom push buttons
    CustomButtonList.clear();
    if (!options_.Contains(doCommandLinks)) {
        const int defaultId = CustomDefaultId(s.DefaultButton, s.CommonButtons);
        for (size_t i = 0; i < s.CustomButtons.size(); ++i) {
            const std::wstring& line = s.CustomButtons[i];
            const int w = SingleLineWidth(canvas, line, reading) + 16;
            fw::TWinControl* button = c->CreateButton(this);
            button->SetName(L"CSButton" + std::to_wstring(i));
            button->SetParent(this);
            const int id = CustomButtonBase + static_cast<int>(i);
            c->SetButtonModalResult(button, id);
            if (id == defaultId) c->SetButtonDefault(button, true);
            c->SetButtonText(button, line);
            button->SetBounds(0, 0, std::max(w, 60), u.ButtonHeight);
            button->OnClick = [this](fw::TComponent* sender) { ButtonClick(sender); };
            customRow_ += button->Width() + u.ButtonGap;
            if (defaultId == -1) button->SetTabStop(false);
            CustomButtonList.push_back(button);
        }
    } else {
        // 5. command links
        fw::TFont heading, body;
        heading.Assign(canvas.Font());
        heading.SetSize(11);
        heading.SetStyle(fw::fsBold);
        body.Assign(canvas.Font());
        int maxLink = 0;
        for (size_t i = 0; i < s.CustomButtons.size(); ++i) {
            const std::wstring& line = s.CustomButtons[i];
            canvas.Font().SetSize(10);
            canvas.Font().SetStyle(0);
            int h = 0, w = 0;
            MeasureCommandLinkText(canvas, line, heading, true, h, w, reading, body);
            w += 26;
            maxLink = std::max(maxLink, w);
            if (options_.Contains(doCommandLinksNoIcon)) {
                minWidth_ = std::max(minWidth_, maxLink + u.HMargin);
            } else {
                minWidth_ = std::max(minWidth_, 2 * u.HMargin + maxLink + u.HSpacing + 32);
            }
            auto* link = new TTaskDialogButton(this);
            link->SetName(L"Button" + std::to_wstring(i));
            link->SetParent(this);
            link->SetCaption(line);
            link->Font().Assign(body);
            link->Font().SetColor(kInstructionColor);
            link->SetHeadingFont(heading);
            link->HeadingFont().SetColor(kInstructionColor);
            link->SetModalResult(CustomButtonBase + static_cast<int>(i));
            link->SetBorderColorHot(kLinkBorderColor);
            link->SetBorderColorDown(kLinkBorderColor);
            link->SetFocusOnHover(s.DefaultButton != -1);
            canvas.Font().Assign(body);
            const int gh = canvas.TextHeight(L"gh");
            link->SetBounds(0, 0, std::max(maxLink, 60), std::max({gh + 20, u.ButtonHeight, h}));
            if (!options_.Contains(doCommandLinksNoIcon))
                link->SetPictures(L"TD_ARW", L"TD_ARWHOT", L"TD_ARWDOWN", L"TD_ARWDIS");
            link->SetTabStop(s.DefaultButton != -1);
            link->OnClick = [this](fw::TComponent* sender) { ButtonClick(sender); };
            CustomButtonList.push_back(link);
        }
        canvas.Font().Assign(*font_);
    }

    // 6. the lone OK button
    if (CommonButtonList.empty() && CustomButtonList.empty()) {
        widthCache[0] = SingleLineWidth(canvas, L"OK", reading) + 8;
        fw::TWinControl* button = c->CreateButton(this);
        button->SetName(L"OK");
        button->SetParent(this);
        c->SetButtonText(button, L"OK");
        c->SetButtonModalResult(button, IdOK);
        c->SetButtonDefault(button, true);
        if (options_.Contains(doAllowDialogCancel)) c->SetButtonCancel(button, true);
        button->SetBounds(0, 0, std::max(widthCache[0], 60), u.ButtonHeight);
        button->SetTag(1);
        commonRow_ += button->Width() + u.ButtonGap;
        CommonButtonList.push_back(button);
    }

    // 7. instruction
    fw::TFont instrFont;
    instrFont.Assign(*font_);
    instrFont.SetSize(11);
    instrFont.SetStyle(fw::fsBold);
    int instrW = 0, instrH = 0;
    if (!s.Instruction.empty()) {
        canvas.Font().Assign(instrFont);
        RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
        fw::SelectGuard f(canvas.Handle(), canvas.Font().Handle());
        DrawTextW(canvas.Handle(), s.Instruction.c_str(), static_cast<int>(s.Instruction.size()), &r,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | reading);
        instrW = r.right;
        instrH = r.bottom;
        canvas.Font().Assign(*font_);
    }
    static const int iconIds[] = {0x7F04, 0x7F03, 0x7F02, 0x7F01, 0x7F04, 0, 0x7F01};
    const int iconId = iconIds[s.Icon];
    headerWidth_ = instrW + (iconId != 0 ? u.HSpacing + 32 : 0);

    // 8. icon
    if (iconId != 0 || !c->CustomIcon().Empty()) {
        IconImage = new TTdImage(this);
        IconImage->SetName(L"Image");
        IconImage->SetParent(this);
        if (!c->CustomIcon().Empty()) {
            IconImage->SetIcon(CopyIcon(c->CustomIcon().Handle()), true);
        } else if (s.Icon == tiBlank) {
            // A blank square in the window's colour: nothing to draw.
        } else if (s.Icon == tiShield) {
            LoadTaskDialogPicture(L"TD_SHIELD", IconImage->Bitmap());
        } else {
            IconImage->SetIcon(LoadSystemIcon(iconId, 32), false);
        }
        IconImage->SetBounds(u.HMargin, y, 32, 32);
    }

    // 9. instruction label
    InstructionLabel = new TTdLabel(this);
    InstructionLabel->SetName(L"Instr");
    InstructionLabel->SetParent(this);
    InstructionLabel->SetCaption(s.Instruction);
    InstructionLabel->Font().Assign(instrFont);
    InstructionLabel->Font().SetColor(kInstructionColor);
    InstructionLabel->SetBiDiMode(BiDiMode());
    const int labelLeft = u.HMargin + (iconId != 0 ? u.HSpacing + 32 : 0);
    InstructionLabel->SetBounds(labelLeft, y, instrW, instrH);
    y += instrH + u.VSpacing;
    ContentLeft = labelLeft;

    // 10. timer
    if (options_.Contains(doTimer) || s.AutoClose || options_.Contains(doProgressBarMarquee) ||
        options_.Contains(doProgressBar)) {
        TickTimer = new fw::TTimer(this);
        TickTimer->SetInterval(100);
        TickTimer->OnTimer = [this](fw::TComponent* sender) { TimerTick(sender); };
        TickTimer->SetEnabled(true);
    }

    // 11. progress bar
    if (options_.Contains(doProgressBar)) {
        ProgressBar = new fw::TProgressBar(this);
        ProgressBar->SetName(L"ProgressBar");
        ProgressBar->SetParent(this);
        ProgressBar->SetBounds(u.HMargin, y, 100, 12);
        ProgressBar->SetRange(s.ProgressBarMin, s.ProgressBarMax);
        ProgressBar->SetPosition(0);
        if (options_.Contains(doProgressBarMarquee)) ProgressBar->SetMarquee(true);
    }

    // 12. radio buttons
    if (!s.RadioButtons.empty()) {
        c->RadioButtonResult = options_.Contains(doNoDefaultRadioButton) ? 0 : s.DefaultRadioButton;
        for (size_t i = 0; i < s.RadioButtons.size(); ++i) {
            fw::TWinControl* radio = c->CreateRadioButton(this);
            RadioButtonList.push_back(radio);
            c->InitRadioButton(this, radio, [this](fw::TComponent* sender) { RadioButtonClick(sender); },
                               static_cast<int>(i));
            radio->SetColor(color_);
            const int left = ContentLeft + u.HMargin;
            radio->SetBounds(left, y, std::max(Width() - left - 4, 60), 17);
            c->SetControlText(radio, s.RadioButtons[i]);
            minWidth_ = std::max(minWidth_, left + CaptionWidth(s.RadioButtons[i]) + u.HMargin + 20);
            bool checked;
            if (options_.Contains(doNoDefaultRadioButton)) {
                checked = false;
            } else if (s.DefaultRadioButton > 0) {
                checked = RadioButtonBase + static_cast<int>(i) == s.DefaultRadioButton;
            } else {
                checked = i == 0;
            }
            c->SetRadioButtonChecked(radio, checked);
        }
    }

    // 13. expanded text
    if (!s.ExpandedText.empty()) {
        ExpandButton = new TTaskDialogButton(this);
        ExpandButton->SetName(L"ExpandButton");
        ExpandButton->SetParent(this);
        ExpandButton->SetModalResult(0);
        ExpandButton->SetBounds(0, 0, 19, 19);
        ExpandButton->OnClick = [this](fw::TComponent* sender) { ExpandButtonClick(sender); };
        ExpandButton->SetPictures(L"TD_COLP", L"TD_COLPHOT", L"TD_COLPDOWN", nullptr);
        ExpandButton->SetTabStop(true);
        if (!s.CommonButtons.Empty()) ExpandButton->SetBackColor(0xF0F0F0);
        const TTdSize size = MeasureHtml(PreparedText(s.ExpandedText, true), 300 - u.HMargin);
        ExpandedTextWidth = size.Width;
        ExpandedTextHeight = size.Height;
    }

    // 14. verification
    verifyWidth_ = 0;
    if (!s.VerificationText.empty()) {
        VerifyCheckBox = new TTdCheckButton(this, false);
        VerifyCheckBox->SetName(L"Verification");
        VerifyCheckBox->SetParent(this);
        VerifyCheckBox->SetBiDiMode(BiDiMode());
        VerifyCheckBox->SetCaption(s.VerificationText);
        VerifyCheckBox->SetColor(FooterColor);
        VerifyCheckBox->SetChecked(options_.Contains(doVerifyChecked));
        c->VerifyResult = options_.Contains(doVerifyChecked);
        VerifyCheckBox->OnClick = [this](fw::TComponent* sender) { VerificationClick(sender); };
        const int w = CaptionWidth(s.VerificationText);
        verifyWidth_ = 2 * u.VSpacing + w;
        minWidth_ = std::max(minWidth_, u.HMargin + w);
    }

    // 15. footer
    FooterTextWidth = FooterTextHeight = 0;
    if (!s.Footer.empty()) {
        const TTdSize size = MeasureHtml(PreparedText(s.Footer, true), 300 - u.HMargin);
        FooterTextWidth = size.Width;
        FooterTextHeight = size.Height;
        static const int footerIds[] = {0, 0x7F03, 0x7F02, 0x7F01, 0x7F04, 0x7F05};
        FooterIconId = footerIds[s.FooterIcon];
        if (FooterIconId != 0) {
            FooterImage = new TTdImage(this);
            FooterImage->SetName(L"FooterImage");
            FooterImage->SetBounds(u.HMargin, y, 16, 16);
            FooterImage->SetVisible(false);
            FooterImage->SetParent(this);
        }
    }

    // 16. row width and input control
    int rowWidth = commonRow_ + customRow_ + verifyWidth_;
    if (ExpandButton) {
        rowWidth += ExpandButton->Width() + u.HSpacing +
                    std::max(CaptionWidth(s.CollapsControlText), CaptionWidth(s.ExpandControlText)) + u.HSpacing;
    }
    if (s.Content.empty()) y -= 20;
    const int inputLeft = labelLeft;
    fw::TWinControl* input = nullptr;
    if (c->InputKind == ikEdit) {
        InputEdit = new fw::TEdit(this);
        InputEdit->SetName(L"InputEdit");
        input = InputEdit;
    } else if (c->InputKind == ikMemo) {
        InputMemo = new TTdMemo(this);
        InputMemo->SetName(L"InputMemo");
        input = InputMemo;
    } else if (c->InputKind == ikComboEdit || c->InputKind == ikComboList) {
        InputCombo = new TTdComboBox(this, c->InputKind == ikComboList);
        InputCombo->SetName(L"InputCombo");
        InputCombo->Items = c->InputItems.Items();
        InputCombo->DropDownCount = c->InputDropDownCount;
        input = InputCombo;
    } else if (c->InputKind == ikDate) {
        InputDatePicker = new TTdDatePicker(this);
        InputDatePicker->SetName(L"InputDatePicker");
        InputDatePicker->SetDateText(c->InputText);
        input = InputDatePicker;
    }
    if (input) {
        input->SetParent(this);
        input->SetTabStop(true);
        input->SetBounds(inputLeft, y + 20, 100, InputMemo ? 60 : InputCombo ? 200 : 20);
        if (InputEdit) InputEdit->SetText(c->InputText);
        if (InputMemo) InputMemo->SetText(c->InputText);
        if (InputCombo) InputCombo->SetText(c->InputText);
    } else if (c->InputKind == ikCustom && c->InputControl()) {
        fw::TWinControl* control = c->InputControl();
        SavedInputParent = control->Parent();
        control->SetParent(this);
        control->SetVisible(true);
        if (c->OnDialogInputSetText) {
            c->OnDialogInputSetText(c, c->InputText);
        } else {
            control->SetCaption(c->InputText);
        }
        control->SetTabStop(true);
        control->SetTop(y + 20);
        control->SetLeft(inputLeft);
    }

    // 17. client width
    TClientWidthInput wi;
    wi.HeaderWidth = headerWidth_;
    wi.RowWidth = rowWidth;
    wi.FooterTextWidth = FooterTextWidth;
    wi.ExpandedTextWidth = ExpandedTextWidth;
    wi.HMargin = u.HMargin;
    wi.MinWidth = minWidth_;
    wi.FormMinWidth = MinWidth;
    wi.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    wi.EdgeWidth = GetSystemMetrics(SM_CYEDGE);
    const int clientWidth = EmulatedClientWidth(wi);
    SetClient(clientWidth, 100);
    if (input) input->SetWidth(clientWidth - inputLeft - u.HMargin);
    if (c->InputKind == ikCustom && c->InputControl()) {
        fw::TWinControl* control = c->InputControl();
        if (control->Width() > clientWidth - inputLeft) control->SetWidth(clientWidth - inputLeft);
    }
    if (ProgressBar) ProgressBar->SetWidth(clientWidth - 2 * u.HMargin);

    // 18.
    ArrangeControls();
    if (!s.ExpandedText.empty()) SetExpanded(options_.Contains(doExpandedDefault));
    SetBounds(GetSystemMetrics(SM_CXSCREEN) / 2 - Width() / 2, GetSystemMetrics(SM_CYSCREEN) / 2 - Height() / 2,
              Width(), Height());
}

TArrangeInput TKelMessageForm::ArrangeInput() {
    const TTaskDialogSettings s = component_->Settings();
    TArrangeInput in;
    in.Units = Units;
    in.ClientWidth = clientWidth_;
    in.FormWidth = Width();
    in.HasInstruction = !InstructionLabel->Caption().empty();
    in.InstructionHeight = InstructionLabel->Height();
    in.HasIcon = IconImage != nullptr;
    if (IconImage) in.Icon = {IconImage->Left(), IconImage->Top(), IconImage->Left() + 32, IconImage->Top() + 32};
    in.HasContent = !s.Content.empty();
    in.RadioCount = static_cast<int>(RadioButtonList.size());
    in.RadioHeight = RadioButtonList.empty() ? 0 : RadioButtonList[0]->Height();
    in.CommandLinks = options_.Contains(doCommandLinks);
    for (auto* control : CustomButtonList) {
        if (in.CommandLinks) {
            in.LinkHeights.push_back(control->Height());
            in.LinkLefts.push_back(control->Left());
        } else {
            in.CustomButtonWidths.push_back(control->Width());
        }
    }
    for (auto* control : CommonButtonList) in.CommonButtonWidths.push_back(control->Width());
    in.InputKind = component_->InputKind;
    if (!InputEdit && !InputMemo && !InputCombo && !InputDatePicker && in.InputKind != ikCustom) in.InputKind = ikNone;
    if (in.InputKind == ikCustom && component_->InputControl()) in.CustomInputHeight = component_->InputControl()->Height();
    in.ProgressBar = ProgressBar != nullptr;
    in.HasExpandedText = ExpandButton != nullptr;
    in.Expanded = expanded_;
    in.ExpandedFooter = options_.Contains(doExpandedFooter);
    in.HasVerification = VerifyCheckBox != nullptr;
    in.VerificationTextWidth = VerifyCheckBox ? CaptionWidth(s.VerificationText) : 0;
    in.CheckBoxHeight = VerifyCheckBox ? VerifyCheckBox->Height() : 0;
    in.HasFooter = !s.Footer.empty();
    in.HasFooterImage = FooterImage != nullptr;
    const std::wstring content = PreparedText(s.Content, false);
    const std::wstring expanded = PreparedText(s.ExpandedText, true);
    const std::wstring footer = PreparedText(s.Footer, true);
    in.MeasureContent = [this, content](int w) { return MeasureHtml(content, w); };
    in.MeasureExpanded = [this, expanded](int w) { return MeasureHtml(expanded, w); };
    in.MeasureFooter = [this, footer](int w) {
        TTdSize size = MeasureHtml(footer, w);
        if (!options_.Contains(doHyperlinks)) size.Width = std::min(size.Width, w);
        return size;
    };
    return in;
}

void TKelMessageForm::ArrangeControls() {
    if (!component_) return;
    const TArrangeInput in = ArrangeInput();
    const TArrangeResult r = ArrangeTaskDialog(in);
    const TDialogUnits& u = Units;
    InstructionLabel->SetVisible(r.InstructionVisible);
    ContentWidth = r.ContentWidth;
    ContentHeight = r.ContentHeight;
    contentRect_ = in.HasContent ? r.Content : TTdRect{};
    if (InputEdit) InputEdit->SetTop(r.InputTop);
    if (InputMemo) InputMemo->SetTop(r.InputTop);
    if (InputCombo) InputCombo->SetTop(r.InputTop);
    if (InputDatePicker) InputDatePicker->SetTop(r.InputTop);
    if (component_->InputKind == ikCustom && component_->InputControl()) component_->InputControl()->SetTop(r.InputTop);
    if (ProgressBar) ProgressBar->SetTop(r.ProgressBarTop);
    for (size_t i = 0; i < RadioButtonList.size(); ++i) {
        const int left = ContentLeft + u.HMargin;
        RadioButtonList[i]->SetBounds(left, r.RadioTops[i], std::max(r.ClientWidth - left - u.HMargin, 20),
                                      RadioButtonList[i]->Height());
    }
    ExpandedTextWidth = r.ExpandedTextWidth;
    ExpandedTextHeight = r.ExpandedTextHeight;
    ExpandedTop = r.ExpandedTop;
    expandedRect_ = (ExpandButton && expanded_) ? r.Expanded : TTdRect{};
    if (in.CommandLinks) {
        for (size_t i = 0; i < CustomButtonList.size() && i < r.Links.size(); ++i) {
            const TTdRect& l = r.Links[i];
            CustomButtonList[i]->SetBounds(l.Left, l.Top, l.Width(), l.Height());
        }
    } else {
        for (size_t i = 0; i < CustomButtonList.size(); ++i)
            CustomButtonList[i]->SetBounds(r.CustomLefts[i], r.ButtonTop, CustomButtonList[i]->Width(), u.ButtonHeight);
    }
    for (size_t i = 0; i < CommonButtonList.size(); ++i)
        CommonButtonList[i]->SetBounds(r.CommonLefts[i], r.ButtonTop, CommonButtonList[i]->Width(), u.ButtonHeight);
    if (ExpandButton) ExpandButton->SetBounds(r.ExpandButtonLeft, r.ExpandButtonTop, 19, 19);
    if (VerifyCheckBox) {
        VerifyCheckBox->SetBounds(r.Verification.Left, r.Verification.Top, r.Verification.Width(),
                                  VerifyCheckBox->Height());
    }
    FooterTextWidth = r.FooterTextWidth;
    FooterTextHeight = r.FooterTextHeight;
    if (FooterImage) FooterImage->SetTop(r.FooterImageTop);
    footerRect_ = in.HasFooter ? r.Footer : TTdRect{};
    FooterBandTop = r.FooterBandTop;
    SetClient(r.ClientWidth, r.ClientHeight);
    Invalidate();
}

void TKelMessageForm::UpdateTexts() {
    if (!component_) return;
    const TTaskDialogSettings s = component_->Settings();
    const TDialogUnits& u = Units;
    caption_ = s.Title.empty() ? ExeNameWithoutExt() : s.Title;
    SetCaption(caption_);
    minWidth_ = CaptionWidth(caption_) + 50;
    // The instruction, measured as at the build.
    {
        MeasureCanvas m(*font_);
        m.Canvas().Font().Assign(InstructionLabel->Font());
        RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
        if (!s.Instruction.empty()) {
            fw::SelectGuard f(m.DC(), m.Canvas().Font().Handle());
            DrawTextW(m.DC(), s.Instruction.c_str(), static_cast<int>(s.Instruction.size()), &r,
                      DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        } else {
            r.right = r.bottom = 0;
        }
        InstructionLabel->SetCaption(s.Instruction);
        InstructionLabel->SetBounds(InstructionLabel->Left(), InstructionLabel->Top(), r.right, r.bottom);
        headerWidth_ = r.right + (IconImage ? u.HSpacing + 32 : 0);
    }
    for (auto* radio : RadioButtonList)
        minWidth_ = std::max(minWidth_, radio->Left() + CaptionWidth(radio->Caption()) + u.HMargin + 20);
    if (VerifyCheckBox) minWidth_ = std::max(minWidth_, VerifyCheckBox->Left() + CaptionWidth(s.VerificationText));
    const TTdSize footer = s.Footer.empty() ? TTdSize{} : MeasureHtml(PreparedText(s.Footer, true), 300 - u.HMargin);
    FooterTextWidth = footer.Width;
    FooterTextHeight = footer.Height;
    int rowWidth = 0;
    for (auto* b : CommonButtonList) rowWidth += b->Width() + u.ButtonGap;
    if (!options_.Contains(doCommandLinks)) {
        for (auto* b : CustomButtonList) rowWidth += b->Width() + u.ButtonGap;
    }
    if (ExpandButton) {
        rowWidth += ExpandButton->Width() + u.HSpacing +
                    std::max(CaptionWidth(s.CollapsControlText), CaptionWidth(s.ExpandControlText)) + u.HSpacing;
    }
    const int width = std::max({rowWidth, headerWidth_, FooterTextWidth}) + 2 * u.HMargin;
    clientWidth_ = std::max({width, minWidth_, MinWidth});
    if (ProgressBar) ProgressBar->SetWidth(clientWidth_ - 2 * u.HMargin);
    ArrangeControls();
    Invalidate();
}

void TKelMessageForm::SetExpanded(bool value) {
    if (ExpandButton && value != expanded_) {
        if (value) {
            ExpandButton->SetPictures(L"TD_COLP", L"TD_COLPHOT", L"TD_COLPDOWN", nullptr);
        } else {
            ExpandButton->SetPictures(L"TD_EXP", L"TD_EXPHOT", L"TD_EXPDOWN", nullptr);
        }
    }
    expanded_ = value;
    ArrangeControls();
    Invalidate();
}

void TKelMessageForm::ExpandButtonClick(fw::TComponent* /*sender*/) {
    if (ExpandButton) SetExpanded(!expanded_);
}

TTdRect TKelMessageForm::GetContentRect() const { return contentRect_; }
TTdRect TKelMessageForm::GetExpandedTextRect() const { return expanded_ ? expandedRect_ : TTdRect{}; }
TTdRect TKelMessageForm::GetFooterRect() const { return footerRect_; }

std::wstring TKelMessageForm::LinkAtPoint(int x, int y) {
    if (!component_ || !options_.Contains(doHyperlinks)) return {};
    const TTaskDialogSettings s = component_->Settings();
    const auto inside = [&](const TTdRect& r) {
        return r.Left >= 0 && x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
    };
    std::wstring text;
    TTdRect rect;
    TTdRect footer = footerRect_;
    if (FooterImage && footer.Left >= 0) footer.Left += 20;
    if (inside(footer)) {
        text = s.Footer;
        rect = footer;
    } else if (inside(contentRect_)) {
        text = s.Content;
        rect = contentRect_;
    } else if (inside(GetExpandedTextRect())) {
        text = s.ExpandedText;
        rect = expandedRect_;
    } else {
        return {};
    }
    MeasureCanvas m(*font_);
    THtmlParams p;
    p.Text = HtmlLineBreaks(text);
    p.Rect = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    p.HitX = x;
    p.HitY = y;
    p.ShadowOffset = 1;
    p.HitTestOnly = true;
    p.SelectedMode = true;
    p.LinkColor = 0xFF0000;
    p.ShadowColor = 0x808080;
    THtmlResults res;
    if (!RenderHtmlText(m.Canvas(), p, res)) return {};
    return res.AnchorHref;
}

void TKelMessageForm::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    fw::TForm::MouseDown(button, shift, x, y);
    if (!component_ || button != fw::TMouseButton::mbLeft) return;
    const std::wstring href = LinkAtPoint(x, y);
    if (!href.empty()) component_->DoHyperlinkClick(nullptr, href);
}

void TKelMessageForm::MouseMove(fw::TShiftState shift, int x, int y) {
    static HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const std::wstring href = LinkAtPoint(x, y);
    if (!href.empty()) {
        if (Cursor() != hand || href != HoverHref) {
            HoverHref = href;
            SetCursor(hand);
            ::SetCursor(hand);
        }
    } else if (Cursor() == hand) {
        SetCursor(nullptr);
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
    fw::TForm::MouseMove(shift, x, y);
}

// -- painting

void TKelMessageForm::PaintWindow(HDC dc) {
    fw::TForm::PaintWindow(dc);
    if (!component_) return;
    const TTaskDialogSettings s = component_->Settings();
    const TDialogUnits& u = Units;
    RECT client = ClientRect();
    const int cw = client.right, ch = client.bottom;
    if (FooterBandTop > 0) {
        RECT band{0, FooterBandTop - u.VSpacing / 2, cw, ch};
        if (band.top < ch) {
            fw::GdiObject<HBRUSH> brush(CreateSolidBrush(fw::ToColorRef(FooterColor)));
            FillRect(dc, &band, brush.get());
            fw::GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, fw::ToColorRef(FooterLineColor)));
            fw::SelectGuard sp(dc, pen.get());
            MoveToEx(dc, 0, band.top, nullptr);
            LineTo(dc, cw, band.top);
        }
    }
    if (!IsWindowsVistaOrLater()) {
        fw::GdiObject<HBRUSH> frame(CreateSolidBrush(0x808080));
        RECT r{1, 1, cw - 1, ch - 1};
        FrameRect(dc, &r, frame.get());
    }
    fw::SelectGuard font(dc, font_->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0);
    const auto drawText = [&](const std::wstring& text, const TTdRect& rect, bool always) {
        if (rect.Left < 0 || text.empty()) return;
        const std::wstring prepared = PreparedText(text, always);
        if (options_.Contains(doHyperlinks)) {
            DrawHtml(dc, prepared, rect);
        } else {
            RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
            DrawTextW(dc, prepared.c_str(), static_cast<int>(prepared.size()), &r,
                      DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER);
        }
    };
    drawText(s.Content, contentRect_, false);
    if (expanded_) drawText(s.ExpandedText, expandedRect_, true);
    if (ExpandButton) {
        const std::wstring& caption = expanded_ ? s.ExpandControlText : s.CollapsControlText;
        RECT r{ExpandButton->Left() + ExpandButton->Width() + u.HSpacing - 5, ExpandButton->Top(), cw,
               ExpandButton->Top() + ExpandButton->Height()};
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_SINGLELINE | DT_VCENTER);
    }
    if (footerRect_.Left >= 0) {
        const int lineY = footerRect_.Top - u.VSpacing;
        fw::GdiObject<HPEN> grey(CreatePen(PS_SOLID, 1, 0xDFDFDF));
        fw::GdiObject<HPEN> white(CreatePen(PS_SOLID, 1, 0xFFFFFF));
        {
            fw::SelectGuard sp(dc, grey.get());
            MoveToEx(dc, 2, lineY, nullptr);
            LineTo(dc, cw - 3, lineY);
        }
        {
            fw::SelectGuard sp(dc, white.get());
            MoveToEx(dc, 2, lineY + 1, nullptr);
            LineTo(dc, cw - 3, lineY + 1);
        }
        TTdRect text = footerRect_;
        if (FooterImage) {
            if (s.FooterIcon == tfiShield) {
                fw::TBitmap shield;
                LoadTaskDialogPicture(L"TD_SHIELD", shield);
                StretchTransparentPicture(dc, footerRect_.Left, footerRect_.Top, 16, 16, shield);
            } else if (HICON icon = LoadSystemIcon(FooterIconId, 16)) {
                DrawIconEx(dc, footerRect_.Left, footerRect_.Top, icon, 16, 16, 0, nullptr, DI_NORMAL);
            }
            text.Left += 20;
        }
        drawText(s.Footer, text, true);
    }
}

// -- events

void TKelMessageForm::ButtonClick(fw::TComponent* sender) {
    if (!component_) return;
    const auto it = std::find(CustomButtonList.begin(), CustomButtonList.end(), sender);
    if (it != CustomButtonList.end()) {
        component_->DoButtonClick(CustomButtonBase + static_cast<int>(it - CustomButtonList.begin()));
    } else if (auto* control = dynamic_cast<fw::TWinControl*>(sender)) {
        component_->DoButtonClick(component_->GetButtonModalResult(control));
    }
}

void TKelMessageForm::RadioButtonClick(fw::TComponent* sender) {
    const auto it = std::find(RadioButtonList.begin(), RadioButtonList.end(), sender);
    if (it == RadioButtonList.end() || !component_) return;
    component_->RadioButtonResult = RadioButtonBase + static_cast<int>(it - RadioButtonList.begin());
    component_->DoRadioClick(component_->RadioButtonResult);
}

void TKelMessageForm::VerificationClick(fw::TComponent* /*sender*/) {
    if (!component_ || !VerifyCheckBox) return;
    component_->VerifyResult = VerifyCheckBox->Checked();
    component_->DoVerifyClick(component_->VerifyResult);
}

void TKelMessageForm::TimerTick(fw::TComponent* /*sender*/) {
    if (!component_) return;
    const TTaskDialogSettings s = component_->Settings();
    const bool due = TimerTickDue(component_->ElapsedTime, s.AutoClose, s.AutoCloseTimeOut);
    if (options_.Contains(doTimer)) component_->DoTimer();
    if (component_->OnDialogProgress && ProgressBar) {
        int pos = ProgressBar->Position();
        TTaskDialogProgressState state = psNormal;
        component_->DoProgress(pos, state);
        ProgressBar->SetPosition(pos);
    }
    if (due) component_->CloseDialog();
}

void TKelMessageForm::CloseByDefault() {
    if (!component_ || ModalResult() != fw::mrNone) return;
    const int id = AutoCloseButton(component_->Settings());
    for (auto* list : {&CustomButtonList, &CommonButtonList}) {
        for (auto* control : *list) {
            int result = component_->GetButtonModalResult(control);
            if (auto* link = dynamic_cast<TTaskDialogButton*>(control)) result = link->ModalResult();
            if (result == id) {
                control->Click();
                return;
            }
        }
    }
    SetModalResult(id);
}

bool TKelMessageForm::CloseQuery() {
    if (!component_) return true;
    const bool canClose = component_->DoCanClose();
    if (InputEdit) {
        component_->InputText = InputEdit->Text();
    } else if (InputMemo) {
        component_->InputText = InputMemo->Text();
    } else if (InputCombo) {
        component_->InputText = InputCombo->Text();
    } else if (InputDatePicker) {
        component_->InputText = InputDatePicker->DateText();
    } else if (component_->InputKind == ikCustom && component_->InputControl()) {
        fw::TWinControl* control = component_->InputControl();
        if (component_->OnDialogInputGetText) {
            std::wstring text;
            component_->OnDialogInputGetText(this, text);
            component_->InputText = text;
        } else {
            wchar_t buffer[513] = {};
            if (control->HandleAllocated()) GetWindowTextW(control->Handle(), buffer, 513);
            component_->InputText = buffer;
        }
        if (canClose) {
            control->SetVisible(false);
            control->SetParent(SavedInputParent);
        }
    }
    return canClose;
}

void TKelMessageForm::DoShow() {
    fw::TForm::DoShow();
    if (!component_) return;
    const TTaskDialogSettings s = component_->Settings();
    const int index = s.DefaultButton - CustomButtonBase;
    fw::TWinControl* focus = nullptr;
    if (index >= 0 && index < static_cast<int>(CustomButtonList.size())) {
        focus = CustomButtonList[static_cast<size_t>(index)];
    } else if (s.CommonButtons.Empty() && !CustomButtonList.empty() && s.DefaultButton < CustomButtonBase) {
        focus = CustomButtonList[0];
    } else {
        for (auto* b : CommonButtonList) {
            if (b->Tag() == 1 && b->CanFocus()) focus = b;
        }
    }
    if (focus && focus->CanFocus()) focus->SetFocus();
    for (fw::TWinControl* input : {static_cast<fw::TWinControl*>(InputEdit), static_cast<fw::TWinControl*>(InputMemo),
                                   static_cast<fw::TWinControl*>(InputCombo),
                                   static_cast<fw::TWinControl*>(InputDatePicker)}) {
        if (input && input->CanFocus()) input->SetFocus();
    }
    if (component_->InputKind == ikCustom && component_->InputControl() && component_->InputControl()->CanFocus())
        component_->InputControl()->SetFocus();
}

LRESULT TKelMessageForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The system close (Alt+F4 included) cancels, so only where cancelling is allowed.
    if (msg == WM_CLOSE && !options_.Contains(doAllowDialogCancel)) return 0;
    if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return fw::TForm::WndProc(msg, wParam, lParam);
}

// -- keys

void TKelMessageForm::FormKeyDown(fw::TComponent* /*sender*/, WORD& key, fw::TShiftState shift) {
    if (key == VK_F4 && (shift & fw::ssAlt)) {
        key = 0;
        return;
    }
    if (key == 'C' && (shift & (fw::ssCtrl | fw::ssShift | fw::ssAlt)) == fw::ssCtrl) {
        MessageBeep(0);
        CopyToClipboard(GetCopyText());
    }
}

void TKelMessageForm::KeyDown(WORD& key, fw::TShiftState shift) {
    fw::TForm::KeyDown(key, shift);
    if (key == 0 || !component_) return;
    if (key == VK_F1) {
        component_->ShowHelp();
    } else if (key == 'C' && (shift & fw::ssCtrl)) {
        fw::Clipboard().SetAsText(CopyDialogText(component_->Title(), component_->Instruction(), component_->Content()));
    } else if (key == VK_ESCAPE) {
        // Esc ends the dialog only where cancelling is allowed.
        if (options_.Contains(doAllowDialogCancel)) SetModalResult(IdCancel);
        key = 0;
    }
}

bool TKelMessageForm::OnAccelerator(wchar_t ch) {
    if (!component_) return false;
    const auto hasAccel = [ch](const std::wstring& caption) {
        for (size_t i = 0; i + 1 < caption.size(); ++i) {
            if (caption[i] == L'&') {
                if (caption[i + 1] == L'&') {
                    ++i;
                    continue;
                }
                return CharUpperW(reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(caption[i + 1]))) ==
                       CharUpperW(reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(ch)));
            }
        }
        return false;
    };
    if (options_.Contains(doCommandLinks)) {
        for (auto* link : CustomButtonList) {
            if (hasAccel(link->Caption()) && CanFocus()) {
                link->Click();
                return true;
            }
        }
    } else if (ExpandButton) {
        const std::wstring& caption = expanded_ ? component_->ExpandControlText() : component_->CollapsControlText();
        if (hasAccel(caption)) {
            SetExpanded(!expanded_);
            return true;
        }
    }
    return false;
}

std::wstring TKelMessageForm::GetCopyText() {
    std::vector<std::wstring> captions;
    for (int i = 0; i < ComponentCount(); ++i) {
        if (auto* b = dynamic_cast<fw::TButton*>(Component(i))) captions.push_back(b->Caption());
    }
    return CopySummaryText(caption_, InstructionLabel ? InstructionLabel->Caption() : std::wstring(), captions);
}

void TKelMessageForm::CopyToClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) {
        wchar_t buffer[512] = {};
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, buffer,
                       512, nullptr);
        std::wstring reason = buffer;
        while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) reason.pop_back();
        throw fw::Exception(L"Cannot open clipboard: " + reason);
    }
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
    if (block) {
        if (void* p = GlobalLock(block)) {
            memcpy(p, text.c_str(), bytes);
            GlobalUnlock(block);
        }
        EmptyClipboard();
        if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    }
    CloseClipboard();
}

// -- creating and showing

TKelMessageForm* CreateEmulatedTaskDialog(TCustomKelTaskDialog* c) {
    if (!c) return nullptr;
    auto* ownerForm = dynamic_cast<fw::TForm*>(c->Owner());
    fw::TComponent* owner = (ownerForm && !c->ApplicationIsParent()) ? static_cast<fw::TComponent*>(ownerForm)
                                                                       : static_cast<fw::TComponent*>(fw::Application);
    auto* form = new TKelMessageForm(owner);
    form->options_ = c->RunOptions();
    form->SetBiDiMode(fw::TBiDiMode::bdLeftToRight);
    form->SetBorderStyle(form->options_.Contains(doAllowMinimize) ? fw::TFormBorderStyle::bsSingle
                                                                  : fw::TFormBorderStyle::bsDialog);
    if ((!c->ApplicationIsParent() && ownerForm && ownerForm->FormStyle() == fw::TFormStyle::fsStayOnTop) ||
        c->StayOnTop)
        form->SetFormStyle(fw::TFormStyle::fsStayOnTop);
    form->SetKeyPreview(true);
    form->OnKeyDown = [form](fw::TComponent* sender, WORD& key, fw::TShiftState shift) {
        form->FormKeyDown(sender, key, shift);
    };
    form->FooterColor = c->FooterColor;
    form->FooterLineColor = c->FooterLineColor;
    form->MinWidth = c->NonNativeMinFormWidth();
    form->BuildControls(c);
    return form;
}

int ShowEmulatedTaskDialog(TCustomKelTaskDialog* c, int x, int y) {
    if (!c) return -1;
    TKelMessageForm* form = CreateEmulatedTaskDialog(c);
    struct Cleanup {
        TCustomKelTaskDialog* c;
        TKelMessageForm* form;
        ~Cleanup() {
            c->EmulationForm = nullptr;
            c->DialogHandle = nullptr;
            form->Free();
        }
    } cleanup{c, form};
    form->OnShow = [c](fw::TComponent* sender) { c->EmulatedDialogCreated(sender); };
    c->EmulationForm = form;
    form->SetColor(kWindowWhite);
    if (x >= 0) form->SetLeft(x);
    if (y >= 0) form->SetTop(y);
    if (x < 0 && y < 0) {
        auto* ownerForm = dynamic_cast<fw::TForm*>(c->Owner());
        if (c->DialogPosition() == dpOwnerFormCenter && ownerForm && ownerForm->HandleAllocated()) {
            RECT o{};
            GetWindowRect(ownerForm->Handle(), &o);
            form->SetBounds((o.left + o.right) / 2 - form->Width() / 2, (o.top + o.bottom) / 2 - form->Height() / 2,
                            form->Width(), form->Height());
        } else {
            form->SetBounds(GetSystemMetrics(SM_CXSCREEN) / 2 - form->Width() / 2,
                            GetSystemMetrics(SM_CYSCREEN) / 2 - form->Height() / 2, form->Width(), form->Height());
        }
    }
    return form->ShowModal();
}

}  // namespace kel::taskdialog
