// The display program's general settings: the record its settings file keeps
// (the display reads and writes it, the updater reads its first two lines),
// and the ranges the display needs its values in.
#pragma once

#include <string>

namespace common {

// Values of the int settings. A file may hold others; each user says how it
// treats them (any sweep direction but 1 acts as left-right, any theme but 0
// or 1 styles nothing, any colour choice but 1 to 3 changes no colour).
enum TTheme : int { thLight = 0, thDark = 1 };
enum TSweepDirection : int { sdTopDown = 1, sdLeftRight = 2 };
enum TColourChoice : int { ccBlack = 1, ccWhite = 2, ccGreen = 3 };

// The colour of the background or of the scan line: red, green and blue from
// 0 to 1, the choice it was made from and the contrast applied to it.
struct TDisplayColour {
    double Red = 0.0;
    double Green = 0.0;
    double Blue = 0.0;
    int Choice = 0;
    double Contrast = 0.0;

    bool operator==(const TDisplayColour&) const = default;
};

// The 20 lines of the settings file, in file order. Line 13 holds
// BackgroundColour.Contrast and LineColour.Contrast, lines 14 and 15 their
// Choice.
//
// The defaults are what the program runs with when no file could be read.
// Fields whose zero is meaningful (language "leave the flag", light theme,
// start delay and reset "off", no server binding) start at zero; the others
// start at valid values, because zero is outside their ranges.
struct TGeneralSettings {
    int Language = 0;
    int Theme = thLight;
    int WindowTop = 0;
    int WindowLeft = 0;
    int WindowWidth = 320;
    int WindowHeight = 240;
    int LineThickness = 1;
    int SweepRate = 128;
    int StartDelayMs = 3000;
    int SweepDirection = sdTopDown;
    TDisplayColour BackgroundColour{0.0, 0.0, 0.0, ccBlack, 0.0};
    TDisplayColour LineColour{1.0, 1.0, 1.0, ccWhite, 0.0};
    int GridSpacing = 16;
    int StartDelayOn = 0;
    int ResetBeforeRun = 0;
    std::wstring ServerIP;
    int ServerPort = 0;

    bool operator==(const TGeneralSettings&) const = default;
};

// The ranges the display needs. The file reader takes any int a file holds;
// these keep such values from stopping the grid loop, making OpenGL fail
// every frame, giving the sweep timer an interval it cannot take or blocking
// the GUI thread for ever.
constexpr int kMinLineThickness = 1;
constexpr int kMaxLineThickness = 8;
constexpr int kMinSweepRate = 1;
constexpr int kMaxSweepRate = 1000;
constexpr int kMinGridSpacing = 1;
// Wider than any screen, and far enough from INT_MAX that stepping a grid
// coordinate by it cannot overflow.
constexpr int kMaxGridSpacing = 65536;
constexpr int kMaxStartDelayMs = 600000;

int ClampLineThickness(int thickness);
int ClampGridSpacing(int spacing);
int ClampSweepRate(int rate);
int ClampStartDelay(int delayMs);
// A colour channel or contrast: 0 to 1; NaN reads as 0.
double ClampUnit(double value);

// Every field that has a range brought into it (the clamps of the settings
// file's field table); the others stay as they are.
void ClampGeneralSettings(TGeneralSettings& settings);

}  // namespace common
