// The settings file on disk: loading, saving, and the file that could not be
// read, which a save keeps beside the new one instead of overwriting it.
#include "common/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "common/SettingsFormat.h"
#include "framework/core/exceptions.h"
#include "framework/core/file_io.h"
#include "tests/common/settings_samples.h"
#include "tests/framework/core/scratch_folder.h"

#if !defined(_WIN32)
#include <csignal>
#include <sys/resource.h>
#endif

namespace common {
namespace {

namespace fs = std::filesystem;

bool Exists(const fs::path& p) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(p, ignored));
}

fs::path With(const fs::path& p, const std::string& suffix) {
    fs::path r = p;
    r += suffix;
    return r;
}

TEST(SettingsFile, LiesInTheSettingsFolder) {
    EXPECT_EQ(GeneralSettingsFileIn(L"C:\\Docs\\Quorvex\\"), L"C:\\Docs\\Quorvex\\settings\\gsf");
}

TEST(SettingsFile, SavesTheTextFormAndLoadsItBack) {
    fw::test::TScratchDir dir;
    TSettingsFile file(dir / "gsf");
    TGeneralSettings untouched = test::ChangedSettings();
    EXPECT_EQ(file.Load(untouched), TSettingsLoad::Missing);
    EXPECT_EQ(untouched, test::ChangedSettings());
    ASSERT_TRUE(file.Save(test::ChangedSettings()));
    EXPECT_EQ(fw::ReadFileBytes(dir / "gsf"), WriteGeneralSettings(test::ChangedSettings()));
    EXPECT_FALSE(Exists(With(dir / "gsf", ".tmp")));
    EXPECT_TRUE(file.KeptFile().empty());

    TGeneralSettings read;
    EXPECT_EQ(TSettingsFile(dir / "gsf").Load(read), TSettingsLoad::Loaded);
    EXPECT_EQ(read, test::ChangedSettings());
}

// Locked files are a Windows matter: SettingsFile_win_test.cpp.
TEST(SettingsFile, FileThatCouldNotBeReadIsKeptBesideTheNewOne) {
    const std::string typo = WriteGeneralSettings(test::ChangedSettings()).replace(0, 1, "2x");
    struct Row {
        const char* name;
        std::function<void(const fs::path&)> make;
        bool raises;
        std::string kept;  // the bytes kept; empty: not compared
    };
    const Row rows[] = {
        {"a typo on line 1", [&](const fs::path& p) { fw::WriteFileBytes(p, typo); }, true, typo},
        {"far too large",
         [](const fs::path& p) {
             fw::WriteFileBytes(p, "1\r\n");
             fs::resize_file(p, 2'000'000'000);
         },
         false, ""},
        {"one byte too large",
         [](const fs::path& p) { fw::WriteFileBytes(p, std::string(TSettingsFile::kMaxSize + 1, '\n')); }, false,
         std::string(TSettingsFile::kMaxSize + 1, '\n')},
#if !defined(_WIN32)
        // A file that says it is empty and never ends (as /dev/zero would).
        {"endless", [](const fs::path& p) { fs::create_symlink("/proc/kallsyms", p); }, false, ""},
#endif
    };
    for (const Row& r : rows) {
        fw::test::TScratchDir dir;
        const fs::path gsf = dir / "gsf";
        r.make(gsf);
        TSettingsFile file(gsf);
        TGeneralSettings read;
        if (r.raises) {
            EXPECT_THROW(file.Load(read), fw::EInOutError) << r.name;
        } else {
            EXPECT_EQ(file.Load(read), TSettingsLoad::Unreadable) << r.name;
            EXPECT_EQ(read, TGeneralSettings{}) << r.name;
        }
        ASSERT_TRUE(file.Save(test::ChangedSettings())) << r.name;
        EXPECT_EQ(fw::ReadFileBytes(gsf), WriteGeneralSettings(test::ChangedSettings())) << r.name;
        EXPECT_EQ(file.KeptFile(), With(gsf, ".unreadable")) << r.name;
        EXPECT_TRUE(Exists(file.KeptFile())) << r.name;
        if (!r.kept.empty()) {
            EXPECT_EQ(fw::ReadFileBytes(file.KeptFile()), r.kept) << r.name;
        }
        // Kept once: the next save just writes.
        ASSERT_TRUE(file.Save(TGeneralSettings{})) << r.name;
        EXPECT_FALSE(Exists(With(gsf, ".unreadable.2"))) << r.name;
    }
}

TEST(SettingsFile, KeptFilesOfEarlierRunsStay) {
    fw::test::TScratchDir dir;
    const fs::path gsf = dir / "gsf";
    fw::WriteFileBytes(With(gsf, ".unreadable"), "first");
    fw::WriteFileBytes(With(gsf, ".unreadable.2"), "second");
    fw::WriteFileBytes(gsf, "third\r\n");
    TSettingsFile file(gsf);
    TGeneralSettings read;
    EXPECT_THROW(file.Load(read), fw::EInOutError);
    ASSERT_TRUE(file.Save(test::ChangedSettings()));
    EXPECT_EQ(file.KeptFile(), With(gsf, ".unreadable.3"));
    EXPECT_EQ(fw::ReadFileBytes(With(gsf, ".unreadable")), "first");
    EXPECT_EQ(fw::ReadFileBytes(With(gsf, ".unreadable.2")), "second");
    EXPECT_EQ(fw::ReadFileBytes(With(gsf, ".unreadable.3")), "third\r\n");
}

TEST(SettingsFile, UnreadableFileIsNeverOverwrittenWhenItCannotBeKept) {
    fw::test::TScratchDir dir;
    const fs::path gsf = dir / "gsf";
    fw::WriteFileBytes(gsf, "bad\r\n");
    for (int i = 1; i <= TSettingsFile::kKeptNames; ++i) {
        fs::create_directory(i == 1 ? With(gsf, ".unreadable") : With(gsf, ".unreadable." + std::to_string(i)));
    }
    TSettingsFile file(gsf);
    TGeneralSettings read;
    EXPECT_THROW(file.Load(read), fw::EInOutError);
    EXPECT_FALSE(file.Save(test::ChangedSettings()));
    EXPECT_EQ(fw::ReadFileBytes(gsf), "bad\r\n");
    EXPECT_TRUE(file.KeptFile().empty());
}

// A save after a crash left its temporary file (or a folder of that name).
TEST(SettingsFile, StaleTemporaryDoesNotBlockTheSave) {
    fw::test::TScratchDir dir;
    const fs::path gsf = dir / "gsf";
    fs::create_directory(With(gsf, ".tmp"));
    TSettingsFile file(gsf);
    ASSERT_TRUE(file.Save(test::ChangedSettings()));
    EXPECT_EQ(fw::ReadFileBytes(gsf), WriteGeneralSettings(test::ChangedSettings()));
}

#if !defined(_WIN32)
// A full disk: the write fails half-way. Emulated by a limit on the size of
// files this process may write.
TEST(SettingsFile, WriteThatFailsHalfWayLeavesTheOldFileAndRaisesNothing) {
    fw::test::TScratchDir dir;
    const fs::path gsf = dir / "gsf";
    const std::string old = WriteGeneralSettings(TGeneralSettings{});
    fw::WriteFileBytes(gsf, old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved_ok = true;
    EXPECT_NO_THROW(saved_ok = TSettingsFile(gsf).Save(test::ChangedSettings()));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(fw::ReadFileBytes(gsf), old);
    EXPECT_FALSE(Exists(With(gsf, ".tmp")));
}
#endif

}  // namespace
}  // namespace common
