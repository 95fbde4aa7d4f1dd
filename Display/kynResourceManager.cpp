// The display's version text.
#include "Display/kynResourceManager.h"

namespace kyn {

std::wstring FormatVersionText(const std::wstring& major, const std::wstring& minor, const std::wstring& build) {
    return L"Version " + major + L"." + minor + L"  Build " + build;
}

std::wstring FormatVersionText(const common::TFileVersion& version) {
    return FormatVersionText(std::to_wstring(version.Major), std::to_wstring(version.Minor),
                             std::to_wstring(version.Build));
}

}  // namespace kyn
