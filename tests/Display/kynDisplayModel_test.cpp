// The display's model: values brought into range, one change per real change,
// and handlers that may change the model or leave while it reports.
#include "Display/kynDisplayModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace kyn {
namespace {

struct TRecorder {
    explicit TRecorder(TkynDisplayModel& m) : model(m) {
        id = model.Subscribe([this](TModelChange c) { changes.push_back(c); });
    }
    ~TRecorder() { model.Unsubscribe(id); }
    TkynDisplayModel& model;
    int id;
    std::vector<TModelChange> changes;
};

TEST(DisplayModel, SettersBringValuesIntoRangeAndReportTheirKindOnlyOnChange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        const char* name;
        std::function<void(TkynDisplayModel&)> set;
        TModelChange change;
        std::function<bool(const TGeneralSettings&)> holds;
    };
    const Row rows[] = {
        {"rate above the range", [](auto& m) { m.SetSweepRate(5000); }, TModelChange::SweepRate,
         [](const auto& s) { return s.SweepRate == 1000; }},
        {"rate below", [](auto& m) { m.SetSweepRate(0); }, TModelChange::SweepRate,
         [](const auto& s) { return s.SweepRate == 1; }},
        {"thickness", [](auto& m) { m.SetLineThickness(20); }, TModelChange::LineThickness,
         [](const auto& s) { return s.LineThickness == 8; }},
        {"grid spacing", [](auto& m) { m.SetGridSpacing(0); }, TModelChange::GridSpacing,
         [](const auto& s) { return s.GridSpacing == 1; }},
        {"start delay", [](auto& m) { m.SetStartDelayMs(-1); }, TModelChange::StartDelay,
         [](const auto& s) { return s.StartDelayMs == 0; }},
        {"colour", [nan](auto& m) { m.SetLineColour({2.0, nan, -1.0, 3, 0.5}); }, TModelChange::Colours,
         [](const auto& s) { return s.LineColour == TDisplayColour{1.0, 0.0, 0.0, 3, 0.5}; }},
        {"direction, any value", [](auto& m) { m.SetSweepDirection(7); }, TModelChange::SweepDirection,
         [](const auto& s) { return s.SweepDirection == 7; }},
        {"window", [](auto& m) { m.SetWindowBounds(0, 0, 640, 480); }, TModelChange::WindowBounds,
         [](const auto& s) { return s.WindowWidth == 640 && s.WindowHeight == 480; }},
        {"run options", [](auto& m) { m.SetRunOptions(1, -1); }, TModelChange::RunOptions,
         [](const auto& s) { return s.StartDelayOn == 1 && s.ResetBeforeRun == -1; }},
        {"server", [](auto& m) { m.SetServerBinding(L"127.0.0.1", 4000); }, TModelChange::ServerBinding,
         [](const auto& s) { return s.ServerIP == L"127.0.0.1" && s.ServerPort == 4000; }},
        {"theme", [](auto& m) { m.SetTheme(1); }, TModelChange::Theme, [](const auto& s) { return s.Theme == 1; }},
        {"language", [](auto& m) { m.SetLanguage(2); }, TModelChange::Language,
         [](const auto& s) { return s.Language == 2; }},
    };
    for (const Row& r : rows) {
        TkynDisplayModel model;
        TRecorder recorder(model);
        r.set(model);
        EXPECT_TRUE(r.holds(model.Settings())) << r.name;
        EXPECT_EQ(recorder.changes, std::vector<TModelChange>{r.change}) << r.name;
        r.set(model);  // the same again: nothing changes, nothing is reported
        EXPECT_EQ(recorder.changes.size(), 1u) << r.name;
    }
    // A value that clamps to what is stored is no change either.
    TkynDisplayModel model;
    model.SetSweepRate(1000);
    TRecorder recorder(model);
    model.SetSweepRate(1001);
    EXPECT_TRUE(recorder.changes.empty());
}

TEST(DisplayModel, ReplacedSettingsAreBroughtIntoRangeAndAlwaysReported) {
    TkynDisplayModel model;
    TRecorder recorder(model);
    TGeneralSettings read;  // as a file may hold them
    read.LineThickness = 0;
    read.GridSpacing = -5;
    read.SweepRate = 0;
    read.Theme = 5;
    model.ReplaceSettings(read);
    EXPECT_EQ(model.Settings().LineThickness, 1);
    EXPECT_EQ(model.Settings().GridSpacing, 1);
    EXPECT_EQ(model.Settings().SweepRate, 1);
    EXPECT_EQ(model.Settings().Theme, 5);
    model.ReplaceSettings(model.Settings());
    EXPECT_EQ(recorder.changes, (std::vector<TModelChange>{TModelChange::Settings, TModelChange::Settings}));
}

TEST(DisplayModel, SweepOperationsMoveTheLineAndReportIt) {
    TkynDisplayModel model;
    TRecorder recorder(model);
    model.ResetScanLine(240);
    EXPECT_EQ(model.Sweep().SweepPos, -120);
    model.SweepTick(240);
    EXPECT_EQ(model.Sweep().SweepPos, -119);
    model.MakeNextStep(240);  // continuous mode: no step
    model.SetSweepMode(TSweepMode::smStep);
    model.SweepTick(240);  // step mode: no tick
    model.SetStepDirection(2);
    model.MakeNextStep(240);  // backward from S + 1 gives F
    EXPECT_EQ(model.Sweep().SweepPos, 120);
    model.MakeNextStep(240);
    EXPECT_EQ(model.Sweep().SweepPos, 119);
    EXPECT_EQ(recorder.changes,
              (std::vector<TModelChange>{TModelChange::SweepPosition, TModelChange::SweepPosition,
                                         TModelChange::SweepMode, TModelChange::SweepMode,
                                         TModelChange::SweepPosition, TModelChange::SweepPosition}));

    recorder.changes.clear();
    model.SetPaused(true);
    model.RequestRun();
    model.RequestRun();  // several requests give one run
    model.RunServed();
    model.SetGridOn(true);
    model.SetCrossHairsOn(true);
    model.SetScanLineVisible(false);
    model.SetGLReady(true);
    EXPECT_EQ(recorder.changes,
              (std::vector<TModelChange>{TModelChange::Paused, TModelChange::RunRequest, TModelChange::RunRequest,
                                         TModelChange::Figure, TModelChange::Figure, TModelChange::Figure,
                                         TModelChange::GLReady}));
    EXPECT_TRUE(model.Sweep().Paused);
    EXPECT_FALSE(model.Sweep().RunRequested);
}

TEST(DisplayModel, HandlersMayChangeTheModelAndUnsubscribeWhileItReports) {
    TkynDisplayModel model;
    std::vector<std::string> calls;
    int second = 0;
    const int first = model.Subscribe([&](TModelChange c) {
        calls.push_back("first");
        // A view that answers one change with another (the panel keeping the
        // rate and the pause together, say) and then leaves the second view.
        if (c == TModelChange::SweepRate) model.SetPaused(true);
        model.Unsubscribe(second);
    });
    second = model.Subscribe([&](TModelChange) { calls.push_back("second"); });
    model.SetSweepRate(500);
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "first"}));
    EXPECT_TRUE(model.Sweep().Paused);
    model.Unsubscribe(first);
    model.SetSweepRate(600);
    EXPECT_EQ(calls.size(), 2u);
}

}  // namespace
}  // namespace kyn
