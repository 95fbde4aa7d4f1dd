// ToruMessageDialogForm: Brimlet's own message box. A borderless, rounded,
// themed window with a title line, a 32 x 32 picture, a bold main text, a
// smaller sub text and one or two glow buttons; one instance is made at
// start-up and shown modally for every message.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gui/forms.h"
#include "framework/gui/image_list.h"
#include "framework/gui/std_label.h"
#include "widgets/buttons/KelGlowButton.h"
#include "widgets/buttons/KelSmoothPanel.h"

namespace oru {

// The answer of the last box: -1 none, 0 the right button or the close
// image, 1 the left button.
extern int MessageDialogResult;
// The theme of the box being shown (0 light, 1 dark).
extern int MessageDialogTheme;

// Sets a control's font face, size and style in one call.
void SetControlFont(fw::TControl& control, const wchar_t* name, int size, fw::TFontStyles style);

// A picture: one image of a list, or an icon drawn at the control's size.
class TOruImage : public fw::TGraphicControl {
public:
    explicit TOruImage(fw::TComponent* owner) : fw::TGraphicControl(owner) {}
    fw::TImageList* Images() const { return images_; }
    void SetImages(fw::TImageList* images);
    int ImageIndex() const { return index_; }
    void SetImageIndex(int index);
    void SetIcon(HICON icon);

protected:
    void Paint() override;
    void Notification(fw::TComponent* component, fw::TOperation operation) override;

private:
    fw::TImageList* images_ = nullptr;
    int index_ = -1;
    HICON icon_ = nullptr;
};

class ToruMessageDialogForm : public fw::TForm {
public:
    explicit ToruMessageDialogForm(fw::TComponent* owner);

    // type: 0 information, 1 warning, 2 error (above 2: information; below
    // 0: the title "Message Box" and the picture of the previous box).
    int ShowInfo(int theme, const std::wstring& text, int type);
    // 0 for the right button, 1 for the left one (also when the box is
    // closed without a button).
    int AskQuestion(int theme, const std::wstring& mainText, const std::wstring& rightCaption,
                    const std::wstring& leftCaption, const std::wstring& subText);
    void ApplyTheme(int theme);
    void ResetDialog();
    void LayoutDialog();
    void CenterOnScreen();
    void RepaintDialog();
    // Alpha 198 down to n (n outside 0..198 counts as 32), then opaque.
    static void FadeOut(fw::TForm* form, int n);

    // The form's alpha blending, as the last change left it.
    bool AlphaBlend() const { return alpha_blend_; }
    int AlphaBlendValue() const { return alpha_value_; }
    int LastFadeAlpha() const { return last_fade_alpha_; }

    kel::TKelSmoothPanel* KelSmoothPanel1;
    TOruImage* Image2;
    fw::TLabel* Label1;
    TOruImage* Image1;
    kel::TKelSmoothPanel* KelSmoothPanel2;
    TOruImage* Image3;
    fw::TLabel* Label2;
    fw::TLabel* Label3;
    kel::glow::TKelGlowButton* KelGlowButton1;
    kel::glow::TKelGlowButton* KelGlowButton2;
    fw::TImageList* MessageBoxImageList1;
    fw::TImageList* SystemImageList1;

protected:
    void CreateParams(fw::TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void KeyDown(WORD& key, fw::TShiftState shift) override;

private:
    int ShowBox(bool question);
    void Arrange();
    void CloseBox(int answer);
    void SetAlphaBlend(bool on, int alpha);
    void StartDrag(fw::TMouseButton button);
    void EndDrag();
    void StyleButton(kel::glow::TKelGlowButton& button, int theme, bool right);
    void MakePictures();

    bool alpha_blend_ = false;
    int alpha_value_ = 255;
    int last_fade_alpha_ = -1;
    bool closing_ = false;
};

}  // namespace oru
