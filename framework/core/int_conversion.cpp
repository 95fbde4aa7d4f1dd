// Text to int.
#include "framework/core/int_conversion.h"

#include <cstdint>

#include "framework/core/exceptions.h"

namespace fw {

namespace {

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

}  // namespace

std::optional<int> TryStrToInt(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    bool hex = false;
    if (i < text.size() && (text[i] == L'$' || text[i] == L'x' || text[i] == L'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hex ? HexDigit(text[i]) : (text[i] >= L'0' && text[i] <= L'9' ? text[i] - L'0' : -1);
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    if (hex) {
        // Eight hex digits are the int's bit pattern: "$FFFFFFFF" is -1.
        const auto bits = static_cast<int32_t>(static_cast<uint32_t>(value));
        return negative ? static_cast<int>(0 - static_cast<uint32_t>(bits)) : bits;
    }
    if (negative) {
        if (value > 0x80000000ull) return std::nullopt;
        return static_cast<int>(-static_cast<int64_t>(value));
    }
    if (value > 0x7FFFFFFFull) return std::nullopt;
    return static_cast<int>(value);
}

int StrToInt(const std::wstring& text) {
    if (auto value = TryStrToInt(text)) return *value;
    throw EConvertError(L"'" + text + L"' is not a valid integer value");
}

}  // namespace fw
