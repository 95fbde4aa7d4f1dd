// The settings file's text form: number reader, writer and the 20-line file.
#include "common/SettingsFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework/core/exceptions.h"

namespace common {
namespace {

TGeneralSettings Sample() {
    TGeneralSettings s;
    s.Language = 2;
    s.Theme = 1;
    s.WindowTop = -5;
    s.WindowLeft = 10;
    s.WindowWidth = 1920;
    s.WindowHeight = 1080;
    s.LineThickness = 3;
    s.SweepRate = 1000;
    s.StartDelayMs = 3000;
    s.SweepDirection = 2;
    s.BackgroundColour = {0.0, 1.0, 0.0, 3, 0.0};
    s.LineColour = {0.2, 0.2, 0.2, 1, 0.2};
    s.GridSpacing = 128;
    s.StartDelayOn = -1;
    s.ResetBeforeRun = 1;
    s.ServerIP = L"192.168.1.20";
    s.ServerPort = 5000;
    return s;
}

const char kSampleFile[] =
    "2\r\n1\r\n-5\r\n10\r\n1920\r\n1080\r\n3\r\n1000\r\n3000\r\n2\r\n"
    " 0.00000000000000E+0000  1.00000000000000E+0000  0.00000000000000E+0000\r\n"
    " 2.00000000000000E-0001  2.00000000000000E-0001  2.00000000000000E-0001\r\n"
    " 0.00000000000000E+0000  2.00000000000000E-0001\r\n"
    "3\r\n1\r\n128\r\n-1\r\n1\r\n192.168.1.20\r\n5000\r\n";

// A settings record whose every field differs from Sample() and from zero.
TGeneralSettings Sentinel() {
    TGeneralSettings s;
    s.Language = s.Theme = s.WindowTop = s.WindowLeft = s.WindowWidth = s.WindowHeight = 77;
    s.LineThickness = s.SweepRate = s.StartDelayMs = s.SweepDirection = 77;
    s.BackgroundColour = s.LineColour = {0.77, 0.77, 0.77, 77, 0.77};
    s.GridSpacing = s.StartDelayOn = s.ResetBeforeRun = s.ServerPort = 77;
    s.ServerIP = L"old";
    return s;
}

void ExpectInvalidNumericInput(const std::function<void()>& action) {
    try {
        action();
        ADD_FAILURE() << "no exception";
    } catch (const fw::EInOutError& e) {
        EXPECT_EQ(e.Message(), L"Invalid numeric input");
    }
}

TEST(SettingsFile, WritesTheExactTextForm) {
    EXPECT_EQ(WriteGeneralSettings(Sample()), kSampleFile);
}

TEST(SettingsFile, FormatsRealsIn23CharacterFields) {
    struct Row { double value; const char* field; };
    const Row rows[] = {
        {0.0, " 0.00000000000000E+0000"},
        {-0.0, " 0.00000000000000E+0000"},
        {1.0, " 1.00000000000000E+0000"},
        {-0.5, "-5.00000000000000E-0001"},
        {1.0 / 3.0, " 3.33333333333333E-0001"},
        {2.0 / 3.0, " 6.66666666666667E-0001"},
        {9.999999999999999, " 1.00000000000000E+0001"},  // rounding carries into the exponent
        {123456789012345678.0, " 1.23456789012346E+0017"},
        {-1.7976931348623157e308, "-1.79769313486231E+0308"},  // would not read back rounded up
        {5e-324, " 4.94065645841247E-0324"},
        {std::numeric_limits<double>::quiet_NaN(), " 0.00000000000000E+0000"},
        {-std::numeric_limits<double>::infinity(), " 0.00000000000000E+0000"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(FormatSettingsReal(r.value), r.field) << r.value;
        EXPECT_EQ(FormatSettingsReal(r.value).size(), 23u);
    }
    EXPECT_EQ(FormatSettingsInt(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(FormatSettingsInt(0), "0");
}

TEST(SettingsFile, ParsesIntTokensStrictly) {
    struct Row { const char* token; bool ok; int value; };
    const Row rows[] = {
        {"42", true, 42},           {"+7", true, 7},
        {"-7", true, -7},           {"007", true, 7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},   {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"12abc", false, 0},        {"0x10", false, 0},
        {"$10", false, 0},          {"1.5", false, 0},
        {"1e3", false, 0},          {"-", false, 0},
        {"+-1", false, 0},          {"--1", false, 0},
        {"", false, 0},
    };
    for (const auto& r : rows) {
        int value = -99;
        EXPECT_EQ(ParseSettingsInt(r.token, value), r.ok) << r.token;
        if (r.ok) {
            EXPECT_EQ(value, r.value) << r.token;
        }
    }
}

TEST(SettingsFile, ParsesRealTokensStrictlyInAnyLocale) {
    struct Row { const char* token; bool ok; double value; };
    const Row rows[] = {
        {"1.5", true, 1.5},
        {"-2.5E-0003", true, -0.0025},
        {"+3", true, 3.0},
        {"1e5", true, 1e5},
        {"1.", true, 1.0},
        {".5", true, 0.5},
        {"1.00000000000000E+0000", true, 1.0},
        {"4.94065645841247E-0324", true, 5e-324},
        {"1E-400", true, 0.0},  // below the smallest double: zero
        {"1e400", false, 0},    // above the largest: an error, never infinity
        {"123456789e301", false, 0},
        {"0.000000000000001e324", false, 0},  // 1E+0309 written with leading zeros
        {"1000000e-330", true, 0.0},
        {"nan", false, 0},
        {"inf", false, 0},
        {"-infinity", false, 0},
        {"0x1p3", false, 0},
        {"1,5", false, 0},
        {"1.5.2", false, 0},
        {"e5", false, 0},
        {"1e", false, 0},
        {"1e+", false, 0},
        {".", false, 0},
        {"-", false, 0},
    };
    for (const auto& r : rows) {
        double value = -99;
        EXPECT_EQ(ParseSettingsReal(r.token, value), r.ok) << r.token;
        if (r.ok) {
            EXPECT_EQ(value, r.value) << r.token;
        }
    }
}

TEST(SettingsFile, ReaderSkipsBlanksAndLineEndsAndReadsZeroAtTheEnd) {
    TSettingsReader reader("  \t 12 rest of line\r\n\r\n\t34\x01tail\n-5\r6\r\n  \r\n \t");
    EXPECT_EQ(reader.ReadInt(), 12);
    reader.NextLine();
    EXPECT_EQ(reader.ReadInt(), 34);  // the empty line is skipped by the number
    reader.NextLine();
    EXPECT_EQ(reader.ReadInt(), -5);
    reader.NextLine();  // a lone CR ends a line
    EXPECT_EQ(reader.ReadReal(), 6.0);
    reader.NextLine();
    EXPECT_EQ(reader.ReadInt(), 0);  // only blanks and line ends remain
    EXPECT_EQ(reader.ReadReal(), 0.0);
    EXPECT_TRUE(reader.AtEnd());

    TSettingsReader lines("  10.0.0.1  \r\nnext");
    EXPECT_EQ(lines.ReadLineText(), "  10.0.0.1  ");
    lines.NextLine();
    EXPECT_EQ(lines.ReadLineText(), "next");

    ExpectInvalidNumericInput([] { TSettingsReader("\x01" "5").ReadInt(); });
    ExpectInvalidNumericInput([] { TSettingsReader("x").ReadReal(); });
}

TEST(SettingsFile, RoundTripsEveryField) {
    TGeneralSettings extremes;
    extremes.Language = -2147483647 - 1;
    extremes.Theme = 2147483647;
    extremes.WindowTop = -1;
    extremes.BackgroundColour = {1.0 / 3.0, 1e-300, -0.75, -3, 2.0 / 7.0};
    extremes.LineColour = {123456.789, 5e-324, 1.7976931348623157e308, 0, 0.1};
    extremes.ServerIP = L"  caf\u00E9 \u20AC host\t ";
    extremes.ServerPort = 65535;
    const TGeneralSettings cases[] = {TGeneralSettings{}, Sample(), extremes};
    for (const auto& original : cases) {
        TGeneralSettings read = Sentinel();
        ReadGeneralSettings(WriteGeneralSettings(original), read);
        // Reals come back as their 15-digit rounding; everything else exactly.
        auto rounded = [](double v) {
            double r = 0;
            EXPECT_TRUE(ParseSettingsReal(FormatSettingsReal(v).substr(1), r));
            if (v < 0) r = -r;
            EXPECT_LE(std::fabs(r - v), 5e-15 * std::fabs(v));
            return r;
        };
        TGeneralSettings expected = original;
        for (TDisplayColour* c : {&expected.BackgroundColour, &expected.LineColour}) {
            c->Red = rounded(c->Red);
            c->Green = rounded(c->Green);
            c->Blue = rounded(c->Blue);
            c->Contrast = rounded(c->Contrast);
        }
        EXPECT_EQ(read, expected) << WriteGeneralSettings(original);
    }
}

TEST(SettingsFile, ReadsAnyLineEndAndIgnoresTrailingText) {
    auto replaceAll = [](std::string text, const std::string& from, const std::string& to) {
        for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
        return text;
    };
    const std::string sample = kSampleFile;
    const std::string variants[] = {
        replaceAll(sample, "\r\n", "\r"),  // lone CR
        replaceAll(sample, "\r\n", "\n"),
        // Extra text after the values of every number line.
        replaceAll(replaceAll(sample, "\r\n", " extra words\r\n"), "192.168.1.20 extra words", "192.168.1.20"),
        sample + "line 21\r\nline 22\r\n",
        sample.substr(0, sample.size() - 2),  // no line end after the last line
    };
    for (const auto& text : variants) {
        TGeneralSettings read = Sentinel();
        ReadGeneralSettings(text, read);
        EXPECT_EQ(read, Sample()) << text;
    }
}

TEST(SettingsFile, FileCutAfterLine10ZeroesTheRest) {
    std::string text = kSampleFile;
    size_t at = 0;
    for (int line = 0; line < 10; ++line) at = text.find("\r\n", at) + 2;
    TGeneralSettings read = Sentinel();
    ReadGeneralSettings(text.substr(0, at), read);

    TGeneralSettings expected;  // lines 1 to 10 from the file, every other number 0
    const TGeneralSettings sample = Sample();
    expected.Language = sample.Language;
    expected.Theme = sample.Theme;
    expected.WindowTop = sample.WindowTop;
    expected.WindowLeft = sample.WindowLeft;
    expected.WindowWidth = sample.WindowWidth;
    expected.WindowHeight = sample.WindowHeight;
    expected.LineThickness = sample.LineThickness;
    expected.SweepRate = sample.SweepRate;
    expected.StartDelayMs = sample.StartDelayMs;
    expected.SweepDirection = sample.SweepDirection;
    expected.BackgroundColour = expected.LineColour = TDisplayColour{};
    expected.GridSpacing = expected.StartDelayOn = expected.ResetBeforeRun = expected.ServerPort = 0;
    expected.ServerIP.clear();
    EXPECT_EQ(read, expected);
}

TEST(SettingsFile, BadNumberKeepsTheValuesReadBeforeIt) {
    std::string text = kSampleFile;
    size_t at = 0;
    for (int line = 0; line < 6; ++line) at = text.find("\r\n", at) + 2;
    text.replace(at, 1, "abc");  // line 7 "3" becomes "abc"
    TGeneralSettings read = Sentinel();
    ExpectInvalidNumericInput([&] { ReadGeneralSettings(text, read); });
    const TGeneralSettings sample = Sample();
    EXPECT_EQ(read.Language, sample.Language);
    EXPECT_EQ(read.WindowHeight, sample.WindowHeight);
    EXPECT_EQ(read.LineThickness, 77);
    EXPECT_EQ(read.ServerIP, L"old");

    // Inside a line of reals: the values before the bad one are in place.
    std::string colours = kSampleFile;
    colours.replace(colours.find(" 1.00000000000000E+0000"), 23, " 1.0e0nan");
    read = Sentinel();
    ExpectInvalidNumericInput([&] { ReadGeneralSettings(colours, read); });
    EXPECT_EQ(read.BackgroundColour.Red, 0.0);
    EXPECT_EQ(read.BackgroundColour.Green, 0.77);
}

// The updater reads lines 1 (language) and 2 (theme) only.
TEST(SettingsFile, ReadsOnlyTheLinesAskedFor) {
    struct Row {
        const char* text;
        bool ok;
        int language, theme;  // expected; -9 is the value before the read
    };
    const Row rows[] = {
        {"2\r\n1\r\n0\r\n0\r\n320\r\n", true, 2, 1},
        {"1 us flag\r\n0 light\r\nnot a number on line 3\r\n", true, 1, 0},
        {"1\r1\r", true, 1, 1},
        {"1\n", true, 1, 0},  // the file ends after line 1
        {"", true, 0, 0},
        {"1\r\nx\r\n", false, 1, -9},
        {"dark\r\n1\r\n", false, -9, -9},
        {"1\r\n0x1\r\n", false, 1, -9},
    };
    for (const auto& r : rows) {
        TGeneralSettings read = Sentinel();
        read.Language = read.Theme = -9;
        try {
            ReadGeneralSettings(r.text, read, 2);
            EXPECT_TRUE(r.ok) << r.text;
        } catch (const fw::EInOutError& e) {
            EXPECT_FALSE(r.ok) << r.text;
            EXPECT_EQ(e.Message(), L"Invalid numeric input");
        }
        EXPECT_EQ(read.Language, r.language) << r.text;
        EXPECT_EQ(read.Theme, r.theme) << r.text;
        EXPECT_EQ(read.WindowTop, 77) << r.text;  // line 3 is never read
    }
}

// An editor that saves the file as UTF-8 puts a byte-order mark before line 1.
TEST(SettingsFile, SkipsAByteOrderMarkBeforeLineOne) {
    TGeneralSettings read = Sentinel();
    ReadGeneralSettings(std::string("\xEF\xBB\xBF") + kSampleFile, read);
    EXPECT_EQ(read, Sample());
    // Anywhere else it is no number.
    read = Sentinel();
    ExpectInvalidNumericInput([&] { ReadGeneralSettings(std::string("2\r\n\xEF\xBB\xBF") + "1\r\n", read); });
    EXPECT_EQ(read.Language, 2);
}

TEST(SettingsFile, LineBreakInServerIPCannotShiftTheLinesAfterIt) {
    TGeneralSettings s = Sample();
    s.ServerIP = L"10.0.0.1\r\n9\n\r7";
    const std::string text = WriteGeneralSettings(s);
    EXPECT_NE(text.find("\r\n10.0.0.197\r\n5000\r\n"), std::string::npos);
    TGeneralSettings read;
    ReadGeneralSettings(text, read);
    EXPECT_EQ(read.ServerIP, L"10.0.0.197");
    EXPECT_EQ(read.ServerPort, 5000);
}

}  // namespace
}  // namespace common
