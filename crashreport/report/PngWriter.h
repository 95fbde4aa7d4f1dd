// Writes an 8-bit palette PNG: signature, IHDR, a 256-entry PLTE, the image
// rows (filter byte 0 and the row's indices) deflated by zlib at level 9 in
// IDAT chunks of at most 262143 bytes, and IEND. The writer appends to a
// byte string; the caller saves it to a file once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "crashreport/report/OctreePalette.h"

namespace drevnik {

constexpr std::size_t kIdatChunkSize = 0x3FFFF;

// The 8-bit pixels as a bottom-up DIB holds them: `height` rows of
// `rowBytes` bytes (at least `width`), the last row first in the image.
struct TIndexedImage {
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::size_t RowBytes = 0;
    const uint8_t* Rows = nullptr;
    bool BottomUp = true;
};

// The CRC-32 of PNG chunks, continued from `crc` (start with 0xFFFFFFFF and
// invert the end result).
uint32_t UpdatePngCrc(uint32_t crc, const uint8_t* data, std::size_t count);
void AppendBigEndian32(std::string& out, uint32_t value);
// One chunk: length, type, data, CRC over type and data.
void WritePngChunk(std::string& out, std::string_view type, const uint8_t* data, std::size_t count);

// The whole PNG of the image; false (and `out` left as it was) when the
// image is malformed or deflate fails.
bool WritePngImage(std::string& out, const TIndexedImage& image, const TPngPalette& palette);

}  // namespace drevnik
