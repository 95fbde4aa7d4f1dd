#include "crashreport/delivery/KeptZips.h"

#include <algorithm>

#include "crashreport/delivery/DeliveryText.h"

namespace drevnik {

bool IsKeptZipName(std::string_view fileName) {
    if (fileName.find_first_of("\\/") != std::string_view::npos) return false;
    if (text::IEquals(fileName, "BugReport.zip")) return true;
    // Stamps join with "__": "BugReport__PC__20250304090507.zip".
    return fileName.size() > 15 && text::IMatchAt(fileName, 0, "BugReport__") &&
           text::IEquals(fileName.substr(fileName.size() - 4), ".zip");
}

std::vector<std::string> SelectZipsToPrune(std::vector<std::string> names, size_t keep) {
    std::erase_if(names, [](const std::string& name) { return !IsKeptZipName(name); });
    std::sort(names.begin(), names.end());
    if (names.size() <= keep) return {};
    names.resize(names.size() - keep);
    return names;
}

}  // namespace drevnik
