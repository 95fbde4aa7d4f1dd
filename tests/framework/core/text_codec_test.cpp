// Windows-1252 conversion of the 8-bit text files.
#include "framework/core/text_codec.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(TextCodec, RoundTripsEveryMappedByte) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    EXPECT_EQ(WideToAnsi(AnsiToWide(all)), all);
}

TEST(TextCodec, MapsTypographicRangeAndReplacesUnmappable) {
    struct Row { std::wstring wide; std::string ansi; };
    const Row rows[] = {
        {L"\u20AC", "\x80"},
        {L"\u2019s", "\x92s"},
        {L"caf\u00E9", "caf\xE9"},
        {L"\u4E2D", "?"},
    };
    for (const auto& r : rows) EXPECT_EQ(WideToAnsi(r.wide), r.ansi);
    EXPECT_EQ(AnsiToWide("\x80"), L"\u20AC");
}

}  // namespace
}  // namespace fw
