// A fake control for the glow button's model: a clock that fires the fade
// and repeat timers, counters for what the model asks of the control, and
// siblings for grouping.
#pragma once

#include <functional>
#include <vector>

#include "widgets/buttons/KelGlowButtonModel.h"

namespace kel::glow::test {

class FakeButton final : public IGlowButtonHost {
public:
    TGlowButtonModel model{*this};

    // What the control would report.
    bool enabled = true;
    int width = 100, height = 41;
    bool tabStop = false, canFocus = true, loading = false;
    bool clickOpensDropDown = false, hasMenu = false;
    bool cursorInside = true, underCursorSelf = true;
    bool hasAction = false, autoCheck = false;
    bool capture = false;
    std::vector<FakeButton*>* group = nullptr;

    // Counters.
    int invalidates = 0, repaints = 0, directPaints = 0, clicks = 0, keyClicks = 0, dropDownEvents = 0,
        internalDropDowns = 0, popups = 0, mouseUps = 0, focusCalls = 0, enters = 0, leaves = 0;
    std::function<void()> onClick, onPopup, onDropDown;

    // The clock.
    int now = 0;
    bool fadeTimer = false;
    int fadeDue = 0;
    bool repeatTimer = false, repeatEnabled = false;
    int repeatInterval = 0, repeatDue = 0;

    // Advances the clock, firing the timers that fall due on the way.
    void Advance(int ms) {
        const int end = now + ms;
        for (;;) {
            int next = end + 1;
            if (fadeTimer) next = std::min(next, fadeDue);
            if (repeatTimer && repeatEnabled) next = std::min(next, repeatDue);
            if (next > end) break;
            now = next;
            if (fadeTimer && fadeDue == now) {
                fadeDue += kFadeInterval;
                model.FadeTimerTick();
            } else if (repeatTimer && repeatEnabled && repeatDue == now) {
                repeatDue += repeatInterval;
                model.RepeatTimerTick();
            }
        }
        now = end;
    }

    void Press(int x = 10, int y = 10) {
        capture = true;
        model.LButtonDownSeen = true;
        model.LeftPress(x, y);
    }
    void Release(int x = 10, int y = 10) { model.LeftRelease(x, y); }

    void Invalidate() override { ++invalidates; }
    void RepaintNow() override { ++repaints; }
    void PaintDirect() override { ++directPaints; }
    bool IsEnabled() const override { return enabled; }
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    bool Loading() const override { return loading; }
    void StartFadeTimer() override {
        if (fadeTimer) return;
        fadeTimer = true;
        fadeDue = now + kFadeInterval;
    }
    void FreeFadeTimer() override { fadeTimer = false; }
    bool FadeTimerExists() const override { return fadeTimer; }
    void StartRepeatTimer(int ms) override {
        repeatTimer = true;
        repeatEnabled = true;
        repeatInterval = ms;
        repeatDue = now + ms;
    }
    void SetRepeatInterval(int ms) override {
        repeatInterval = ms;
        repeatDue = now + ms;
    }
    void StopRepeatTimer() override { repeatEnabled = false; }
    bool HasMouseCapture() const override { return capture; }
    bool TabStop() const override { return tabStop; }
    void SetFocus() override { ++focusCalls; }
    bool CanFocus() const override { return canFocus; }
    bool ClickOpensDropDown() const override { return clickOpensDropDown; }
    bool HasDropDownMenu() const override { return hasMenu; }
    void FireDropDownEvent() override {
        ++dropDownEvents;
        if (onDropDown) onDropDown();
    }
    void FireInternalDropDown() override { ++internalDropDowns; }
    void FireInternalKeyDown(uint16_t&, unsigned) override {}
    void PopupDropDownMenu() override {
        ++popups;
        if (onPopup) onPopup();
    }
    bool CursorInsideClient() const override { return cursorInside; }
    bool ControlUnderCursorIsSelf() const override { return underCursorSelf; }
    void SendMouseEnter() override {
        ++enters;
        model.MouseEnter();
    }
    void SendMouseLeave() override {
        ++leaves;
        model.MouseLeave();
    }
    void FrameworkMouseUp(int x, int y, bool marked) override {
        ++mouseUps;
        capture = false;
        StopRepeatTimer();  // as the control's MouseUp does
        model.LButtonDownSeen = false;
        if (marked && x >= 0 && y >= 0 && x < width && y < height) Click();
    }
    bool HasAction() const override { return hasAction; }
    bool ActionIsAutoCheck() const override { return autoCheck; }
    void BroadcastButtonPressed(int groupIndex) override {
        if (!group) return;
        for (FakeButton* b : *group) b->model.ButtonPressed(groupIndex, &model);
    }
    void Click() override {
        ++clicks;
        if (onClick) onClick();
    }
    void KeyClick() override { ++keyClicks; }
};

}  // namespace kel::glow::test
