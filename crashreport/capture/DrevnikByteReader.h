// Bounded little-endian reading and writing of the library's binary data
// (the options stream, shared blocks). Every read checks the bytes left
// first, so a bad length can neither read past the data nor make a huge
// allocation; a failure raises EDrevnikStreamError naming format and field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "crashreport/capture/DrevnikCore.h"

namespace drevnik {

class TDrevnikByteReader {
public:
    // `format` names the data in error messages ("Options stream").
    TDrevnikByteReader(std::string_view data, std::string format) : data_(data), format_(std::move(format)) {}

    uint8_t ReadU8(const char* field) { return static_cast<uint8_t>(Take(1, field)[0]); }
    bool ReadBool(const char* field) { return ReadU8(field) != 0; }
    uint16_t ReadU16(const char* field) { return static_cast<uint16_t>(ReadLittle(2, field)); }
    uint32_t ReadU32(const char* field) { return static_cast<uint32_t>(ReadLittle(4, field)); }
    int32_t ReadI32(const char* field) { return static_cast<int32_t>(ReadU32(field)); }
    std::string_view ReadBytes(std::size_t count, const char* field) { return Take(count, field); }

    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return data_.size() - position_; }
    const std::string& Format() const { return format_; }

    [[noreturn]] void Fail(const char* field, const std::string& problem) const;

private:
    std::string_view Take(std::size_t count, const char* field);
    uint64_t ReadLittle(std::size_t count, const char* field) {
        const std::string_view bytes = Take(count, field);
        uint64_t value = 0;
        for (std::size_t i = count; i-- > 0;) {
            value = (value << 8) | static_cast<uint8_t>(bytes[i]);
        }
        return value;
    }

    std::string_view data_;
    std::string format_;
    std::size_t position_ = 0;
};

inline void WriteU8(std::string& out, uint8_t value) { out.push_back(static_cast<char>(value)); }
inline void WriteBool(std::string& out, bool value) { WriteU8(out, value ? 1 : 0); }
inline void WriteLittle(std::string& out, uint64_t value, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}
inline void WriteU16(std::string& out, uint16_t value) { WriteLittle(out, value, 2); }
inline void WriteU32(std::string& out, uint32_t value) { WriteLittle(out, value, 4); }
inline void WriteI32(std::string& out, int32_t value) { WriteLittle(out, static_cast<uint32_t>(value), 4); }

}  // namespace drevnik
