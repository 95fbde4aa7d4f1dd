// The bounded byte reader's checks and messages.
#include "framework/core/byte_reader.h"

#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace fw {

void TByteReader::Seek(uint64_t position, const char* field) {
    if (position > data_.size()) {
        FailAt(field, "offset " + std::to_string(position) + " lies beyond the end of the " +
                          std::to_string(data_.size()) + " bytes");
    }
    pos_ = static_cast<std::size_t>(position);
}

void TByteReader::Skip(uint64_t count, const char* field) {
    if (count > Remaining()) {
        FailAt(field, "needs " + std::to_string(count) + " bytes at offset " + std::to_string(pos_) + ", only " +
                          std::to_string(Remaining()) + " left");
    }
    pos_ += static_cast<std::size_t>(count);
}

std::span<const uint8_t> TByteReader::Bytes(std::size_t count, const char* field) {
    const std::size_t at = pos_;
    Skip(count, field);
    return data_.subspan(at, count);
}

void TByteReader::Fail(const char* field, const std::string& problem) const {
    FailAt(field, problem + " (at offset " + std::to_string(pos_) + ")");
}

void TByteReader::FailAt(const char* field, const std::string& problem) const {
    const std::string message = format_ + ": " + field + ": " + problem;
    Raise(message);
    // Not reached: the compiler cannot see that a virtual Raise never returns.
    throw EReadError(AnsiToWide(message));
}

void TByteReader::Raise(const std::string& message) const { throw EReadError(AnsiToWide(message)); }

}  // namespace fw
