// The Base64 encoder.
#include "framework/core/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace fw {
namespace {

TEST(Base64, StandardVectorsAndPadding) {
    const std::pair<std::string, std::string> rows[] = {
        {"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {std::string("\xff\xfe\x00", 3), "//4A"},
        {"\xFB\xFF\xBF", "+/+/"},
    };
    for (const auto& [in, out] : rows) EXPECT_EQ(Base64Encode(in), out) << in;
    for (size_t n = 0; n < 10; ++n) {
        EXPECT_EQ(Base64Encode(std::string(n, 'x')).size(), Base64EncodedLength(n));
        EXPECT_EQ(Base64EncodedLength(n), (n + 2) / 3 * 4);
    }
}

}  // namespace
}  // namespace fw
