// The control panel: a borderless, rounded, shadowed form with a tab pager
// whose pages (Controller, Network, Info) are chosen by glow buttons on its
// strip. Its operations change the display's state through the model and
// keep the panel's controls in step; the display's popup menu, keys and the
// text commands call the same operations.
#pragma once

#include <string>

#include "Display/kynDisplayModel.h"
#include "framework/gui/forms.h"
#include "framework/gui/std_controls.h"
#include "widgets/buttons/KelGlowButton.h"
#include "widgets/editors/KelEdit.h"

namespace fw {
class TImageList;
class TMenuItem;
class TPopupMenu;
class TImage;
class TMemo;
class TSpeedButton;
class TBevel;
}  // namespace fw

namespace kel {
class TKelSmoothPanel;
class TKelOfficeCheckBox;
class TKelOfficeRadioButton;
}  // namespace kel
namespace kel::trackbar {
class TKelTrackBar;
}
namespace kel::menus {
class TKelMenuStyler;
class TKelPopupMenu;
}  // namespace kel::menus
namespace kel::pager {
class TKelOfficePager;
class TKelOfficePage;
class TKelOfficePagerOfficeStyler;
}  // namespace kel::pager

namespace kyn {

class TkynControllerForm : public fw::TForm {
public:
    // The model outlives the form.
    TkynControllerForm(fw::TComponent* owner, TkynDisplayModel& model);
    ~TkynControllerForm() override;

    // Frame.
    kel::TKelSmoothPanel* KelSmoothPanel1 = nullptr;
    fw::TLabel* Label3 = nullptr;  // "Main Menu"
    fw::TImage* Image1 = nullptr;  // close image
    fw::TImage* Image2 = nullptr;  // language flag
    fw::TImage* Image3 = nullptr;  // theme toggle
    kel::pager::TKelOfficePagerOfficeStyler* KelOfficePagerOfficeStyler1 = nullptr;
    kel::pager::TKelOfficePager* KelOfficePager1 = nullptr;
    kel::pager::TKelOfficePage* KelOfficePage1 = nullptr;  // Controller
    kel::pager::TKelOfficePage* KelOfficePage2 = nullptr;  // Network
    kel::pager::TKelOfficePage* KelOfficePage3 = nullptr;  // Info
    kel::glow::TKelGlowButton* KelGlowButton1 = nullptr;   // "Configure"
    kel::glow::TKelGlowButton* KelGlowButton2 = nullptr;   // "Control", the Network page's tab
    kel::glow::TKelGlowButton* KelGlowButton3 = nullptr;   // "Info"
    kel::pager::TKelOfficePager* KelOfficePager2 = nullptr;
    kel::pager::TKelOfficePage* KelOfficePage4 = nullptr;  // Review
    kel::pager::TKelOfficePage* KelOfficePage5 = nullptr;  // License
    kel::pager::TKelOfficePage* KelOfficePage6 = nullptr;  // Disclaimer
    kel::glow::TKelGlowButton* KelGlowButton4 = nullptr;   // "Review"
    kel::glow::TKelGlowButton* KelGlowButton5 = nullptr;   // "License"
    kel::glow::TKelGlowButton* KelGlowButton6 = nullptr;   // "Disclaimer"
    fw::TImageList* ButtonImageList = nullptr;
    fw::TImageList* TopBarImageList1 = nullptr;
    fw::TImageList* LangImageList = nullptr;
    kel::menus::TKelPopupMenu* LangPopupMenu = nullptr;
    fw::TMenuItem* XX1 = nullptr;
    fw::TMenuItem* US1 = nullptr;
    fw::TMenuItem* NL1 = nullptr;
    kel::menus::TKelMenuStyler* ComboBoxMenuStyler = nullptr;

    // Controller page.
    kel::TKelSmoothPanel* KelSmoothPanel4 = nullptr;  // "Visual Tactic"
    kel::TKelSmoothPanel* KelSmoothPanel5 = nullptr;  // "Sweep Rate and Direction"
    kel::TKelSmoothPanel* KelSmoothPanel6 = nullptr;  // "Run"
    kel::TKelSmoothPanel* KelSmoothPanel3 = nullptr;  // "Size and Position", hidden
    fw::TLabel* Label2 = nullptr;
    fw::TLabel* Label4 = nullptr;
    fw::TLabel* Label9 = nullptr;
    fw::TLabel* Label15 = nullptr;
    fw::TLabel* Label16 = nullptr;
    fw::TLabel* Label5 = nullptr;
    fw::TLabel* Label6 = nullptr;
    fw::TLabel* Label7 = nullptr;
    fw::TLabel* Label8 = nullptr;
    fw::TLabel* Label10 = nullptr;  // "Contrast", hidden
    fw::TLabel* Label11 = nullptr;
    fw::TLabel* Label13 = nullptr;
    fw::TLabel* Label14 = nullptr;  // "Sweep Rate"
    fw::TLabel* Label17 = nullptr;
    fw::TLabel* Label18 = nullptr;
    fw::TLabel* Label19 = nullptr;
    fw::TLabel* Label20 = nullptr;  // position text
    fw::TLabel* Label21 = nullptr;  // window size
    kel::glow::TKelGlowButton* KelGlowButton7 = nullptr;   // entity, drop-down
    kel::glow::TKelGlowButton* KelGlowButton8 = nullptr;   // thickness, drop-down
    kel::glow::TKelGlowButton* KelGlowButton12 = nullptr;  // grid spacing, drop-down
    kel::glow::TKelGlowButton* KelGlowButton9 = nullptr;   // "Pause"
    kel::glow::TKelGlowButton* KelGlowButton10 = nullptr;  // "Run"
    kel::glow::TKelGlowButton* KelGlowButton11 = nullptr;  // hidden "Apply"
    kel::menus::TKelPopupMenu* ColorEntityPopupMenu = nullptr;
    kel::menus::TKelPopupMenu* LineThickPopupMenu = nullptr;
    kel::menus::TKelPopupMenu* GridSpacingPopupMenu = nullptr;
    fw::TMenuItem* Background1 = nullptr;
    fw::TMenuItem* ScanLine1 = nullptr;
    kel::TKelOfficeRadioButton* KelOfficeRadioButton3 = nullptr;  // "Black"
    kel::TKelOfficeRadioButton* KelOfficeRadioButton4 = nullptr;  // "White"
    kel::TKelOfficeRadioButton* KelOfficeRadioButton5 = nullptr;  // "Green"
    kel::TKelOfficeRadioButton* KelOfficeRadioButton1 = nullptr;  // "Top Down"
    kel::TKelOfficeRadioButton* KelOfficeRadioButton2 = nullptr;  // "Left Right"
    kel::trackbar::TKelTrackBar* KelTrackBar1 = nullptr;          // contrast, hidden
    kel::trackbar::TKelTrackBar* KelTrackBar4 = nullptr;          // sweep rate
    kel::TKelOfficeCheckBox* KelOfficeCheckBox2 = nullptr;        // "Cross Hairs"
    kel::TKelOfficeCheckBox* KelOfficeCheckBox3 = nullptr;        // "Grid"
    kel::TKelOfficeCheckBox* KelOfficeCheckBox5 = nullptr;        // "Hide Scan Line"
    kel::TKelOfficeCheckBox* KelOfficeCheckBox4 = nullptr;        // "Add Start Delay"
    kel::TKelOfficeCheckBox* KelOfficeCheckBox6 = nullptr;        // "Reset Line Position"
    kel::TKelOfficeCheckBox* KelOfficeCheckBox1 = nullptr;        // hidden "Full Screen"
    kel::TKelEdit* KelEdit4 = nullptr;                            // hidden "Left"
    kel::TKelEdit* KelEdit5 = nullptr;                            // hidden "Top"
    kel::TKelEdit* KelEdit6 = nullptr;                            // hidden "Width"
    kel::TKelEdit* KelEdit7 = nullptr;                            // hidden "Height"
    fw::TBevel* Bevel1 = nullptr;
    fw::TBevel* Bevel2 = nullptr;

    // Network page.
    kel::TKelSmoothPanel* KelSmoothPanel7 = nullptr;  // "Network"
    kel::TKelSmoothPanel* KelSmoothPanel8 = nullptr;  // "COM (Serial Port)", hidden
    kel::TKelEdit* KelEdit1 = nullptr;                // IP
    kel::TKelEdit* KelEdit2 = nullptr;                // port
    kel::TKelEdit* KelEdit3 = nullptr;                // computer name
    kel::glow::TKelGlowButton* KelGlowButton13 = nullptr;  // "Apply"
    kel::glow::TKelGlowButton* KelGlowButton14 = nullptr;  // "Auto Detect"

    // Info page.
    kel::TKelSmoothPanel* KelSmoothPanel2 = nullptr;
    fw::TLabel* Label1 = nullptr;  // version text
    fw::TSpeedButton* SpeedButton1 = nullptr;  // "Check for Updates"
    fw::TMemo* Memo1 = nullptr;
    fw::TMemo* Memo2 = nullptr;
    fw::TMemo* Memo3 = nullptr;

    // Operations; each keeps the panel and the popup menu in step with the
    // state it changes.
    void SetLineThickness(int thickness);
    void SetGridSpacing(int spacing);
    void SetSweepRate(int rate);
    void ToggleCrossHairs();
    void ToggleGrid();
    void ToggleScanLine();
    void ToggleStartDelay();
    void ToggleResetBeforeRun();
    // Sets the sweep direction: 1 (top-down) when true, 2 when false.
    void SetSweepDirection(bool topDown);
    void TogglePause();
    void ApplyTheme(int theme);
    void ShowLanguageFlag(int language);
    // n: 1 Controller, 2 Network, 3 Info.
    void SelectTab(int n);
    // n: 1 Review, 2 License, 3 Disclaimer.
    void SelectInfoPage(int n);
    void FormShow();
    void FormCreate();

    // Handlers bound to the controls.
    void Background1Click();
    void ScanLine1Click();
    void KelOfficeRadioButton3Click();
    void KelOfficeRadioButton4Click();
    void KelOfficeRadioButton5Click();
    void KelTrackBar1Change();
    void KelTrackBar4Change();
    void KelGlowButton9Click();
    void KelGlowButton9MouseEnter();
    void KelGlowButton9MouseLeave();
    void KelGlowButton10Click();
    void KelGlowButton11Click();
    void SpeedButton1Click();
    void Image1Click();
    void Image2Click();
    void Image3Click();
    void XX1Click();
    void US1Click();
    void NL1Click();
    void ActionButtonMouseEnter(kel::glow::TKelGlowButton* button);
    void ActionButtonMouseLeave(kel::glow::TKelGlowButton* button);

    // Network page.
    void KelGlowButton13Click();
    void KelGlowButton14Click();
    void AutoDetectHost();

    // The entity the colour controls edit: 1 background, 2 scan line, -1 none.
    int ColourEntity = -1;
    bool SuppressRadioClick = false;

    TkynDisplayModel& Model() { return model_; }

protected:
    void CreateParams(fw::TCreateParams& params) override;

private:
    void BuildFrame();
    void BuildControllerPage();
    void BuildNetworkPage();
    void BuildInfoPage();
    void ChooseEntity(int entity);
    void ColourRadioClicked(int choice);
    void ShowContrast(double contrast);
    void SetPauseLook();
    void StartDrag();

    TkynDisplayModel& model_;
};

extern TkynControllerForm* kynControllerForm;

}  // namespace kyn
