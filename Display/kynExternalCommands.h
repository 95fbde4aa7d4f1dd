// The text commands another program sends to the display, one per line: the
// word table, the value form "NumericalCommand <name> <int>", and what a
// line asks for, worked out without touching the display.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kyn {

// Indexes into ExternalCommandTable.
enum TExternalCommand : int {
    ecRun,
    ecSetStepMode,
    ecSetContinuosMode,
    ecHideScanLine,
    ecShowScanLine,
    ecMakeNextStep,
    ecResetScanLine,
    ecTopDownSweep,
    ecLeftRightSweep,
    ecFullScreen,
    ecNormalScreen,
    ecLineThickness,
    ecGridSize,
    ecPauseScanLine,
    ecResumeScanLine,
    ecSweepRate,
    ecAddStartDelay,
    ecResetScanLineBeforeRun,
    ecShowCrossHairs,
    ecHideCrossHairs,
    ecShowGrid,
    ecHideGrid,
    ecBackgroundColorBlack,
    ecBackgroundColorWhite,
    ecBackgroundColorGreen,
    ecScanLineBlack,
    ecScanLineWhite,
    ecScanLineGreen,
    ecNoResetScanLinePositionBeforeRun,
    ecNoStartDelay,
    ecStepModeDirection1,
    ecStepModeDirection2,
    ecConnected,
    ecCloseApplication,
    ecTest,
};

extern const std::array<std::wstring_view, 35> ExternalCommandTable;

// Indexes into NumericalCommandNames.
enum TNumericalCommand : int { ncMakeNextStep, ncLineThickness, ncGridSize, ncSweepRate };

extern const std::array<std::wstring_view, 4> NumericalCommandNames;

// The prefix of the value form, compared with case.
constexpr std::wstring_view kNumericalCommandPrefix = L"NumericalCommand";

struct TCommandAction {
    enum class TKind { None, Word, Value };
    TKind Kind = TKind::None;
    int Index = -1;  // into ExternalCommandTable (Word) or NumericalCommandNames (Value)
    int Value = 0;   // the value form's int
    bool operator==(const TCommandAction&) const = default;
};

// What one line (without its line end) asks for. A value form that is cut
// short raises fw::Exception "List index out of bounds (n)"; one whose value
// is no integer raises fw::EConvertError. A line that matches nothing, and a
// value form for "MakeNextStep" or an unknown name, ask for nothing.
TCommandAction ParseCommandLine(const std::wstring& line);

}  // namespace kyn
