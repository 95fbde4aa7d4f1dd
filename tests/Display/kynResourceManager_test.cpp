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

// Text helpers and the host address text.
#include "framework/core/string_list.h"

namespace kyn {
namespace {

TEST(ResourceManager, IndexOfTextIgnoresAsciiCaseOnly) {
    constexpr std::wstring_view words[] = {L"Run", L"ShowGrid", L"\u00C9t\u00E9", L"run"};
    EXPECT_EQ(IndexOfText(L"Run", words), 0);
    EXPECT_EQ(IndexOfText(L"RUN", words), 0);  // the first of two equal ones
    EXPECT_EQ(IndexOfText(L"showgrid", words), 1);
    EXPECT_EQ(IndexOfText(L"\u00C9T\u00E9", words), 2);
    EXPECT_EQ(IndexOfText(L"\u00E9t\u00E9", words), -1);  // not an ASCII letter
    EXPECT_EQ(IndexOfText(L"Run ", words), -1);
    EXPECT_EQ(IndexOfText(L" Run", words), -1);
    EXPECT_EQ(IndexOfText(L"", words), -1);
    EXPECT_EQ(IndexOfText(L"Run", std::span<const std::wstring_view>()), -1);
}

TEST(ResourceManager, SplitToListFollowsTheDelimitedTextRules) {
    const struct {
        wchar_t delimiter;
        std::wstring text;
        std::vector<std::wstring> words;
    } rows[] = {
        {L' ', L"NumericalCommand SweepRate 250", {L"NumericalCommand", L"SweepRate", L"250"}},
        {L' ', L"  a \t\r b  ", {L"a", L"b"}},
        {L' ', L"", {}},
        {L' ', L" \t ", {}},
        {L' ', L"\"two words\" x", {L"two words", L"x"}},
        {L' ', L"\"say \"\"hi\"\"\"", {L"say \"hi\""}},
        {L' ', L"\"open quote", {L"open quote"}},
        {L' ', L"\"ab\"cd", {L"ab", L"cd"}},
        {L' ', std::wstring(L"a\0b c", 5), {L"a"}},
        {L',', L"a,b", {L"a", L"b"}},
        {L',', L"a,,b", {L"a", L"", L"b"}},
        {L',', L"a, b c", {L"a", L"b", L"c"}},
        {L',', L"a,", {L"a", L""}},
        {L',', L",a", {L"", L"a"}},
    };
    fw::TStringList list;
    list.Add(L"stale");
    for (const auto& row : rows) {
        SplitToList(row.delimiter, row.text, &list);
        EXPECT_EQ(list.Items(), row.words) << testing::PrintToString(row.text);
    }
}

TEST(ResourceManager, HostAddressTextAndNameErrors) {
    EXPECT_EQ(HostAddressText({127, 0, 0, 1}), L"127.0.0.1");
    EXPECT_EQ(HostAddressText({192, 168, 255, 10}), L"192.168.255.10");
    EXPECT_EQ(HostAddressText({}), L"");
    EXPECT_EQ(HostNameErrorText(10036), L"WSAEInProgress");
    EXPECT_EQ(HostNameErrorText(10050), L"WSAENetDown");
    EXPECT_EQ(HostNameErrorText(10093), L"WSANotInitialised");
    EXPECT_EQ(HostNameErrorText(10014), L"");
}

}  // namespace
}  // namespace kyn
