// A model of the system edit window as the typed edit's rules see it: text,
// anchor and caret, the modified flag, and its own handling of characters
// (insertion, Backspace, the copy, cut and paste keys) and of the cursor and
// Delete keys, as Windows' and Wine's edit control do them. The filters run
// on it exactly as on a live edit, so they can be used as pure functions of
// (settings, text, selection, key or pasted text) -- the functions below --
// and tested without a window.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "widgets/editors/KelEditCore.h"

namespace kel {

class TSimulatedEdit final : public IKelEditHost {
public:
    explicit TSimulatedEdit(const TKelEditOptions& options);
    TSimulatedEdit(const TSimulatedEdit&) = delete;
    TSimulatedEdit& operator=(const TSimulatedEdit&) = delete;

    TKelEditCore& Core() { return core_; }

    // The window's state.
    std::wstring Text;
    int Anchor = 0;
    int Caret = 0;
    bool ModifiedFlag = false;
    std::optional<std::wstring> Clipboard;

    // What happened.
    int Changes = 0;
    int TabsPosted = 0;
    int FocusMoves = 0;
    int LookupUpdates = 0;
    std::wstring KeyPresses;
    std::function<bool(TClipboardAction, const std::wstring&)> OnClipboard;

    // Sets the window text and selection without going through the rules.
    void Load(const std::wstring& windowText, int selStart, int selLength);
    // A character message, a key-down, a paste message.
    bool Type(wchar_t ch, TCharInfo info = {});
    // True when the key reached the standard handling.
    bool Press(uint16_t key, TKeyModifiers mods = {});

    // IKelEditHost
    bool WindowExists() const override { return true; }
    std::wstring WindowText() const override { return Text; }
    void WriteWindowText(const std::wstring& text) override;
    void GetSelection(int& start, int& end) const override;
    void SetSelection(int anchor, int caret) override;
    bool Modified() const override { return ModifiedFlag; }
    void SetModified(bool modified) override { ModifiedFlag = modified; }
    void StandardChar(wchar_t ch) override;
    void StandardKeyDown(uint16_t& key, TKeyModifiers mods) override;
    void RaiseKeyPress(wchar_t& ch) override { KeyPresses += ch; }
    void StandardCopy() override;
    void StandardCut() override;
    bool ClipboardText(std::wstring& text) override;
    bool AllowClipboard(TClipboardAction action, const std::wstring& value) override;
    void Change() override { ++Changes; }
    void ShowModifiedState(bool /*modified*/) override {}
    void TextWritten() override {}
    void PostTabKey() override { ++TabsPosted; }
    void FocusNextControl() override { ++FocusMoves; }
    void UpdateLookupList() override { ++LookupUpdates; }
    bool LookupShown() const override { return false; }
    void SelectLookupItem() override {}
    void MoveLookupSelection(uint16_t /*key*/) override {}

private:
    void ReplaceSelection(const std::wstring& with);
    void Notify();
    TKelEditCore core_;
};

// The state a filter starts from and ends in.
struct TEditState {
    std::wstring WindowText;
    int SelStart = 0;
    int SelLength = 0;
    bool ModifiedState = false;
};

struct TEditOutcome {
    TEditState State;
    // The character reached the standard handling.
    bool Passed = false;
    // Change notifications passed on (OnChange).
    int Changes = 0;
    bool TabPosted = false;
    bool FocusMoved = false;
    std::optional<std::wstring> Clipboard;
};

// One typed character; one typed string, character by character.
TEditOutcome TypeChar(const TKelEditOptions& options, const TEditState& state, wchar_t ch, TCharInfo info = {});
TEditOutcome TypeText(const TKelEditOptions& options, const TEditState& state, const std::wstring& chars);
// One key-down.
TEditOutcome PressKey(const TKelEditOptions& options, const TEditState& state, uint16_t key, TKeyModifiers mods = {});
// A paste of `clipboard` (nullopt: the clipboard holds no text).
TEditOutcome PasteText(const TKelEditOptions& options, const TEditState& state,
                       const std::optional<std::wstring>& clipboard);

}  // namespace kel
