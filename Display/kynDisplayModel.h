// The display program's state in one object: the general settings and the
// sweep and drawing state, with one change event. The renderer, the timers,
// the control panel and the text commands read and change the state only
// here, so that a change from any of them reaches everything that shows it
// (the sweep timer's interval follows the rate at once). GUI thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Display/kynSweepEngine.h"
#include "common/GeneralSettings.h"

namespace kyn {

using common::TDisplayColour;
using common::TGeneralSettings;

// What a change touched.
enum class TModelChange {
    Settings,  // the whole record was replaced (the settings file was read)
    Language,
    Theme,
    WindowBounds,
    LineThickness,
    SweepRate,
    StartDelay,
    SweepDirection,
    Colours,
    GridSpacing,
    RunOptions,  // StartDelayOn, ResetBeforeRun
    ServerBinding,
    SweepPosition,
    SweepMode,  // the mode or the step direction
    Paused,
    RunRequest,
    Figure,  // grid, cross hairs, scan line shown or hidden
    GLReady,
};

class TkynDisplayModel {
public:
    using TChangeHandler = std::function<void(TModelChange change)>;

    TkynDisplayModel() = default;
    TkynDisplayModel(const TkynDisplayModel&) = delete;
    TkynDisplayModel& operator=(const TkynDisplayModel&) = delete;

    // The settings are always in the ranges the display needs
    // (common::ClampGeneralSettings).
    const TGeneralSettings& Settings() const { return settings_; }
    const TSweepState& Sweep() const { return sweep_; }

    // Handlers run after each change, in the order they subscribed; one may
    // change the model again or unsubscribe any handler. Returns the id that
    // Unsubscribe takes.
    int Subscribe(TChangeHandler handler);
    void Unsubscribe(int id);

    // Settings. Each setter brings its value into range and reports its kind
    // when the stored value changed; ReplaceSettings always reports Settings.
    void ReplaceSettings(const TGeneralSettings& settings);
    void SetLanguage(int language);
    void SetTheme(int theme);
    void SetWindowBounds(int top, int left, int width, int height);
    void SetLineThickness(int thickness);
    void SetSweepRate(int rate);
    void SetStartDelayMs(int delayMs);
    void SetSweepDirection(int direction);
    void SetBackgroundColour(const TDisplayColour& colour);
    void SetLineColour(const TDisplayColour& colour);
    void SetGridSpacing(int spacing);
    void SetRunOptions(int startDelayOn, int resetBeforeRun);
    void SetServerBinding(const std::wstring& ip, int port);

    // Sweep state; extent is the window's extent along the sweep
    // (SweepExtent of the current direction).
    void SweepTick(int extent);
    void MakeNextStep(int extent);
    void ResetScanLine(int extent);
    void SetSweepPos(int pos);
    void SetSweepMode(TSweepMode mode);
    void SetStepDirection(int direction);
    void SetPaused(bool paused);
    void RequestRun();
    // The run-start frame has served the request.
    void RunServed();
    void SetGridOn(bool on);
    void SetCrossHairsOn(bool on);
    void SetScanLineVisible(bool visible);
    void SetGLReady(bool ready);

private:
    template <class Edit>
    void EditSettings(TModelChange change, Edit&& edit);
    template <class T>
    void SetSweepField(T TSweepState::*field, T value, TModelChange change);
    void SetSweepPosTo(int pos);
    void Fire(TModelChange change);

    TGeneralSettings settings_;
    TSweepState sweep_;
    struct Subscriber {
        int id;
        TChangeHandler handler;
    };
    std::vector<Subscriber> subscribers_;
    int next_id_ = 1;
};

}  // namespace kyn
