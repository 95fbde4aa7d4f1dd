// ColorToRGB for the host build: system colours answer with the classic
// Windows palette (the Windows build asks GetSysColor).
#include "framework/core/colors.h"

#include <array>
#include <cstddef>

namespace fw {
namespace {

constexpr std::array<TColor, 31> kClassic = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4};

}  // namespace

TColor ColorToRGB(TColor color) {
    if (!IsSystemColor(color)) return color;
    int index = color & 0xFF;
    return index < static_cast<int>(kClassic.size()) ? kClassic[static_cast<size_t>(index)] : clBlack;
}

}  // namespace fw
