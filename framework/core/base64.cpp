// The Base64 encoder.
#include "framework/core/base64.h"

#include <cstdint>

namespace fw {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::size_t Base64EncodedLength(std::size_t n) { return (n + 2) / 3 * 4; }

std::string Base64Encode(const void* bytes, std::size_t length) {
    const auto* in = static_cast<const std::uint8_t*>(bytes);
    std::string out;
    out.reserve(Base64EncodedLength(length));
    std::size_t i = 0;
    for (; length - i >= 3; i += 3) {
        const std::uint32_t v = (std::uint32_t{in[i]} << 16) | (std::uint32_t{in[i + 1]} << 8) | in[i + 2];
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const std::size_t rest = length - i;
    if (rest > 0) {
        std::uint32_t v = std::uint32_t{in[i]} << 16;
        if (rest == 2) v |= std::uint32_t{in[i + 1]} << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

}  // namespace fw
