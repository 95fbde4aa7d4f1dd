// Windows-1252 <-> UTF-16. Bytes 0x80..0x9F carry the typographic characters
// of code page 1252; the five unassigned ones map to the C1 controls as
// Windows itself does.
#include "framework/core/text_codec.h"

#include <array>
#include <cstdint>

namespace fw {
namespace {

constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::wstring AnsiToWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        out.push_back(c >= 0x80 && c < 0xA0 ? static_cast<wchar_t>(kHigh[c - 0x80]) : static_cast<wchar_t>(c));
    }
    return out;
}

std::string WideToAnsi(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        auto code = static_cast<uint32_t>(w);
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out.push_back(static_cast<char>(code));
            continue;
        }
        char mapped = '?';
        for (size_t i = 0; i < kHigh.size(); ++i) {
            if (kHigh[i] == code) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.push_back(mapped);
    }
    return out;
}

}  // namespace fw
