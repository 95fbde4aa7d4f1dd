#include "crashreport/delivery/Base64.h"

#include <array>
#include <cassert>
#include <cstdint>

namespace drevnik {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';

constexpr std::array<std::uint8_t, 256> MakeDecodeTable() {
    std::array<std::uint8_t, 256> table{};
    table.fill(255);
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
    table[static_cast<unsigned char>(kPad)] = 0;
    return table;
}

constexpr auto kDecodeTable = MakeDecodeTable();

unsigned DecodeChar(char c) { return kDecodeTable[static_cast<unsigned char>(c)]; }

}  // namespace

std::size_t Base64DecodedLength(std::string_view text) {
    const std::size_t n = text.size();
    if (n == 0 || n % 4 != 0) return 0;
    std::size_t length = n / 4 * 3;
    if (text[n - 2] == kPad)
        length -= 2;
    else if (text[n - 1] == kPad)
        length -= 1;
    return length;
}

std::string Base64DecodeString(std::string_view text) {
    const std::size_t length = Base64DecodedLength(text);
    if (length == 0) return {};
    std::string out(length, '.');

    const std::size_t groups = text.size() / 4;
    for (std::size_t g = 0; g < groups; ++g) {
        const char* quad = text.data() + 4 * g;
        std::size_t produced = 3;
        if (g + 1 == groups) {
            // The last group is read up to its first "=".
            std::size_t chars = 0;
            while (chars < 4 && quad[chars] != kPad) ++chars;
            produced = chars == 4 ? 3 : chars == 3 ? 2 : 1;
        }
        // The pad rule of the length always leaves room for what the last
        // group produces: "=" in its third place means at most one byte.
        assert(3 * g + produced <= out.size());
        const unsigned v0 = DecodeChar(quad[0]), v1 = DecodeChar(quad[1]);
        const unsigned v2 = DecodeChar(quad[2]), v3 = DecodeChar(quad[3]);
        char* dst = out.data() + 3 * g;
        dst[0] = static_cast<char>(((v0 << 2) | (v1 >> 4)) & 0xFF);
        if (produced > 1) dst[1] = static_cast<char>(((v1 << 4) | (v2 >> 2)) & 0xFF);
        if (produced > 2) dst[2] = static_cast<char>(((v2 << 6) | v3) & 0xFF);
    }
    return out;
}

}  // namespace drevnik
