// Line framing of a TCP byte stream.
#include "framework/net/line_framer.h"

#include <gtest/gtest.h>

#include <string>

namespace fw::net {
namespace {

std::vector<std::wstring> FeedAll(TLineFramer& framer, const std::string& bytes, size_t chunk, bool* ok = nullptr) {
    std::vector<std::wstring> lines;
    bool good = true;
    for (size_t i = 0; i < bytes.size(); i += chunk)
        good = framer.Feed(bytes.data() + i, std::min(chunk, bytes.size() - i), lines) && good;
    if (ok) *ok = good;
    return lines;
}

TEST(LineFramer, CutsAtLfAndDropsOneCrBeforeIt) {
    const struct {
        std::string bytes;
        std::vector<std::wstring> lines;
        size_t pending;
    } rows[] = {
        {"Run\n", {L"Run"}, 0},
        {"Run\r\n", {L"Run"}, 0},
        {"Run \n", {L"Run "}, 0},
        {"a\r\r\n", {L"a\r"}, 0},
        {"a\rb\n", {L"a\rb"}, 0},
        {"\n\r\n", {L"", L""}, 0},
        {"one\ntwo\nthr", {L"one", L"two"}, 3},
        {std::string("x\0y\n", 4), {std::wstring(L"x\0y", 3)}, 0},
        {"\xE9t\xFF\n", {L"?t?"}, 0},
    };
    for (const auto& row : rows) {
        // Whole, and one byte at a time: a CR LF split across reads too.
        for (size_t chunk : {row.bytes.size(), size_t{1}}) {
            TLineFramer framer(64);
            bool ok = false;
            EXPECT_EQ(FeedAll(framer, row.bytes, chunk, &ok), row.lines) << row.bytes;
            EXPECT_TRUE(ok);
            EXPECT_EQ(framer.Pending(), row.pending);
        }
    }
}

TEST(LineFramer, LineOverTheCapFailsEndedOrNot) {
    const size_t cap = 8;
    const struct {
        std::string bytes;
        bool ok;
        std::vector<std::wstring> lines;
    } rows[] = {
        {"12345678\n", true, {L"12345678"}},
        {"12345678\r\n", true, {L"12345678"}},
        {"123456789\n", false, {}},
        {"12345678\r\r\n", false, {}},
        {"ok\n123456789", false, {L"ok"}},
        {std::string(10 * 1024 * 1024, 'A'), false, {}},
    };
    for (const auto& row : rows) {
        TLineFramer framer(cap);
        bool ok = true;
        EXPECT_EQ(FeedAll(framer, row.bytes, 4096, &ok), row.lines);
        EXPECT_EQ(ok, row.ok) << row.bytes.substr(0, 16);
        EXPECT_EQ(framer.Failed(), !row.ok);
        // Nothing of an over-long line is kept.
        EXPECT_LE(framer.Pending(), cap + 1);
    }
    TLineFramer framer(cap);
    std::vector<std::wstring> lines;
    EXPECT_FALSE(framer.Feed("123456789", 9, lines));
    EXPECT_FALSE(framer.Feed("\nRun\n", 5, lines));
    EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace fw::net
