// The field table of the settings file.
#include "common/SettingsFields.h"

namespace common {
namespace {

using S = TGeneralSettings;
using C = TDisplayColour;

template <int S::*Field>
int& IntOf(S& s) {
    return s.*Field;
}

template <C S::*Colour>
int& ChoiceOf(S& s) {
    return (s.*Colour).Choice;
}

template <C S::*Colour, double C::*Part>
double& RealOf(S& s) {
    return (s.*Colour).*Part;
}

std::wstring& ServerIPOf(S& s) { return s.ServerIP; }

}  // namespace

void TSettingsValue::Clamp(TGeneralSettings& s) const {
    if (clampInt_) int_(s) = clampInt_(int_(s));
    if (clampReal_) real_(s) = clampReal_(real_(s));
}

std::span<const TSettingsLine> SettingsLines() {
    static const TSettingsLine lines[] = {
        {"Language", {{&IntOf<&S::Language>}}},
        {"Theme", {{&IntOf<&S::Theme>}}},
        {"WindowTop", {{&IntOf<&S::WindowTop>}}},
        {"WindowLeft", {{&IntOf<&S::WindowLeft>}}},
        {"WindowWidth", {{&IntOf<&S::WindowWidth>}}},
        {"WindowHeight", {{&IntOf<&S::WindowHeight>}}},
        {"LineThickness", {{&IntOf<&S::LineThickness>, ClampLineThickness}}},
        {"SweepRate", {{&IntOf<&S::SweepRate>, ClampSweepRate}}},
        {"StartDelayMs", {{&IntOf<&S::StartDelayMs>, ClampStartDelay}}},
        {"SweepDirection", {{&IntOf<&S::SweepDirection>}}},
        {"BackgroundColour",
         {{&RealOf<&S::BackgroundColour, &C::Red>, ClampUnit},
          {&RealOf<&S::BackgroundColour, &C::Green>, ClampUnit},
          {&RealOf<&S::BackgroundColour, &C::Blue>, ClampUnit}}},
        {"LineColour",
         {{&RealOf<&S::LineColour, &C::Red>, ClampUnit},
          {&RealOf<&S::LineColour, &C::Green>, ClampUnit},
          {&RealOf<&S::LineColour, &C::Blue>, ClampUnit}}},
        {"BackgroundContrast, LineContrast",
         {{&RealOf<&S::BackgroundColour, &C::Contrast>, ClampUnit},
          {&RealOf<&S::LineColour, &C::Contrast>, ClampUnit}}},
        {"BackgroundChoice", {{&ChoiceOf<&S::BackgroundColour>}}},
        {"LineChoice", {{&ChoiceOf<&S::LineColour>}}},
        {"GridSpacing", {{&IntOf<&S::GridSpacing>, ClampGridSpacing}}},
        {"StartDelayOn", {{&IntOf<&S::StartDelayOn>}}},
        {"ResetBeforeRun", {{&IntOf<&S::ResetBeforeRun>}}},
        {"ServerIP", {TSettingsValue(&ServerIPOf)}},
        {"ServerPort", {{&IntOf<&S::ServerPort>}}},
    };
    static_assert(std::size(lines) == kSettingsLineCount);
    return lines;
}

}  // namespace common
