#include "widgets/drawing/ImageDecoder.h"

#include "widgets/drawing/DecodedImage.h"

namespace kel {

bool DecodeImageSize(std::span<const uint8_t> bytes, int& width, int& height) {
    TDecodedImage decoded(bytes);
    width = height = 0;
    if (!decoded.Ok()) return false;
    width = static_cast<int>(decoded.Image().GetWidth());
    height = static_cast<int>(decoded.Image().GetHeight());
    return true;
}

}  // namespace kel
