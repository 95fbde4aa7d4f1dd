#include "crashreport/delivery/TeaCipher.h"

#include <bit>
#include <cstring>

#include "crashreport/delivery/Md5.h"

namespace drevnik {
namespace {

static_assert(std::endian::native == std::endian::little, "block words are loaded as little-endian and swapped");

constexpr std::uint32_t kDelta = 0x9E3779B9;
constexpr int kRounds = 32;
constexpr std::uint32_t kDecryptSum = kDelta * kRounds;
static_assert(kDecryptSum == 0xC6EF3720);

std::uint32_t g_key[4];

std::uint32_t LoadWord(const std::uint8_t* p) {
    std::uint32_t value;
    std::memcpy(&value, p, 4);
    return SwapBytes32(value);
}

void StoreWord(std::uint8_t* p, std::uint32_t value) {
    value = SwapBytes32(value);
    std::memcpy(p, &value, 4);
}

}  // namespace

std::uint32_t SwapBytes32(std::uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

void SetTeaKeyFromPassword(std::string_view password) {
    Md5Digest digest;
    Md5Buffer(password.data(), password.size(), digest);
    for (int i = 0; i < 4; ++i) g_key[i] = LoadWord(digest.data() + 4 * i);
}

void TeaEncryptBlock(std::span<const std::uint8_t, 8> source, std::span<std::uint8_t, 8> destination) {
    const std::uint32_t k0 = g_key[0], k1 = g_key[1], k2 = g_key[2], k3 = g_key[3];
    std::uint32_t y = LoadWord(source.data()), z = LoadWord(source.data() + 4);
    std::uint32_t sum = 0;
    for (int i = 0; i < kRounds; ++i) {
        sum += kDelta;
        y += (z << 4) + (z ^ k0) + ((z >> 5) ^ sum) + k1;
        z += (y << 4) + (y ^ k2) + ((y >> 5) ^ sum) + k3;
    }
    StoreWord(destination.data(), y);
    StoreWord(destination.data() + 4, z);
}

void TeaDecryptBlock(std::span<const std::uint8_t, 8> source, std::span<std::uint8_t, 8> destination) {
    const std::uint32_t k0 = g_key[0], k1 = g_key[1], k2 = g_key[2], k3 = g_key[3];
    std::uint32_t y = LoadWord(source.data()), z = LoadWord(source.data() + 4);
    std::uint32_t sum = kDecryptSum;
    for (int i = 0; i < kRounds; ++i) {
        z -= (y << 4) + (y ^ k2) + ((y >> 5) ^ sum) + k3;
        y -= (z << 4) + (z ^ k0) + ((z >> 5) ^ sum) + k1;
        sum -= kDelta;
    }
    StoreWord(destination.data(), y);
    StoreWord(destination.data() + 4, z);
}

void TeaDecryptBuffer(const void* source, void* destination, std::size_t length) {
    const auto* in = static_cast<const std::uint8_t*>(source);
    auto* out = static_cast<std::uint8_t*>(destination);
    // The chaining register is reset on every call, so it lives here rather
    // than beside the key: concurrent calls cannot disturb each other's chain.
    std::uint8_t chain[8];
    std::memset(chain, 0xFF, sizeof chain);

    std::size_t offset = 0;
    for (; length - offset >= 8; offset += 8) {
        std::uint8_t cipher[8];
        std::uint8_t plain[8];
        std::memcpy(cipher, in + offset, 8);  // in place, the source is overwritten below
        TeaDecryptBlock(cipher, plain);
        for (int i = 0; i < 8; ++i) out[offset + i] = plain[i] ^ chain[i];
        std::memcpy(chain, cipher, 8);
    }
    const std::size_t rest = length - offset;
    if (rest > 0) {
        TeaEncryptBlock(chain, chain);
        for (std::size_t i = 0; i < rest; ++i) out[offset + i] = in[offset + i] ^ chain[i];
    }
}

}  // namespace drevnik
