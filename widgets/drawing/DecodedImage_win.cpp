#include "widgets/drawing/DecodedImage.h"

namespace kel {

TDecodedImage::TDecodedImage(std::span<const uint8_t> bytes, bool asBitmap) : stream_(bytes), asBitmap_(asBitmap) {
    if (asBitmap)
        image_ = std::make_unique<TGPBitmap>(stream_.Stream(), false);
    else
        image_ = std::make_unique<TGPImage>(stream_.Stream(), false);
}

// GDI+ may read from the stream until the image is gone, and members go in
// reverse order: the image first, then the stream.
TDecodedImage::~TDecodedImage() = default;

bool TDecodedImage::Ok() const { return image_ && image_->Native() && image_->LastStatus() == stOk; }

}  // namespace kel
