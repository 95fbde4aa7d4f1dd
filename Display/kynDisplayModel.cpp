// The display's state and its change event.
#include "Display/kynDisplayModel.h"

#include <algorithm>
#include <utility>

namespace kyn {

int TkynDisplayModel::Subscribe(TChangeHandler handler) {
    subscribers_.push_back({next_id_, std::move(handler)});
    return next_id_++;
}

void TkynDisplayModel::Unsubscribe(int id) {
    std::erase_if(subscribers_, [id](const Subscriber& s) { return s.id == id; });
}

void TkynDisplayModel::Fire(TModelChange change) {
    // A handler may subscribe or unsubscribe others: walk a copy, and skip
    // whoever left meanwhile.
    const std::vector<Subscriber> now = subscribers_;
    for (const Subscriber& s : now) {
        const bool subscribed =
            std::any_of(subscribers_.begin(), subscribers_.end(), [&](const Subscriber& x) { return x.id == s.id; });
        if (subscribed && s.handler) s.handler(change);
    }
}

template <class Edit>
void TkynDisplayModel::EditSettings(TModelChange change, Edit&& edit) {
    TGeneralSettings next = settings_;
    edit(next);
    common::ClampGeneralSettings(next);
    if (next == settings_) return;
    settings_ = std::move(next);
    Fire(change);
}

void TkynDisplayModel::ReplaceSettings(const TGeneralSettings& settings) {
    settings_ = settings;
    common::ClampGeneralSettings(settings_);
    Fire(TModelChange::Settings);
}

void TkynDisplayModel::SetLanguage(int language) {
    EditSettings(TModelChange::Language, [&](TGeneralSettings& s) { s.Language = language; });
}

void TkynDisplayModel::SetTheme(int theme) {
    EditSettings(TModelChange::Theme, [&](TGeneralSettings& s) { s.Theme = theme; });
}

void TkynDisplayModel::SetWindowBounds(int top, int left, int width, int height) {
    EditSettings(TModelChange::WindowBounds, [&](TGeneralSettings& s) {
        s.WindowTop = top;
        s.WindowLeft = left;
        s.WindowWidth = width;
        s.WindowHeight = height;
    });
}

void TkynDisplayModel::SetLineThickness(int thickness) {
    EditSettings(TModelChange::LineThickness, [&](TGeneralSettings& s) { s.LineThickness = thickness; });
}

void TkynDisplayModel::SetSweepRate(int rate) {
    EditSettings(TModelChange::SweepRate, [&](TGeneralSettings& s) { s.SweepRate = rate; });
}

void TkynDisplayModel::SetStartDelayMs(int delayMs) {
    EditSettings(TModelChange::StartDelay, [&](TGeneralSettings& s) { s.StartDelayMs = delayMs; });
}

void TkynDisplayModel::SetSweepDirection(int direction) {
    EditSettings(TModelChange::SweepDirection, [&](TGeneralSettings& s) { s.SweepDirection = direction; });
}

void TkynDisplayModel::SetBackgroundColour(const TDisplayColour& colour) {
    EditSettings(TModelChange::Colours, [&](TGeneralSettings& s) { s.BackgroundColour = colour; });
}

void TkynDisplayModel::SetLineColour(const TDisplayColour& colour) {
    EditSettings(TModelChange::Colours, [&](TGeneralSettings& s) { s.LineColour = colour; });
}

void TkynDisplayModel::SetGridSpacing(int spacing) {
    EditSettings(TModelChange::GridSpacing, [&](TGeneralSettings& s) { s.GridSpacing = spacing; });
}

void TkynDisplayModel::SetRunOptions(int startDelayOn, int resetBeforeRun) {
    EditSettings(TModelChange::RunOptions, [&](TGeneralSettings& s) {
        s.StartDelayOn = startDelayOn;
        s.ResetBeforeRun = resetBeforeRun;
    });
}

void TkynDisplayModel::SetServerBinding(const std::wstring& ip, int port) {
    EditSettings(TModelChange::ServerBinding, [&](TGeneralSettings& s) {
        s.ServerIP = ip;
        s.ServerPort = port;
    });
}

template <class T>
void TkynDisplayModel::SetSweepField(T TSweepState::*field, T value, TModelChange change) {
    if (sweep_.*field == value) return;
    sweep_.*field = value;
    Fire(change);
}

void TkynDisplayModel::SetSweepPosTo(int pos) { SetSweepField(&TSweepState::SweepPos, pos, TModelChange::SweepPosition); }

void TkynDisplayModel::SweepTick(int extent) {
    TSweepState next = sweep_;
    kyn::SweepTick(next, extent);
    SetSweepPosTo(next.SweepPos);
}

void TkynDisplayModel::MakeNextStep(int extent) {
    TSweepState next = sweep_;
    kyn::MakeNextStep(next, extent);
    SetSweepPosTo(next.SweepPos);
}

void TkynDisplayModel::ResetScanLine(int extent) { SetSweepPosTo(StartEdge(extent)); }

void TkynDisplayModel::SetSweepPos(int pos) { SetSweepPosTo(pos); }

void TkynDisplayModel::SetSweepMode(TSweepMode mode) { SetSweepField(&TSweepState::SweepMode, mode, TModelChange::SweepMode); }

void TkynDisplayModel::SetStepDirection(int direction) {
    SetSweepField(&TSweepState::StepDirection, direction, TModelChange::SweepMode);
}

void TkynDisplayModel::SetPaused(bool paused) { SetSweepField(&TSweepState::Paused, paused, TModelChange::Paused); }

void TkynDisplayModel::RequestRun() { SetSweepField(&TSweepState::RunRequested, true, TModelChange::RunRequest); }

void TkynDisplayModel::RunServed() { SetSweepField(&TSweepState::RunRequested, false, TModelChange::RunRequest); }

void TkynDisplayModel::SetGridOn(bool on) { SetSweepField(&TSweepState::GridOn, on, TModelChange::Figure); }

void TkynDisplayModel::SetCrossHairsOn(bool on) { SetSweepField(&TSweepState::CrossHairsOn, on, TModelChange::Figure); }

void TkynDisplayModel::SetScanLineVisible(bool visible) {
    SetSweepField(&TSweepState::ScanLineVisible, visible, TModelChange::Figure);
}

void TkynDisplayModel::SetGLReady(bool ready) { SetSweepField(&TSweepState::GLReady, ready, TModelChange::GLReady); }

}  // namespace kyn
