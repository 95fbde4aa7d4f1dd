// The MD5 digest that turns a data password into the cipher key.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace drevnik {

using Md5Digest = std::array<std::uint8_t, 16>;

// MD5 with the library's own final padding, which the keys of existing
// enciphered debug data were made with: the padding reuses the one work
// block without clearing it, so bytes left by the last full block (and, when
// a second padding block is needed, the tail of the message and its 0x80)
// stay in it. Messages shorter than 56 bytes get the standard digest; longer
// ones do not.
void Md5Buffer(const void* buffer, std::size_t length, Md5Digest& digest);

}  // namespace drevnik
