// TStringList and the 8-bit text-file helpers.
#include "framework/core/file_io.h"
#include "framework/core/string_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/core/exceptions.h"

namespace fw {
namespace {

TEST(StringList, SplitsEveryKindOfLineEnd) {
    struct Row { std::string text; std::vector<std::string> lines; };
    const Row rows[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"", {}},
    };
    for (const auto& r : rows) EXPECT_EQ(SplitLines(r.text), r.lines) << r.text;
}

TEST(StringList, SortedListKeepsOrderAndDuplicateRule) {
    TStringList l;
    l.SetSorted(true);
    l.SetDuplicates(TDuplicates::dupIgnore);
    l.Add(L"pear");
    l.Add(L"Apple");
    l.Add(L"apple");
    ASSERT_EQ(l.Count(), 2);
    EXPECT_EQ(l[0], L"Apple");
    l.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(l.Add(L"PEAR"), EInvalidOperation);
}

TEST(StringList, NameValuePairsAndText) {
    TStringList l;
    l.SetText(L"Host=example\r\nPort=25\r\n");
    EXPECT_EQ(l.Values(L"port"), L"25");
    l.SetValue(L"Port", L"587");
    l.SetValue(L"User", L"me");
    l.SetValue(L"Host", L"");
    EXPECT_EQ(l.Text(), L"Port=587\r\nUser=me\r\n");
    EXPECT_EQ(l.CommaText(), L"Port=587,User=me");
}

TEST(StringList, FileRoundTripIsWindows1252WithCrLf) {
    auto path = std::filesystem::temp_directory_path() / "fw_string_list_test.txt";
    TStringList l;
    l.Add(L"caf\u00E9 \u20AC");
    l.Add(L"");
    l.SaveToFile(path);
    EXPECT_EQ(ReadFileBytes(path), std::string("caf\xE9 \x80\r\n\r\n"));
    TStringList back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Items(), l.Items());
    std::filesystem::remove(path);
    EXPECT_THROW(back.LoadFromFile(path), EInOutError);
}

}  // namespace
}  // namespace fw
