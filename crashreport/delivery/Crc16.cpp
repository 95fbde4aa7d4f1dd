#include "crashreport/delivery/Crc16.h"

#include <array>

namespace drevnik {
namespace {

constexpr std::array<std::uint16_t, 256> MakeCrc16Table() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned value = i << 8;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 0x8000) ? (value << 1) ^ 0x1021 : value << 1;
        table[i] = static_cast<std::uint16_t>(value);
    }
    return table;
}

constexpr auto kCrc16Table = MakeCrc16Table();

}  // namespace

std::uint16_t CalcCrc16(std::string_view text) {
    unsigned value = 0;
    for (const char c : text) {
        const unsigned b = static_cast<unsigned char>(c);
        value = (kCrc16Table[(b ^ (value >> 8)) & 0xFF] ^ (value << 8)) & 0xFFFF;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace drevnik
