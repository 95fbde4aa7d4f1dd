// The one bounded reader for data that comes from a file or a stream: every
// read stays inside its span, and a read past the end throws TReadError with
// a message naming the format and the field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace kel {

class TReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TByteReader {
public:
    TByteReader(std::span<const uint8_t> data, const char* format) : data_(data), format_(format) {}

    size_t Position() const { return pos_; }
    size_t Size() const { return data_.size(); }
    size_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }

    void Seek(uint64_t position, const char* field) {
        if (position > data_.size()) Fail(field, "lies beyond the end of the data");
        pos_ = static_cast<size_t>(position);
    }
    void Skip(uint64_t count, const char* field) {
        if (count > Remaining()) Fail(field, "runs past the end of the data");
        pos_ += static_cast<size_t>(count);
    }
    std::span<const uint8_t> Bytes(size_t count, const char* field) {
        Need(count, field);
        auto s = data_.subspan(pos_, count);
        pos_ += count;
        return s;
    }
    uint8_t ReadByte(const char* field) {
        Need(1, field);
        return data_[pos_++];
    }
    uint16_t ReadWordBE(const char* field) {
        auto b = Bytes(2, field);
        return static_cast<uint16_t>((b[0] << 8) | b[1]);
    }
    uint16_t ReadWordLE(const char* field) {
        auto b = Bytes(2, field);
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }
    uint32_t ReadLongBE(const char* field) {
        auto b = Bytes(4, field);
        return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
    }
    uint32_t ReadLongLE(const char* field) {
        auto b = Bytes(4, field);
        return b[0] | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
    }

    // Throws TReadError("<format>: <field> <problem>").
    [[noreturn]] void Fail(const char* field, const char* problem) const {
        throw TReadError(std::string(format_) + ": " + field + " " + problem);
    }

private:
    void Need(size_t count, const char* field) const {
        if (count > Remaining()) Fail(field, "runs past the end of the data");
    }

    std::span<const uint8_t> data_;
    const char* format_;
    size_t pos_ = 0;
};

}  // namespace kel
