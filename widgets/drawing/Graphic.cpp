#include "widgets/drawing/Graphic.h"

#include <algorithm>
#include <istream>
#include <iterator>
#include <ostream>

#include "framework/core/exceptions.h"

namespace kel {

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void WriteBinaryValue(std::ostream& out, std::span<const uint8_t> bytes) {
    if (bytes.size() > 0xFFFFFFFFu) throw fw::EInOutError(L"Binary value: too large to store");
    auto n = static_cast<uint32_t>(bytes.size());
    const char header[5] = {static_cast<char>(vaBinary), static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                            static_cast<char>((n >> 16) & 0xFF), static_cast<char>(n >> 24)};
    out.write(header, sizeof header);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw fw::EInOutError(L"Binary value: the stream refused the write");
}

TBytes ReadBinaryValue(std::istream& in) {
    char header[5];
    in.read(header, sizeof header);
    if (in.gcount() < 1) throw fw::EInOutError(L"Binary value: the value type is missing");
    if (static_cast<uint8_t>(header[0]) != vaBinary)
        throw fw::EInOutError(L"Binary value: value type " + std::to_wstring(static_cast<uint8_t>(header[0])) +
                              L" is not binary (10)");
    if (in.gcount() < 5) throw fw::EInOutError(L"Binary value: the length runs past the end of the stream");
    uint32_t n = static_cast<uint8_t>(header[1]) | (uint32_t{static_cast<uint8_t>(header[2])} << 8) |
                 (uint32_t{static_cast<uint8_t>(header[3])} << 16) | (uint32_t{static_cast<uint8_t>(header[4])} << 24);
    // Read in chunks: a damaged length must not make us allocate gigabytes.
    TBytes bytes;
    constexpr uint32_t kChunk = 1u << 20;
    while (bytes.size() < n) {
        size_t want = std::min<size_t>(kChunk, n - bytes.size());
        size_t at = bytes.size();
        bytes.resize(at + want);
        in.read(reinterpret_cast<char*>(bytes.data() + at), static_cast<std::streamsize>(want));
        if (static_cast<size_t>(in.gcount()) != want)
            throw fw::EInOutError(L"Binary value: length " + std::to_wstring(n) +
                                  L" runs past the end of the stream");
    }
    return bytes;
}

TBytes ReadWholeStream(std::istream& in) {
    in.clear();
    in.seekg(0, std::ios::beg);
    if (!in) in.clear();  // not seekable: take the rest from where it stands
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kel
