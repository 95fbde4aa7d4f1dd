// The glow button's behaviour without the platform: its state flags, the
// hover and press fades, auto-repeat, grouping, the drop-down part, the
// release outcomes and the keys. The control hands it the input and lends
// it a host for everything that touches windows, timers and events, so the
// state machine runs in host tests against a fake clock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "widgets/buttons/KelGlowButtonTypes.h"

namespace kel::glow {

// Keys the button reacts to (the virtual-key codes).
constexpr uint16_t kKeyEnter = 0x0D;
constexpr uint16_t kKeyEscape = 0x1B;
constexpr uint16_t kKeySpace = 0x20;
constexpr uint16_t kKeyF4 = 0x73;
// Modifier bits of the key data (as the framework's shift state).
constexpr unsigned kShiftKey = 1, kAltKey = 2, kCtrlKey = 4;

constexpr int kFadeInterval = 30;
constexpr int kFadeStep = 20;

enum TFadeKind { fkHot = 0, fkDown = 1, fkDone = 2 };

// What the model needs of the control.
class IGlowButtonHost {
public:
    virtual void Invalidate() = 0;
    // Paints now (a repaint at once).
    virtual void RepaintNow() = 0;
    // Runs the paint routine directly on the control's canvas, when it has
    // a parent and a window and is not being loaded.
    virtual void PaintDirect() = 0;
    virtual bool IsEnabled() const = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Loading() const = 0;

    // The fade timer: 30 ms, made when none exists.
    virtual void StartFadeTimer() = 0;
    virtual void FreeFadeTimer() = 0;
    virtual bool FadeTimerExists() const = 0;
    // The repeat timer: made on first use, kept until the button goes.
    virtual void StartRepeatTimer(int intervalMs) = 0;
    virtual void SetRepeatInterval(int intervalMs) = 0;
    virtual void StopRepeatTimer() = 0;

    virtual bool HasMouseCapture() const = 0;
    virtual bool TabStop() const = 0;
    virtual void SetFocus() = 0;
    virtual bool CanFocus() const = 0;

    virtual bool ClickOpensDropDown() const = 0;
    virtual bool HasDropDownMenu() const = 0;
    virtual void FireDropDownEvent() = 0;       // OnDropDown
    virtual void FireInternalDropDown() = 0;    // OnInternalDropDown
    virtual void FireInternalKeyDown(uint16_t& key, unsigned shift) = 0;
    // Pops the drop-down menu up at the menu position; returns when it
    // closes. May free the button (see the model's Alive test).
    virtual void PopupDropDownMenu() = 0;
    virtual bool CursorInsideClient() const = 0;
    // The control under the cursor (disabled ones included) is this button.
    virtual bool ControlUnderCursorIsSelf() const = 0;
    // Routes a mouse-enter or -leave through the control's own handling.
    virtual void SendMouseEnter() = 0;
    virtual void SendMouseLeave() = 0;
    // The framework's release handling: releases the capture, clicks when
    // marked and inside, fires OnMouseUp.
    virtual void FrameworkMouseUp(int x, int y, bool clickMarked) = 0;

    virtual bool HasAction() const = 0;
    virtual bool ActionIsAutoCheck() const = 0;
    // Tells the siblings on the parent (CM_BUTTONPRESSED); none without one.
    virtual void BroadcastButtonPressed(int groupIndex) = 0;
    // Click: the form's ModalResult, OnInternalClick, then OnClick or the action.
    virtual void Click() = 0;
    // Space or Enter typed: the form's ModalResult, then OnClick directly.
    virtual void KeyClick() = 0;

protected:
    ~IGlowButtonHost() = default;
};

class TGlowButtonModel {
public:
    explicit TGlowButtonModel(IGlowButtonHost& host) : host_(host) {}
    TGlowButtonModel(const TGlowButtonModel&) = delete;
    TGlowButtonModel& operator=(const TGlowButtonModel&) = delete;

    // Settings the behaviour reads (the control's properties).
    TKelButtonStyle Style = bsButton;
    int GroupIndex = 0;
    bool AllowAllUp = false;
    bool DropDownButton = false;
    bool DropDownSplit = true;
    TDropDownPosition DropDownPosition = dpRight;
    bool RepeatClick = false;
    int InitRepeatPause = 400;
    int RepeatPause = 100;
    bool Default = false;
    bool Cancel = false;

    bool Down() const { return down_; }
    void SetDown(bool value);
    // Down as a linked action's Checked says, also for a grouped button
    // without AllowAllUp; the action's group keeps the siblings in step.
    void FollowActionChecked(bool checked);
    // A sibling's CM_BUTTONPRESSED.
    void ButtonPressed(int groupIndex, const TGlowButtonModel* sender);
    void NotifyGroup();

    // Internal state (read by the paint and the tests).
    TVisualState State = vsUp;
    bool Hot = false;
    bool MouseOver = false;
    bool MouseInFlag = false;
    bool Pressed = false;
    bool LeftDown = false;
    bool LeftWhilePressed = false;
    bool Tracking = false;
    bool OverDropDown = false;
    bool LButtonDownSeen = false;
    bool Focused = false;
    bool DefaultActive = false;
    int HotLevel = 0;
    int DownLevel = 0;
    int FadeStep = 0;
    TFadeKind FadeKind = fkHot;
    bool DownReadWhileLoading = false;
    bool CheckedLinked = false;
    bool GroupIndexLinked = false;

    // Input.
    void MouseEnter();
    void MouseLeave();
    void LeftPress(int x, int y);
    void MouseMove(int x, int y);
    void CheckMouseOver();
    void LeftRelease(int x, int y);
    void FadeTimerTick();
    void RepeatTimerTick();
    void KeyDown(uint16_t& key, unsigned shift);
    void KeyUp();
    void KeyPress(wchar_t key);
    // CM_DIALOGKEY: true when handled.
    bool DialogKey(uint16_t key, unsigned shift);
    // CM_DIALOGCHAR with the caption (or WideCaption when it is empty).
    bool DialogChar(wchar_t ch, unsigned shift, const std::wstring& caption);
    // CM_FOCUSCHANGED: which control took the focus.
    void FocusChanged(bool focusedIsGlowButton, bool focusedIsThis);
    void Enter();
    void Exit();
    void ClickOrDropDown();
    void ShowDropDownMenu();
    void FireDropDown() { host_.FireDropDownEvent(); }
    void Loaded();
    void WindowCreated() { DefaultActive = Default; }

    // Visual-state normalisation at the start of every paint.
    void NormaliseState();
    // 0 not tracked, 1 the cursor over the body, 2 over the drop-down part.
    int DropDownState() const;

    // Whether a press at (x, y) lies in the drop-down part, and whether it
    // opens the drop-down rather than pressing the button.
    bool InDropDownPart(int x, int y) const;
    bool PressOpensDropDown(int x, int y) const;

    ~TGlowButtonModel() { *life_ = false; }

private:
    // Handlers may free the button directly; a copy of this token tells
    // whether it is still there after one returns.
    using Life = std::shared_ptr<bool>;
    Life life() const { return life_; }
    void FinishDropDown(const Life& life);
    TVisualState RestingState() const;

    IGlowButtonHost& host_;
    bool down_ = false;
    Life life_ = std::make_shared<bool>(true);
};

// Whether `ch` is the accelerator of `caption` (the character after a
// single "&"), ignoring case.
bool IsAccelerator(wchar_t ch, const std::wstring& caption);

}  // namespace kel::glow
