#include "crashreport/capture/DrevnikUtils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "crashreport/capture/DrevnikTexts.h"
#include "framework/core/exceptions.h"

namespace drevnik {
namespace {

using Strings = std::vector<std::string>;

TEST(DrevnikTexts, DefaultWordingKeepsLineBreaksAndTheReservedSlot) {
    const struct {
        int index;
        const char* text;
    } cases[] = {
        {txtCaptionInformation, "Information."},
        {txtDialogMessage,
         "An error has occurred during program execution.\r\nPlease read the following information for further details."},
        {txtMsDontSendButton, "&Don't Send"},
        {txtCmpTotalMemory, "Total Memory"},
        {txtBugClosed, "These BUG is just closed.\r\nContact the program support to obtain an update."},
        {txtReserved153, ""},
        {txtFrozen, "The application seems to be frozen."},
        {txtInvalidEmail, "Invalid email."},
        {-1, ""},
        {158, ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(DefaultText(c.index), c.text) << c.index;
    }
    TCustomizedTexts texts;
    FillDefaultTexts(texts);
    for (int i = 0; i < static_cast<int>(kCustomizedTextCount); ++i) {
        EXPECT_EQ(texts[i], DefaultText(i));
        EXPECT_EQ(texts[i].empty(), i == txtReserved153) << i;
    }
}

TEST(DrevnikUtils, SplitText) {
    const struct {
        const char* text;
        const char* separators;
        bool raw;
        bool keepEmpty;
        Strings expected;
    } cases[] = {
        {"  a ; b ;; c ;; ", ";", false, false, {"a", "b", "c"}},
        {"  a ; b ;; c ;; ", ";", false, true, {"a", "b", "", "c", ""}},
        {"a;b;;", ";", true, false, {"a;", "b;", ";"}},
        {" a; b ", ";", true, false, {" a;", " b "}},
        {"x,y;z", ",;", false, false, {"x", "y", "z"}},
        {"", ";", false, true, {}},
        {"   ", ";", false, true, {}},
    };
    for (const auto& c : cases) {
        Strings list{"kept"};
        SplitText(c.text, list, c.separators, c.raw, c.keepEmpty);
        Strings expected{"kept"};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(list, expected) << '"' << c.text << "\" raw=" << c.raw << " keep=" << c.keepEmpty;
    }
}

TEST(DrevnikUtils, SplitTrimmedText) {
    const struct {
        const char* text;
        Strings expected;
    } cases[] = {
        {";;first ;; last ", {"first", "", "last"}},
        {"a;b;", {"a", "b"}},
        {";;;", {}},
        {"", {}},
        {" only ", {"only"}},
    };
    for (const auto& c : cases) {
        Strings list;
        SplitTrimmedText(";", c.text, list);
        EXPECT_EQ(list, c.expected) << c.text;
    }
}

TEST(DrevnikUtils, SmallTextHelpers) {
    EXPECT_EQ(PosFrom("b", "abcb", 1), 2u);
    EXPECT_EQ(PosFrom("b", "abcb", 3), 4u);
    EXPECT_EQ(PosFrom("b", "abcb", 5), 0u);
    EXPECT_EQ(PosFrom("b", "abcb", 0), 0u);
    EXPECT_EQ(PosFrom("", "abcb", 1), 0u);

    EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");  // replaced text is not searched again
    EXPECT_EQ(ReplaceAll("AbAb", "ab", "x"), "AbAb");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");

    EXPECT_EQ(CollapseControlChars("a\r\n\tb\x01"), "a b ");
    EXPECT_EQ(CollapseControlChars(""), "");
    EXPECT_EQ(PadTextRight("ab", 4), "ab  ");
    EXPECT_EQ(PadTextRight("abcde", 3), "abcde");
    EXPECT_EQ(IfThenString(true, "a", "b"), "a");
    EXPECT_EQ(IfThenString(false, "a", "b"), "b");
    EXPECT_EQ(IfThenText(false, "a"), "");
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
}

TEST(DrevnikUtils, HtmlEscape) {
    const std::pair<const char*, const char*> cases[] = {
        {"a&b", "a&amp;b"},
        {"&lt;", "&amp;lt;"},
        {"<i>\"x\"'", "&lt;i&gt;&quot;x&quot;&#039;"},
        {"a   b", "a&nbsp;&nbsp; b"},
        {"l1\r\nl2", "l1<br>\r\nl2"},
        {"l1\nl2", "l1\nl2"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(HtmlEscape(in), out) << in;
    }
}

TEST(DrevnikUtils, Utf16ToUtf8) {
    EXPECT_EQ(Utf16ToUtf8(u"A\u00e9\u20ac"), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(u""), "");

    EXPECT_EQ(Utf16ToUtf8Buffer(u"A\u20ac", nullptr, 0), 5u);
    char buffer[4] = {'x', 'x', 'x', 'x'};
    // Only whole characters go in; the buffer always ends in NUL.
    EXPECT_EQ(Utf16ToUtf8Buffer(u"A\u20ac", buffer, sizeof buffer), 2u);
    EXPECT_STREQ(buffer, "A");
    EXPECT_EQ(Utf16ToUtf8Buffer(u"A", buffer, 0), 0u);
}

TEST(DrevnikUtils, FloatTextUsesPointWhateverTheLocale) {
    for (const double v : {0.5, -1.25, 45678.123456789, 1e-9, 0.0}) {
        const std::string text = FloatToStrDot(v);
        EXPECT_EQ(text.find(','), std::string::npos) << text;
        EXPECT_EQ(StrToFloatDot(text), v) << text;
    }
    EXPECT_EQ(FloatToStrDot(0.5), "0.5");
    EXPECT_EQ(StrToFloatDot(" +2.5 "), 2.5);
    for (const char* bad : {"", "1,5", "abc", "1.5x"}) {
        EXPECT_THROW(StrToFloatDot(bad), fw::EConvertError) << bad;
    }
}

TEST(DrevnikUtils, PluralUnitAndTimeSpan) {
    EXPECT_EQ(PluralUnit("day", 1), "day");
    EXPECT_EQ(PluralUnit("day", 1.9), "day");
    EXPECT_EQ(PluralUnit("day", 2), "days");
    EXPECT_EQ(PluralUnit("second", 0), "second");

    const double second = 1.0 / 86400;
    const std::pair<double, const char*> cases[] = {
        {1.5, "1 day, 12 hours, 0 second"},
        {0, "0 second"},
        {90 * second, "1 minute, 30 seconds"},
        {2 + 3661 * second, "2 days, 1 hour, 1 minute, 1 second"},
        {3600 * second, "1 hour, 0 second"},
        {59.9 * second, "59 seconds"},
        {-1, "0 second"},
    };
    for (const auto& [days, text] : cases) {
        EXPECT_EQ(FormatTimeSpan(days), text) << days;
    }
}

TEST(DrevnikUtils, DateTimeEncodeAndDecode) {
    EXPECT_EQ(EncodeDateTime(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDateTime(1970, 1, 1), 25569);
    EXPECT_EQ(EncodeDateTime(2000, 2, 29, 12), 36585.5);
    const TDateTimeParts p = DecodeDateTime(EncodeDateTime(2024, 12, 31, 23, 59, 59, 999));
    EXPECT_EQ(p.Year, 2024);
    EXPECT_EQ(p.Month, 12);
    EXPECT_EQ(p.Day, 31);
    EXPECT_EQ(p.Hour, 23);
    EXPECT_EQ(p.Minute, 59);
    EXPECT_EQ(p.Second, 59);
    EXPECT_EQ(p.Millisecond, 999);
    EXPECT_EQ(p.DayOfWeek, 2);  // Tuesday
    EXPECT_EQ(DecodeDateTime(36585.5).DayOfWeek, 2);
    EXPECT_EQ(DecodeDateTime(0).DayOfWeek, 6);
}

// Every date printed here is also read back by Python's email.utils in the
// test's wrapper script (rfc822_check.py).
TEST(DrevnikUtils, FormatRfc822Date) {
    const struct {
        double when;
        int offset;
        const char* text;
    } cases[] = {
        {EncodeDateTime(2025, 3, 4, 9, 5, 7), -300, "Tue, 4 Mar 2025 09:05:07 -0500"},
        {EncodeDateTime(2025, 3, 4, 9, 5, 7), 0, "Tue, 4 Mar 2025 09:05:07 +0000"},
        {EncodeDateTime(2025, 3, 4, 9, 5, 7), 600, "Tue, 4 Mar 2025 09:05:07 +1000"},
        {EncodeDateTime(2025, 3, 4, 9, 5, 7), 330, "Tue, 4 Mar 2025 09:05:07 +0530"},
        {EncodeDateTime(2025, 3, 4, 9, 5, 7), 345, "Tue, 4 Mar 2025 09:05:07 +0545"},
        {EncodeDateTime(2025, 3, 4, 9, 5, 7), -570, "Tue, 4 Mar 2025 09:05:07 -0930"},
        {EncodeDateTime(2000, 2, 29, 23, 59, 59, 400), 60, "Tue, 29 Feb 2000 23:59:59 +0100"},
        {EncodeDateTime(1999, 12, 31, 0, 0, 0), 840, "Fri, 31 Dec 1999 00:00:00 +1400"},
        {EncodeDateTime(2024, 1, 7, 12, 30, 0), -720, "Sun, 7 Jan 2024 12:30:00 -1200"},
        {EncodeDateTime(2023, 10, 14, 6, 7, 8), 120, "Sat, 14 Oct 2023 06:07:08 +0200"},
    };
    for (const auto& c : cases) {
        const std::string text = FormatRfc822Date(c.when, c.offset);
        EXPECT_EQ(text, c.text);
        std::printf("RFC822|%s|%d|%s\n", FloatToStrDot(c.when).c_str(), c.offset, text.c_str());
    }
}

TEST(DrevnikUtils, Versions) {
    const std::pair<const char*, const char*> normalized[] = {
        {"6.0.25", "00006.00000.00025.00000"},
        {"1.2", "00001.00002.00000.00000"},
        {"1.2 beta", "00001.00002 beta.00000.00000"},
        {"1.2.3.4.5", "00001.00002.00003.00004.00005"},
        {"123456.1", "123456.00001.00000.00000"},
        {"", ""},
    };
    for (const auto& [in, out] : normalized) {
        EXPECT_EQ(NormalizeVersion(in), out) << in;
    }
    const struct {
        const char* base;
        const char* candidate;
        bool newer;
    } compared[] = {
        {"7.2.32", "10.0", true},   {"7.2.32", "5.0.0", false},    {"1.0", "1.0.0.0", false},
        {"", "1.0", false},         {"1.0", "", false},            {"1.0.0.9", "1.0.0.10", true},
        {"1.0.0.10", "1.0.0.9", false},
    };
    for (const auto& c : compared) {
        EXPECT_EQ(IsNewerVersion(c.base, c.candidate), c.newer) << c.base << " -> " << c.candidate;
    }
}

TEST(DrevnikUtils, PathStrings) {
    EXPECT_EQ(AddTrailingBackslash(""), "\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(RemoveTrailingBackslash("C:\\a\\"), "C:\\a");
    EXPECT_EQ(RemoveTrailingBackslash("C:\\a"), "C:\\a");
    EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(ExtractFilePath("b.txt"), "");
    EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(ExtractFileName("C:b.txt"), "b.txt");
    EXPECT_EQ(ExtractFileExt("C:\\a.b\\c"), "");
    EXPECT_EQ(ExtractFileExt("C:\\a\\c.DVF"), ".DVF");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\App.vshost.exe", ".dvf"), "C:\\a.b\\App.vshost.dvf");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\App", ".dvf"), "C:\\a.b\\App.dvf");
    EXPECT_EQ(RemoveVsHostSuffix("C:\\x.vshost\\App.vshost.exe"), "C:\\x\\App.exe");
    EXPECT_TRUE(IsIdeProgramFileName("C:\\Studio\\bin\\bds.exe"));
    EXPECT_FALSE(IsIdeProgramFileName("C:\\bds.exe\\x.exe"));
    EXPECT_TRUE(IsLibraryDataMagic(0x100FAB10u));
    EXPECT_TRUE(IsLibraryDataMagic(0x000FAB10u));
    EXPECT_FALSE(IsLibraryDataMagic(0x100FAB11u));
}

TEST(DrevnikUtils, ExpandVariablesWith) {
    const std::map<std::string, std::string, std::less<>> values{{"A", "1"}, {"B", "%A%"}, {"Long_Name9", "v"}};
    const auto resolve = [&values](std::string_view name) {
        const auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    };
    const std::pair<const char*, const char*> cases[] = {
        {"x%A%y", "x1y"},
        {"%B%", "%A%"},  // a value is not expanded again
        {"100%", "100%"},
        {"a%%b", "ab"},
        {"%unknown%", ""},
        {"%A", "%A"},
        {"50% off %A%", "50% off 1"},
        {"%A-%A%", "%A-1"},
        {"%%%A%", "1"},
        {"%Long_Name9%%A%", "v1"},
        {"%", "%"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(ExpandVariablesWith(in, resolve), out) << in;
    }
}

}  // namespace
}  // namespace drevnik
