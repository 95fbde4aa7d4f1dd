// The TEA-style cipher against values computed independently by
// data/codec_vectors.py, plus round trips and hand-checkable XORs.
#include "crashreport/delivery/TeaCipher.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace drevnik {
namespace {

using Block = std::array<std::uint8_t, 8>;

Block BlockOf(const char* bytes) {
    Block b;
    for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(bytes[i]);
    return b;
}

const char kLongPassword[] = "correct horse battery staple, and a few more words to pass 56";

TEST(TeaCipher, KeyedBlocksMatchReference) {
    // Passwords of 0, 6 and 61 bytes; the last one's key comes from the
    // library's own MD5 padding.
    struct Row { const char* password; const char* encrypted0to7; const char* encryptedFF; };
    const Row rows[] = {
        {"", "\x99\xB2\x6E\x5F\xB5\xB7\x18\x38", "\x30\xBE\x7F\xA3\xAD\x6E\xF2\x4F"},
        {"secret", "\xC0\x61\xDC\x28\x4A\x28\x84\xC7", "\xF1\x28\x5A\x6F\xC0\xC8\xE4\x35"},
        {kLongPassword, "\x89\x73\x6C\x9B\x3A\xA2\x7B\x95", "\x7B\x1B\x14\xD5\x4B\x23\xC2\x1F"},
    };
    const Block counting = {0, 1, 2, 3, 4, 5, 6, 7};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.password);
        SetTeaKeyFromPassword(r.password);
        Block out;
        TeaEncryptBlock(counting, out);
        EXPECT_EQ(out, BlockOf(r.encrypted0to7));
        TeaDecryptBlock(out, out);  // in place
        EXPECT_EQ(out, counting);

        Block ff;
        ff.fill(0xFF);
        TeaEncryptBlock(ff, ff);
        EXPECT_EQ(ff, BlockOf(r.encryptedFF));
    }
}

TEST(TeaCipher, BlocksRoundTripUnderEveryKey) {
    for (const char* password : {"", "x", kLongPassword}) {
        SetTeaKeyFromPassword(password);
        Block b;
        for (int seed = 0; seed < 64; ++seed) {
            for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(seed * 31 + i * 97);
            Block enc, dec;
            TeaEncryptBlock(b, enc);
            EXPECT_NE(enc, b);
            TeaDecryptBlock(enc, dec);
            EXPECT_EQ(dec, b) << password << " seed " << seed;
        }
    }
}

TEST(TeaCipher, ChainedDecipheringRecoversPlainTextInPlaceAndCopied) {
    struct Row { const char* password; std::string cipher; std::string plain; };
    const Row rows[] = {
        {"secret", "\xA4\x46\x33\x1B\xF1", "Unit1"},  // partial block only
        {"secret", "\x2B\xB1\xEF\x37\x3C\x0C\x26\xF1\x46\x5B\xDC", "KynMainForm"},
        {"secret", std::string("\xBC\xD1\xC8\xC3\xA8\xD6\x17\x49\xE9\x70\xBF\xFD\xC9\x7F\x0A\x5A", 16),
         "ExactlySixteen!!"},
        {"secret",
         "\x9D\x58\x85\x79\x2A\x48\x6B\xE3\x04\x42\x3B\x26\xDB\xC5\x59\x27\x74\x4E\xF3\xAD\x84\xC3\x1C",
         "TkynMainForm.FormCreate"},
        {kLongPassword,
         "\x82\xDD\x8E\xAA\x41\x13\x81\x51\x9F\xCC\x20\x0C\xDF\x75\x44\x0E\xA1\xCD\x11\xC1\x1B\xA7\xE0",
         "Drevnik.ReportException"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.plain);
        ASSERT_EQ(r.cipher.size(), r.plain.size());
        SetTeaKeyFromPassword(r.password);
        std::string copied(r.cipher.size(), '\0');
        TeaDecryptBuffer(r.cipher.data(), copied.data(), r.cipher.size());
        EXPECT_EQ(copied, r.plain);
        std::string inPlace = r.cipher;
        TeaDecryptBuffer(inPlace.data(), inPlace.data(), inPlace.size());
        EXPECT_EQ(inPlace, r.plain);
    }
}

TEST(TeaCipher, ShortBufferIsXoredWithEncryptedFfBlock) {
    SetTeaKeyFromPassword("secret");  // E(FF x 8) begins F1 28 5A 6F
    std::uint8_t buf[4] = {'A', 'B', 'C', 'D'};
    TeaDecryptBuffer(buf, buf, sizeof buf);
    const std::uint8_t expected[4] = {0x41 ^ 0xF1, 0x42 ^ 0x28, 0x43 ^ 0x5A, 0x44 ^ 0x6F};
    EXPECT_EQ(0, std::memcmp(buf, expected, 4));

    std::uint8_t untouched = 0x5C;
    TeaDecryptBuffer(nullptr, &untouched, 0);
    EXPECT_EQ(untouched, 0x5C);
}

TEST(TeaCipher, SwapBytes32ReversesBytes) {
    EXPECT_EQ(SwapBytes32(0x12345678u), 0x78563412u);
    EXPECT_EQ(SwapBytes32(0xFF000001u), 0x010000FFu);
}

}  // namespace
}  // namespace drevnik
