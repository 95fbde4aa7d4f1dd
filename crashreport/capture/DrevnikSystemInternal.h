// Primitives under the platform-free system helpers, one implementation per
// platform (DrevnikSystem_win.cpp, DrevnikSystem_host.cpp). Not for callers
// outside this folder.
#pragma once

#include <string>
#include <string_view>

namespace drevnik::internal {

// Reads or writes one INI value of a file that is already placed.
std::string IniReadRaw(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view defaultValue);
bool IniWriteRaw(const std::string& file, std::string_view section, std::string_view key, std::string_view value);

}  // namespace drevnik::internal
