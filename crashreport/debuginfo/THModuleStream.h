// A read-only memory stream over memory that belongs to somebody else: a
// loaded module image or a locked resource. Nothing is copied and nothing is
// freed.
// Positions are offsets from the start of the memory (relative virtual
// addresses for an image). Every read is bounded twice: by the view's size
// and by the system's answer that the bytes are committed and readable, so a
// damaged header or offset gives a failed read, never a fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "framework/core/streams.h"

namespace drevnik {

class THModuleStream : public fw::TCustomMemoryStream {
public:
    // The size a module image view starts with, until its headers say more.
    static constexpr std::size_t kUnboundedSize = 0x7FFFFFFF;

    explicit THModuleStream(const void* memory, std::size_t size = kUnboundedSize) : viewSize_(size) {
        SetPointer(static_cast<const uint8_t*>(memory), size);
    }
    // Detached first, so the memory is never taken for the stream's own.
    ~THModuleStream() override { SetPointer(nullptr, 0); }

    uintptr_t Base() const { return reinterpret_cast<uintptr_t>(Memory()); }
    std::size_t ViewSize() const { return viewSize_; }
    // Narrows (or widens) the view, as when an image's headers give its size.
    void SetSize(int64_t size) override;

    // As many of `count` bytes from the position as lie in the view and are
    // readable, never more.
    std::size_t Read(void* buffer, std::size_t count) override;
    // Reads `count` bytes at the position and moves past them, only when all
    // of them lie in the view and are readable; reports whether they were read.
    bool ReadChecked(void* buffer, std::size_t count);
    // The same at an offset, leaving the position alone.
    bool ReadAt(std::size_t offset, void* buffer, std::size_t count) const;

    template <class T>
    bool ReadValueAt(std::size_t offset, T& value) const {
        static_assert(std::is_trivially_copyable_v<T>);
        return ReadAt(offset, &value, sizeof value);
    }
    // Whether the bytes lie in the view and are readable.
    bool IsReadable(std::size_t offset, std::size_t count) const;

    // A NUL-terminated text at `offset`: up to `maxLength` bytes, cut at the
    // first NUL. A text that ends where the readable memory or the view ends,
    // closer than `maxLength`, is read up to there. False when not even its
    // first byte can be read.
    bool ReadTextAt(std::size_t offset, std::size_t maxLength, std::string& text) const;

private:
    // How many of `count` bytes from `offset` on lie in the view and can be read.
    std::size_t ReadablePrefix(std::size_t offset, std::size_t count) const;

    std::size_t viewSize_;
    // Offsets known to be readable, so a run of small reads asks the system once.
    mutable std::size_t checkedBegin_ = 0;
    mutable std::size_t checkedEnd_ = 0;
};

}  // namespace drevnik
