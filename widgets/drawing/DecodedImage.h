// Image-file bytes handed to GDI+ for one drawing or measuring: GDI+ decodes
// from a global memory stream holding them. Nothing decoded is kept beyond
// the object's life.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>

#include "widgets/drawing/GlobalMemoryStream.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel {

class TDecodedImage {
public:
    // asBitmap: decode as a TGPBitmap (for GetPixel). Throws what
    // TGlobalMemoryStream throws ("Could not allocate memory for image").
    // Bytes GDI+ cannot decode leave the image with a failed status.
    explicit TDecodedImage(std::span<const uint8_t> bytes, bool asBitmap = false);
    ~TDecodedImage();
    TDecodedImage(const TDecodedImage&) = delete;
    TDecodedImage& operator=(const TDecodedImage&) = delete;

    bool Ok() const;
    TGPImage& Image() { return *image_; }
    // Only when made with asBitmap.
    TGPBitmap* Bitmap() { return asBitmap_ ? static_cast<TGPBitmap*>(image_.get()) : nullptr; }

private:
    TGlobalMemoryStream stream_;
    std::unique_ptr<TGPImage> image_;
    bool asBitmap_;
};

}  // namespace kel
