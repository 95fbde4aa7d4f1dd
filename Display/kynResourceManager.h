// Process-wide values of the display program: the data folder, the folder of
// the program file and the general settings, with the helpers that bring
// settings read from a file into the ranges the renderer and timers need.
//
// The second half declares the Windows services the display form calls
// (kynResourceManager_win.cpp); the first half is platform-free.
#pragma once

#include <cstdint>
#include <string>

namespace kyn {

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

// The data folder (ends with a backslash), the folder of the running program
// file (ends with a backslash), whether FindDataFolder found a data folder,
// and the settings. All are used on the GUI thread only.
extern std::wstring DataFolder;
extern std::wstring ExeFolder;
extern bool DataFolderFound;
extern TGeneralSettings GeneralSettings;

// "settings\gsf" in the given data folder.
std::wstring GeneralSettingsFileIn(const std::wstring& dataFolder);

// Settings as the display uses them (the sweep timer's interval comes from
// SweepIntervalMs in kynSweepEngine.h, which clamps the rate the same way). The loader takes any int a file holds;
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

// The four parts of a file version.
struct TFileVersion {
    uint16_t Major = 0;
    uint16_t Minor = 0;
    uint16_t Release = 0;
    uint16_t Build = 0;
};

// "Version " major "." minor "  Build " build; the release is not shown. The
// parts are texts so that a part that could not be read shows as empty.
std::wstring FormatVersionText(const std::wstring& major, const std::wstring& minor, const std::wstring& build);
std::wstring FormatVersionText(const TFileVersion& version);

// --- Windows only -----------------------------------------------------------

// Applies the data-folder rule and sets DataFolder, ExeFolder and
// DataFolderFound. Raises fw::Exception "Could Not Locate MyDocuments Folder
// Location" when the shell has no My Documents folder (nothing is set then).
// When no data folder exists it shows "Application Folder Not Found. Quorvex
// Display will Now Close", asks the application to end (RequestApplicationEnd)
// and returns false; DataFolder keeps the My Documents candidate.
bool FindDataFolder();

// Reads the settings file of DataFolder into GeneralSettings. False, after the
// box "General Settings File Loading Failed", when the file cannot be opened;
// false without a box when FindDataFolder found no data folder. A bad number
// raises fw::EInOutError "Invalid numeric input"; values read before it stay.
bool LoadSettings();

// Writes GeneralSettings to the settings file of DataFolder. False, after the
// box "General Setting File Saving Failed", when the file cannot be written
// (the old file is then left as it was); false without a box when there is no
// data folder. A failing write raises fw::EInOutError.
bool SaveSettings();

// The running program file's version; false (and zeros) when it has none.
bool GetOwnFileVersion(uint16_t& major, uint16_t& minor, uint16_t& release, uint16_t& build);
// Part 1 major, 2 minor, 3 release, 4 build in decimal; empty for any other
// index and when the version cannot be read.
std::wstring GetOwnFileVersionPart(int index);
// FormatVersionText of the running program file's version.
std::wstring GetVersionText();

// Shows the system's text for an error code in a plain message box; nothing
// when the system has no text for it.
void ShowSystemError(uint32_t errorCode);

}  // namespace kyn
