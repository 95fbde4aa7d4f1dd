#include "widgets/drawing/GlobalMemoryStream.h"

#include <cstring>

#include "framework/core/exceptions.h"

namespace kel {

TGlobalMemoryStream::TGlobalMemoryStream(std::span<const uint8_t> bytes) {
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
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream_))) {
        GlobalFree(block);
        stream_ = nullptr;
        throw fw::Exception(L"Could not create image stream");
    }
    if (!stream_) {
        GlobalFree(block);
        throw fw::Exception(L"Empty image stream created");
    }
    // GlobalSize may round the block up; the stream must end with the bytes.
    ULARGE_INTEGER size;
    size.QuadPart = bytes.size();
    stream_->SetSize(size);
}

TGlobalMemoryStream::~TGlobalMemoryStream() {
    if (stream_) stream_->Release();
}

}  // namespace kel
