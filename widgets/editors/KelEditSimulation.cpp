// The model of the system edit window.
#include "widgets/editors/KelEditSimulation.h"

#include <algorithm>

namespace kel {

TSimulatedEdit::TSimulatedEdit(const TKelEditOptions& options) : core_(*this) { core_.Options = options; }

void TSimulatedEdit::Load(const std::wstring& windowText, int selStart, int selLength) {
    Text = windowText;
    SetSelection(selStart, selStart + selLength);
}

bool TSimulatedEdit::Type(wchar_t ch, TCharInfo info) {
    intptr_t result = 0;
    return core_.KeyChar(ch, info, result);
}

bool TSimulatedEdit::Press(uint16_t key, TKeyModifiers mods) {
    core_.KeyDown(key, mods);
    return key != 0;
}

void TSimulatedEdit::WriteWindowText(const std::wstring& text) {
    // As the system edit does: the caret goes to the start, the modified
    // flag is cleared, and one change is reported.
    Text = text;
    Anchor = Caret = 0;
    ModifiedFlag = false;
    Notify();
}

void TSimulatedEdit::GetSelection(int& start, int& end) const {
    start = std::min(Anchor, Caret);
    end = std::max(Anchor, Caret);
}

void TSimulatedEdit::SetSelection(int anchor, int caret) {
    const int n = static_cast<int>(Text.size());
    // EM_SETSEL: -1 as the anchor removes the selection.
    if (anchor < 0) anchor = caret;
    Anchor = std::clamp(anchor, 0, n);
    Caret = std::clamp(caret < 0 ? n : caret, 0, n);
}

void TSimulatedEdit::Notify() {
    if (core_.WindowChanged()) Change();
}

void TSimulatedEdit::ReplaceSelection(const std::wstring& with) {
    int start = 0, end = 0;
    GetSelection(start, end);
    const int maxLength = core_.Options.MaxLength;
    if (maxLength > 0 && static_cast<int>(Text.size()) - (end - start) + static_cast<int>(with.size()) > maxLength) {
        return;
    }
    Text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), with);
    Anchor = Caret = start + static_cast<int>(with.size());
    ModifiedFlag = true;
    Notify();
}

void TSimulatedEdit::StandardChar(wchar_t ch) {
    KeyPresses += ch;
    switch (ch) {
        case 3: core_.Copy(); return;
        case 22: core_.Paste(); return;
        case 24: core_.Cut(); return;
        default: break;
    }
    if (core_.Options.ReadOnly) return;
    if (ch == L'\b') {
        if (Anchor == Caret) {
            if (Caret == 0) return;
            Anchor = Caret - 1;
        }
        ReplaceSelection(L"");
        return;
    }
    // The multi-line window takes a Tab character; other control characters
    // change nothing.
    if (ch == L'\t' || (ch >= L' ' && ch != 0x7F)) ReplaceSelection(std::wstring(1, ch));
}

void TSimulatedEdit::StandardKeyDown(uint16_t& key, TKeyModifiers mods) {
    const int n = static_cast<int>(Text.size());
    auto move = [&](int to) {
        Caret = std::clamp(to, 0, n);
        if (!mods.Shift) Anchor = Caret;
    };
    switch (key) {
        case vk::Left: move(Caret - 1); break;
        case vk::Right: move(Caret + 1); break;
        case vk::Home: move(0); break;
        case vk::End: move(n); break;
        case vk::Delete:
            if (core_.Options.ReadOnly) break;
            if (Anchor == Caret) {
                if (Caret == n) break;
                Anchor = Caret + 1;
            }
            ReplaceSelection(L"");
            break;
        default: break;
    }
}

void TSimulatedEdit::StandardCopy() {
    int start = 0, end = 0;
    GetSelection(start, end);
    if (end > start) Clipboard = Text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

void TSimulatedEdit::StandardCut() {
    StandardCopy();
    if (!core_.Options.ReadOnly && Anchor != Caret) ReplaceSelection(L"");
}

bool TSimulatedEdit::ClipboardText(std::wstring& text) {
    if (!Clipboard) return false;
    text = *Clipboard;
    return true;
}

bool TSimulatedEdit::AllowClipboard(TClipboardAction action, const std::wstring& value) {
    return OnClipboard ? OnClipboard(action, value) : true;
}

namespace {

// Runs one step on a model loaded with `state` and reads the outcome.
template <class Step>
TEditOutcome Simulate(const TKelEditOptions& options, const TEditState& state, Step step) {
    TSimulatedEdit edit(options);
    edit.Load(state.WindowText, state.SelStart, state.SelLength);
    edit.Core().SetModifiedState(state.ModifiedState);
    TEditOutcome out;
    out.Passed = step(edit);
    int start = 0, end = 0;
    edit.GetSelection(start, end);
    out.State = TEditState{edit.Text, start, end - start, edit.Core().ModifiedState()};
    out.Changes = edit.Changes;
    out.TabPosted = edit.TabsPosted > 0;
    out.FocusMoved = edit.FocusMoves > 0;
    out.Clipboard = edit.Clipboard;
    return out;
}

}  // namespace

TEditOutcome TypeChar(const TKelEditOptions& options, const TEditState& state, wchar_t ch, TCharInfo info) {
    return Simulate(options, state, [&](TSimulatedEdit& e) { return e.Type(ch, info); });
}

TEditOutcome TypeText(const TKelEditOptions& options, const TEditState& state, const std::wstring& chars) {
    return Simulate(options, state, [&](TSimulatedEdit& e) {
        bool passed = false;
        for (wchar_t c : chars) passed = e.Type(c);
        return passed;
    });
}

TEditOutcome PressKey(const TKelEditOptions& options, const TEditState& state, uint16_t key, TKeyModifiers mods) {
    return Simulate(options, state, [&](TSimulatedEdit& e) { return e.Press(key, mods); });
}

TEditOutcome PasteText(const TKelEditOptions& options, const TEditState& state,
                       const std::optional<std::wstring>& clipboard) {
    return Simulate(options, state, [&](TSimulatedEdit& e) {
        e.Clipboard = clipboard;
        e.Core().Paste();
        return true;
    });
}

}  // namespace kel
