// The TEA-style block cipher that deciphers the enciphered names of the
// library's debug data and of the XML report.
//
// Not textbook TEA: each half-round adds four terms,
//   (z shl 4) + (z xor k0) + ((z shr 5) xor sum) + k1,
// and blocks are two big-endian 32-bit words. Existing enciphered data relies
// on both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace drevnik {

// Reverses the byte order of a 32-bit word.
std::uint32_t SwapBytes32(std::uint32_t value);

// Sets the process-wide key: the Md5Buffer digest of the password, its four
// 4-byte groups read as big-endian words k0..k3. Every block operation uses
// this key until it is set again; the key is not guarded, so keying and
// deciphering belong to one report at a time.
void SetTeaKeyFromPassword(std::string_view password);

// One 8-byte block with the current key; source and destination may be the
// same block.
void TeaEncryptBlock(std::span<const std::uint8_t, 8> source, std::span<std::uint8_t, 8> destination);
void TeaDecryptBlock(std::span<const std::uint8_t, 8> source, std::span<std::uint8_t, 8> destination);

// Deciphers length bytes in the library's chained mode: each full block is
// deciphered and XORed with the previous cipher block (eight 0xFF bytes
// before the first); a trailing partial block is XORed with the encryption
// of that register. Source and destination are either the same buffer or do
// not overlap.
void TeaDecryptBuffer(const void* source, void* destination, std::size_t length);

}  // namespace drevnik
