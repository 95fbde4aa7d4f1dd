// Base64 of the transfer component, used for Basic authorization: the
// framework's encoder over the text's UTF-8 form.
#pragma once

#include <string>
#include <string_view>

namespace oru {

// Base64 of the UTF-8 form of the text. Credentials outside ASCII must reach
// the server as UTF-8; taking the low byte of each character would mangle
// them.
std::wstring NcBase64Encode(std::wstring_view text);

// UTF-8 form of UTF-16 text (UTF-32 where wchar_t is 32 bits wide); a lone
// surrogate becomes U+FFFD.
std::string NcUtf8Encode(std::wstring_view text);

}  // namespace oru
