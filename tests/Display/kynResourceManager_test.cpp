// The display program's version text.
#include "Display/kynResourceManager.h"

#include <gtest/gtest.h>

namespace kyn {
namespace {

TEST(ResourceManager, VersionTextShowsMajorMinorAndBuild) {
    using common::TFileVersion;
    EXPECT_EQ(FormatVersionText(TFileVersion{2, 3, 4, 5}), L"Version 2.3  Build 5");
    EXPECT_EQ(FormatVersionText(TFileVersion{1, 0, 0, 14}), L"Version 1.0  Build 14");
    EXPECT_EQ(FormatVersionText(TFileVersion{65535, 0, 0, 65535}), L"Version 65535.0  Build 65535");
    EXPECT_EQ(FormatVersionText(L"", L"", L""), L"Version .  Build ");
}

}  // namespace
}  // namespace kyn
