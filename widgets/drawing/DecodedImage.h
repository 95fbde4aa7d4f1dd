// Image-file bytes handed to GDI+ for one drawing or measuring: the bytes go
// into a movable global memory block wrapped in an IStream, and GDI+ decodes
// from that stream. Nothing decoded is kept beyond the object's life.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstdint>
#include <memory>
#include <span>

#include "widgets/drawing/KelGDIP.h"

namespace kel {

class TDecodedImage {
public:
    // asBitmap: decode as a TGPBitmap (for GetPixel). Throws fw::Exception
    // "Could not allocate memory for image" when the block cannot be had.
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
    IStream* stream_ = nullptr;
    std::unique_ptr<TGPImage> image_;
    bool asBitmap_;
};

}  // namespace kel
