// CRC-16/XMODEM against its catalogued check value and Python's binascii.crc_hqx.
#include "crashreport/delivery/Crc16.h"

#include <gtest/gtest.h>

#include <string>

namespace drevnik {
namespace {

std::string AllBytes() {
    std::string s;
    for (int i = 0; i < 256; ++i) s.push_back(static_cast<char>(i));
    return s;
}

TEST(Crc16, MatchesXmodemReferences) {
    struct Row { std::string text; std::uint16_t crc; };
    const Row rows[] = {
        {"", 0x0000},
        {"123456789", 0x31C3},  // the catalogued check value
        {"abc", 0x9DD6},
        {"Quorvex.exeEAccessViolation", 0x9356},
        {AllBytes(), 0x7E55},  // bytes above 0x7F index the table unsigned
    };
    for (const auto& r : rows) EXPECT_EQ(CalcCrc16(r.text), r.crc) << r.text.size() << " bytes";
}

}  // namespace
}  // namespace drevnik
