// Base64 against the RFC 4648 vectors, plus the lenient decoder's rules for
// malformed text.
#include "crashreport/delivery/Base64.h"

#include <gtest/gtest.h>

#include <string>

namespace drevnik {
namespace {

TEST(Base64, Rfc4648VectorsBothWays) {
    struct Row { const char* plain; const char* encoded; };
    const Row rows[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& r : rows) {
        const std::string plain = r.plain;
        EXPECT_EQ(Base64EncodeString(plain), r.encoded);
        EXPECT_EQ(Base64EncodeBuffer(plain.data(), plain.size()), r.encoded);
        EXPECT_EQ(Base64EncodedLength(plain.size()), std::string(r.encoded).size());
        EXPECT_EQ(Base64DecodeString(r.encoded), plain);
    }
}

TEST(Base64, EveryByteValueRoundTripsAtEachRemainder) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(255 - i));
    for (std::size_t n : {254u, 255u, 256u}) {
        const std::string plain = all.substr(0, n);
        const std::string encoded = Base64EncodeString(plain);
        EXPECT_EQ(encoded.find_first_not_of(
                      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string::npos);
        EXPECT_EQ(Base64DecodeString(encoded), plain) << n;
    }
    EXPECT_EQ(Base64EncodeString("\xFB\xFF\xBF"), "+/+/");
}

TEST(Base64, MalformedTextDecodesLenientlyWithinBounds) {
    struct Row { std::string encoded; std::string decoded; };
    const Row rows[] = {
        {"Zm9vY", ""},               // length not a multiple of 4
        {"Zm9", ""},
        {"Zm9vYg=", ""},
        {"Zm9vYmE=", "fooba"},       // ends in "=": 3/4 of the length less one
        {"Zm=v", "f"},               // "=" second to last: less two
        {"Q=B=", "@."},              // room for two bytes, the group stops at its first "="
        {"====", std::string(1, '\0')},
        {"Zm9v====", std::string("foo\0", 4)},
        {"Zg==Zm9v", std::string("f\0\0foo", 6)},  // "=" inside counts as 0
        {"!!!!", "\xFF\xFF\xFF"},    // foreign characters count as 255
        {"\x80\xFF\x80\xFF", "\xFF\xFF\xFF"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Base64DecodeString(r.encoded), r.decoded) << r.encoded;
        EXPECT_EQ(Base64DecodedLength(r.encoded), r.decoded.size()) << r.encoded;
    }
}

}  // namespace
}  // namespace drevnik
