// TKelTaskDialog: a modal task dialog (title, instruction, content,
// expandable text, common and custom buttons or command links, radio
// buttons, a verification box, a progress bar and a footer). It shows the
// system's task dialog where the common controls have one (version 6 and
// later) and its own emulation form, TKelMessageForm, everywhere else or
// when told so; both take the same properties, fire the same events and
// return the same results.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "framework/core/component.h"
#include "framework/core/string_list.h"
#include "framework/gui/controls.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/editors/TaskDialogLogic.h"

namespace kel::taskdialog {

class TKelMessageForm;

// An icon handle the component owns; assigning copies the icon.
class TIcon {
public:
    TIcon() = default;
    ~TIcon();
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;
    bool Empty() const { return handle_ == nullptr; }
    HICON Handle() const { return handle_; }
    // Keeps a copy of `icon` (nullptr empties).
    void SetHandle(HICON icon);
    void Assign(const TIcon& other) { SetHandle(other.handle_); }

private:
    HICON handle_ = nullptr;
};

using TTaskDialogCloseEvent = std::function<void(fw::TComponent* sender, bool& canClose)>;
using TTaskDialogButtonClickEvent = std::function<void(fw::TComponent* sender, int buttonID)>;
using TTaskDialogHyperlinkClickEvent = std::function<void(fw::TComponent* sender, const std::wstring& href)>;
using TTaskDialogVerifyClickEvent = std::function<void(fw::TComponent* sender, bool checked)>;
using TTaskDialogProgressEvent =
    std::function<void(fw::TComponent* sender, int& pos, TTaskDialogProgressState& state)>;
using TTaskDialogInputGetTextEvent = std::function<void(fw::TComponent* sender, std::wstring& text)>;
using TTaskDialogInputSetTextEvent = std::function<void(fw::TComponent* sender, const std::wstring& text)>;

// The system facts that choose between the native dialog and the emulation.
struct TSystemVersions {
    unsigned WindowsMajor = 0;
    uint32_t ComCtlVersionMS = 0xFFFFFFFF;  // COMCTL32.DLL's file version, high dword
};
// Reads them from the system.
TSystemVersions ReadSystemVersions();

class TCustomKelTaskDialog : public fw::TComponent, public kel::IKelVersion {
public:
    explicit TCustomKelTaskDialog(fw::TComponent* owner);
    ~TCustomKelTaskDialog() override;

    // -- Published properties
    const std::wstring& Title() const { return s_.Title; }
    void SetTitle(const std::wstring& v) { s_.Title = v; }
    const std::wstring& Instruction() const { return s_.Instruction; }
    void SetInstruction(const std::wstring& v);
    const std::wstring& Content() const { return s_.Content; }
    void SetContent(const std::wstring& v);
    const std::wstring& ExpandedText() const { return s_.ExpandedText; }
    void SetExpandedText(const std::wstring& v);
    const std::wstring& Footer() const { return s_.Footer; }
    void SetFooter(const std::wstring& v);
    const std::wstring& ExpandControlText() const { return s_.ExpandControlText; }
    void SetExpandControlText(const std::wstring& v) { s_.ExpandControlText = v; }
    const std::wstring& CollapsControlText() const { return s_.CollapsControlText; }
    void SetCollapsControlText(const std::wstring& v) { s_.CollapsControlText = v; }
    const std::wstring& VerificationText() const { return s_.VerificationText; }
    void SetVerificationText(const std::wstring& v) { s_.VerificationText = v; }
    // One button per line; identifiers 100 + line index.
    fw::TStringList& CustomButtons() { return customButtons_; }
    void SetCustomButtons(const fw::TStringList& v);
    // One radio button per line; identifiers 200 + line index.
    fw::TStringList& RadioButtons() { return radioButtons_; }
    void SetRadioButtons(const fw::TStringList& v);
    TCommonButtons CommonButtons() const { return s_.CommonButtons; }
    void SetCommonButtons(TCommonButtons v) { s_.CommonButtons = v; }
    int DefaultButton() const { return s_.DefaultButton; }
    void SetDefaultButton(int v) { s_.DefaultButton = v; }
    int DefaultRadioButton() const { return s_.DefaultRadioButton; }
    void SetDefaultRadioButton(int v) { s_.DefaultRadioButton = v; }
    TTaskDialogIcon Icon() const { return s_.Icon; }
    void SetIcon(TTaskDialogIcon v) { s_.Icon = v; }
    // Replaces Icon when not empty.
    TIcon& CustomIcon() { return customIcon_; }
    void SetCustomIcon(const TIcon& v) { customIcon_.Assign(v); }
    TTaskDialogFooterIcon FooterIcon() const { return s_.FooterIcon; }
    void SetFooterIcon(TTaskDialogFooterIcon v) { s_.FooterIcon = v; }
    TTaskDialogOptions Options() const { return s_.Options; }
    void SetOptions(TTaskDialogOptions v) { s_.Options = v; }
    TTaskDialogPosition DialogPosition() const { return s_.DialogPosition; }
    void SetDialogPosition(TTaskDialogPosition v) { s_.DialogPosition = v; }
    bool ApplicationIsParent() const { return s_.ApplicationIsParent; }
    void SetApplicationIsParent(bool v) { s_.ApplicationIsParent = v; }
    int HelpContext() const { return s_.HelpContext; }
    void SetHelpContext(int v) { s_.HelpContext = v; }
    int ProgressBarMin() const { return s_.ProgressBarMin; }
    void SetProgressBarMin(int v) { s_.ProgressBarMin = v; }
    int ProgressBarMax() const { return s_.ProgressBarMax; }
    void SetProgressBarMax(int v) { s_.ProgressBarMax = v; }
    bool AutoClose() const { return s_.AutoClose; }
    void SetAutoClose(bool v) { s_.AutoClose = v; }
    // In the units of ElapsedTime (100 per timer tick).
    int AutoCloseTimeOut() const { return s_.AutoCloseTimeOut; }
    void SetAutoCloseTimeOut(int v) { s_.AutoCloseTimeOut = v; }
    TNonNativeDialog NonNativeDialog() const { return s_.NonNativeDialog; }
    void SetNonNativeDialog(TNonNativeDialog v) { s_.NonNativeDialog = v; }
    int NonNativeMinFormWidth() const { return s_.NonNativeMinFormWidth; }
    void SetNonNativeMinFormWidth(int v) { s_.NonNativeMinFormWidth = v; }
    uint32_t GetVersionNr() const override { return 0x01070102; }
    std::wstring Version() const { return GetVersion(); }

    // -- Events (Sender is always the component)
    fw::TNotifyEvent OnDialogCreated;
    TTaskDialogCloseEvent OnDialogClose;
    TTaskDialogButtonClickEvent OnDialogButtonClick;
    TTaskDialogButtonClickEvent OnDialogRadioClick;
    TTaskDialogHyperlinkClickEvent OnDialogHyperlinkClick;
    fw::TNotifyEvent OnDialogTimer;
    TTaskDialogVerifyClickEvent OnDialogVerifyClick;
    TTaskDialogProgressEvent OnDialogProgress;

    // -- Public state
    int RadioButtonResult = 0;        // radio chosen in the last dialog
    bool VerifyResult = false;        // verification box when the last dialog ended
    HWND DialogHandle = nullptr;      // the dialog's window while it is shown
    int ElapsedTime = 0;              // +100 per timer tick of the current dialog
    bool NativeShown = false;         // the current or last dialog is the native one
    TKelMessageForm* EmulationForm = nullptr;
    bool StayOnTop = false;           // the emulation form stays on top
    HWND ParentWindow = nullptr;      // parent of the native dialog when set
    TTaskDialogInputKind InputKind = ikNone;
    std::wstring InputText;
    fw::TStringList InputItems;
    int InputDropDownCount = 0;
    TTaskDialogInputGetTextEvent OnDialogInputGetText;
    TTaskDialogInputSetTextEvent OnDialogInputSetText;
    fw::TColor FooterColor = 0xF0F0F0;
    fw::TColor FooterLineColor = 0xDFDFDF;
    // The caller's control for ikCustom; cleared when it is freed.
    fw::TWinControl* InputControl() const { return inputControl_; }
    void SetInputControl(fw::TWinControl* control);

    // Where the path choice reads the system versions; tests replace it.
    std::function<TSystemVersions()> VersionProbe = ReadSystemVersions;
    // The library the native dialog is bound from.
    std::wstring NativeLibrary = L"comctl32.dll";

    // -- Operations
    // Shows the dialog modally; the identifier of the button that ended it.
    virtual int Execute();
    // Ends the shown dialog as its default button would.
    void CloseDialog();
    // The emulation form's show event.
    void EmulatedDialogCreated(fw::TComponent* sender);

    // The emulation form's control factory.
    virtual fw::TWinControl* CreateButton(fw::TComponent* owner);
    virtual fw::TWinControl* CreateRadioButton(fw::TComponent* owner);
    virtual void InitRadioButton(TKelMessageForm* form, fw::TWinControl* radio, fw::TNotifyEvent click, int index);
    virtual void SetRadioButtonChecked(fw::TWinControl* control, bool value);
    virtual void SetControlText(fw::TControl* control, const std::wstring& text);
    virtual void SetButtonText(fw::TWinControl* button, const std::wstring& text);
    virtual void SetButtonCancel(fw::TWinControl* button, bool value);
    virtual void SetButtonDefault(fw::TWinControl* button, bool value);
    virtual void SetButtonModalResult(fw::TWinControl* button, int value);
    virtual int GetButtonModalResult(fw::TWinControl* button);

    // All published values in one record (with the two lists).
    TTaskDialogSettings Settings() const;
    // The options the current execution runs with.
    TTaskDialogOptions RunOptions() const { return runOptions_; }

    // Called from the native dialog's callback.
    long NativeNotification(HWND window, unsigned notification, WPARAM wParam, LPARAM lParam);
    // Fire the events (the emulation form uses these too).
    void DoButtonClick(int id);
    void DoRadioClick(int id);
    void DoVerifyClick(bool checked);
    bool DoCanClose();
    void DoHyperlinkClick(HWND window, const std::wstring& href);
    void DoTimer();
    void DoProgress(int& pos, TTaskDialogProgressState& state);
    void ShowHelp();

protected:
    void Notification(fw::TComponent* component, fw::TOperation operation) override;

private:
    int ExecuteNative(bool& failed);
    void TextChanged(std::wstring& field, const std::wstring& value, int element);

    TTaskDialogSettings s_;
    fw::TStringList customButtons_;
    fw::TStringList radioButtons_;
    TIcon customIcon_;
    fw::TWinControl* inputControl_ = nullptr;
    TTaskDialogOptions runOptions_;
};

class TKelTaskDialog : public TCustomKelTaskDialog {
public:
    using TCustomKelTaskDialog::TCustomKelTaskDialog;
};

// -- Unit helpers

// Opens a web or mail link with the shell's "open" verb; any other link is
// refused. `program` names the browser the link was meant for; the shell's
// own choice is used.
void OpenHyperlink(HWND window, const std::wstring& program, const std::wstring& url);
// Starts `file` with the shell's "runas" verb (elevated).
void ShellExecuteRunAs(HWND window, const std::wstring& file, const std::wstring& parameters);
// dwFileVersionMS of the module's version resource; 0xFFFFFFFF when unreadable.
uint32_t GetFileVersionMS(const std::wstring& fileName);
void ShowHelpError(const std::exception& e);
// What the links ask the shell for (verb and file); tests put their own in
// so that nothing is started.
using TShellOpenHook = std::function<void(HWND window, const std::wstring& verb, const std::wstring& file)>;
void SetShellOpenHook(TShellOpenHook hook);

// The emulation form, shown modally; -1 for a nil component. X, Y < 0 centre it.
int ShowEmulatedTaskDialog(TCustomKelTaskDialog* component, int x, int y);
TKelMessageForm* CreateEmulatedTaskDialog(TCustomKelTaskDialog* component);

}  // namespace kel::taskdialog
