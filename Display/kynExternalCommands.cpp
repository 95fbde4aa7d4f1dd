// Parsing of the text commands.
#include "Display/kynExternalCommands.h"

#include "Display/kynResourceManager.h"
#include "framework/core/exceptions.h"
#include "framework/core/int_conversion.h"
#include "framework/core/string_list.h"

namespace kyn {

const std::array<std::wstring_view, 35> ExternalCommandTable = {
    L"Run",
    L"SetStepMode",
    L"SetContinuosMode",
    L"HideScanLine",
    L"ShowScanLine",
    L"MakeNextStep",
    L"ResetScanLine",
    L"TopDownSweep",
    L"LeftRightSweep",
    L"FullScreen",
    L"NormalScreen",
    L"LineThickness",
    L"GridSize",
    L"PauseScanLine",
    L"ResumeScanLine",
    L"SweepRate",
    L"AddStartDelay",
    L"ResetScanLineBeforeRun",
    L"ShowCrossHairs",
    L"HideCrossHairs",
    L"ShowGrid",
    L"HideGrid",
    L"BackgroundColorBlack",
    L"BackgroundColorWhite",
    L"BackgroundColorGreen",
    L"ScanLineBlack",
    L"ScanLineWhite",
    L"ScanLineGreen",
    L"NoResetScanLinePositionBeforeRun",
    L"NoStartDelay",
    L"StepModeDirection1",
    L"StepModeDirection2",
    L"Connected",
    L"CloseApplication",
    L"Test",
};

const std::array<std::wstring_view, 4> NumericalCommandNames = {
    L"MakeNextStep",
    L"LineThickness",
    L"GridSize",
    L"SweepRate",
};

namespace {

const std::wstring& Word(const fw::TStringList& words, int index) {
    if (index >= words.Count()) throw fw::Exception(L"List index out of bounds (" + std::to_wstring(index) + L")");
    return words[index];
}

}  // namespace

TCommandAction ParseCommandLine(const std::wstring& line) {
    if (line.starts_with(kNumericalCommandPrefix)) {
        fw::TStringList words;
        SplitToList(L' ', line, &words);
        const int name = IndexOfText(Word(words, 1), NumericalCommandNames);
        if (name <= ncMakeNextStep) return {};
        return {TCommandAction::TKind::Value, name, fw::StrToInt(Word(words, 2))};
    }
    const int index = IndexOfText(line, ExternalCommandTable);
    if (index < 0) return {};
    return {TCommandAction::TKind::Word, index, 0};
}

}  // namespace kyn
