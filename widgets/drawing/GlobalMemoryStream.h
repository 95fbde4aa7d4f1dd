// Image bytes handed to a Windows decoder (GDI+, OLE pictures): a copy in a
// movable global memory block, wrapped in an IStream that owns the block
// and ends exactly with the bytes.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstdint>
#include <span>

namespace kel {

class TGlobalMemoryStream {
public:
    // Throws fw::Exception "Could not allocate memory for image" when no
    // block can be had, "Could not create image stream" when the stream
    // cannot be made on it, "Empty image stream created" when none came.
    explicit TGlobalMemoryStream(std::span<const uint8_t> bytes);
    ~TGlobalMemoryStream();
    TGlobalMemoryStream(const TGlobalMemoryStream&) = delete;
    TGlobalMemoryStream& operator=(const TGlobalMemoryStream&) = delete;

    IStream* Stream() const { return stream_; }

private:
    IStream* stream_ = nullptr;
};

}  // namespace kel
