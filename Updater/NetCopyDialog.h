// The progress dialog of TNetCopy: built for each run from the component's
// settings, shown without being modal while the transfers run.
#pragma once

#include "Updater/NetCopyOptions.h"
#include "framework/gui/forms.h"
#include "framework/gui/std_animate.h"
#include "framework/gui/std_button.h"
#include "framework/gui/std_controls.h"
#include "framework/gui/std_progress_bar.h"

namespace oru {

// Resource ids of the two clips: downloads, and uploads with some FTP work.
constexpr int kNcClipDownload = 257;
constexpr int kNcClipUpload = 258;

class TNetCopyDialog : public fw::TForm {
public:
    // Lays out the dialog as `options` say; the caller binds the buttons.
    TNetCopyDialog(fw::TComponent* owner, const TNetCopyOptions& options);

    // Set once the run is over and the dialog stays open: it may be closed.
    bool Done() const { return done_; }
    void SetDone(bool v) { done_ = v; }
    // Switches the clip; a clip that cannot be loaded is ignored.
    void PlayClip(int resourceId);
    void StopClip() { Animate->Stop(); }
    // Closing needs the close box or the end of the run.
    bool CloseQuery() override;

    fw::TAnimate* Animate;
    fw::TProgressBar* ProgressBar;
    fw::TLabel* FileLabel;
    fw::TLabel* ProgressLabel;
    fw::TLabel* RateLabel;
    fw::TLabel* TimeLabel;
    fw::TLabel* ElapsedLabel;
    fw::TButton* CancelButton;
    fw::TButton* OpenFileButton = nullptr;    // only with ShowOpenFile
    fw::TButton* OpenFolderButton = nullptr;  // only with ShowOpenFolder

protected:
    void CreateParams(fw::TCreateParams& params) override;

private:
    bool close_box_;
    bool done_ = false;
};

}  // namespace oru
