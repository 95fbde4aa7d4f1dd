// CRC-16/XMODEM, which turns the text that identifies a crash into its bug ID.
#pragma once

#include <cstdint>
#include <string_view>

namespace drevnik {

// Polynomial 0x1021, most significant bit first, initial value 0, no final
// XOR. "123456789" gives 0x31C3; the empty text gives 0.
std::uint16_t CalcCrc16(std::string_view text);

}  // namespace drevnik
