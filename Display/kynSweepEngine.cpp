// Sweep rules and frame geometry of the display.
#include "Display/kynSweepEngine.h"

#include <algorithm>
#include <cmath>

#include "common/GeneralSettings.h"

namespace kyn {

int RoundHalfUp(double x) {
    long double v = x;
    long double whole = std::trunc(v);
    int r = static_cast<int>(whole);
    if (v - whole >= 0.5L) ++r;
    return r;
}

int SweepExtent(int sweepDirection, int width, int height) { return sweepDirection == 1 ? height : width; }

int StartEdge(int extent) { return RoundHalfUp(-extent / 2.0); }

int FarEdge(int extent) { return RoundHalfUp(extent / 2.0); }

void SweepTick(TSweepState& s, int extent) {
    if (s.SweepMode != TSweepMode::smContinuous) return;
    s.SweepPos += 1;
    if (s.SweepPos >= FarEdge(extent)) s.SweepPos = StartEdge(extent);
}

void MakeNextStep(TSweepState& s, int extent) {
    if (s.SweepMode != TSweepMode::smStep) return;
    if (s.StepDirection == 1) {
        s.SweepPos += 1;
        if (s.SweepPos >= FarEdge(extent)) s.SweepPos = StartEdge(extent);
    } else {
        s.SweepPos -= 1;
        if (s.SweepPos <= StartEdge(extent)) s.SweepPos = FarEdge(extent);
    }
}

void ResetScanLine(TSweepState& s, int extent) { s.SweepPos = StartEdge(extent); }

int PositionNumber(const TSweepState& s, int extent) { return RoundHalfUp(extent / 2.0) + s.SweepPos; }

std::wstring PositionText(const TSweepState& s, int extent) {
    return L"Position " + std::to_wstring(PositionNumber(s, extent));
}

std::vector<TLineSegment> GridLines(int width, int height, int spacing) {
    spacing = common::ClampGridSpacing(spacing);
    std::vector<TLineSegment> lines;
    double hw = width / 2.0, hh = height / 2.0;
    for (int x = RoundHalfUp(-hw); x <= hw - 1; x += spacing) lines.push_back({double(x), -hh, double(x), hh});
    for (int y = RoundHalfUp(-hh); y <= hh - 1; y += spacing) lines.push_back({-hw, double(y), hw, double(y)});
    return lines;
}

std::vector<TLineSegment> CrossHairLines(int width, int height) {
    double hw = width / 2.0, hh = height / 2.0;
    return {{-hw, 0, hw, 0}, {0, -hh, 0, hh}};
}

TLineSegment ScanLine(int sweepDirection, int sweepPos, int width, int height) {
    double hw = width / 2.0, hh = height / 2.0;
    if (sweepDirection == 1) return {-hw, double(-sweepPos), hw, double(-sweepPos)};
    return {double(sweepPos), -hh, double(sweepPos), hh};
}

TFigure FrameFigure(const TSweepState& s) {
    if (s.GridOn) return TFigure::Grid;
    if (s.CrossHairsOn) return TFigure::CrossHairs;
    if (s.ScanLineVisible) return TFigure::ScanLine;
    return TFigure::None;
}

unsigned SweepIntervalMs(int sweepRate) { return static_cast<unsigned>(1001 - common::ClampSweepRate(sweepRate)); }

double LitChannel(double c) { return std::min(1.0, 1.2 * c + 0.1); }

}  // namespace kyn
