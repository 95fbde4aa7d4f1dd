#include "crashreport/debuginfo/THModuleStream.h"

#include <algorithm>

#include "crashreport/capture/DrevnikSystem.h"

namespace drevnik {

void THModuleStream::SetSize(int64_t size) {
    viewSize_ = size > 0 ? static_cast<std::size_t>(size) : 0;
    SetPointer(Memory(), viewSize_);
    checkedEnd_ = std::min(checkedEnd_, viewSize_);
    checkedBegin_ = std::min(checkedBegin_, checkedEnd_);
}

bool THModuleStream::IsReadable(std::size_t offset, std::size_t count) const {
    if (Memory() == nullptr || offset > viewSize_ || count > viewSize_ - offset) {
        return false;
    }
    if (count == 0 || (offset >= checkedBegin_ && offset + count <= checkedEnd_)) {
        return true;
    }
    const std::size_t readable = GetReadableLength(Memory() + offset, count);
    if (readable < count) {
        return false;
    }
    checkedBegin_ = offset;
    checkedEnd_ = offset + std::min(readable, viewSize_ - offset);
    return true;
}

std::size_t THModuleStream::ReadablePrefix(std::size_t offset, std::size_t count) const {
    if (offset >= viewSize_) {
        return 0;
    }
    std::size_t length = std::min(count, viewSize_ - offset);
    if (!IsReadable(offset, length)) {
        // The rest of the region that holds the first byte, when that is shorter.
        length = std::min(length, GetReadableLength(Memory() + offset, 1));
        if (length == 0 || !IsReadable(offset, length)) {
            return 0;
        }
    }
    return length;
}

bool THModuleStream::ReadAt(std::size_t offset, void* buffer, std::size_t count) const {
    if (!IsReadable(offset, count)) {
        return false;
    }
    if (count != 0) {
        std::memcpy(buffer, Memory() + offset, count);
    }
    return true;
}

std::size_t THModuleStream::Read(void* buffer, std::size_t count) {
    const std::size_t length = ReadablePrefix(position_, count);
    if (length != 0) {
        std::memcpy(buffer, Memory() + position_, length);
        position_ += length;
    }
    return length;
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
    if (offset >= viewSize_ || maxLength == 0) {
        return false;
    }
    const std::size_t length = ReadablePrefix(offset, maxLength);
    if (length == 0) {
        return false;
    }
    const char* start = reinterpret_cast<const char*>(Memory() + offset);
    const void* nul = std::memchr(start, 0, length);
    text.assign(start, nul != nullptr ? static_cast<const char*>(nul) - start : length);
    return true;
}

}  // namespace drevnik
