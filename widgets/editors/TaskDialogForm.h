// TKelMessageForm: the task dialog's own modal form where the system has no
// task dialog, built in code for each execution; TTaskDialogButton: its
// owner-drawn command link and expand button.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/gui/forms.h"
#include "framework/gui/std_button.h"
#include "framework/gui/std_edit.h"
#include "framework/gui/std_label.h"
#include "framework/gui/std_progress_bar.h"
#include "framework/gui/timer.h"
#include "widgets/editors/TaskDialog.h"

namespace kel::taskdialog {

// A check box or radio button: Windows' BUTTON class as it is.
class TTdCheckButton : public fw::TWinControl {
public:
    TTdCheckButton(fw::TComponent* owner, bool radio);
    bool Radio() const { return radio_; }
    bool Checked() const;
    void SetChecked(bool v);

protected:
    void CreateParams(fw::TCreateParams& params) override;
    void CreateHandleDone() override;
    bool CommandNotify(WORD code) override;
    HBRUSH ColorReflect(UINT msg, HDC dc) override;

private:
    bool radio_;
    bool checked_ = false;
    fw::GdiObject<HBRUSH> brush_;
    fw::TColor brushColor_ = fw::clNone;
};

// A multi-line edit whose Enter goes to the form.
class TTdMemo : public fw::TEdit {
public:
    explicit TTdMemo(fw::TComponent* owner) : fw::TEdit(owner) {}

protected:
    void CreateParams(fw::TCreateParams& params) override;
    bool WantsDialogKey(WORD key) override { return key != VK_RETURN && key != VK_ESCAPE && key != VK_TAB; }
};

// Windows' combo box: an edit with a list, or a list alone.
class TTdComboBox : public fw::TWinControl {
public:
    TTdComboBox(fw::TComponent* owner, bool listOnly);
    std::vector<std::wstring> Items;
    int DropDownCount = 8;
    std::wstring Text() const;
    void SetText(const std::wstring& text);

protected:
    void CreateParams(fw::TCreateParams& params) override;
    void CreateHandleDone() override;

private:
    bool listOnly_;
    std::wstring text_;
};

// Windows' date picker; its text is the date in the short date format.
class TTdDatePicker : public fw::TWinControl {
public:
    explicit TTdDatePicker(fw::TComponent* owner);
    // Takes the date when the text parses as one.
    void SetDateText(const std::wstring& text);
    std::wstring DateText();

protected:
    void CreateParams(fw::TCreateParams& params) override;
    void CreateHandleDone() override;

private:
    SYSTEMTIME date_{};
    bool hasDate_ = false;
};

// A word-wrapping label, without accelerator characters.
class TTdLabel : public fw::TGraphicControl {
public:
    explicit TTdLabel(fw::TComponent* owner) : fw::TGraphicControl(owner) {}

protected:
    void Paint() override;
};

// A static picture: an icon or a bitmap, drawn at its top-left.
class TTdImage : public fw::TGraphicControl {
public:
    explicit TTdImage(fw::TComponent* owner);
    ~TTdImage() override;
    void SetIcon(HICON icon, bool owned);
    fw::TBitmap& Bitmap() { return bitmap_; }
    bool Empty() const { return !icon_ && bitmap_.Empty(); }

protected:
    void Paint() override;

private:
    HICON icon_ = nullptr;
    bool ownsIcon_ = false;
    fw::TBitmap bitmap_;
};

class TTaskDialogButton : public fw::TCustomControl {
public:
    explicit TTaskDialogButton(fw::TComponent* owner);
    ~TTaskDialogButton() override;

    fw::TBitmap& Picture() { return *picture_; }
    fw::TBitmap& PictureHot() { return *pictureHot_; }
    fw::TBitmap& PictureDown() { return *pictureDown_; }
    fw::TBitmap& PictureDisabled() { return *pictureDisabled_; }
    // Loads one of the built-in pictures by resource name ("TD_ARW", ...).
    void SetPictures(const wchar_t* normal, const wchar_t* hot, const wchar_t* down, const wchar_t* disabled);
    fw::TFont& HeadingFont() { return headingFont_; }
    void SetHeadingFont(const fw::TFont& f) { headingFont_.Assign(f); }
    fw::TColor BackColor() const { return backColor_; }
    void SetBackColor(fw::TColor v);
    fw::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(fw::TColor v) { borderColor_ = v; }
    fw::TColor BorderColorHot() const { return borderColorHot_; }
    void SetBorderColorHot(fw::TColor v) { borderColorHot_ = v; }
    fw::TColor BorderColorDown() const { return borderColorDown_; }
    void SetBorderColorDown(fw::TColor v) { borderColorDown_ = v; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    bool Hot() const { return hot_; }
    bool Down() const { return down_; }
    bool FocusOnHover() const { return focusOnHover_; }
    void SetFocusOnHover(bool v) { focusOnHover_ = v; }

    void Click() override;
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyPress(wchar_t& key) override;

protected:
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    bool WantsDialogKey(WORD key) override;

private:
    std::unique_ptr<fw::TBitmap> picture_, pictureHot_, pictureDown_, pictureDisabled_;
    fw::TFont headingFont_;
    fw::TColor backColor_ = fw::clNone;
    fw::TColor borderColor_ = fw::clNone;
    fw::TColor borderColorHot_ = fw::clNone;
    fw::TColor borderColorDown_ = fw::clNone;
    int modalResult_ = 0;
    bool hot_ = false;
    bool down_ = false;
    bool focusOnHover_ = false;
};

class TKelMessageForm : public fw::TForm {
public:
    explicit TKelMessageForm(fw::TComponent* owner);
    ~TKelMessageForm() override;

    void BuildControls(TCustomKelTaskDialog* component);
    void ArrangeControls();
    void UpdateTexts();
    void SetExpanded(bool value);
    bool Expanded() const { return expanded_; }
    std::wstring LinkAtPoint(int x, int y);
    TTdRect GetContentRect() const;
    TTdRect GetExpandedTextRect() const;
    TTdRect GetFooterRect() const;
    void MeasureText(fw::TCanvas& canvas, const std::wstring& text, int& width, int& height);

    void ButtonClick(fw::TComponent* sender);
    void RadioButtonClick(fw::TComponent* sender);
    void VerificationClick(fw::TComponent* sender);
    void ExpandButtonClick(fw::TComponent* sender);
    void TimerTick(fw::TComponent* sender);
    void FormKeyDown(fw::TComponent* sender, WORD& key, fw::TShiftState shift);
    std::wstring GetCopyText();
    void CopyToClipboard(const std::wstring& text);
    // Ends the dialog as its auto close would: with the default button.
    void CloseByDefault();

    // The controls, for the owner and for tests.
    TCustomKelTaskDialog* TaskDialog() const { return component_; }
    TTdLabel* InstructionLabel = nullptr;
    TTaskDialogButton* ExpandButton = nullptr;
    std::vector<fw::TWinControl*> CommonButtonList;
    std::vector<fw::TWinControl*> CustomButtonList;
    std::vector<fw::TWinControl*> RadioButtonList;
    TTdImage* IconImage = nullptr;
    TTdImage* FooterImage = nullptr;
    int FooterIconId = 0;
    TTdCheckButton* VerifyCheckBox = nullptr;
    fw::TProgressBar* ProgressBar = nullptr;
    fw::TTimer* TickTimer = nullptr;
    fw::TEdit* InputEdit = nullptr;
    TTdMemo* InputMemo = nullptr;
    TTdComboBox* InputCombo = nullptr;
    TTdDatePicker* InputDatePicker = nullptr;
    TDialogUnits Units;
    int ContentWidth = 0, ContentHeight = 0;
    int ExpandedTextWidth = 0, ExpandedTextHeight = 0;
    int FooterTextWidth = 0, FooterTextHeight = 0;
    int ExpandedTop = 0;
    int FooterBandTop = 0;
    int ContentLeft = 0;
    int MinWidth = 350;
    std::wstring HoverHref;
    fw::TWinControl* SavedInputParent = nullptr;
    fw::TColor FooterColor = 0xF0F0F0;
    fw::TColor FooterLineColor = 0xDFDFDF;

    void KeyDown(WORD& key, fw::TShiftState shift) override;
    bool CloseQuery() override;
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseMove(fw::TShiftState shift, int x, int y) override;

protected:
    void CreateParams(fw::TCreateParams& params) override;
    void PaintWindow(HDC dc) override;
    void DoShow() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    friend TKelMessageForm* CreateEmulatedTaskDialog(TCustomKelTaskDialog* component);
    void ComputeUnits();
    std::wstring PreparedText(const std::wstring& text, bool always) const;
    TTdSize MeasureHtml(const std::wstring& text, int boxWidth);
    void DrawHtml(HDC dc, const std::wstring& text, const TTdRect& rect);
    bool OnAccelerator(wchar_t ch);
    int CaptionWidth(const std::wstring& text);
    TArrangeInput ArrangeInput();
    int ClientW() const { return clientWidth_; }
    void SetClient(int width, int height);

    TCustomKelTaskDialog* component_ = nullptr;
    TTaskDialogOptions options_;
    bool expanded_ = true;
    int headerWidth_ = 0;
    int minWidth_ = 0;
    int verifyWidth_ = 0;
    std::wstring caption_;
    TTdRect footerRect_;
    TTdRect contentRect_;
    TTdRect expandedRect_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int commonRow_ = 0;
    int customRow_ = 0;
};

}  // namespace kel::taskdialog
