#include "crashreport/report/LogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../capture/DrevnikTestFolder.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "framework/core/exceptions.h"

namespace drevnik {
namespace {

// A small report as the log holds it, with its table header.
std::string HandReport(const std::string& id, const std::string& count = "1") {
    return "DrevnikLog 6.0.25\r\n\r\n"
           "Exception:\r\n"
           "---------------------\r\n"
           "  2.1 Date   : Wed, 9 Dec 2026 10:44:19 +0100\r\n"
           "  2.6 Message: First line.\r\n"
           "               second:_part\r\n"
           "               .\r\n"
           "               last.\r\n"
           "  2.7 ID     : " + id + "\r\n"
           "  2.8 Count  : " + count + "\r\n"
           "  2.9 Status : New\r\n"
           "  2.10 Note  : \r\n"
           "\r\n"
           "Call Stack Information:\r\n"
           "-----------\r\n"
           "|Address  |\r\n"
           "-----------\r\n"
           "-----------\r\n";
}

std::string FileBytes(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes, 1u << 30);
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) { ASSERT_TRUE(WriteWholeFile(path, bytes)); }

TEST(TLogFile, ParsesHandMadeLogs) {
    struct Case {
        std::string text;
        int count;
    } cases[] = {
        {"", 0},
        {"short", 0},
        {HandReport("AAAA") + "\r\n\r\n", 1},                                     // no four breaks at the end
        {HandReport("AAAA") + "\r\n\r\n\r\n" + HandReport("BBBB") + "\r\n\r\n\r\n", 2},
        {HandReport("AAAA") + "\r\n\r\n\r\njunk without a table\r\n\r\n\r\n\r\n" + HandReport("BBBB"), 2},
        {"\r\n\r\n\r\n\r\n" + HandReport("AAAA"), 1},                              // starts with four breaks
        {HandReport("AAAA") + "\n\n\n" + HandReport("BBBB"), 2},                  // lone LF breaks
    };
    for (const Case& c : cases) {
        TLogFile log("", true);
        log.LoadFromText(c.text);
        EXPECT_EQ(log.GetCount(), c.count) << c.text;
        for (int i = 0; i < log.GetCount(); ++i) {
            const std::string& r = log.Reports[static_cast<std::size_t>(i)];
            EXPECT_EQ(r.substr(r.size() - 6), "\r\n\r\n\r\n");
        }
    }
}

TEST(TLogFile, ItemsReadAndWritten) {
    TLogFile log("", true);
    log.AddReport(HandReport("AAAA"), -1);
    EXPECT_EQ(log.GetItemValue("2.7", 0), "AAAA");
    EXPECT_EQ(log.GetItemValue("2.6", 0), "First line.\r\nsecond: part\r\n\r\nlast.");
    EXPECT_EQ(log.GetItemValue("2.10", 0), "");
    EXPECT_EQ(log.GetItemValue("2.5", 0), "") << "missing item";
    EXPECT_EQ(log.GetItemValue("2.7", 3), "") << "index beyond the list";
    EXPECT_EQ(log.FindReport({"2.7"}, {"AAAA"}), 0);
    EXPECT_EQ(log.FindReport({"2.7"}, {"AAA"}), -1) << "a prefix is no match";
    EXPECT_TRUE(ReportItemEquals("2.6", "First line.\r\nsecond: part\r\n\r\nlast.", log.Reports[0]));

    EXPECT_TRUE(ReportItemEquals("2.10", "", log.Reports[0]));
    log.SetItemValue("2.10", "seen", 0, "Note");
    EXPECT_EQ(log.GetItemValue("2.10", 0), "seen");
    log.SetItemValue("2.10", "", 0, "Note");
    log.SetItemValue("2.8", "2", 0, "Count");
    EXPECT_EQ(log.GetItemValue("2.8", 0), "2");
    EXPECT_EQ(log.GetItemValue("2.9", 0), "New");
    EXPECT_EQ(log.GetItemValue("2.10", 0), "");
    // A missing item goes after the section's last line, its ": " in line.
    log.SetItemValue("2.11", "checked", 0, "Reviewer");
    EXPECT_NE(log.Reports[0].find("  2.10 Note  : \r\n  2.11 Reviewer: checked\r\n\r\n"), std::string::npos)
        << log.Reports[0];
    log.SetItemValue("9.1", "x", 0, "Nothing");
    EXPECT_EQ(log.Reports[0].find("9.1"), std::string::npos);
}

TEST(TLogFile, KeepCountAndSavedText) {
    TLogFile log("", true);
    for (int i = 0; i < 33; ++i) log.AddReport(HandReport(std::to_string(1000 + i)), 32);
    EXPECT_EQ(log.GetCount(), 32);
    EXPECT_EQ(log.GetItemValue("2.7", 0), "1001");
    log.AddReport(HandReport("LAST"), 1);
    ASSERT_EQ(log.GetCount(), 1);
    // A report added with its own line break ends the saved text with four breaks.
    const std::string saved = log.SaveToText();
    EXPECT_EQ(saved, HandReport("LAST") + "\r\n\r\n\r\n");
    TLogFile again("", true);
    again.LoadFromText(saved);
    ASSERT_EQ(again.GetCount(), 1);
    again.AddReport(HandReport("NEXT"), -1);
    EXPECT_EQ(again.SaveToText(), saved + HandReport("NEXT") + "\r\n\r\n\r\n");
}

TEST(TLogFile, RepeatedCrashIsCounted) {
    TestFolder folder("logcount");
    const std::string path = folder.Path() + "Crash.dvf";
    for (int round = 0; round < 3; ++round) {
        TLogFile log(path, false);
        const int32_t k = log.FindReport({"2.7"}, {"7F3A"});
        if (k == -1) {
            log.AddReport(HandReport("7F3A"), 32);
        } else {
            const int n = std::stoi(log.GetItemValue("2.8", k));
            log.SetItemValue("2.8", std::to_string(n + 1), k, "Count");
        }
        log.SaveToFile();
    }
    TLogFile log(path, true);
    ASSERT_EQ(log.GetCount(), 1);
    EXPECT_EQ(log.GetItemValue("2.8", 0), "3");
    EXPECT_THROW(log.SaveToFile(), fw::EInOutError) << "read-only";
}

TEST(TLogFile, DamagedFilesLoseOnlyTheDamage) {
    TestFolder folder("logdamage");
    const std::string good = HandReport("AAAA") + "\r\n\r\n\r\n" + HandReport("BBBB") + "\r\n\r\n\r\n";
    struct Case {
        std::string bytes;
        int atLeast;
    } cases[] = {
        {good.substr(0, good.size() - 40), 1},                                     // cut inside the last report
        {good + std::string("\x00\xff\x01\r\x1a binary\0\0", 14), 2},              // binary tail
        {HandReport("AAAA") + "\r\n\r\n\r\n" + "DrevnikLog 6.0.25\r\nbroken" + std::string(3000, '|') +
             "\r\n\r\n\r\n\r\n" + HandReport("CCCC"),
         2},                                                                       // a damaged report between
        {std::string(5000, '\0') + "\r\n\r\n\r\n\r\n" + good, 2},
    };
    for (const Case& c : cases) {
        const std::string path = folder.Path() + "d.dvf";
        WriteBytes(path, c.bytes);
        TLogFile log(path, false);
        EXPECT_GE(log.GetCount(), c.atLeast);
        EXPECT_EQ(log.GetItemValue("2.7", 0), "AAAA");
        log.AddReport(HandReport("NEW1"), 32);
        log.SaveToFile();
        TLogFile again(path, true);
        EXPECT_EQ(again.GetCount(), log.GetCount());
        EXPECT_EQ(again.GetItemValue("2.7", again.GetCount() - 1), "NEW1");
    }
}

TEST(TLogFile, FailedSaveLeavesTheOldLogWhole) {
    TestFolder folder("logsave");
    const std::string path = folder.Path() + "Crash.dvf";
    WriteBytes(path, HandReport("AAAA") + "\r\n\r\n\r\n");
    const std::string before = FileBytes(path);
    {
        // Every temporary name is taken, so the replacing write cannot start.
        const std::filesystem::path native(folder.NativePath());
        std::filesystem::create_directory(native / "Crash.dvf.tmp");
        for (int i = 2; i <= 16; ++i) std::filesystem::create_directory(native / ("Crash.dvf." + std::to_string(i) + ".tmp"));
        TLogFile log(path, false);
        log.AddReport(HandReport("BBBB"), 32);
        EXPECT_THROW(log.SaveToFile(), fw::EInOutError);
        EXPECT_EQ(FileBytes(path), before);
        for (int i = 2; i <= 16; ++i) std::filesystem::remove(native / ("Crash.dvf." + std::to_string(i) + ".tmp"));
        std::filesystem::remove(native / "Crash.dvf.tmp");
    }
    {
        // A log too large to read is never overwritten.
        const std::size_t old = TLogFile::MaxFileSize;
        TLogFile::MaxFileSize = 16;
        TLogFile log(path, false);
        TLogFile::MaxFileSize = old;
        EXPECT_TRUE(log.LoadFailed);
        log.AddReport(HandReport("CCCC"), 32);
        EXPECT_THROW(log.SaveToFile(), fw::EInOutError);
        EXPECT_EQ(FileBytes(path), before);
    }
}

TEST(StampFileName, ComputerNameFirst) {
    EXPECT_EQ(StampFileName("C:\\t\\Screenshot.png", true, "PC", true, 46365.0 + (10 * 3600 + 44 * 60 + 19) / 86400.0),
              "Screenshot__PC__20261209104419.png");
    EXPECT_EQ(StampFileName("C:\\t\\BugReport.zip", true, "OFFICE7", true,
                            46365.0 + (10 * 3600 + 44 * 60 + 19) / 86400.0),
              "BugReport__OFFICE7__20261209104419.zip");
    EXPECT_EQ(StampFileName("C:\\t\\BugReport.zip", false, "PC", false, 0), "BugReport.zip");
}

}  // namespace
}  // namespace drevnik
