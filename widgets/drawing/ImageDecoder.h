// The size of image-file bytes as the platform's decoder (GDI+) reads them.
// The host build has no decoder.
#pragma once

#include <cstdint>
#include <span>

namespace kel {

// False when the bytes could not be decoded. Windows: throws fw::Exception
// "Could not allocate memory for image" when no memory block can be had.
bool DecodeImageSize(std::span<const uint8_t> bytes, int& width, int& height);

}  // namespace kel
