#include "widgets/drawing/DecodedImage.h"

#include <cstring>

#include "framework/core/exceptions.h"

namespace kel {

TDecodedImage::TDecodedImage(std::span<const uint8_t> bytes, bool asBitmap) : asBitmap_(asBitmap) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (!block) throw fw::Exception(L"Could not allocate memory for image");
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        throw fw::Exception(L"Could not allocate memory for image");
    }
    if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
    // The stream frees the block when it is released.
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream_)) || !stream_) {
        GlobalFree(block);
        stream_ = nullptr;
        throw fw::Exception(L"Could not allocate memory for image");
    }
    // GlobalSize may round the block up; the stream must end with the bytes.
    ULARGE_INTEGER size;
    size.QuadPart = bytes.size();
    stream_->SetSize(size);
    if (asBitmap)
        image_ = std::make_unique<TGPBitmap>(stream_, false);
    else
        image_ = std::make_unique<TGPImage>(stream_, false);
}

TDecodedImage::~TDecodedImage() {
    image_.reset();  // GDI+ may read from the stream until the image is gone
    if (stream_) stream_->Release();
}

bool TDecodedImage::Ok() const { return image_ && image_->Native() && image_->LastStatus() == stOk; }

}  // namespace kel
