// ToruUpdaterForm: Brimlet's window. It fetches the version-check file from
// the update server, compares the build number in it with its own, shows
// the notice and release notes, and on request downloads the installer,
// checks its signature and starts it through the shell.
#pragma once

#include <string>

#include "Updater/KelProgressBar.h"
#include "Updater/NetCopy.h"
#include "Updater/oruMessageDlgFormOV.h"
#include "framework/gui/forms.h"
#include "framework/gui/std_controls.h"
#include "framework/gui/std_rich_edit.h"
#include "framework/gui/timer.h"

namespace oru {

class ToruUpdaterForm : public fw::TForm {
public:
    // `dialog` shows the form's message boxes (see SetMessageDialog).
    ToruUpdaterForm(fw::TComponent* owner, ToruMessageDialogForm* dialog);
    void SetMessageDialog(ToruMessageDialogForm* dialog) { dialog_ = dialog; }

    void CheckForUpdate();
    bool FetchVersionFile();
    int ParseVersionFile();
    void UpdateButtonAction();
    bool DownloadInstaller();
    bool RunInstaller();
    void ConfirmClose();
    void AppendStatus(const std::wstring& text, bool clear, fw::TColor color, bool bold);
    void SetProgressLabel(const std::wstring& text, fw::TColor color, bool bold);
    void ScrollStatusToCaret();
    void ApplyTheme(int theme);

    // The host (and port) the version-check file comes from: "UpdateServer="
    // in Brimlet.ini beside the program, else the maker's server.
    std::wstring UpdateServer() const;
    // The transfer time-out from "TransferTimeout=" in Brimlet.ini, if any.
    void ApplyTransferTimeout();

    bool LatestInstalled = true;
    bool Downloading = false;
    std::wstring LatestBuildText, DownloadBaseUrl, InstallerFileName, UpdateNotice;
    // The build compared with line 2: the program file's own (part 4 of its
    // file version).
    std::wstring OwnBuildText;
    // The check has run (once the form showed).
    bool CheckDone() const { return check_done_; }
    // What the last installer start did: 0 nothing, 1 started, 2 refused.
    int InstallerOutcome() const { return installer_outcome_; }

    kel::TKelSmoothPanel* KelSmoothPanel1;
    fw::TLabel* Label1;
    TOruImage* Image1;
    TOruImage* Image10;
    kel::TKelSmoothPanel* KelSmoothPanel3;
    kel::TKelSmoothPanel* KelSmoothPanel4;
    fw::TRichEdit* RichEdit1;
    fw::TPanel* Panel1;
    fw::TLabel* Label2;
    kel::TKelSmoothPanel* KelSmoothPanel2;
    TKelProgressBar* KelProgressBar1;
    kel::glow::TKelGlowButton* KelGlowButton1;
    fw::TImageList* SystemImageList1;
    TNetCopy* NetCopy1;
    fw::TTimer* FormShowingTimer1;

protected:
    void CreateParams(fw::TCreateParams& params) override;
    void CreateHandleDone() override;

private:
    std::wstring UpdateFolder() const;
    fw::TColor ByTheme(fw::TColor light, fw::TColor dark) const;
    void FormShowingTimerTick();
    void CloseNow();
    void BindTransferEvents();
    void StartDrag(bool translucent);
    void EndDrag();

    ToruMessageDialogForm* dialog_;
    bool check_done_ = false;
    bool transfer_failed_ = false;
    int installer_outcome_ = 0;
    bool translucent_ = false;
};

}  // namespace oru
