// Whole-file reads and the replacing writer.
#include "framework/core/file_io.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/core/exceptions.h"
#include "tests/framework/core/scratch_folder.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

bool Exists(const fs::path& p) {
    std::error_code ignored;
    return fs::exists(p, ignored);
}

fs::path Tmp(const fs::path& p) {
    fs::path t = p;
    t += ".tmp";
    return t;
}

TEST(FileIo, WriteReplacesTheWholeFileAndLeavesNoTemporary) {
    test::TScratchDir dir;
    const fs::path file = dir / "data.bin";
    WriteFileBytes(file, std::string("long old contents\0x", 19));
    WriteFileBytes(file, "new");
    EXPECT_EQ(ReadFileBytes(file), "new");
    EXPECT_FALSE(Exists(Tmp(file)));
    WriteFileBytes(file, "");
    EXPECT_EQ(ReadFileBytes(file), "");
}

TEST(FileIo, FailedReplaceKeepsTheOldFileAndLeavesNoTemporary) {
    struct Row {
        const char* name;
        std::function<void(const fs::path&)> obstruct;
    };
    const Row rows[] = {
        {"target read-only",
         [](const fs::path& p) {
             fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                             fs::perm_options::remove);
         }},
    };
    for (const Row& r : rows) {
        test::TScratchDir dir;
        const fs::path file = dir / "gsf";
        WriteFileBytes(file, "old");
        r.obstruct(file);
        EXPECT_FALSE(ReplaceFileBytes(file, "new")) << r.name;
        EXPECT_THROW(WriteFileBytes(file, "new"), EInOutError) << r.name;
        EXPECT_EQ(ReadFileBytes(file), "old") << r.name;
        EXPECT_FALSE(Exists(Tmp(file))) << r.name;
    }
    // A target that is a folder, or in a folder that does not exist.
    test::TScratchDir dir;
    fs::create_directory(dir / "folder");
    for (const fs::path& target : {dir / "folder", dir / "missing" / "gsf"}) {
        EXPECT_FALSE(ReplaceFileBytes(target, "new")) << target;
        EXPECT_FALSE(Exists(Tmp(target))) << target;
    }
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
}

// What a crashed writer leaves behind must not block every later write.
TEST(FileIo, TakenTemporaryNamesAreSteppedOver) {
    const auto folder = [](const fs::path& p) { fs::create_directory(p); };
    struct Row {
        const char* name;
        int taken;  // temporary names taken, from the first on
        std::function<void(const fs::path&)> take;
        bool replaced;
        bool folders = false;
    };
    const Row rows[] = {
        {"stale file", 1, [](const fs::path& p) { WriteFileBytes(p, "stale half write"); }, true},
        {"read-only stale file", 1,
         [](const fs::path& p) {
             WriteFileBytes(p, "stale");
             fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                             fs::perm_options::remove);
         },
         true},
        {"folder", 1, folder, true, true},
        {"every name but the last", TReplacingFile::kTemporaryNames - 1, folder, true, true},
        {"every name", TReplacingFile::kTemporaryNames, folder, false, true},
    };
    for (const Row& r : rows) {
        test::TScratchDir dir;
        const fs::path file = dir / "gsf";
        WriteFileBytes(file, "old");
        auto name = [&](int i) { return i == 1 ? Tmp(file) : dir / ("gsf." + std::to_string(i) + ".tmp"); };
        for (int i = 1; i <= r.taken; ++i) r.take(name(i));
        EXPECT_EQ(ReplaceFileBytes(file, "new"), r.replaced) << r.name;
        EXPECT_EQ(ReadFileBytes(file), r.replaced ? "new" : "old") << r.name;
        // No temporary file of ours stays; taken folders are left alone.
        for (int i = 1; i <= TReplacingFile::kTemporaryNames; ++i) {
            EXPECT_EQ(fs::is_directory(name(i)), i <= r.taken && r.folders) << r.name << i;
            if (i > r.taken) {
                EXPECT_FALSE(Exists(name(i))) << r.name << i;
            }
        }
    }
}

TEST(FileIo, TryReadRefusesWhatItCannotOpenOrWhatIsTooLarge) {
    test::TScratchDir dir;
    WriteFileBytes(dir / "four", "1234");
    fs::create_directory(dir / "folder");
    struct Row {
        fs::path path;
        std::size_t maxSize;
        bool ok;
    };
    const Row rows[] = {
        {dir / "four", 4, true},
        {dir / "four", 3, false},
        {dir / "missing", 100, false},
        {dir / "folder", 100, false},
    };
    for (const Row& r : rows) {
        std::string bytes = "untouched";
        EXPECT_EQ(TryReadFileBytes(r.path, bytes, r.maxSize), r.ok) << r.path << " " << r.maxSize;
        EXPECT_EQ(bytes, r.ok ? "1234" : "untouched") << r.path;
    }
    EXPECT_THROW(ReadFileBytes(dir / "missing"), EInOutError);
}

TEST(FileIo, StreamedReplaceTakesEffectOnlyOnCommit) {
    test::TScratchDir dir;
    const fs::path file = dir / "download";
    WriteFileBytes(file, "OLD");
    {
        auto part = TReplacingFile::Create(file);
        ASSERT_TRUE(part);
        part->Write("half a bo");
        // Dropped without a commit: a cancelled transfer.
    }
    EXPECT_EQ(ReadFileBytes(file), "OLD");
    EXPECT_FALSE(Exists(Tmp(file)));

    auto keep = TReplacingFile::Create(file);
    ASSERT_TRUE(keep);
    keep->Write("NEW");
    // Without replacing, an existing file stays and the new one is dropped.
    EXPECT_FALSE(keep->Commit(false));
    EXPECT_EQ(ReadFileBytes(file), "OLD");
    EXPECT_FALSE(Exists(Tmp(file)));

    auto fresh = TReplacingFile::Create(dir / "fresh");
    ASSERT_TRUE(fresh);
    fresh->Write("body");
    EXPECT_TRUE(fresh->Commit(false));
    EXPECT_EQ(ReadFileBytes(dir / "fresh"), "body");
}

}  // namespace
}  // namespace fw
