// Bounded little-endian reading and writing of the library's binary data
// (the options stream, shared blocks). Reading is the framework's bounded
// reader, so a bad length can neither read past the data nor make a huge
// allocation; here a failure raises EDrevnikStreamError naming format,
// field and offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "crashreport/capture/DrevnikCore.h"
#include "framework/core/byte_reader.h"

namespace drevnik {

class TDrevnikByteReader : public fw::TByteReader {
public:
    // `format` names the data in error messages ("Options stream").
    TDrevnikByteReader(std::string_view data, std::string format) : TByteReader(data, std::move(format)) {}

    bool ReadBool(const char* field) { return ReadU8(field) != 0; }
    uint16_t ReadU16(const char* field) { return ReadU16LE(field); }
    uint32_t ReadU32(const char* field) { return ReadU32LE(field); }
    int32_t ReadI32(const char* field) { return static_cast<int32_t>(ReadU32LE(field)); }
    std::string_view ReadBytes(std::size_t count, const char* field) { return Chars(count, field); }

protected:
    [[noreturn]] void Raise(const std::string& message) const override;
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
