// The typed edit's rules, apart from any window: writing and reading the
// value, number access, thousand regrouping, and the filters of typed
// characters, key-downs, mouse releases and clipboard operations. The
// window, the framework's standard handling and the events are reached
// through IKelEditHost; the Windows edit is one host, TSimulatedEdit (a
// model of the system edit) another, so the filters run the same on both.
#pragma once

#include <cstdint>
#include <string>

#include "widgets/editors/KelEditText.h"
#include "widgets/editors/KelEditTypes.h"

namespace kel {

// Virtual keys the rules look at (the Windows values).
namespace vk {
constexpr uint16_t Back = 0x08, Tab = 0x09, Return = 0x0D, Menu = 0x12, Escape = 0x1B, Prior = 0x21, Next = 0x22,
                   End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28, Delete = 0x2E;
}

struct TKeyModifiers {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

// Facts about a character message beside the character.
struct TCharInfo {
    bool Ctrl = false;    // a Ctrl key is down
    bool NumPad = false;  // typed on the numeric keypad (bit 0x40 of the scan code)
};

enum class TClipboardAction { Copy, Cut, Paste };

// The settings the rules read; the edit's property setters write them.
struct TKelEditOptions {
    TKelEditType EditType = TKelEditType::etString;
    bool Signed = false;
    int16_t Precision = 0;
    TPrecisionDisplay PrecisionDisplay = TPrecisionDisplay::pdNormal;
    bool AutoThousandSeparator = true;
    bool ExcelStyleDecimalSeparator = false;
    std::wstring Prefix;
    std::wstring Suffix;
    int16_t LengthLimit = 0;
    bool TabOnFullLength = false;
    bool AllowNumericNullValue = false;
    std::wstring ValidChars;
    bool CanUndo = true;
    bool ReturnIsTab = false;
    int MaxLength = 0;
    bool ReadOnly = false;
    bool ShowURL = false;
    TNumberSeparators Separators;
};

class TKelEditCore;

// What the rules need from the edit window and the framework around it.
class IKelEditHost {
public:
    virtual ~IKelEditHost() = default;
    virtual bool WindowExists() const = 0;
    virtual std::wstring WindowText() const = 0;
    // Sets the window text as it stands; the window then reports a change
    // (which reaches TKelEditCore::WindowChanged).
    virtual void WriteWindowText(const std::wstring& text) = 0;
    // The window's selection, start <= end.
    virtual void GetSelection(int& start, int& end) const = 0;
    // Anchor and caret, as EM_SETSEL takes them.
    virtual void SetSelection(int anchor, int caret) = 0;
    // The framework's Modified flag of the window.
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;
    // The framework's standard handling: OnKeyPress, then the window's own
    // insertion; OnKeyDown, then the window's own key handling; the window's
    // own copy and cut.
    virtual void StandardChar(wchar_t ch) = 0;
    virtual void StandardKeyDown(uint16_t& key, TKeyModifiers mods) = 0;
    virtual void RaiseKeyPress(wchar_t& ch) = 0;
    virtual void StandardCopy() = 0;
    virtual void StandardCut() = 0;
    // The clipboard's text; false when it holds none.
    virtual bool ClipboardText(std::wstring& text) = 0;
    // OnClipboardCopy / Cut / Paste: false when the handler vetoes; true
    // when there is none.
    virtual bool AllowClipboard(TClipboardAction action, const std::wstring& value) = 0;
    // The edit's Change (OnChange and the error state).
    virtual void Change() = 0;
    // SetModifiedState's colours (with ShowModified).
    virtual void ShowModifiedState(bool modified) = 0;
    // After a write of Text (the URL look).
    virtual void TextWritten() = 0;
    // A Tab key-down posted to the edit (when it is visible).
    virtual void PostTabKey() = 0;
    // The focus to the next tab stop of the parent window.
    virtual void FocusNextControl() = 0;
    // The lookup drop-down.
    virtual void UpdateLookupList() = 0;
    virtual bool LookupShown() const = 0;
    virtual void SelectLookupItem() = 0;
    // Home, End, Prior, Next, Up or Down in the shown list.
    virtual void MoveLookupSelection(uint16_t key) = 0;
};

class TKelEditCore {
public:
    explicit TKelEditCore(IKelEditHost& host) : host_(host) {}
    TKelEditCore(const TKelEditCore&) = delete;
    TKelEditCore& operator=(const TKelEditCore&) = delete;

    TKelEditOptions Options;
    // While a form resource is read: SetModifiedState does nothing.
    bool Loading = false;
    // The value when the edit last got the focus (Esc restores it).
    std::wstring TextAtFocus;

    // The value: the window text without Prefix and Suffix.
    std::wstring Text() const;
    // Formats by type and writes Prefix, value and Suffix to the window.
    void SetText(std::wstring value);
    double ValueAsFloat() const;
    void SetValueAsFloat(double value);
    void SetValueAsInteger(int32_t value);
    bool ModifiedState() const { return modified_state_; }
    void SetModifiedState(bool modified);
    // Regroups the integer part of an etMoney or etFloat value.
    void ReformatThousands();
    // Selects the value (or the URL behind its scheme, with ShowURL).
    void SelectValue();
    int SelStart() const;
    int SelLength() const;
    // The selected part of the value.
    std::wstring SelectedValue() const;
    bool SkipNextChange() const { return skip_next_change_; }
    bool InCut() const { return in_cut_; }

    // The window reported a change: false when it is not passed on (the
    // change that SkipNextChange stands for).
    bool WindowChanged();

    // A character message; true when it reached the standard handling.
    // `result` is the message's answer.
    bool KeyChar(wchar_t ch, const TCharInfo& info, intptr_t& result);
    // A key-down message; the standard handling runs inside unless the key
    // is dropped. Returns the message's answer.
    intptr_t KeyDown(uint16_t& key, TKeyModifiers mods);
    // A system key-down (Alt takes the lookup entry).
    void SysKeyDown(uint16_t key);
    // After the window's own handling of a left-button release.
    void MouseReleased();
    // Copy, cut and paste messages.
    void Copy();
    void Cut();
    void Paste();
    // Text dropped at value position `at` of `value` (the value, or what is
    // left of it once a part dragged out of this edit is taken away): the
    // paste rules decide, without the paste event. False when refused.
    bool DropText(const std::wstring& value, int at, const std::wstring& text);

private:
    bool IsSignedType() const;
    bool SignAllowed() const;
    int PrefixLength() const { return static_cast<int>(Options.Prefix.size()); }
    int EndOfValue() const;
    // Sets Prefix, value and Suffix as the window text (not through SetText)
    // and puts the caret at `caret`.
    void SetValueDirect(const std::wstring& value, int caret);
    void SignToggle(bool wholeCase, bool modifiedBothWays);
    // The number rules of etFloat and etMoney; false: swallowed.
    bool NumberRules(wchar_t ch, bool& regroupAfter);
    void MoveCaretBehindDecimal();
    void StandardChar(wchar_t ch) { host_.StandardChar(ch); }
    void AfterTypedCharacter();
    bool AcceptPaste(const TMergedPaste& merged, const std::wstring& clip);
    // Accepts a merged insertion by type and places the selection.
    bool TakeInsertion(const TMergedPaste& merged, const std::wstring& clip);
    std::wstring Upper(const std::wstring& s) const;
    std::wstring Lower(const std::wstring& s) const;

    IKelEditHost& host_;
    bool modified_state_ = false;
    bool skip_next_change_ = false;
    bool in_cut_ = false;
};

}  // namespace kel
