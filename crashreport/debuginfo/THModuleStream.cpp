#include "crashreport/debuginfo/THModuleStream.h"

#include <algorithm>

#include "crashreport/capture/DrevnikSystem.h"

namespace drevnik {

bool THModuleStream::IsReadable(std::size_t offset, std::size_t count) const {
    if (memory_ == 0 || offset > size_ || count > size_ - offset) {
        return false;
    }
    if (count == 0 || (offset >= checkedBegin_ && offset + count <= checkedEnd_)) {
        return true;
    }
    const void* start = reinterpret_cast<const void*>(memory_ + offset);
    const std::size_t readable = GetReadableLength(start, count);
    if (readable < count) {
        return false;
    }
    checkedBegin_ = offset;
    checkedEnd_ = offset + std::min(readable, size_ - offset);
    return true;
}

bool THModuleStream::ReadAt(std::size_t offset, void* buffer, std::size_t count) const {
    if (!IsReadable(offset, count)) {
        return false;
    }
    if (count != 0) {
        std::memcpy(buffer, reinterpret_cast<const void*>(memory_ + offset), count);
    }
    return true;
}

bool THModuleStream::ReadChecked(void* buffer, std::size_t count) {
    if (!ReadAt(position_, buffer, count)) {
        return false;
    }
    position_ += count;
    return true;
}

bool THModuleStream::ReadTextAt(std::size_t offset, std::size_t maxLength, std::string& text) const {
    text.clear();
    if (offset >= size_ || maxLength == 0) {
        return false;
    }
    std::size_t length = std::min(maxLength, size_ - offset);
    if (!IsReadable(offset, length)) {
        // The rest of the region that holds the first byte, when that is shorter.
        length = std::min(length, GetReadableLength(reinterpret_cast<const void*>(memory_ + offset), 1));
        if (length == 0 || !IsReadable(offset, length)) {
            return false;
        }
    }
    const char* start = reinterpret_cast<const char*>(memory_ + offset);
    const void* nul = std::memchr(start, 0, length);
    text.assign(start, nul != nullptr ? static_cast<const char*>(nul) - start : length);
    return true;
}

}  // namespace drevnik
