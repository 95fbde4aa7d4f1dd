// The library's MD5: RFC 1321 where its padding agrees with the standard,
// independently computed values (data/codec_vectors.py) where it does not.
#include "crashreport/delivery/Md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace drevnik {
namespace {

std::string Hex(const Md5Digest& d) {
    std::string s;
    char buf[3];
    for (auto b : d) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        s += buf;
    }
    return s;
}

std::string DigestOf(const std::string& text) {
    Md5Digest d;
    Md5Buffer(text.data(), text.size(), d);
    return Hex(d);
}

TEST(Md5, Rfc1321SuiteBelow56BytesIsStandard) {
    struct Row { const char* text; const char* digest; };
    const Row rows[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    };
    for (const auto& r : rows) EXPECT_EQ(DigestOf(r.text), r.digest) << '"' << r.text << '"';
}

TEST(Md5, LongerInputsKeepTheUnclearedPaddingBlock) {
    // The last two RFC 1321 inputs (62 and 80 bytes), whose standard digests
    // are d174ab98... and 57edf4a2...; the library's padding gives these.
    EXPECT_EQ(DigestOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "490dc64d6a40a45646a527968f0914eb");
    std::string eighty;
    for (int i = 0; i < 8; ++i) eighty += "1234567890";
    EXPECT_EQ(DigestOf(eighty), "f47e6c5308570e9a5039c9820f9b5cb8");

    // Bytes (7 * i + 1) & 0xFF around the padding boundaries. 55 and 119
    // (64 + 55) leave no stale byte between the 0x80 and the length, so they
    // are standard; the rest are not.
    struct Row { std::size_t n; const char* digest; };
    const Row rows[] = {
        {55, "8c3eb046bcdb1f0ffe75fdbaf890cf13"},  {56, "3a6b5026ec13ec41140d71fb1eaba4c7"},
        {57, "c33cb3c9ffd442e928055d36daa6e37f"},  {63, "0d006e7286e85f96d61c9182015736b7"},
        {64, "3dea25ec760fc9543f2e0fff698cd8b7"},  {65, "8ddb376a96e859964d120ac485374c00"},
        {100, "df2fbd19ab5cc8f4dc59d72d6c4cbe1d"}, {119, "dac58560b386c3d5b29ebbdec5197e10"},
        {120, "1ca07fb90d2259067a5b0714d859d0f8"}, {127, "543a521a5c0b20e29d18d39df729879a"},
        {128, "a67d085bc8993696c62030f1fa5d446c"}, {200, "0f91e3246b6d9800c99299ce1f96cf9e"},
    };
    for (const auto& r : rows) {
        std::string input;
        for (std::size_t i = 0; i < r.n; ++i) input.push_back(static_cast<char>((i * 7 + 1) & 0xFF));
        EXPECT_EQ(DigestOf(input), r.digest) << r.n << " bytes";
    }
}

}  // namespace
}  // namespace drevnik
