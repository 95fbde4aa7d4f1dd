#include "framework/core/graphic.h"

#include <algorithm>

#include "framework/core/exceptions.h"

namespace fw {

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void WriteBinaryValue(TStream& out, std::span<const uint8_t> bytes) {
    if (bytes.size() > 0xFFFFFFFFu) throw EInOutError(L"Binary value: too large to store");
    auto n = static_cast<uint32_t>(bytes.size());
    const uint8_t header[5] = {vaBinary, static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>((n >> 8) & 0xFF),
                               static_cast<uint8_t>((n >> 16) & 0xFF), static_cast<uint8_t>(n >> 24)};
    out.WriteBuffer(header, sizeof header);
    if (!bytes.empty()) out.WriteBuffer(bytes.data(), bytes.size());
}

TBytes ReadBinaryValue(TStream& in) {
    uint8_t header[5];
    const std::size_t got = in.Read(header, sizeof header);
    if (got < 1) throw EInOutError(L"Binary value: the value type is missing");
    if (header[0] != vaBinary)
        throw EInOutError(L"Binary value: value type " + std::to_wstring(header[0]) + L" is not binary (10)");
    if (got < 5 && in.Read(header + got, sizeof header - got) != sizeof header - got)
        throw EInOutError(L"Binary value: the length runs past the end of the stream");
    const uint32_t n = header[1] | (uint32_t{header[2]} << 8) | (uint32_t{header[3]} << 16) | (uint32_t{header[4]} << 24);
    // Read in chunks: a damaged length must not make us allocate gigabytes.
    TBytes bytes;
    constexpr uint32_t kChunk = 1u << 20;
    while (bytes.size() < n) {
        const std::size_t want = std::min<std::size_t>(kChunk, n - bytes.size());
        const std::size_t at = bytes.size();
        bytes.resize(at + want);
        std::size_t done = 0;
        while (done < want) {
            const std::size_t part = in.Read(bytes.data() + at + done, want - done);
            if (part == 0)
                throw EInOutError(L"Binary value: length " + std::to_wstring(n) + L" runs past the end of the stream");
            done += part;
        }
    }
    return bytes;
}

TBytes ReadWholeStream(TStream& in) {
    TMemoryStream copy;
    copy.LoadFromStream(in);
    const uint8_t* p = copy.Memory();
    return TBytes(p, p + copy.Size());
}

}  // namespace fw
