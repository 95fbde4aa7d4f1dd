// TNetCopy's file copy on the local file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "Updater/NetCopy.h"
#include "framework/core/file_io.h"
#include "tests/Updater/NetCopyTestSupport.h"
#include "tests/support/win_test_app.h"

namespace oru {
namespace {

namespace fs = std::filesystem;
using namespace oru::test;

class NetCopyFileCopy : public ::testing::Test {
protected:
    void SetUp() override {
        fw::test::TestApplication();
        wchar_t tmp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, tmp);
        root_ = std::wstring(tmp) + L"nc-copy-" + std::to_wstring(GetCurrentProcessId());
        fs::remove_all(fs::path(root_));
        fs::create_directories(fs::path(root_ + L"\\src"));
        nc_ = new TNetCopy(nullptr);
        nc_->ShowDialog = false;
        rec_.Attach(*nc_);
    }
    void TearDown() override {
        nc_->Free();
        std::error_code ec;
        fs::permissions(fs::path(root_ + L"\\dst\\ro.bin"), fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(fs::path(root_), ec);
    }
    TNetCopyItem& AddCopy(const std::wstring& source, const std::wstring& targetDir) {
        TNetCopyItem& item = nc_->Items().Add();
        item.Protocol = TNetCopyProtocol::wpFile;
        item.URL = source;
        item.TargetDir = targetDir;
        return item;
    }
    void Reset() {
        nc_->Items().Clear();
        rec_ = Recorder();
        rec_.Attach(*nc_);
    }

    std::wstring root_;
    TNetCopy* nc_ = nullptr;
    Recorder rec_;
};

TEST_F(NetCopyFileCopy, CopiesWholeOrLeavesTheTargetAsItWas) {
    const std::wstring src = root_ + L"\\src\\a.bin";
    fw::WriteFileBytes(fs::path(src), Pattern(100000));
    fs::create_directories(fs::path(root_ + L"\\src\\sub"));
    fs::create_directories(fs::path(root_ + L"\\dst"));
    fw::WriteFileBytes(fs::path(root_ + L"\\dst\\ro.bin"), "OLD");
    fs::permissions(fs::path(root_ + L"\\dst\\ro.bin"), fs::perms::owner_write, fs::perm_options::remove);
    struct Row {
        const wchar_t* name;
        std::wstring url, targetDir, targetName, host;
        bool success;
        std::wstring events;
        std::wstring target;  // holds the copy on success, is unchanged otherwise
    };
    const std::wstring deep = root_ + L"\\dst\\x\\y";
    const Row rows[] = {
        {L"into missing folders", src, deep, L"", L"", true, L"progress | done 0", deep + L"\\a.bin"},
        {L"file scheme", L"FILE://" + src, root_ + L"\\dst", L"b.bin", L"", true, L"progress | done 0",
         root_ + L"\\dst\\b.bin"},
        {L"missing source", root_ + L"\\src\\none.bin", root_ + L"\\dst", L"", L"", false,
         L"error 1 | info 1 Cannot open source file " + root_ + L"\\src\\none.bin", L""},
        {L"same path", src, root_ + L"\\src", L"", L"", false, L"error 0 | info 0 Cannot copy identical files " + src,
         src},
        // Another spelling of the same file: it would be emptied before it is read.
        {L"same file", src, root_ + L"\\SRC\\sub\\..", L"A.BIN", L"", false,
         L"error 0 | info 0 Cannot copy identical files " + src, src},
        {L"read-only target", src, root_ + L"\\dst", L"ro.bin", L"", false,
         L"overwrite " + root_ + L"\\dst\\ro.bin | error 3 | info 3 Cannot create target file " + root_ + L"\\dst\\ro.bin",
         root_ + L"\\dst\\ro.bin"},
        {L"share log-on", L"a.bin", root_ + L"\\dst", L"", L"\\\\127.0.0.1\\nc-no-share", false, L"connecterror | done 0",
         L""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Reset();
        std::string before = r.target.empty() || !fs::exists(fs::path(r.target)) ? "" : ReadBytes(r.target);
        TNetCopyItem& item = AddCopy(r.url, r.targetDir);
        item.TargetFilename = r.targetName;
        item.FTPHost = r.host;
        nc_->Execute();
        EXPECT_EQ(item.Success, r.success);
        std::wstring expected = L"start 0 | " + r.events;
        std::wstring events = Joined(rec_.log);
        EXPECT_EQ(events.substr(0, expected.size()), expected) << events;
        if (r.success) {
            EXPECT_TRUE(ReadBytes(r.target) == Pattern(100000));
            EXPECT_EQ(rec_.CheckBlocks(32768, 100000), L"");
            EXPECT_EQ(rec_.progress.size(), 5u);  // four blocks and the empty read
        } else if (!r.target.empty()) {
            EXPECT_TRUE(ReadBytes(r.target) == before);
        }
    }
    // Nothing but the copies: no temporary file stays.
    EXPECT_EQ(Entries(root_ + L"\\dst"), (std::set<std::wstring>{L"x", L"b.bin", L"ro.bin"}));
    EXPECT_EQ(Entries(root_ + L"\\src"), (std::set<std::wstring>{L"a.bin", L"sub"}));
}

TEST_F(NetCopyFileCopy, AnEmptyFileCopiesWithTheBarFull) {
    fw::WriteFileBytes(fs::path(root_ + L"\\src\\empty.bin"), "");
    nc_->ShowDialog = true;
    nc_->ShowOpenFile = true;  // the dialog stays to be looked at
    TNetCopyItem& item = AddCopy(root_ + L"\\src\\empty.bin", root_ + L"\\dst");
    nc_->Execute();
    EXPECT_TRUE(item.Success);
    EXPECT_EQ(ReadBytes(root_ + L"\\dst\\empty.bin"), "");
    ASSERT_EQ(rec_.progress.size(), 1u);
    EXPECT_EQ(rec_.progress[0].size, 0u);
    EXPECT_EQ(rec_.progress[0].total, 0u);
    ASSERT_NE(nc_->Dialog(), nullptr);
    EXPECT_EQ(nc_->Dialog()->ProgressBar->Position(), 100);
    EXPECT_EQ(nc_->Dialog()->ProgressLabel->Caption(), L"Progress : 0 bytes of 0 bytes");
    EXPECT_EQ(nc_->Dialog()->FileLabel->Caption(), L"File : empty.bin from " + root_ + L"\\src\\");
}

TEST_F(NetCopyFileCopy, ASourcePast4GiBCountsInFullAndACancelKeepsTheOldTarget) {
    const int64_t size = 5368709120;  // 5 GiB, sparse
    const std::wstring src = root_ + L"\\src\\huge.bin";
    {
        HANDLE h = CreateFileW(src.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER at;
        at.QuadPart = size;
        EXPECT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h));
        CloseHandle(h);
    }
    for (bool existing : {true, false}) {
        SCOPED_TRACE(existing ? "existing target" : "no target");
        Reset();
        fs::remove_all(fs::path(root_ + L"\\dst"));
        fs::create_directories(fs::path(root_ + L"\\dst"));
        const std::wstring target = root_ + L"\\dst\\huge.bin";
        if (existing) fw::WriteFileBytes(fs::path(target), "OLD");
        TNetCopyItem& item = AddCopy(src, root_ + L"\\dst");
        rec_.onProgress = [&](int n) {
            if (n == 3) nc_->Cancel();
        };
        nc_->Execute();
        EXPECT_TRUE(item.Cancelled);
        EXPECT_FALSE(item.Success);
        ASSERT_EQ(rec_.progress.size(), 3u);
        EXPECT_EQ(rec_.progress[2].size, 3u * 32768);
        EXPECT_EQ(rec_.progress[2].total, static_cast<uint64_t>(size));
        // What came stays only where there was no file.
        EXPECT_EQ(fs::file_size(fs::path(target)), existing ? 3u : 3u * 32768);
        EXPECT_EQ(Entries(root_ + L"\\dst"), std::set<std::wstring>{L"huge.bin"});
    }
}

}  // namespace
}  // namespace oru
