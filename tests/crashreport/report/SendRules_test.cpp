#include <gtest/gtest.h>

#include "crashreport/report/SendRules.h"

namespace drevnik {
namespace {

TEST(SendRules, TempLogCopyEndsWithThreeLineBreaksOnce) {
    const struct {
        std::string in, out;
    } rows[] = {
        {"A\r\nB", "A\r\nB\r\n\r\n\r\n"},
        {"A\r\nB\r\n\r\n\r\n", "A\r\nB\r\n\r\n\r\n"},
        {"A\nB\rC\r\n", "A\r\nB\r\nC\r\n\r\n\r\n\r\n"},
        {"", "\r\n\r\n\r\n"},
    };
    for (const auto& row : rows) EXPECT_EQ(TempLogCopyText(row.in), row.out) << row.in;
    EXPECT_TRUE(TextToSendEndsWithBlankLines("x\r\n\r\n\r\n"));
    EXPECT_FALSE(TextToSendEndsWithBlankLines("\r\n\r\n\r"));
}

TEST(SendRules, AutoCrashNeedsExactlyTheCountWithinTheMinutes) {
    std::vector<std::string> ten;
    for (int i = 0; i < 10; ++i) ten.push_back("46000." + std::to_string(100 + i * 7));  // 6.3e-3 days apart in all
    std::vector<std::string> wide = ten;
    wide.back() = "46000.2";
    const std::vector<std::string> nine(ten.begin(), ten.end() - 1);
    EXPECT_FALSE(AutoCrashDue(ten, 10, 1));  // 0.063 days is more than a minute
    EXPECT_TRUE(AutoCrashDue(ten, 10, 100));
    EXPECT_FALSE(AutoCrashDue(nine, 10, 100));
    EXPECT_FALSE(AutoCrashDue(wide, 10, 100));
    EXPECT_TRUE(AutoCrashDue({"46000.5", "46000.5006944"}, 2, 1));
    EXPECT_FALSE(AutoCrashDue({}, 0, 1));
}

TEST(SendRules, ProgressSteps) {
    EXPECT_EQ(UploadPercent(1000, 5), 0);     // 0.5 rounds to even
    EXPECT_EQ(UploadPercent(1000, 15), 2);    // 1.5 too
    EXPECT_EQ(UploadPercent(3, 2), 67);
    EXPECT_EQ(UploadPercent(0, 0), 0);
    const TConnectionProgressStep connect = ConnectionProgressStep(0, 0);
    EXPECT_EQ(connect.TextIndex, 114);
    EXPECT_TRUE(connect.ResetFirst);
    EXPECT_EQ(connect.Value, 5);
    EXPECT_EQ(ConnectionProgressStep(6, 50).Value, 68);  // 67.5 to even
    EXPECT_EQ(ConnectionProgressStep(6, 100).Value, 100);
    EXPECT_EQ(ConnectionProgressStep(4, 0).TextIndex, 119);
    EXPECT_TRUE(ConnectionProgressStep(4, 0).Advance);
    EXPECT_EQ(ConnectionProgressStep(9, 0).Value, 100);
    EXPECT_EQ(ConnectionProgressStep(10, 0).TextIndex, 0);
}

}  // namespace
}  // namespace drevnik
