// The host build has no image decoder: sizes come only from file headers.
#include "widgets/drawing/ImageDecoder.h"

namespace kel {

bool DecodeImageSize(std::span<const uint8_t> /*bytes*/, int& width, int& height) {
    width = height = 0;
    return false;
}

}  // namespace kel
