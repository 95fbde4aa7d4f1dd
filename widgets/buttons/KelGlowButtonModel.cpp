// The glow button's state machine.
#include "widgets/buttons/KelGlowButtonModel.h"

#include <algorithm>
#include <cwctype>

namespace kel::glow {

void TGlowButtonModel::SetDown(bool value) {
    if (host_.Loading()) DownReadWhileLoading = value;
    // A plain button never stays down.
    if (GroupIndex == 0 && Style == bsButton) value = false;
    if (Style == bsCheck) {
        down_ = value;
        State = value ? vsDown : vsUp;
        host_.RepaintNow();
        return;
    }
    if (value == down_ || (down_ && !AllowAllUp)) return;
    down_ = value;
    if (value) {
        if (State == vsUp) host_.Invalidate();
        State = vsChecked;
    } else {
        State = vsUp;
        host_.RepaintNow();
    }
    if (value && !CheckedLinked) NotifyGroup();
}

void TGlowButtonModel::FollowActionChecked(bool checked) {
    if (Style == bsCheck || GroupIndex != 0) {
        if (checked == down_) return;
        down_ = checked;
        State = checked ? (Style == bsCheck ? vsDown : vsChecked) : vsUp;
        host_.RepaintNow();
        return;
    }
    SetDown(checked);
}

void TGlowButtonModel::NotifyGroup() {
    if (GroupIndex != 0) host_.BroadcastButtonPressed(GroupIndex);
}

void TGlowButtonModel::ButtonPressed(int groupIndex, const TGlowButtonModel* sender) {
    if (groupIndex != GroupIndex || sender == this || !sender) return;
    if (sender->down_ && down_) {
        down_ = false;
        State = vsUp;
        host_.Invalidate();
    }
}

void TGlowButtonModel::FadeTimerTick() {
    auto step = [this](int& level) {
        level += FadeStep;
        if ((level > 100 && FadeStep > 0) || (level < 0 && FadeStep < 0)) {
            level = std::clamp(level, 0, 100);
            FadeKind = fkDone;
            host_.FreeFadeTimer();
            return true;
        }
        host_.Invalidate();
        return false;
    };
    switch (FadeKind) {
        case fkHot:
            step(HotLevel);
            break;
        case fkDown: {
            const bool negative = FadeStep < 0;
            if (step(DownLevel) && negative) {
                Pressed = false;
                LeftWhilePressed = false;
            }
            break;
        }
        case fkDone:
            break;
    }
}

void TGlowButtonModel::MouseEnter() {
    if (Hot) return;
    MouseOver = true;
    if (LeftWhilePressed) Pressed = true;
    host_.StartFadeTimer();
    if (!Pressed && FadeKind != fkDown) {
        FadeStep = kFadeStep;
        FadeKind = fkHot;
    }
    host_.Invalidate();
    MouseInFlag = true;
    Hot = true;
}

void TGlowButtonModel::MouseLeave() {
    if (!Hot) return;
    Hot = false;
    MouseInFlag = false;
    MouseOver = false;
    OverDropDown = false;
    if (Pressed && LeftDown) {
        Pressed = false;
        FadeStep = -kFadeStep;
        FadeKind = fkHot;
        host_.Invalidate();
        LeftWhilePressed = true;
    } else {
        Pressed = false;
        HotLevel = 100;
        FadeStep = -kFadeStep;
        FadeKind = fkHot;
        host_.Invalidate();
    }
    host_.StartFadeTimer();
}

bool TGlowButtonModel::InDropDownPart(int x, int y) const {
    return (DropDownPosition == dpRight && x > host_.Width() - kDropDownPart) ||
           (DropDownPosition == dpBottom && y > host_.Height() - kDropDownPart);
}

bool TGlowButtonModel::PressOpensDropDown(int x, int y) const {
    if (!DropDownButton) return host_.ClickOpensDropDown();
    if (DropDownSplit) return InDropDownPart(x, y);
    return Style == bsButton && GroupIndex <= 0;
}

void TGlowButtonModel::LeftPress(int x, int y) {
    const Life alive = life();
    if (RepeatClick) host_.StartRepeatTimer(InitRepeatPause);
    Pressed = true;
    LeftDown = true;
    if (host_.TabStop()) {
        host_.SetFocus();
        if (!*alive) return;
    }
    host_.StartFadeTimer();
    FadeStep = kFadeStep;
    FadeKind = fkDown;
    if (PressOpensDropDown(x, y)) {
        // No click follows a press that opens the drop-down.
        LButtonDownSeen = false;
        MouseInFlag = false;
        FireDropDown();
        if (!*alive) return;
        if (host_.HasDropDownMenu()) {
            Pressed = !DropDownSplit;
            Hot = false;
            host_.RepaintNow();
            host_.PopupDropDownMenu();
            if (!*alive) return;
            FinishDropDown(alive);
            if (!*alive) return;
        }
        host_.Invalidate();
        return;
    }
    if (Style == bsCheck) SetDown(!down_);
    if (!down_) {
        State = vsDown;
        host_.Invalidate();
    }
    if (Style == bsCheck) {
        State = vsDown;
        host_.RepaintNow();
    }
    Tracking = true;
}

void TGlowButtonModel::FinishDropDown(const Life& alive) {
    Pressed = false;
    // The menu ran its own loop: the release never reached the button.
    LeftDown = false;
    if (!host_.CursorInsideClient()) {
        Hot = false;
        MouseInFlag = false;
        MouseOver = false;
        OverDropDown = false;
    }
    if (*alive) host_.RepaintNow();
}

void TGlowButtonModel::MouseMove(int x, int y) {
    const bool over = DropDownButton && ((DropDownPosition == dpRight && x > host_.Width() - kDropDownHotStrip) ||
                                         (DropDownPosition == dpBottom && y > host_.Height() - kDropDownHotStrip));
    if (over != OverDropDown) {
        OverDropDown = over;
        host_.Invalidate();
    }
    if (Tracking) {
        TVisualState next = down_ ? vsChecked : vsUp;
        // The row just below the bottom edge counts as inside.
        if (x >= 0 && x < host_.ClientWidth() && y >= 0 && y <= host_.ClientHeight()) next = down_ ? vsChecked : vsDown;
        if (Style == bsCheck && down_) next = vsDown;
        if (next != State) {
            State = next;
            host_.Invalidate();
        }
    } else if (!MouseInFlag) {
        CheckMouseOver();
    }
}

void TGlowButtonModel::CheckMouseOver() {
    if (!host_.IsEnabled()) return;
    const bool outside = !host_.ControlUnderCursorIsSelf();
    if (outside == MouseInFlag) {
        MouseInFlag = outside;
        if (outside)
            host_.SendMouseLeave();
        else
            host_.SendMouseEnter();
    }
}

void TGlowButtonModel::LeftRelease(int x, int y) {
    const Life alive = life();
    FadeStep = -kFadeStep;
    FadeKind = fkDown;
    LeftDown = false;
    LeftWhilePressed = false;
    host_.StartFadeTimer();
    bool releaseHandled = false;
    if ((DropDownButton || !host_.ClickOpensDropDown()) && Tracking) {
        Tracking = false;
        const bool inside = x >= 0 && x < host_.ClientWidth() && y >= 0 && y <= host_.ClientHeight();
        bool more = true;
        if (GroupIndex != 0) {
            if (host_.HasAction() && (CheckedLinked || GroupIndexLinked)) {
                // The action keeps Down; the framework's own press mark clicks it.
                const bool marked = LButtonDownSeen;
                LButtonDownSeen = false;
                host_.FrameworkMouseUp(x, y, marked);
                return;
            }
            if (inside) {
                SetDown(!down_);
                if (down_) host_.RepaintNow();
            } else {
                if (down_) State = vsChecked;
                host_.RepaintNow();
            }
        } else {
            State = vsUp;
            MouseInFlag = false;
            if (Style == bsCheck) {
                if (host_.HasAction()) {
                    const bool marked = LButtonDownSeen;
                    LButtonDownSeen = false;
                    host_.FrameworkMouseUp(x, y, marked);
                    if (!*alive) return;
                    releaseHandled = true;
                    if (CheckedLinked || GroupIndexLinked || host_.ActionIsAutoCheck()) more = false;
                }
                if (more) {
                    if (!inside && down_) SetDown(false);
                    host_.RepaintNow();
                }
            }
            if (more && inside && State != vsDown && State != vsChecked) host_.Invalidate();
        }
        if (!*alive) return;
        CheckMouseOver();
        if (!*alive) return;
    }
    if (!releaseHandled) {
        const bool marked = LButtonDownSeen;
        LButtonDownSeen = false;
        host_.FrameworkMouseUp(x, y, marked);
        if (!*alive) return;
    }
    if (Style == bsCheck || GroupIndex > 0) host_.RepaintNow();
    host_.Invalidate();
}

void TGlowButtonModel::RepeatTimerTick() {
    host_.SetRepeatInterval(RepeatPause);
    if (Pressed && host_.HasMouseCapture()) {
        try {
            host_.Click();
        } catch (...) {
            host_.StopRepeatTimer();
            throw;
        }
    }
}

void TGlowButtonModel::KeyDown(uint16_t& key, unsigned shift) {
    if (key == kKeyEnter || key == kKeySpace) {
        Pressed = true;
        State = vsDown;
        host_.RepaintNow();
    } else if (key == kKeyF4) {
        const Life alive = life();
        ShowDropDownMenu();
        if (!*alive) return;
    }
    host_.FireInternalKeyDown(key, shift);
}

TVisualState TGlowButtonModel::RestingState() const {
    // A grouped button that is down keeps its checked look.
    return down_ && GroupIndex != 0 ? vsChecked : vsUp;
}

void TGlowButtonModel::KeyUp() {
    Pressed = false;
    State = RestingState();
    host_.RepaintNow();
}

void TGlowButtonModel::KeyPress(wchar_t key) {
    if (key == L' ' || key == L'\r') host_.KeyClick();
}

bool TGlowButtonModel::DialogKey(uint16_t key, unsigned shift) {
    const bool wanted = (key == kKeyEnter && DefaultActive) || (key == kKeyEscape && Cancel);
    if (!wanted || (shift & (kShiftKey | kAltKey | kCtrlKey)) || !host_.CanFocus()) return false;
    const Life alive = life();
    ClickOrDropDown();
    if (!*alive) return true;
    State = RestingState();
    return true;
}

bool TGlowButtonModel::DialogChar(wchar_t ch, unsigned shift, const std::wstring& caption) {
    if (!(shift & kAltKey) || !IsAccelerator(ch, caption) || !host_.CanFocus()) return false;
    if (host_.ClickOpensDropDown() || host_.HasDropDownMenu())
        ShowDropDownMenu();
    else
        host_.Click();
    return true;
}

void TGlowButtonModel::FocusChanged(bool focusedIsGlowButton, bool focusedIsThis) {
    DefaultActive = focusedIsGlowButton ? focusedIsThis : Default;
}

void TGlowButtonModel::Enter() {
    host_.Invalidate();
    Focused = true;
}

void TGlowButtonModel::Exit() {
    Pressed = false;
    State = RestingState();
    Focused = false;
    host_.Invalidate();
}

void TGlowButtonModel::ClickOrDropDown() {
    const bool opens = (!DropDownButton && host_.ClickOpensDropDown()) ||
                       (DropDownButton && Style == bsButton && GroupIndex <= 0 && !DropDownSplit);
    if (opens) {
        if (host_.HasDropDownMenu())
            ShowDropDownMenu();
        else
            host_.Click();
        return;
    }
    if (Style == bsCheck) {
        SetDown(!down_);
        State = vsDown;
        host_.RepaintNow();
    }
    host_.Click();
}

void TGlowButtonModel::ShowDropDownMenu() {
    if (!host_.ClickOpensDropDown() && !host_.HasDropDownMenu()) return;
    const Life alive = life();
    if (host_.HasDropDownMenu()) {
        host_.FireInternalDropDown();
        if (!*alive) return;
        State = vsDown;
        FireDropDown();
        if (!*alive) return;
        host_.Invalidate();
        // OnDropDown may have taken the menu away.
        if (host_.HasDropDownMenu()) host_.PopupDropDownMenu();
        if (!*alive) return;
        State = RestingState();
        host_.RepaintNow();
    }
    host_.Invalidate();
}

void TGlowButtonModel::Loaded() {
    if (DownReadWhileLoading != down_) SetDown(DownReadWhileLoading);
}

void TGlowButtonModel::NormaliseState() {
    if (!host_.IsEnabled()) {
        State = vsDisabled;
        Tracking = false;
    } else if (State == vsDisabled) {
        State = down_ && GroupIndex != 0 ? vsChecked : vsUp;
    }
    if (Style == bsCheck && down_) State = vsDown;
}

int TGlowButtonModel::DropDownState() const {
    if (DropDownButton && (MouseInFlag || LeftDown)) return OverDropDown ? 2 : 1;
    return 0;
}

bool IsAccelerator(wchar_t ch, const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return std::towupper(static_cast<wint_t>(caption[i + 1])) == std::towupper(static_cast<wint_t>(ch));
    }
    return false;
}

}  // namespace kel::glow
