// Ranges of the general settings.
#include "common/GeneralSettings.h"

#include <algorithm>
#include <cmath>

#include "common/SettingsFields.h"

namespace common {

int ClampLineThickness(int thickness) { return std::clamp(thickness, kMinLineThickness, kMaxLineThickness); }

int ClampGridSpacing(int spacing) { return std::clamp(spacing, kMinGridSpacing, kMaxGridSpacing); }

int ClampSweepRate(int rate) { return std::clamp(rate, kMinSweepRate, kMaxSweepRate); }

int ClampStartDelay(int delayMs) { return std::clamp(delayMs, 0, kMaxStartDelayMs); }

double ClampUnit(double value) {
    if (std::isnan(value)) return 0.0;
    return std::clamp(value, 0.0, 1.0);
}

void ClampGeneralSettings(TGeneralSettings& settings) {
    for (const TSettingsLine& line : SettingsLines()) {
        for (const TSettingsValue& value : line.Values()) value.Clamp(settings);
    }
}

}  // namespace common
