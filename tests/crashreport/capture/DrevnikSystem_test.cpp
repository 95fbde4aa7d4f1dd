// The system helpers' rules, run on the host (with its stand-ins) and under
// Wine alike.
#include "crashreport/capture/DrevnikSystem.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "crashreport/capture/DrevnikUtils.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"

namespace drevnik {
namespace {

TEST(DrevnikSystem, ExpandVariablesReadsTheEnvironmentOnce) {
    ASSERT_TRUE(SetEnvironmentText("DREVNIK_TEST_VALUE", "hello %DREVNIK_TEST_OTHER%"));
    ASSERT_TRUE(SetEnvironmentText("DREVNIK_TEST_OTHER", "again"));
    const std::string longValue(3000, 'x');
    ASSERT_TRUE(SetEnvironmentText("DREVNIK_TEST_LONG", longValue));

    EXPECT_EQ(ExpandVariables("<%DREVNIK_TEST_VALUE%>"), "<hello %DREVNIK_TEST_OTHER%>");
    EXPECT_EQ(ExpandVariables("%DREVNIK_TEST_LONG%"), longValue);
    EXPECT_EQ(ExpandVariables("a%DREVNIK_TEST_MISSING%b"), "ab");
    EXPECT_EQ(ExpandVariables("%CD%"), GetCurrentFolder());
    EXPECT_FALSE(GetCurrentFolder().empty());
    EXPECT_FALSE(ExpandVariables("%Time%").empty());

    const std::string before = LocaleShortDateText(NowDateTime());
    const std::string date = ExpandVariables("%date%");
    const std::string after = LocaleShortDateText(NowDateTime());
    EXPECT_FALSE(date.empty());
    EXPECT_TRUE(date == before || date == after) << date;

    // A real variable of that name wins over the built-in one.
    ASSERT_TRUE(SetEnvironmentText("date", "custom"));
    EXPECT_EQ(ExpandVariables("%date%"), "custom");
    SetEnvironmentText("date", "");
}

TEST(DrevnikSystem, EncodeUtf8GoesThroughTheCodePage) {
    EXPECT_EQ(EncodeUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(EncodeUtf8(""), "");
}

TEST(DrevnikSystem, UtcOffsetFormsAgree) {
    const double now = NowDateTime();
    const int minutes = GetUtcOffsetMinutes(now);
    EXPECT_EQ(FormatRfc822Date(now), FormatRfc822Date(now, minutes));
    EXPECT_NEAR(GetUtcOffsetHours() * 60, minutes, 30);
}

#ifndef _WIN32
// The host takes its zone from TZ, so real zones can be tried here; each date
// is also read back by Python (rfc822_check.py).
TEST(DrevnikSystem, UtcOffsetFollowsTheZoneAtTheGivenDate) {
    const std::string oldZone = GetEnvironmentText("TZ");
    const struct {
        const char* zone;
        double when;
        int minutes;
    } cases[] = {
        {"UTC", EncodeDateTime(2025, 1, 15, 12), 0},
        {"America/New_York", EncodeDateTime(2025, 1, 15, 12), -300},
        {"America/New_York", EncodeDateTime(2025, 7, 15, 12), -240},
        {"Asia/Kolkata", EncodeDateTime(2025, 7, 15, 12), 330},
        {"Asia/Kathmandu", EncodeDateTime(2025, 7, 15, 12), 345},
        {"Australia/Sydney", EncodeDateTime(2025, 1, 15, 12), 660},
    };
    for (const auto& c : cases) {
        if (!std::filesystem::exists(std::string("/usr/share/zoneinfo/") + c.zone)) {
            ADD_FAILURE() << "zone data missing (package tzdata): " << c.zone;
            continue;
        }
        SetEnvironmentText("TZ", c.zone);
        tzset();
        EXPECT_EQ(GetUtcOffsetMinutes(c.when), c.minutes) << c.zone;
        const std::string text = FormatRfc822Date(c.when);
        std::printf("RFC822|%s|%d|%s\n", FloatToStrDot(c.when).c_str(), c.minutes, text.c_str());
    }
    if (oldZone.empty()) {
        unsetenv("TZ");
    } else {
        SetEnvironmentText("TZ", oldZone);
    }
    tzset();
}
#endif

TEST(DrevnikSystem, ForceFoldersMakesEveryMissingParent) {
    TestFolder root("force");
    EXPECT_TRUE(ForceFolders(root.Path() + "a\\b\\c\\"));
    EXPECT_TRUE(FolderExists(root.Path() + "a\\b\\c"));
    EXPECT_TRUE(ForceFolders(root.Path() + "a\\b\\c"));  // exists already

    ASSERT_TRUE(SetEnvironmentText("DREVNIK_TEST_ROOT", RemoveTrailingBackslash(root.Path())));
    EXPECT_TRUE(ForceFolders("%DREVNIK_TEST_ROOT%\\x\\y"));
    EXPECT_TRUE(FolderExists(root.Path() + "x\\y"));
    EXPECT_FALSE(ForceFolders(""));

    // A file standing where a folder should be cannot become one.
    ASSERT_TRUE(WriteWholeFile(root.Path() + "file", "x"));
    EXPECT_FALSE(ForceFolders(root.Path() + "file\\sub"));
}

TEST(DrevnikSystem, FilesOpenForReadAndWrite) {
    TestFolder root("open");
    const std::string file = root.Path() + "a.txt";
    EXPECT_FALSE(CanOpenForRead(file));
    EXPECT_TRUE(CanOpenForWrite(file));
    EXPECT_FALSE(CanOpenForRead(file)) << "a file made only for the test is deleted again";
    ASSERT_TRUE(WriteWholeFile(file, std::string("a\0b", 3)));
    EXPECT_TRUE(CanOpenFile(file, true));
    EXPECT_TRUE(CanOpenFile(file, false));
    EXPECT_TRUE(CanOpenForRead(file)) << "an existing file stays";
    EXPECT_FALSE(CanOpenForWrite(root.Path() + "missing\\a.txt"));
    EXPECT_FALSE(CanOpenForRead(RemoveTrailingBackslash(root.Path())));  // a folder is no file

    std::string contents;
    ASSERT_TRUE(ReadWholeFile(file, contents, 3));
    EXPECT_EQ(contents, std::string("a\0b", 3));
    EXPECT_FALSE(ReadWholeFile(file, contents, 2));
    EXPECT_FALSE(ReadWholeFile(root.Path() + "missing.txt", contents, 100));

    const double stamp = GetFileDateTime(file);
    EXPECT_NEAR(stamp, NowDateTime(), 5.0 / 86400);
    EXPECT_EQ(GetFileDateTime(root.Path() + "missing.txt"), 0);
}

// Each test works in folders of its own, so that runs side by side (also in
// one Wine prefix) never meet.
TEST(DrevnikSystem, TestsWorkInFoldersOfTheirOwn) {
    const std::string system = GetAppDataFolder();
    std::string first, second;
    {
        TestFolder a("same"), b("same");
        first = a.Path();
        second = b.Path();
        EXPECT_NE(first, second);
        EXPECT_TRUE(FolderExists(first));
        EXPECT_TRUE(FolderExists(second));
        TestAppData appData(a);
        EXPECT_EQ(GetLibraryAppDataFolder(), first + "appdata\\DrevnikLog");
        EXPECT_EQ(GetLibraryDataFolder(), GetLibraryAppDataFolder());
    }
    EXPECT_FALSE(FolderExists(first));
    EXPECT_FALSE(FolderExists(second));
    EXPECT_EQ(GetAppDataFolder(), system);
}

TEST(DrevnikSystem, EnsureWritableFileMovesIntoTheLibraryFolder) {
    TestFolder root("ensure");
    TestAppData appData(root);
    const std::string library = GetLibraryAppDataFolder();
    const std::string program = ChangeFileExt(ExtractFileName(GetProgramFileName()), "");
    ASSERT_TRUE(ForceFolders(library));

    // A place that works keeps the path, with %NAME% expanded.
    ASSERT_TRUE(SetEnvironmentText("DREVNIK_TEST_ROOT", RemoveTrailingBackslash(root.Path())));
    std::string path = "%DREVNIK_TEST_ROOT%\\here.dvf";
    EXPECT_TRUE(EnsureWritableFile(path, false, false));
    EXPECT_EQ(path, root.Path() + "here.dvf");

    const std::string unwritable = root.Path() + "missing\\deep\\log.dvf";
    path = unwritable;
    EXPECT_TRUE(EnsureWritableFile(path, false, false));
    EXPECT_EQ(path, library + "\\log.dvf");

    path = unwritable;
    EXPECT_TRUE(EnsureWritableFile(path, true, false));
    EXPECT_EQ(path, library + "\\" + program + "\\log.dvf");
    EXPECT_TRUE(FolderExists(library + "\\" + program));

    // For reading, a file missing in both places fails and keeps its path.
    path = unwritable;
    EXPECT_FALSE(EnsureWritableFile(path, false, true));
    EXPECT_EQ(path, unwritable);

    // Nothing can be opened where a folder of that name stands.
    ASSERT_TRUE(CreateFolder(library + "\\taken"));
    path = root.Path() + "missing\\taken";
    EXPECT_FALSE(EnsureWritableFile(path, false, false));
    EXPECT_EQ(path, root.Path() + "missing\\taken");
}

TEST(DrevnikSystem, ReadableMemoryAndImportThunks) {
    alignas(16) uint8_t buffer[32] = {};
    EXPECT_TRUE(IsReadableMemory(buffer, sizeof buffer));
    EXPECT_GE(GetReadableLength(buffer, sizeof buffer), sizeof buffer);
    EXPECT_FALSE(IsReadableMemory(nullptr, 1));
    EXPECT_EQ(GetReadableLength(nullptr, 1), 0u);

    // jmp [slot] with the slot at buffer + 16.
    const uintptr_t target = 0x12345678;
    std::memcpy(buffer + 16, &target, sizeof target);
    buffer[0] = 0xFF;
    buffer[1] = 0x25;
#if defined(__x86_64__)
    const int32_t operand = 16 - 6;  // relative to the next instruction
#else
    const int32_t operand = static_cast<int32_t>(reinterpret_cast<uintptr_t>(buffer + 16));
#endif
    std::memcpy(buffer + 2, &operand, sizeof operand);
    const uintptr_t address = reinterpret_cast<uintptr_t>(buffer);
    EXPECT_EQ(ResolveImportThunk(address), target);
    buffer[1] = 0x15;  // call [slot] is no thunk
    EXPECT_EQ(ResolveImportThunk(address), address);
    EXPECT_EQ(ResolveImportThunk(0), 0u);
}

}  // namespace
}  // namespace drevnik
