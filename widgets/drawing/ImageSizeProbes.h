// Image sizes read from file headers without decoding: JPEG, PNG, GIF, BMP
// and TIFF. A probe that finds no size answers 0 by 0 and, when asked, says
// why in `error`.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kel {

struct TImageSize {
    uint32_t Width = 0;
    uint32_t Height = 0;
    friend bool operator==(const TImageSize&, const TImageSize&) = default;
};

// The first frame header (any SOFn marker) of a JPEG file.
TImageSize GetJPEGSize(std::span<const uint8_t> data, std::string* error = nullptr);
// The IHDR chunk of a PNG file.
TImageSize GetPNGSize(std::span<const uint8_t> data, std::string* error = nullptr);
// The first image descriptor of a GIF file (extension blocks are skipped
// block by block, so their contents never pass for a descriptor).
TImageSize GetGIFSize(std::span<const uint8_t> data, std::string* error = nullptr);
// The info header of a BMP file; a top-down bitmap (negative height) gives
// its height as a positive number.
TImageSize GetBMPSize(std::span<const uint8_t> data, std::string* error = nullptr);
// ImageWidth and ImageHeight of the first IFD of a TIFF file, in the byte
// order its header names.
TImageSize GetTIFFSize(std::span<const uint8_t> data, std::string* error = nullptr);

// Picks the probe by the file name's extension (any case): .jpg .jpeg .png
// .gif .bmp .tif .tiff; other extensions give 0 by 0.
TImageSize GetImageSizeByExtension(const std::wstring& fileName, std::span<const uint8_t> data,
                                   std::string* error = nullptr);

}  // namespace kel
