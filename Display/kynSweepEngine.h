// The display's sweep engine and frame geometry, free of the window and of
// OpenGL: the rounding rule, the start and far edges, the sweep and step
// rules, and the line lists of the grid, cross hairs and scan line. The
// origin is the window's centre, x to the right, y upwards, one unit a pixel.
#pragma once

#include <string>
#include <vector>

namespace kyn {

// Integer part (truncated towards zero), plus 1 when the rest is at least
// 0.5: halves round up for non-negative x; negative x is truncated.
int RoundHalfUp(double x);

enum class TSweepMode { smContinuous = 1, smStep = 2 };

struct TSweepState {
    int SweepPos = 0;
    TSweepMode SweepMode = TSweepMode::smContinuous;
    int StepDirection = 1;  // 1 forward, anything else backward
    bool Paused = false;
    bool RunRequested = false;
    bool GridOn = false;
    bool CrossHairsOn = false;
    bool ScanLineVisible = true;
    bool GLReady = false;
};

// The extent along the sweep: the height when top-down (direction 1), else the width.
int SweepExtent(int sweepDirection, int width, int height);
int StartEdge(int extent);  // S = RoundHalfUp(-E/2)
int FarEdge(int extent);    // F = RoundHalfUp(E/2)

// One tick of the sweep timer: +1 in continuous mode, wrapping from F to S.
void SweepTick(TSweepState& s, int extent);
// One step in step mode: forward as the tick, backward -1 wrapping from S to F.
void MakeNextStep(TSweepState& s, int extent);
// The line back to the start edge.
void ResetScanLine(TSweepState& s, int extent);

// The number the position text shows: RoundHalfUp(E/2) + SweepPos.
int PositionNumber(const TSweepState& s, int extent);
std::wstring PositionText(const TSweepState& s, int extent);

struct TLineSegment {
    double x1, y1, x2, y2;
};

// Grid lines every `spacing` pixels from the left and bottom edges; the
// spacing is brought into range first (common::ClampGridSpacing), so the
// list always ends.
std::vector<TLineSegment> GridLines(int width, int height, int spacing);
std::vector<TLineSegment> CrossHairLines(int width, int height);
TLineSegment ScanLine(int sweepDirection, int sweepPos, int width, int height);

// What a normal frame draws, in precedence order: the grid hides the cross
// hairs and the line, the cross hairs hide the line.
enum class TFigure { None, Grid, CrossHairs, ScanLine };
TFigure FrameFigure(const TSweepState& s);

// The timer interval for a sweep rate: 1001 - rate ms, with the rate brought
// into 1..1000 (common::ClampSweepRate).
unsigned SweepIntervalMs(int sweepRate);

// The colour that reaches the screen for a line of colour c under the
// display's fixed lighting: 1.2 c + 0.1, clamped to 1.
double LitChannel(double c);

}  // namespace kyn
