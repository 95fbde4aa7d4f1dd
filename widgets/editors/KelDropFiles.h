// The file names of a dropped file list (a DROPFILES block: a 20-byte
// header whose first field is the offset of the names and whose fifth says
// whether they are UTF-16), read through the bounded reader.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kel {

// Zero-terminated names one after the other, ended by an empty one (or by
// the end of the block); 8-bit names go through `ansi`. Raises
// fw::EReadError when the header or the offset lies outside the block.
std::vector<std::wstring> ParseDropFiles(std::span<const uint8_t> block,
                                         const std::function<std::wstring(std::string_view)>& ansi);

}  // namespace kel
