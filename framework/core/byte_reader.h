// The one bounded reader for bytes that come from a file, a stream or a
// block: every read stays inside its span, and a read past the end raises
// EReadError naming the format, the field and the offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fw {

class TByteReader {
public:
    // `format` names the data in error messages ("PNG", "Options stream").
    TByteReader(std::span<const uint8_t> data, std::string format) : data_(data), format_(std::move(format)) {}
    TByteReader(std::string_view data, std::string format)
        : TByteReader(std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()), std::move(format)) {}
    virtual ~TByteReader() = default;

    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return data_.size(); }
    std::size_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    const std::string& Format() const { return format_; }

    void Seek(uint64_t position, const char* field);
    void Skip(uint64_t count, const char* field);
    std::span<const uint8_t> Bytes(std::size_t count, const char* field);
    // The same bytes as 8-bit text.
    std::string_view Chars(std::size_t count, const char* field) {
        const auto b = Bytes(count, field);
        return {reinterpret_cast<const char*>(b.data()), b.size()};
    }

    uint8_t ReadU8(const char* field) { return Bytes(1, field)[0]; }
    uint16_t ReadU16LE(const char* field) { return static_cast<uint16_t>(ReadLE(2, field)); }
    uint16_t ReadU16BE(const char* field) { return static_cast<uint16_t>(ReadBE(2, field)); }
    uint32_t ReadU32LE(const char* field) { return static_cast<uint32_t>(ReadLE(4, field)); }
    uint32_t ReadU32BE(const char* field) { return static_cast<uint32_t>(ReadBE(4, field)); }
    uint64_t ReadU64LE(const char* field) { return ReadLE(8, field); }
    uint64_t ReadU64BE(const char* field) { return ReadBE(8, field); }

    // Raises "<format>: <field>: <problem> (at offset <position>)".
    [[noreturn]] void Fail(const char* field, const std::string& problem) const;

protected:
    // Throws the finished message; EReadError unless a user needs its own
    // exception class.
    [[noreturn]] virtual void Raise(const std::string& message) const;

private:
    [[noreturn]] void FailAt(const char* field, const std::string& problem) const;
    uint64_t ReadLE(std::size_t count, const char* field) {
        const auto b = Bytes(count, field);
        uint64_t value = 0;
        for (std::size_t i = count; i-- > 0;) value = (value << 8) | b[i];
        return value;
    }
    uint64_t ReadBE(std::size_t count, const char* field) {
        const auto b = Bytes(count, field);
        uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i) value = (value << 8) | b[i];
        return value;
    }

    std::span<const uint8_t> data_;
    std::string format_;
    std::size_t pos_ = 0;
};

}  // namespace fw
