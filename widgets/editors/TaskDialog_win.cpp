// TCustomKelTaskDialog: properties, the choice of path, the native task
// dialog through comctl32's TaskDialogIndirect (bound by name) with its
// callback, and the unit's shell and version helpers.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "framework/gui/application.h"
#include "framework/gui/forms.h"
#include "framework/gui/std_button.h"
#include "widgets/editors/TaskDialog.h"
#include "widgets/editors/TaskDialogForm.h"

namespace kel::taskdialog {

namespace {

constexpr UINT kTdmClickButton = WM_USER + 102;            // TDM_CLICK_BUTTON
constexpr UINT kTdmSetProgressBarState = WM_USER + 104;    // TDM_SET_PROGRESS_BAR_STATE
constexpr UINT kTdmSetProgressBarRange = WM_USER + 105;    // TDM_SET_PROGRESS_BAR_RANGE
constexpr UINT kTdmSetProgressBarPos = WM_USER + 106;      // TDM_SET_PROGRESS_BAR_POS
constexpr UINT kTdmSetMarqueeProgressBar = WM_USER + 107;  // TDM_SET_PROGRESS_BAR_MARQUEE
constexpr UINT kTdmUpdateElementText = WM_USER + 114;      // TDM_UPDATE_ELEMENT_TEXT
constexpr int kTdeContent = 0, kTdeExpandedInformation = 1, kTdeFooter = 2, kTdeMainInstruction = 3;

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

TShellOpenHook& ShellHook() {
    static TShellOpenHook hook;
    return hook;
}

HRESULT CALLBACK TaskDialogCallback(HWND window, UINT notification, WPARAM wParam, LPARAM lParam, LONG_PTR data) {
    auto* self = reinterpret_cast<TCustomKelTaskDialog*>(data);
    if (!self) return S_OK;
    return fw::GuardCallback(self, static_cast<HRESULT>(S_OK), [&] {
        return static_cast<HRESULT>(self->NativeNotification(window, notification, wParam, lParam));
    });
}

}  // namespace

// -- TIcon

TIcon::~TIcon() {
    if (handle_) DestroyIcon(handle_);
}

void TIcon::SetHandle(HICON icon) {
    HICON copy = icon ? CopyIcon(icon) : nullptr;
    if (handle_) DestroyIcon(handle_);
    handle_ = copy;
}

// -- helpers

TSystemVersions ReadSystemVersions() {
    TSystemVersions v;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (GetVersionExW(&info)) v.WindowsMajor = info.dwMajorVersion;
    v.ComCtlVersionMS = GetFileVersionMS(L"COMCTL32.DLL");
    return v;
}

uint32_t GetFileVersionMS(const std::wstring& fileName) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(fileName.c_str(), &ignored);
    if (size == 0) return 0xFFFFFFFF;
    std::vector<BYTE> buffer(size);
    if (!GetFileVersionInfoW(fileName.c_str(), 0, size, buffer.data())) return 0xFFFFFFFF;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(buffer.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
        len < sizeof(VS_FIXEDFILEINFO))
        return 0xFFFFFFFF;
    return info->dwFileVersionMS;
}

void SetShellOpenHook(TShellOpenHook hook) { ShellHook() = std::move(hook); }

void OpenHyperlink(HWND window, const std::wstring& /*program*/, const std::wstring& url) {
    // Links come from texts a caller may not control: only web and mail
    // links reach the shell, opened with "open", never elevated.
    if (!IsOpenableLink(url)) return;
    if (ShellHook()) {
        ShellHook()(window, L"open", url);
        return;
    }
    ShellExecuteW(window, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void ShellExecuteRunAs(HWND window, const std::wstring& file, const std::wstring& parameters) {
    if (ShellHook()) {
        ShellHook()(window, L"runas", file);
        return;
    }
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = window;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
}

void ShowHelpError(const std::exception& e) {
    std::wstring message;
    if (const auto* fe = dynamic_cast<const fw::Exception*>(&e)) {
        message = fe->Message();
    } else {
        for (const char* p = e.what(); *p; ++p) message += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    if (!message.empty() && message.back() > L'.') message += L'.';
    UINT style = MB_ICONERROR;
    if (fw::SysLocale.MiddleEast) style |= MB_RTLREADING;
    const std::wstring caption = fw::Application ? fw::Application->Title() : std::wstring();
    MessageBoxW(nullptr, message.c_str(), caption.c_str(), style);
}

// -- TCustomKelTaskDialog

TCustomKelTaskDialog::TCustomKelTaskDialog(fw::TComponent* owner) : fw::TComponent(owner) {}

TCustomKelTaskDialog::~TCustomKelTaskDialog() {
    if (inputControl_) inputControl_->RemoveFreeNotification(this);
}

void TCustomKelTaskDialog::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TComponent::Notification(component, operation);
    if (operation == fw::TOperation::opRemove && component == inputControl_) inputControl_ = nullptr;
}

void TCustomKelTaskDialog::SetInputControl(fw::TWinControl* control) {
    if (control == inputControl_) return;
    if (inputControl_) inputControl_->RemoveFreeNotification(this);
    inputControl_ = control;
    if (control) control->FreeNotification(this);
}

void TCustomKelTaskDialog::SetCustomButtons(const fw::TStringList& v) { customButtons_.SetText(v.Text()); }
void TCustomKelTaskDialog::SetRadioButtons(const fw::TStringList& v) { radioButtons_.SetText(v.Text()); }

void TCustomKelTaskDialog::TextChanged(std::wstring& field, const std::wstring& value, int element) {
    if (field == value) return;
    field = value;
    if (DialogHandle) {
        SendMessageW(DialogHandle, kTdmUpdateElementText, static_cast<WPARAM>(element),
                     reinterpret_cast<LPARAM>(field.c_str()));
    }
    if (EmulationForm) EmulationForm->UpdateTexts();
}

void TCustomKelTaskDialog::SetContent(const std::wstring& v) { TextChanged(s_.Content, v, kTdeContent); }
void TCustomKelTaskDialog::SetExpandedText(const std::wstring& v) {
    TextChanged(s_.ExpandedText, v, kTdeExpandedInformation);
}
void TCustomKelTaskDialog::SetFooter(const std::wstring& v) { TextChanged(s_.Footer, v, kTdeFooter); }
void TCustomKelTaskDialog::SetInstruction(const std::wstring& v) {
    TextChanged(s_.Instruction, v, kTdeMainInstruction);
}

TTaskDialogSettings TCustomKelTaskDialog::Settings() const {
    TTaskDialogSettings s = s_;
    s.CustomButtons = customButtons_.Items();
    s.RadioButtons = radioButtons_.Items();
    return s;
}

int TCustomKelTaskDialog::Execute() {
    NativeShown = false;
    VerifyResult = false;
    ElapsedTime = 0;
    runOptions_ = EffectiveOptions(Settings());
    struct ResetHandle {
        TCustomKelTaskDialog* self;
        ~ResetHandle() { self->DialogHandle = nullptr; }
    } reset{this};
    const TSystemVersions v = VersionProbe ? VersionProbe() : ReadSystemVersions();
    if (ChooseDialogPath(v.WindowsMajor, v.ComCtlVersionMS, s_.NonNativeDialog) == TDialogPath::Native) {
        bool failed = false;
        const int result = ExecuteNative(failed);
        if (!failed) return result;
        // A native call that failed showed nothing: its result is no choice
        // of the user's, so the emulation asks instead.
        NativeShown = false;
        DialogHandle = nullptr;
        ElapsedTime = 0;
    }
    return ShowEmulatedTaskDialog(this, -1, -1);
}

int TCustomKelTaskDialog::ExecuteNative(bool& failed) {
    failed = true;
    HMODULE lib = LoadLibraryW(NativeLibrary.c_str());
    if (reinterpret_cast<uintptr_t>(lib) < 32) return -1;
    // The library stays loaded.
    auto fn = reinterpret_cast<TaskDialogIndirectFn>(reinterpret_cast<void*>(GetProcAddress(lib, "TaskDialogIndirect")));
    if (!fn) return -1;
    NativeShown = true;

    const TNativeConfig c = BuildNativeConfig(Settings(), !customIcon_.Empty());
    std::vector<TASKDIALOG_BUTTON> buttons, radios;
    for (const auto& b : c.Buttons) buttons.push_back({b.Id, b.Text.c_str()});
    for (const auto& b : c.RadioButtons) radios.push_back({b.Id, b.Text.c_str()});
    const auto text = [](const std::wstring& s) -> PCWSTR { return s.empty() ? nullptr : s.c_str(); };

    TASKDIALOGCONFIG cfg{};
    cfg.cbSize = sizeof cfg;
    if (ParentWindow) {
        cfg.hwndParent = ParentWindow;
    } else if (auto* ownerControl = dynamic_cast<fw::TWinControl*>(Owner());
               ownerControl && !s_.ApplicationIsParent) {
        cfg.hwndParent = ownerControl->HandleAllocated() ? ownerControl->Handle() : nullptr;
    } else if (fw::Application) {
        cfg.hwndParent = fw::Application->Handle();
    }
    cfg.dwFlags = c.Flags;
    cfg.dwCommonButtons = c.CommonButtons;
    cfg.pszWindowTitle = text(c.Title);
    if (c.UseMainIconHandle) {
        cfg.hMainIcon = customIcon_.Handle();
    } else {
        cfg.pszMainIcon = MAKEINTRESOURCEW(c.MainIconId);
    }
    cfg.pszMainInstruction = text(c.Instruction);
    cfg.pszContent = text(c.Content);
    cfg.cButtons = static_cast<UINT>(buttons.size());
    cfg.pButtons = buttons.empty() ? nullptr : buttons.data();
    cfg.nDefaultButton = c.DefaultButton;
    cfg.cRadioButtons = static_cast<UINT>(radios.size());
    cfg.pRadioButtons = radios.empty() ? nullptr : radios.data();
    cfg.nDefaultRadioButton = c.DefaultRadioButton;
    cfg.pszVerificationText = text(c.VerificationText);
    cfg.pszExpandedInformation = text(c.ExpandedInformation);
    cfg.pszExpandedControlText = text(c.ExpandedControlText);
    cfg.pszCollapsedControlText = text(c.CollapsedControlText);
    cfg.pszFooterIcon = MAKEINTRESOURCEW(c.FooterIconId);
    cfg.pszFooter = text(c.Footer);
    cfg.pfCallback = TaskDialogCallback;
    cfg.lpCallbackData = reinterpret_cast<LONG_PTR>(this);

    int button = 0, radio = 0;
    BOOL verify = FALSE;
    const HRESULT hr = fn(&cfg, &button, &radio, &verify);
    if (FAILED(hr)) return -1;
    failed = false;
    RadioButtonResult = radio;
    VerifyResult = verify != FALSE;
    return button;
}

long TCustomKelTaskDialog::NativeNotification(HWND window, unsigned notification, WPARAM wParam, LPARAM lParam) {
    DialogHandle = window;
    switch (notification) {
        case 0:  // TDN_CREATED
            FireEvent(OnDialogCreated, this);
            if (s_.Options.Contains(doProgressBar)) {
                SendMessageW(window, kTdmSetProgressBarRange, 0,
                             MAKELPARAM(static_cast<WORD>(s_.ProgressBarMin), static_cast<WORD>(s_.ProgressBarMax)));
            }
            if (s_.Options.Contains(doProgressBarMarquee)) SendMessageW(window, kTdmSetMarqueeProgressBar, 1, 10);
            return 0;
        case 2:  // TDN_BUTTON_CLICKED
            DoButtonClick(static_cast<int>(wParam));
            return DoCanClose() ? 0 : 1;
        case 3:  // TDN_HYPERLINK_CLICKED
            DoHyperlinkClick(window, lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
            return 0;
        case 4:  // TDN_TIMER
            DoTimer();
            if (OnDialogProgress) {
                int pos = 0;
                TTaskDialogProgressState state = psNormal;
                DoProgress(pos, state);
                SendMessageW(window, kTdmSetProgressBarPos, static_cast<WPARAM>(pos), 0);
                SendMessageW(window, kTdmSetProgressBarState, NativeProgressState(state), 0);
            }
            if (TimerTickDue(ElapsedTime, s_.AutoClose, s_.AutoCloseTimeOut)) CloseDialog();
            return 0;
        case 6:  // TDN_RADIO_BUTTON_CLICKED
            DoRadioClick(static_cast<int>(wParam));
            return 0;
        case 8:  // TDN_VERIFICATION_CLICKED
            DoVerifyClick(wParam != 0);
            return 0;
        case 9:  // TDN_HELP
            ShowHelp();
            return 0;
        default:
            return 0;
    }
}

void TCustomKelTaskDialog::DoButtonClick(int id) { FireEvent(OnDialogButtonClick, this, id); }
void TCustomKelTaskDialog::DoRadioClick(int id) { FireEvent(OnDialogRadioClick, this, id); }
void TCustomKelTaskDialog::DoVerifyClick(bool checked) { FireEvent(OnDialogVerifyClick, this, checked); }
void TCustomKelTaskDialog::DoTimer() { FireEvent(OnDialogTimer, this); }
void TCustomKelTaskDialog::DoProgress(int& pos, TTaskDialogProgressState& state) {
    FireEvent(OnDialogProgress, this, pos, state);
}

bool TCustomKelTaskDialog::DoCanClose() {
    bool canClose = true;
    FireEvent(OnDialogClose, this, canClose);
    return canClose;
}

void TCustomKelTaskDialog::DoHyperlinkClick(HWND window, const std::wstring& href) {
    if (OnDialogHyperlinkClick) {
        FireEvent(OnDialogHyperlinkClick, this, href);
    } else if (IsOpenableLink(href)) {
        OpenHyperlink(window, L"iexplore.exe", href);
    }
}

void TCustomKelTaskDialog::ShowHelp() {
    // The framework keeps no help files; a help context has nothing to show.
    if (s_.HelpContext == 0) return;
}

void TCustomKelTaskDialog::CloseDialog() {
    if (NativeShown) {
        if (DialogHandle) SendMessageW(DialogHandle, kTdmClickButton, static_cast<WPARAM>(AutoCloseButton(Settings())), 0);
    } else if (EmulationForm) {
        EmulationForm->CloseByDefault();
    }
}

void TCustomKelTaskDialog::EmulatedDialogCreated(fw::TComponent* sender) {
    if (auto* form = dynamic_cast<fw::TForm*>(sender)) DialogHandle = form->Handle();
    FireEvent(OnDialogCreated, this);
}

// -- control factory

fw::TWinControl* TCustomKelTaskDialog::CreateButton(fw::TComponent* owner) { return new fw::TButton(owner); }

fw::TWinControl* TCustomKelTaskDialog::CreateRadioButton(fw::TComponent* owner) {
    return new TTdCheckButton(owner, true);
}

void TCustomKelTaskDialog::InitRadioButton(TKelMessageForm* form, fw::TWinControl* radio, fw::TNotifyEvent click,
                                           int index) {
    radio->SetName(L"Radio" + std::to_wstring(index));
    radio->SetParent(form);
    radio->Font().SetName(form->Font().Name());
    radio->Font().SetSize(8);
    radio->SetBiDiMode(form->BiDiMode());
    radio->OnClick = std::move(click);
}

void TCustomKelTaskDialog::SetRadioButtonChecked(fw::TWinControl* control, bool value) {
    if (auto* r = dynamic_cast<TTdCheckButton*>(control)) r->SetChecked(value);
}

void TCustomKelTaskDialog::SetControlText(fw::TControl* control, const std::wstring& text) {
    if (control) control->SetCaption(text);
}

void TCustomKelTaskDialog::SetButtonText(fw::TWinControl* button, const std::wstring& text) {
    if (auto* b = dynamic_cast<fw::TButton*>(button)) b->SetCaption(text);
}

void TCustomKelTaskDialog::SetButtonCancel(fw::TWinControl* button, bool value) {
    if (auto* b = dynamic_cast<fw::TButton*>(button)) b->SetCancel(value);
}

void TCustomKelTaskDialog::SetButtonDefault(fw::TWinControl* button, bool value) {
    if (auto* b = dynamic_cast<fw::TButton*>(button)) b->SetDefault(value);
}

void TCustomKelTaskDialog::SetButtonModalResult(fw::TWinControl* button, int value) {
    if (auto* b = dynamic_cast<fw::TButton*>(button)) b->SetModalResult(value);
}

int TCustomKelTaskDialog::GetButtonModalResult(fw::TWinControl* button) {
    if (auto* b = dynamic_cast<fw::TButton*>(button)) return b->ModalResult();
    return 0;
}

}  // namespace kel::taskdialog
