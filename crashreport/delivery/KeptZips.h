// Which archives a folder of kept BugReport archives loses: platform-free.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace drevnik {

// How many kept archives a folder holds at most.
constexpr size_t kKeptZipCount = 10;

// True for the names the library gives its archives: "BugReport", any
// stamps each after "__", ".zip" (ASCII case ignored). Other zip files in the folder are the
// user's and are never touched.
bool IsKeptZipName(std::string_view fileName);

// Of the names, those of kept archives beyond the newest `keep`, oldest
// first: the names sort in time order by their date-time stamps.
std::vector<std::string> SelectZipsToPrune(std::vector<std::string> names, size_t keep = kKeptZipCount);

}  // namespace drevnik
