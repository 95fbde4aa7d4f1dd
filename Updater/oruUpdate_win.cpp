// ToruUpdaterForm.
#include "Updater/oruUpdate.h"

#include <shellapi.h>

#include <filesystem>

#include "Updater/oruInstallerTrust.h"
#include "Updater/oruResourceManager.h"
#include "Updater/oruVersionCheck.h"
#include "common/FileVersion.h"
#include "common/MessageBox.h"
#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"

namespace oru {
namespace {

using kel::glow::TKelGlowButton;

const wchar_t kVersionFileName[] = L"versioncheck.txt";

bool FileExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

ToruUpdaterForm::ToruUpdaterForm(fw::TComponent* owner, ToruMessageDialogForm* dialog)
    : fw::TForm(owner, L"ToruUpdaterForm"), dialog_(dialog) {
    SetCaption(L"Morvane Application Base");
    SetBorderStyle(fw::TFormBorderStyle::bsNone);
    SetPosition(fw::TPosition::poScreenCenter);
    Font().SetName(L"Tahoma");
    Font().SetSize(8);
    SetClientSize(480, 260);

    SystemImageList1 = new fw::TImageList(this, 22, 16);
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

    KelSmoothPanel1 = new kel::TKelSmoothPanel(this);
    KelSmoothPanel1->SetBounds(0, 0, 479, 259);
    KelSmoothPanel1->Fill().SetRounding(3);
    KelSmoothPanel1->SetParent(this);

    Image10 = new TOruImage(this);
    Image10->SetBounds(6, 4, 16, 16);
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    Image10->SetIcon(icon ? icon : LoadIconW(nullptr, IDI_APPLICATION));
    Image10->SetParent(KelSmoothPanel1);

    Label1 = new fw::TLabel(this);
    Label1->SetLeft(30);
    Label1->SetTop(4);
    SetControlFont(*Label1, L"Verdana", 10, fw::fsBold);
    Label1->SetParent(KelSmoothPanel1);

    Image1 = new TOruImage(this);
    Image1->SetBounds(450, 5, 22, 16);
    Image1->SetImages(SystemImageList1);
    Image1->SetImageIndex(0);
    Image1->SetParent(KelSmoothPanel1);

    KelSmoothPanel3 = new kel::TKelSmoothPanel(this);
    KelSmoothPanel3->SetBounds(6, 26, 479 - 12, 259 - 32);
    KelSmoothPanel3->Fill().SetRounding(3);
    KelSmoothPanel3->SetParent(KelSmoothPanel1);
    const int pw = KelSmoothPanel3->Width(), ph = KelSmoothPanel3->Height();

    // Below a 75-pixel empty band: the status area, then the bottom strip.
    KelSmoothPanel4 = new kel::TKelSmoothPanel(this);
    KelSmoothPanel4->SetBounds(7, 75, pw - 14, ph - 75 - 56);
    KelSmoothPanel4->SetParent(KelSmoothPanel3);
    RichEdit1 = new fw::TRichEdit(this);
    RichEdit1->SetReadOnly(true);
    RichEdit1->SetBorderStyle(fw::TBorderStyle::bsNone);
    RichEdit1->SetBounds(4, 4, KelSmoothPanel4->Width() - 8, KelSmoothPanel4->Height() - 8);
    SetControlFont(*RichEdit1, L"Tahoma", 8, 0);
    RichEdit1->SetParent(KelSmoothPanel4);

    Panel1 = new fw::TPanel(this);
    Panel1->SetBounds(1, ph - 53, pw - 2, 52);
    Panel1->SetColor(fw::clWhite);
    Panel1->SetParent(KelSmoothPanel3);

    Label2 = new fw::TLabel(this);
    Label2->SetLeft(12);
    Label2->SetTop(7);
    SetControlFont(*Label2, L"Tahoma", 8, fw::fsBold);
    Label2->SetCaption(L"Progress");
    Label2->SetVisible(false);
    Label2->SetParent(Panel1);

    KelGlowButton1 = new TKelGlowButton(this);
    KelGlowButton1->SetBounds(337, 4, 120, 17);
    KelGlowButton1->SetCaption(L"Update");
    KelGlowButton1->SetParentFont(false);
    SetControlFont(*KelGlowButton1, L"Tahoma", 8, fw::fsBold);
    KelGlowButton1->SetVisible(false);
    KelGlowButton1->SetParent(Panel1);

    KelSmoothPanel2 = new kel::TKelSmoothPanel(this);
    KelSmoothPanel2->SetBounds(0, 52 - 22, Panel1->Width(), 22);
    KelSmoothPanel2->SetParent(Panel1);
    KelProgressBar1 = new TKelProgressBar(this);
    KelProgressBar1->SetBounds(5, 9, KelSmoothPanel2->Width() - 10, 4);
    KelProgressBar1->SetStacked(true);
    KelProgressBar1->SetLevel1Perc(100);
    KelProgressBar1->SetLevel2Perc(100);
    KelProgressBar1->SetShowPosition(false);
    KelProgressBar1->SetShowBorder(true);
    KelProgressBar1->SetVisible(false);
    KelProgressBar1->SetParent(KelSmoothPanel2);

    NetCopy1 = new TNetCopy(this);
    NetCopy1->Agent = L"NetCopy";
    NetCopy1->ShowDialog = false;
    BindTransferEvents();

    FormShowingTimer1 = new fw::TTimer(this);
    FormShowingTimer1->SetEnabled(false);
    FormShowingTimer1->SetInterval(10);
    FormShowingTimer1->OnTimer = [this](fw::TComponent*) { FormShowingTimerTick(); };

    KelGlowButton1->OnClick = [this](fw::TComponent*) { UpdateButtonAction(); };
    KelGlowButton1->OnMouseEnter = [this](fw::TComponent*) {
        if (UpdaterTheme == 1) KelGlowButton1->Font().SetColor(fw::clBlack);
    };
    KelGlowButton1->OnMouseLeave = [this](fw::TComponent*) {
        if (UpdaterTheme == 1) KelGlowButton1->Font().SetColor(fw::clWhite);
    };
    Image1->OnMouseEnter = [this](fw::TComponent*) { Image1->SetImageIndex(1); };
    Image1->OnMouseLeave = [this](fw::TComponent*) { Image1->SetImageIndex(0); };
    Image1->OnClick = [this](fw::TComponent*) {
        if (LatestInstalled) {
            CloseNow();
        } else {
            ConfirmClose();
        }
    };
    Label1->OnMouseDown = [this](fw::TComponent*, fw::TMouseButton b, fw::TShiftState, int, int) {
        if (b == fw::TMouseButton::mbLeft) StartDrag(false);
    };
    KelSmoothPanel1->OnMouseDown = [this](fw::TComponent*, fw::TMouseButton b, fw::TShiftState, int, int) {
        if (b == fw::TMouseButton::mbLeft) StartDrag(true);
    };
    KelSmoothPanel1->OnMouseMove = [this](fw::TComponent*, fw::TShiftState, int, int) { EndDrag(); };
    KelSmoothPanel1->OnMouseUp = [this](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) { EndDrag(); };
    OnActivate = [this](fw::TComponent*) { Label1->Font().SetColor(ByTheme(0x202020, fw::clWhite)); };
    OnDeactivate = [this](fw::TComponent*) { Label1->Font().SetColor(ByTheme(0x808080, 0xC6C6C6)); };
    OnShow = [this](fw::TComponent*) {
        ApplyTheme(UpdaterTheme);
        FormShowingTimer1->SetEnabled(true);
    };

    OwnBuildText = common::OwnFileVersionPart(4);
    // FormCreate.
    Label1->SetCaption(L"Morvane Application Update");
    if (!FindDataFolder()) {
        common::RequestApplicationEnd();
    } else {
        LoadThemeAndLanguage();
        ApplyTransferTimeout();
    }
    RichEdit1->Append(L"Update Status", fw::clBlack, false);
}

void ToruUpdaterForm::CreateParams(fw::TCreateParams& params) {
    fw::TForm::CreateParams(params);
    params.classStyle |= CS_DROPSHADOW;
}

void ToruUpdaterForm::CreateHandleDone() {
    fw::TForm::CreateHandleDone();
    // Rounded corners of 5 pixels.
    HRGN region = CreateRoundRectRgn(0, 0, Width() + 1, Height() + 1, 5, 5);
    if (region && !SetWindowRgn(Handle(), region, TRUE)) DeleteObject(region);
}

fw::TColor ToruUpdaterForm::ByTheme(fw::TColor light, fw::TColor dark) const { return UpdaterTheme == 1 ? dark : light; }

std::wstring ToruUpdaterForm::UpdateFolder() const { return DataFolder + L"update\\"; }

std::wstring ToruUpdaterForm::UpdateServer() const {
    std::string text;
    if (!ExeFolder.empty() && fw::TryReadFileBytes(std::filesystem::path(ExeFolder + L"Brimlet.ini"), text, 64 * 1024)) {
        if (auto server = ReadUpdateServerOverride(text)) return *server;
    }
    return kDefaultUpdateServer;
}

void ToruUpdaterForm::ApplyTransferTimeout() {
    std::string text;
    if (!ExeFolder.empty() && fw::TryReadFileBytes(std::filesystem::path(ExeFolder + L"Brimlet.ini"), text, 64 * 1024)) {
        if (auto ms = ReadTransferTimeoutOverride(text)) NetCopy1->Timeout = *ms;
    }
}

void ToruUpdaterForm::FormShowingTimerTick() {
    if (!Showing() || !HandleAllocated() || !IsWindowVisible(Handle())) return;
    FormShowingTimer1->SetEnabled(false);
    AppendStatus(L"Checking for Latest Version...", true, ByTheme(0xFF0000, 0xFFFFFF), true);
    ScrollStatusToCaret();
    Sleep(256);
    CheckForUpdate();
}

void ToruUpdaterForm::CheckForUpdate() {
    check_done_ = true;
    try {
        if (!FetchVersionFile()) {
            AppendStatus(L"Update Check Could Not Proceed.\r\n\r\nPlease Make Sure that this PC is Connected to the Internet",
                         true, ByTheme(0xFF0000, 0x00FF00), true);
        } else {
            Label2->SetVisible(true);
            KelGlowButton1->SetVisible(true);
            if (ParseVersionFile() == 1) {
                LatestInstalled = true;
                AppendStatus(L"The Latest Version of Morvane Quorvex is Already Installed on this PC", true,
                             ByTheme(0xFF0000, 0xFFFFFF), true);
                SetProgressLabel(L"", ByTheme(fw::clBlack, fw::clWhite), true);
                KelGlowButton1->SetCaption(L"Close");
            } else {
                LatestInstalled = false;
                SetProgressLabel(L"Update Available. Press Update Button", ByTheme(0xFF0000, 0x00FF00), true);
            }
        }
    } catch (...) {
        SetProgressLabel(L"Update Failed", 0x0000FF, true);
        return;
    }
    ScrollStatusToCaret();
}

bool ToruUpdaterForm::FetchVersionFile() {
    const std::wstring target = UpdateFolder() + kVersionFileName;
    // A file left by an earlier check must not stand in for this one's.
    DeleteFileW(target.c_str());
    NetCopy1->Items().Clear();
    TNetCopyItem& item = NetCopy1->Items().Add();
    item.URL = VersionCheckUrl(UpdateServer());
    item.Protocol = TNetCopyProtocol::wpHttp;
    item.TargetDir = UpdateFolder();
    NetCopy1->Execute();
    return item.Success && FileExists(target);
}

int ToruUpdaterForm::ParseVersionFile() {
    const std::wstring path = UpdateFolder() + kVersionFileName;
    std::string bytes;
    if (!fw::TryReadFileBytes(std::filesystem::path(path), bytes, kVersionCheckMaxBytes + 1)) {
        if (!FileExists(path)) {
            dialog_->ShowInfo(UpdaterTheme, L"I/O Error Version Check", 2);
            return 1;
        }
        throw fw::Exception(L"The version-check file is too large");
    }
    std::wstring error;
    auto file = ParseVersionCheckFile(bytes, error);
    if (!file) throw fw::Exception(error);
    LatestBuildText = file->LatestBuildText;
    DownloadBaseUrl = file->DownloadBaseUrl;
    InstallerFileName = file->InstallerFileName;
    UpdateNotice = file->UpdateNotice;
    auto latest = ParseBuildNumber(LatestBuildText);
    auto own = ParseBuildNumber(OwnBuildText);
    if (!latest || !own) throw fw::EConvertError(L"'" + LatestBuildText + L"' is not a valid integer value");
    int result = 1;
    if (*own < *latest) {
        // The name becomes a file in the update folder that is then run.
        if (!IsPlainInstallerName(InstallerFileName))
            throw fw::Exception(L"The installer's name is not a plain file name");
        const fw::TColor text = ByTheme(fw::clBlack, fw::clWhite);
        AppendStatus(L"Applications Package Update Release " + LatestBuildText, true, text, true);
        if (!UpdateNotice.empty()) AppendStatus(L"Notices: " + UpdateNotice, false, text, true);
        RichEdit1->BeginUpdate();
        for (const auto& line : file->ReleaseNotes) RichEdit1->Append(line + L"\r\n", text, false);
        RichEdit1->Append(L"\r\n", text, false);
        RichEdit1->EndUpdate();
        result = 0;
    }
    DeleteFileW(path.c_str());
    return result;
}

void ToruUpdaterForm::UpdateButtonAction() {
    try {
        if (LatestInstalled) {
            CloseNow();
        } else if (FindWindowW(L"TkynMainForm", nullptr)) {
            SetProgressLabel(L"Please Close Morvane Quorvex Before Updating", ByTheme(0xFF0000, 0x2084FF), true);
        } else if (Downloading) {
            Downloading = false;
            NetCopy1->Cancel();
            KelGlowButton1->SetCaption(L"Update");
            SetProgressLabel(L"Download Canceled", 0x2084FF, true);
        } else {
            Downloading = true;
            transfer_failed_ = false;
            KelProgressBar1->SetPosition(0);
            KelProgressBar1->SetVisible(true);
            KelProgressBar1->Repaint();
            KelGlowButton1->SetCaption(L"Cancel");
            DownloadInstaller();
            if (!Downloading) return;
            // Only a transfer that ran to its end is started.
            Downloading = false;
            KelGlowButton1->SetCaption(L"Update");
            if (transfer_failed_) return;
            Sleep(50);
            if (!RunInstaller()) return;
            Sleep(50);
            CloseNow();
        }
    } catch (...) {
        SetProgressLabel(L"Update Failed", 0x0000FF, true);
    }
}

bool ToruUpdaterForm::DownloadInstaller() {
    try {
        KelProgressBar1->SetPosition(0);
        KelProgressBar1->Repaint();
        const fw::TColor text = ByTheme(fw::clBlack, fw::clWhite);
        SetProgressLabel(L"Updated Started", text, true);
        Sleep(250);
        SetProgressLabel(L"Download Started", text, true);
        Sleep(250);
        SetProgressLabel(L"Downloading Update", text, true);
        if (!IsPlainInstallerName(InstallerFileName))
            throw fw::Exception(L"The installer's name is not a plain file name");
        NetCopy1->Items().Clear();
        TNetCopyItem& item = NetCopy1->Items().Add();
        item.URL = DownloadBaseUrl + InstallerFileName;
        item.Protocol = TNetCopyProtocol::wpHttp;
        item.TargetDir = UpdateFolder();
        item.TargetFilename = InstallerFileName;
        NetCopy1->Execute();
        if (!item.Success || item.Cancelled) transfer_failed_ = true;
        Sleep(650);
    } catch (...) {
        transfer_failed_ = true;
        dialog_->ShowInfo(UpdaterTheme, L"Download of Update Failed", 2);
    }
    return true;
}

bool ToruUpdaterForm::RunInstaller() {
    installer_outcome_ = 0;
    const std::wstring path = UpdateFolder() + InstallerFileName;
    if (!IsPlainInstallerName(InstallerFileName) || !FileExists(path)) {
        dialog_->ShowInfo(UpdaterTheme, L"Install File Not Found", 2);
        return false;
    }
    const TInstallerTrustResult trust = CheckInstallerSignature(path);
    if (trust.Trust != TInstallerTrust::Trusted) {
        const std::wstring why = trust.Trust == TInstallerTrust::Unsigned
                                     ? L"The installer is not signed."
                                     : L"The installer's signature is not valid or its signer is not trusted.";
        // The right button runs it; Esc, Alt+F4 and the left button do not.
        if (dialog_->AskQuestion(UpdaterTheme, L"Run Unverified Installer?", L"Run", L"Do Not Run",
                                 why + L" Run it only if you trust where it came from.") != 0) {
            installer_outcome_ = 2;
            SetProgressLabel(L"Installer Not Started", 0x0000FF, true);
            return false;
        }
    }
    const HINSTANCE r = ShellExecuteW(Handle(), L"open", path.c_str(), nullptr, nullptr, SW_SHOW);
    const auto code = reinterpret_cast<INT_PTR>(r);
    if (code <= 32) common::ShowSystemError(static_cast<uint32_t>(code));
    installer_outcome_ = 1;
    return true;
}

void ToruUpdaterForm::ConfirmClose() {
    if (dialog_->AskQuestion(UpdaterTheme, L"Close Morvane Application Update?", L"Close", L"Do Not Close",
                             L"It is Highly Recommended that you Update to the Latest Version In Order to Receive the "
                             L"Latest Information, Functions and Features") == 0)
        CloseNow();
}

void ToruUpdaterForm::CloseNow() {
    if (Downloading) {
        Downloading = false;
        NetCopy1->Cancel();
    }
    ToruMessageDialogForm::FadeOut(this, 32);
    Close();
}

void ToruUpdaterForm::AppendStatus(const std::wstring& text, bool clear, fw::TColor color, bool bold) {
    RichEdit1->BeginUpdate();
    if (clear) RichEdit1->Clear();
    RichEdit1->Append(text + L"\r\n", color, bold);
    RichEdit1->EndUpdate();
    RichEdit1->Update();
}

void ToruUpdaterForm::SetProgressLabel(const std::wstring& text, fw::TColor color, bool bold) {
    Label2->SetCaption(text);
    Label2->Font().SetColor(color);
    Label2->Font().SetStyle(bold ? fw::TFontStyles(fw::fsBold) : fw::TFontStyles(0));
    Label2->Repaint();
}

void ToruUpdaterForm::ScrollStatusToCaret() {
    RichEdit1->SetSelStart(static_cast<int>(RichEdit1->ScrollCaret()));
    RichEdit1->Repaint();
}

void ToruUpdaterForm::BindTransferEvents() {
    NetCopy1->OnCopyProgress = [this](fw::TComponent*, int, uint64_t size, uint64_t total) {
        SetProgressLabel(L"Progress " + std::to_wstring(size / 1024) + L" kb of " + std::to_wstring(total / 1024) + L" kb",
                         ByTheme(fw::clBlack, fw::clWhite), true);
        if (total > 0) {
            KelProgressBar1->SetPosition(static_cast<int>(NcRound(static_cast<double>(size) / static_cast<double>(total) * 100)));
            KelProgressBar1->Repaint();
        }
    };
    NetCopy1->OnCopyDone = [this](fw::TComponent*) {
        if (Downloading && !transfer_failed_)
            SetProgressLabel(L"Download Completed", ByTheme(fw::clBlack, fw::clWhite), true);
    };
    NetCopy1->OnError = [this](fw::TComponent*, int) {
        transfer_failed_ = true;
        SetProgressLabel(L"Failed To Download Update", 0x0000FF, true);
    };
    NetCopy1->OnErrorInfo = [this](fw::TComponent*, int code, const std::wstring& info) {
        transfer_failed_ = true;
        AppendStatus(L"Update Failed. Error Code  " + info + L" " + std::to_wstring(code), true,
                     ByTheme(fw::clBlack, fw::clWhite), true);
    };
    NetCopy1->OnConnectError = [this](fw::TComponent*) {
        transfer_failed_ = true;
        SetProgressLabel(L"Failed To Connect", 0x0000FF, true);
    };
    NetCopy1->OnCopyCancel = [this](fw::TComponent*) {
        transfer_failed_ = true;
        SetProgressLabel(L"Download Canceled", 0x2084FF, true);
    };
}

void ToruUpdaterForm::StartDrag(bool translucent) {
    if (!HandleAllocated()) return;
    if (translucent) {
        translucent_ = true;
        SetWindowLongW(Handle(), GWL_EXSTYLE, GetWindowLongW(Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(Handle(), 0, 198, LWA_ALPHA);
    }
    ReleaseCapture();
    SendMessageW(Handle(), WM_SYSCOMMAND, 0xF012, 0);
    EndDrag();
}

void ToruUpdaterForm::EndDrag() {
    if (!translucent_ || !HandleAllocated()) return;
    translucent_ = false;
    SetWindowLongW(Handle(), GWL_EXSTYLE, GetWindowLongW(Handle(), GWL_EXSTYLE) & ~WS_EX_LAYERED);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void ToruUpdaterForm::ApplyTheme(int theme) {
    if (theme != 0 && theme != 1) return;
    const bool dark = theme == 1;
    kel::TGDIPFill& outer = KelSmoothPanel1->Fill();
    outer.SetBorderColor(dark ? 0x808080 : 0xC0C0C0);
    outer.SetBorderWidth(2);
    outer.SetColor(dark ? 0x303030 : fw::clWhite);
    outer.SetColorTo(dark ? fw::clBlack : 0xDCDCDC);
    outer.SetColorMirror(dark ? fw::clBlack : fw::clNone);
    outer.SetColorMirrorTo(dark ? 0x303030 : fw::clNone);
    Label1->Font().SetColor(dark ? fw::clWhite : 0x202020);
    const fw::TColor barFrame = dark ? fw::clBlack : fw::clWhite;
    kel::TGDIPFill& bf = KelSmoothPanel2->Fill();
    bf.SetBorderColor(dark ? fw::clBlack : 0xC0C0C0);
    bf.SetBorderWidth(1);
    bf.SetColor(barFrame);
    bf.SetColorTo(barFrame);
    bf.SetColorMirror(barFrame);
    bf.SetColorMirrorTo(barFrame);
    const fw::TColor inner = dark ? 0x595959 : fw::clWhite;
    kel::TGDIPFill& content = KelSmoothPanel3->Fill();
    content.SetBorderColor(dark ? fw::clBlack : 0xC0C0C0);
    content.SetBorderWidth(1);
    content.SetColor(inner);
    content.SetColorTo(inner);
    if (dark) {
        KelSmoothPanel3->Caption().SetColorStart(fw::clWhite);
        KelSmoothPanel3->Caption().SetColorEnd(fw::clWhite);
    }
    kel::TGDIPFill& status = KelSmoothPanel4->Fill();
    status.SetBorderColor(0xC0C0C0);
    status.SetBorderWidth(1);
    status.SetColor(inner);
    status.SetColorTo(inner);
    RichEdit1->SetColor(inner);
    Panel1->SetColor(inner);
    const fw::TColor barBack = dark ? 0x303030 : fw::clWhite;
    KelProgressBar1->SetBackgroundColor(barBack);
    KelProgressBar1->SetBorderColor(barBack);
    KelProgressBar1->SetLevel0BkColor(barBack);
    KelProgressBar1->SetLevel0Color(dark ? 0x2084FF : fw::clBlack);
    KelProgressBar1->SetLevel0ColorTo(dark ? 0x2084FF : fw::clBlack);
    Label2->Font().SetColor(dark ? fw::clWhite : fw::clBlack);
    auto& a = KelGlowButton1->Appearance();
    const fw::TColor light = 0xEBEBEB;
    a.SetColorHot(0xF4F4F4);
    a.SetColorHotTo(light);
    a.SetColorDown(fw::clWhite);
    a.SetColorDownTo(light);
    if (!dark) {
        KelGlowButton1->SetBorderStyle(kel::glow::bsSingle);
        KelGlowButton1->Font().SetColor(fw::clBlack);
        a.SetBorderColor(0x808080);
        a.SetBorderColorDown(fw::clBlack);
        a.SetBorderColorHot(fw::clBlack);
        a.SetColor(fw::clWhite);
        for (auto set : {&kel::glow::TGlowButtonAppearance::SetColorTo, &kel::glow::TGlowButtonAppearance::SetColorMirror,
                         &kel::glow::TGlowButtonAppearance::SetColorMirrorTo,
                         &kel::glow::TGlowButtonAppearance::SetColorMirrorHot,
                         &kel::glow::TGlowButtonAppearance::SetColorMirrorHotTo})
            (a.*set)(light);
    } else {
        KelGlowButton1->SetBorderStyle(kel::glow::bsNone);
        KelGlowButton1->Font().SetColor(fw::clWhite);
        a.SetBorderColor(0xFF8A20);
        a.SetBorderColorDown(0xFF8A20);
        a.SetBorderColorHot(0x808080);
        a.SetColor(0xFF8A20);
        a.SetColorTo(0xFF8A20);
        a.SetColorMirror(0xFF8A20);
        a.SetColorMirrorTo(0xFF8A20);
        a.SetColorMirrorHot(light);
        a.SetColorMirrorHotTo(light);
    }
    for (kel::TKelSmoothPanel* p : {KelSmoothPanel1, KelSmoothPanel2, KelSmoothPanel3, KelSmoothPanel4}) {
        p->MarkDirty();
        p->Invalidate();
    }
    KelGlowButton1->Invalidate();
    KelProgressBar1->Invalidate();
    RichEdit1->Invalidate();
    Panel1->Invalidate();
    Invalidate();
}

}  // namespace oru
