// Base64 encoding (RFC 4648 alphabet, "=" padding, no line breaks), for
// Basic authorization, SMTP authentication and mail attachments.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fw {

// 4 x ceil(n / 3).
std::size_t Base64EncodedLength(std::size_t n);
std::string Base64Encode(const void* bytes, std::size_t length);
inline std::string Base64Encode(std::string_view bytes) { return Base64Encode(bytes.data(), bytes.size()); }

}  // namespace fw
