#include "crashreport/report/ReportLogItem.h"

#include <gtest/gtest.h>

namespace drevnik {
namespace {

TEST(TLogItem, LaysOutTheDocumentedExample) {
    TLogItem log(0);
    log.AddHeader("Application");
    log.AddItem("Start Date", "Wed, 9 Dec 2026 10:41:07 +0100", true);
    log.AddItem("Name/Description", "Quorvex.exe", true);
    log.AddItem("Version Number", "1.0.0.4", true);
    log.AddItem("Parameters", "", false);
    log.AddItem("Compilation Date", "Thu, 13 Jan 2011 23:38:00 +0100", true);
    log.AddItem("Up Time", "3 minutes, 12 seconds", true);
    log.AddHeader("Exception");
    log.AddItem("Date", "Wed, 9 Dec 2026 10:44:19 +0100", true);
    log.AddItem("Address", "0A1B2C3D", true);
    log.AddItem("Module Name", "x", false);
    log.AddItem("Module Version", "x", false);
    log.AddItem("Type", "EInOutError", true);
    log.AddItem("Message", "Cannot open file D:\\Data\\a.txt.\r\nThe process cannot access the file: it is in use.", true);
    log.AddItem("ID", "7F3A", true);
    log.AddItem("Count", "1", true);
    log.AddItem("Status", "New", true);
    log.AddItem("Note", "", true);
    const std::string expected =
        "Application:\r\n"
        "-------------------------------------------------------\r\n"
        "  1.1 Start Date      : Wed, 9 Dec 2026 10:41:07 +0100\r\n"
        "  1.2 Name/Description: Quorvex.exe\r\n"
        "  1.3 Version Number  : 1.0.0.4\r\n"
        "  1.5 Compilation Date: Thu, 13 Jan 2011 23:38:00 +0100\r\n"
        "  1.6 Up Time         : 3 minutes, 12 seconds\r\n"
        "\r\n"
        "Exception:\r\n"
        "----------------------------------------------------------------\r\n"
        "  2.1 Date   : Wed, 9 Dec 2026 10:44:19 +0100\r\n"
        "  2.2 Address: 0A1B2C3D\r\n"
        "  2.5 Type   : EInOutError\r\n"
        "  2.6 Message: Cannot open file D:\\Data\\a.txt.\r\n"
        "               The process cannot access the file:_it is in use.\r\n"
        "  2.7 ID     : 7F3A\r\n"
        "  2.8 Count  : 1\r\n"
        "  2.9 Status : New\r\n"
        "  2.10 Note  : \r\n";
    EXPECT_EQ(log.GetText(), expected);
}

TEST(TLogItem, HiddenSectionsGoAndKeepTheirNumbers) {
    TLogItem log(0);
    log.AddHeader("One");
    log.AddItem("A", "1", true);
    log.AddHeader("Two");
    log.AddItem("B", "2", false);
    log.AddHeader("Three");
    log.AddItem("C", "3", true);
    log.AddHeader("Four");
    log.AddItem("D", "4", false);
    EXPECT_EQ(log.GetText(), "One:\r\n----------\r\n  1.1 A: 1\r\n\r\nThree:\r\n----------\r\n  3.1 C: 3\r\n");
}

TEST(TLogItem, MultiLineValues) {
    struct Case {
        const char* value;
        const char* expected;
    } cases[] = {
        // ": " kept on one line; empty and blank lines become "."; lone breaks count.
        {"a: b", "  1.1 L: a: b\r\n"},
        {"x: y\r\n\r\nword", "  1.1 L: x:_y\r\n         .\r\n         word\r\n"},
        {"one\ntwo\rthree", "  1.1 L: one\r\n         two\r\n         three\r\n"},
        {"\nfirst", "  1.1 L: \nfirst\r\n"},
        {"first\r\nsecond:", "  1.1 L: first\r\n         second:\r\n"},
    };
    for (const Case& c : cases) {
        TLogItem log(0);
        log.AddHeader("S");
        log.AddItem("L", c.value, true);
        const std::string text = log.GetText();
        const std::string body = text.substr(text.find("\r\n", 4) + 2);
        EXPECT_EQ(body, c.expected) << c.value;
    }
}

TEST(TLogItem, LongestLabelAndLineSetTheColumns) {
    TLogItem log(0);
    log.AddHeader("S");
    log.AddItem("Short", "v", true);
    log.AddItem("A much longer label", "line one\r\nand a rather longer second line", true);
    EXPECT_EQ(log.GetText(),
              "S:\r\n"
              "----------------------------------------------------------\r\n"
              "  1.1 Short              : v\r\n"
              "  1.2 A much longer label: line one\r\n"
              "                           and a rather longer second line\r\n");
}

TEST(NormalizeLineBreaks, Table) {
    struct Case {
        const char* in;
        const char* out;
        bool unpaired;
    } cases[] = {
        {"a\r\nb", "a\r\nb", false}, {"\nb", "\nb", false},        {"a\nb", "a\r\nb", true},
        {"a\rb", "a\r\nb", true},    {"a\r", "a\r\n", true},       {"\n\n", "\n\r\n", true},
        {"", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasUnpairedLineBreaks(c.in), c.unpaired) << c.in;
        EXPECT_EQ(NormalizeLineBreaks(c.in), c.out) << c.in;
    }
}

}  // namespace
}  // namespace drevnik
