// Dropped file lists read through the bounded reader.
#include <gtest/gtest.h>

#include "framework/core/exceptions.h"
#include "widgets/editors/KelDropFiles.h"

namespace kel {
namespace {

std::vector<uint8_t> Header(uint32_t offset, bool wide) {
    std::vector<uint8_t> b(20, 0);
    b[0] = static_cast<uint8_t>(offset);
    b[16] = wide ? 1 : 0;
    return b;
}

std::wstring Ascii(std::string_view s) { return std::wstring(s.begin(), s.end()); }

TEST(KelDropFiles, WideAndAnsiNames) {
    std::vector<uint8_t> wide = Header(20, true);
    for (char c : std::string("a.txt")) wide.insert(wide.end(), {static_cast<uint8_t>(c), 0});
    wide.insert(wide.end(), {0, 0});
    for (char c : std::string("b")) wide.insert(wide.end(), {static_cast<uint8_t>(c), 0});
    wide.insert(wide.end(), {0, 0, 0, 0});
    EXPECT_EQ(ParseDropFiles(wide, Ascii), (std::vector<std::wstring>{L"a.txt", L"b"}));
    std::vector<uint8_t> ansi = Header(24, false);
    ansi.insert(ansi.end(), {9, 9, 9, 9, 'x', 0, 'y', 'z', 0, 0});
    EXPECT_EQ(ParseDropFiles(ansi, Ascii), (std::vector<std::wstring>{L"x", L"yz"}));
}

TEST(KelDropFiles, BadBlocks) {
    // The last name runs off the end: only the complete ones count.
    std::vector<uint8_t> cut = Header(20, false);
    cut.insert(cut.end(), {'x', 0, 'y', 'z'});
    EXPECT_EQ(ParseDropFiles(cut, Ascii), (std::vector<std::wstring>{L"x"}));
    // An odd byte left in a wide block.
    std::vector<uint8_t> odd = Header(20, true);
    odd.push_back('x');
    EXPECT_TRUE(ParseDropFiles(odd, Ascii).empty());
    EXPECT_THROW(ParseDropFiles(Header(200, true), Ascii), fw::EReadError);
    EXPECT_THROW(ParseDropFiles(std::vector<uint8_t>(10, 0), Ascii), fw::EReadError);
}

}  // namespace
}  // namespace kel
