// TNetCopyDialog.
#include "Updater/NetCopyDialog.h"

#include <commctrl.h>

namespace oru {
namespace {

fw::TLabel* MakeLabel(fw::TForm* form, int left, int top, const std::wstring& text, bool visible) {
    auto* label = new fw::TLabel(form);
    label->SetParent(form);
    label->SetBounds(left, top, 280, 13);
    label->SetCaption(text);
    label->SetVisible(visible);
    return label;
}

}  // namespace

TNetCopyDialog::TNetCopyDialog(fw::TComponent* owner, const TNetCopyOptions& o)
    : fw::TForm(owner, L"TNetCopyDialog"), close_box_(o.DlgShowCloseBtn) {
    SetBorderStyle(fw::TFormBorderStyle::bsDialog);
    SetPosition(fw::TPosition::poScreenCenter);
    if (o.ShowDialogOnTop) SetFormStyle(fw::TFormStyle::fsStayOnTop);
    int extra = (o.ShowTime ? 20 : 0) + (o.ShowElapsedTime ? 20 : 0);
    int height = GetSystemMetrics(SM_CYCAPTION) + extra + 188;
    // Without the Cancel button the empty button row is left out.
    if (!o.DlgShowCancel) height -= 20;
    SetBounds(0, 0, 300, height);
    // The buttons are placed against the client area, which needs the window.
    HandleNeeded();
    int buttonTop = extra + (o.ShowFileName ? 140 : 120);

    FileLabel = MakeLabel(this, 10, 80, o.DlgFileLabel, o.ShowFileName);
    FileLabel->SetAutoSize(false);
    FileLabel->SetBounds(10, 80, 280, 13);
    int base = o.ShowFileName ? 80 : 60;
    ProgressLabel = MakeLabel(this, 10, base + 20, o.DlgProgressLabel, true);
    RateLabel = MakeLabel(this, 10, base + 40, o.DlgRateLabel, true);
    TimeLabel = MakeLabel(this, 10, base + 60, o.DlgTimeLabel, o.ShowTime);
    ElapsedLabel = MakeLabel(this, 10, base + 80, o.DlgElapsedTimeLabel, o.ShowElapsedTime);

    Animate = new fw::TAnimate(this);
    Animate->SetParent(this);
    Animate->SetBounds(10, 0, 280, 56);

    ProgressBar = new fw::TProgressBar(this);
    ProgressBar->SetParent(this);
    ProgressBar->SetBounds(10, 60, 280, 12);

    int client = ClientWidth();
    CancelButton = new fw::TButton(this);
    CancelButton->SetParent(this);
    CancelButton->SetCaption(o.DlgCancel);
    CancelButton->SetBounds(client - 75 - 10, buttonTop, 75, 25);
    CancelButton->SetVisible(o.DlgShowCancel);
    int cancelWidth = CancelButton->Width();
    int openLeft = 300 - 2 * cancelWidth - 20;
    if (o.ShowOpenFolder) {
        OpenFolderButton = new fw::TButton(this);
        OpenFolderButton->SetParent(this);
        OpenFolderButton->SetCaption(o.DlgOpenFolder);
        OpenFolderButton->SetBounds(openLeft, buttonTop, cancelWidth, 25);
        OpenFolderButton->SetEnabled(false);
    }
    if (o.ShowOpenFile) {
        OpenFileButton = new fw::TButton(this);
        OpenFileButton->SetParent(this);
        OpenFileButton->SetCaption(o.DlgOpenFile);
        int left = o.ShowOpenFolder ? openLeft - cancelWidth - 10 : openLeft;
        OpenFileButton->SetBounds(left, buttonTop, cancelWidth, 25);
        OpenFileButton->SetEnabled(false);
    }
    SetCaption(o.DlgCaption + L" ...");
    PlayClip(kNcClipDownload);
}

void TNetCopyDialog::CreateParams(fw::TCreateParams& p) {
    fw::TForm::CreateParams(p);
    if (!close_box_) p.style &= ~static_cast<DWORD>(WS_SYSMENU);
}

bool TNetCopyDialog::CloseQuery() { return (close_box_ || done_) && fw::TForm::CloseQuery(); }

void TNetCopyDialog::PlayClip(int resourceId) {
    if (!system_clip_ && Animate->ClipId() == resourceId && Animate->Playing()) return;
    StopClip();
    if (Animate->OpenClip(resourceId)) Animate->Play();
}

void TNetCopyDialog::PlaySystemCopyClip() {
    constexpr int kShellCopyClip = 161;
    if (system_clip_) return;
    Animate->Stop();
    // The program links shell32 (it opens files through the shell).
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    if (!shell || !FindResourceW(shell, MAKEINTRESOURCEW(kShellCopyClip), L"AVI")) return;
    HWND h = Animate->Handle();
    const LPARAM clip = reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(kShellCopyClip));
    if (!SendMessageW(h, ACM_OPENW, reinterpret_cast<WPARAM>(shell), clip)) return;
    system_clip_ = SendMessageW(h, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF)) != 0;
}

void TNetCopyDialog::StopClip() {
    Animate->Stop();
    if (system_clip_) SendMessageW(Animate->Handle(), ACM_STOP, 0, 0);
    system_clip_ = false;
}

}  // namespace oru
