// Base64 (RFC 4648 alphabet, "=" padding, no line breaks) for SMTP
// authentication, Basic authorization, mail attachments and the display of
// names that cannot be deciphered.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "framework/core/base64.h"

namespace drevnik {

// The encoder is the framework's.
inline std::size_t Base64EncodedLength(std::size_t n) { return fw::Base64EncodedLength(n); }
inline std::string Base64EncodeBuffer(const void* buffer, std::size_t length) { return fw::Base64Encode(buffer, length); }
inline std::string Base64EncodeString(std::string_view text) { return fw::Base64Encode(text); }

// 3 x (length / 4), less 2 when the second-to-last character is "=", else
// less 1 when the last one is; 0 for a length of 0 or not a multiple of 4.
std::size_t Base64DecodedLength(std::string_view text);

// Lenient by design: characters are not validated (a foreign one counts as
// 255, "=" as 0), and a text whose length is 0 or not a multiple of 4 gives
// an empty result. Bytes the last group does not supply stay ".". Whatever
// the input, nothing outside the input and the result is read or written.
std::string Base64DecodeString(std::string_view text);

}  // namespace drevnik
