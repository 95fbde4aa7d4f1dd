// Process-wide values of the display program and their range helpers.
#include "Display/kynResourceManager.h"

#include <algorithm>
#include <cmath>

namespace kyn {

std::wstring DataFolder;
std::wstring ExeFolder;
bool DataFolderFound = false;
TGeneralSettings GeneralSettings;

std::wstring GeneralSettingsFileIn(const std::wstring& dataFolder) { return dataFolder + L"settings\\gsf"; }

int ClampLineThickness(int thickness) { return std::clamp(thickness, kMinLineThickness, kMaxLineThickness); }

int ClampGridSpacing(int spacing) { return std::clamp(spacing, kMinGridSpacing, kMaxGridSpacing); }

int ClampSweepRate(int rate) { return std::clamp(rate, kMinSweepRate, kMaxSweepRate); }

int ClampStartDelay(int delayMs) { return std::clamp(delayMs, 0, kMaxStartDelayMs); }

double ClampUnit(double value) {
    if (std::isnan(value)) return 0.0;
    return std::clamp(value, 0.0, 1.0);
}

std::wstring FormatVersionText(const std::wstring& major, const std::wstring& minor, const std::wstring& build) {
    return L"Version " + major + L"." + minor + L"  Build " + build;
}

std::wstring FormatVersionText(const TFileVersion& version) {
    return FormatVersionText(std::to_wstring(version.Major), std::to_wstring(version.Minor),
                             std::to_wstring(version.Build));
}

}  // namespace kyn
