// TNetCopy's FTP transfers against pyftpdlib on 127.0.0.1, started by
// ftp_peers.sh: anonymous (read-only, in root\pub), "nc-user" (full rights)
// and "reader" (read-only), both in root\home; a file named "drop" loses its
// data connection after 5000 bytes. The tests lay out the server's files
// through the file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "Updater/NetCopy.h"
#include "framework/core/file_io.h"
#include "framework/core/string_list.h"
#include "tests/Updater/NetCopyTestSupport.h"
#include "tests/support/win_test_app.h"

namespace oru {
namespace {

namespace fs = std::filesystem;
using namespace oru::test;
using fw::test::TestApplication;

struct Login {
    const wchar_t* user;
    const wchar_t* password;
};
const Login kAnonymous{L"", L""};
const Login kUser{L"nc-user", L"s3cret"};
const Login kReader{L"reader", L"readonly"};

std::wstring Home() { return WorkDir() + L"\\root\\home"; }

void Put(const std::wstring& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    fw::WriteFileBytes(fs::path(path), bytes);
}

// The server's command log.
std::vector<std::wstring> FtpLog() {
    std::vector<std::wstring> out;
    for (const std::string& l : fw::SplitLines(ReadBytes(WorkDir() + L"\\ftp.log"))) {
        out.emplace_back(l.begin(), l.end());
    }
    return out;
}
void ClearFtpLog() { fw::WriteFileBytes(fs::path(WorkDir() + L"\\ftp.log"), ""); }
int CountCommands(const std::wstring& prefix) {
    int n = 0;
    for (const std::wstring& l : FtpLog()) n += l.rfind(prefix, 0) == 0;
    return n;
}

// The events up to the end of the item.
std::wstring Events(const Recorder& rec) { return Joined(rec.log); }

class NetCopyFtp : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        ASSERT_FALSE(Env(L"NC_WORK").empty()) << "run through ftp_peers.sh";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info->name();
        out_ = WorkDir() + L"\\out\\" + std::wstring(name.begin(), name.end());
        fs::remove_all(fs::path(out_));
        fs::create_directories(fs::path(out_));
        nc_ = new TNetCopy(nullptr);
        nc_->ShowDialog = false;
        nc_->FTPPassive = true;
        nc_->Timeout = 5000;
        rec_.Attach(*nc_);
    }
    void TearDown() override { nc_->Free(); }

    void Reset() {
        nc_->Items().Clear();
        rec_ = Recorder();
        rec_.Attach(*nc_);
        ClearFtpLog();
    }
    TNetCopyItem& AddItem(TNetCopyProtocol protocol, const std::wstring& url, Login login = kAnonymous,
                          const std::wstring& port = Env(L"NC_FTP_PORT")) {
        TNetCopyItem& item = nc_->Items().Add();
        item.Protocol = protocol;
        item.URL = url;
        item.TargetDir = out_;
        item.FTPHost = L"127.0.0.1";
        item.FTPPort = std::stoi(port);
        item.FTPUserID = login.user;
        item.FTPPassword = login.password;
        return item;
    }

    std::wstring out_;
    TNetCopy* nc_ = nullptr;
    Recorder rec_;
};

TEST_F(NetCopyFtp, DownloadsAreByteIdenticalPassiveAndActive) {
    struct Row {
        Login login;
        bool passive;
        const wchar_t* url;
        const wchar_t* serverFile;  // under root
        size_t size;
        const wchar_t* subDir;      // of the target folder, made by the download
        const wchar_t* targetName;  // empty: the URL's last segment
    };
    const Row rows[] = {
        // Anonymous users see root\pub.
        {kAnonymous, true, L"/big.bin", L"pub\\big.bin", 300000, L"", L""},
        {kAnonymous, false, L"big.bin", L"pub\\big.bin", 300000, L"", L""},
        {kUser, true, L"/sub/a.bin", L"home\\sub\\a.bin", 70000, L"\\x\\y", L""},
        {kReader, false, L"sub\\a.bin", L"home\\sub\\a.bin", 70000, L"", L"renamed.bin"},
        {kUser, true, L"empty.bin", L"home\\empty.bin", 0, L"", L""},
    };
    int n = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(std::wstring(r.url) + (r.passive ? L" passive" : L" active"));
        std::string bytes = Pattern(r.size);
        Put(WorkDir() + L"\\root\\" + r.serverFile, bytes);
        Reset();
        nc_->FTPPassive = r.passive;
        std::wstring dir = out_ + L"\\row" + std::to_wstring(++n) + r.subDir;
        TNetCopyItem& item = AddItem(TNetCopyProtocol::wpFtp, r.url, r.login);
        item.TargetDir = dir;
        item.TargetFilename = r.targetName;
        nc_->Execute();
        EXPECT_TRUE(item.Success);
        std::wstring name = r.targetName[0] ? r.targetName : UrlLastSegment(r.url);
        EXPECT_EQ(nc_->CurrentFile(), dir + L"\\" + name);
        EXPECT_TRUE(ReadBytes(dir + L"\\" + name) == bytes);
        EXPECT_EQ(Entries(dir), std::set<std::wstring>{name});
        EXPECT_EQ(Events(rec_), L"start 0 | progress | done 0 | copydone | ");
        // The size comes from the server; one event per block and one for
        // the empty read.
        EXPECT_EQ(rec_.CheckBlocks(4096, r.size), L"");
        EXPECT_EQ(rec_.progress.back().size, r.size);
        EXPECT_EQ(CountCommands(r.passive ? L"PASV" : L"PORT"), 2);  // the listing and the file
    }
}

TEST_F(NetCopyFtp, FailuresNeverHarmAnExistingTarget) {
    Put(Home() + L"\\drop.bin", Pattern(300000));
    struct Row {
        const wchar_t* url;
        Login login;
        const wchar_t* port;  // empty: the server's
        const wchar_t* events;
    };
    const Row rows[] = {
        {L"/nothere.bin", kUser, L"", L"notfound /nothere.bin | done 0"},
        // A folder that cannot be entered: the name is not looked for elsewhere.
        {L"/nope/drop.bin", kUser, L"", L"notfound /nope/drop.bin | done 0"},
        // The server drops the data connection: 426, which a reader sees as a plain end.
        {L"drop.bin", kUser, L"", L"progress | error 4 | info 4 Incomplete transfer of drop.bin: 426 "},
        {L"drop.bin", {L"nc-user", L"wrong"}, L"", L"error 6 | info 6 Cannot connect to FTP server 127.0.0.1 | done 0"},
        {L"drop.bin", kUser, L"9", L"error 6 | info 6 Cannot connect to FTP server 127.0.0.1 | done 0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::wstring(r.url) + L" " + r.login.password + L" " + r.port);
        Reset();
        std::wstring target = out_ + L"\\target.bin";
        fw::WriteFileBytes(fs::path(target), "OLD");
        TNetCopyItem& item = r.port[0] ? AddItem(TNetCopyProtocol::wpFtp, r.url, r.login, r.port)
                                       : AddItem(TNetCopyProtocol::wpFtp, r.url, r.login);
        item.TargetFilename = L"target.bin";
        nc_->OnCopyOverWrite = nullptr;
        nc_->Execute();
        EXPECT_FALSE(item.Success);
        std::wstring expected = L"start 0 | " + std::wstring(r.events);
        std::wstring events = Events(rec_);
        EXPECT_EQ(events.substr(0, expected.size()), expected) << events;
        EXPECT_EQ(ReadBytes(target), "OLD");
        EXPECT_EQ(Entries(out_), std::set<std::wstring>{L"target.bin"});
    }
    // The password never reaches the texts of the events.
    for (const std::wstring& line : rec_.log) EXPECT_EQ(line.find(L"s3cret"), std::wstring::npos) << line;
}

TEST_F(NetCopyFtp, CancelKeepsWhatCameOnlyWhereNoFileWas) {
    Put(Home() + L"\\long.bin", Pattern(1000000));
    for (bool existing : {true, false}) {
        SCOPED_TRACE(existing ? "existing target" : "no target");
        Reset();
        fs::remove_all(fs::path(out_));
        fs::create_directories(fs::path(out_));
        std::wstring target = out_ + L"\\long.bin";
        if (existing) fw::WriteFileBytes(fs::path(target), "OLD");
        TNetCopyItem& first = AddItem(TNetCopyProtocol::wpFtp, L"long.bin", kUser);
        TNetCopyItem& second = AddItem(TNetCopyProtocol::wpFtp, L"long.bin", kUser);
        second.TargetFilename = L"second.bin";
        rec_.onProgress = [&](int n) {
            if (n == 3) nc_->Cancel();
        };
        nc_->Execute();
        EXPECT_TRUE(first.Cancelled);
        EXPECT_FALSE(first.Success);
        EXPECT_FALSE(second.Success);
        EXPECT_EQ(rec_.progress.size(), 3u);
        EXPECT_EQ(Entries(out_), std::set<std::wstring>{L"long.bin"});
        EXPECT_TRUE(ReadBytes(target) == (existing ? std::string("OLD") : Pattern(3 * 4096)));
    }
}

TEST_F(NetCopyFtp, ConsecutiveItemsOfOneLoginShareTheirConnection) {
    Put(Home() + L"\\one.bin", Pattern(5000));
    Put(Home() + L"\\two.bin", Pattern(6000));
    Reset();
    AddItem(TNetCopyProtocol::wpFtp, L"one.bin", kUser);
    AddItem(TNetCopyProtocol::wpFtp, L"/two.bin", kUser);
    AddItem(TNetCopyProtocol::wpFtp, L"one.bin", kReader).TargetFilename = L"three.bin";
    AddItem(TNetCopyProtocol::wpFtp, L"two.bin", kReader).TargetFilename = L"four.bin";
    nc_->Execute();
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(nc_->Items()[i].Success) << i;
    EXPECT_EQ(CountCommands(L"USER nc-user"), 1);
    EXPECT_EQ(CountCommands(L"USER reader"), 1);
    EXPECT_TRUE(ReadBytes(out_ + L"\\four.bin") == Pattern(6000));
    EXPECT_EQ(Entries(out_), (std::set<std::wstring>{L"one.bin", L"two.bin", L"three.bin", L"four.bin"}));
}

TEST_F(NetCopyFtp, UploadsReplaceARemoteFileOnlyWhenWhole) {
    Put(Home() + L"\\lvl1\\keep.txt", "x");
    struct Row {
        const wchar_t* local;  // in the test's folder; size 300000 unless missing
        bool localExists;
        Login login;
        const wchar_t* remoteDir;
        const wchar_t* remoteName;
        bool remoteExists;  // "REMOTE" is there before
        bool newerOnly;     // with a FileDate long before the remote file's
        bool success;
        const wchar_t* events;
    };
    const Row rows[] = {
        {L"new.bin", true, kUser, L"/up1", L"new.bin", false, false, true, L"progress | done 0"},
        {L"rep.bin", true, kUser, L"up2", L"rep.bin", true, false, true, L"progress | done 0"},
        // Of three levels only the first exists: the others are made.
        {L"deep.bin", true, kUser, L"lvl1/lvl2/lvl3", L"deep.bin", false, false, true, L"progress | done 0"},
        {L"ro.bin", true, kReader, L"up3", L"ro.bin", true, false, false, L"notfound "},
        {L"up_drop.bin", true, kUser, L"up4", L"up_drop.bin", true, false, false,
         L"progress | error 5 | info 5 Error writing to destination file up_drop.bin: 426 "},
        {L"none.bin", false, kUser, L"up5", L"none.bin", true, false, false, L"notfound "},
        {L"old.bin", true, kUser, L"up6", L"old.bin", true, true, false, L"overwrite old.bin | nonew old.bin | done 0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.local);
        Reset();
        std::wstring local = out_ + L"\\" + r.local;
        if (r.localExists) fw::WriteFileBytes(fs::path(local), Pattern(300000));
        std::wstring remote = Home() + L"\\" + r.remoteDir + L"\\" + r.remoteName;
        for (wchar_t& c : remote) {
            if (c == L'/') c = L'\\';
        }
        if (r.remoteExists) Put(remote, "REMOTE");
        TNetCopyItem& item = AddItem(TNetCopyProtocol::wpFtpUpload, local, r.login);
        item.TargetDir = r.remoteDir;
        item.CopyNewerOnly = r.newerOnly;
        item.FileDate = 1;
        nc_->Execute();
        EXPECT_EQ(item.Success, r.success);
        EXPECT_EQ(item.NoNewFile, r.newerOnly);
        std::wstring expected = L"start 0 | " + std::wstring(r.events);
        std::wstring events = Events(rec_);
        EXPECT_EQ(events.substr(0, expected.size()), expected) << events;
        if (r.success) {
            EXPECT_TRUE(ReadBytes(remote) == Pattern(300000));
            EXPECT_EQ(rec_.CheckBlocks(4096, 300000), L"");
        } else if (r.remoteExists) {
            EXPECT_EQ(ReadBytes(remote), "REMOTE");
        }
        if (fs::exists(fs::path(remote).parent_path())) {
            EXPECT_EQ(Entries(fs::path(remote).parent_path().wstring()).count(std::wstring(r.remoteName) + L".nctmp"), 0u);
        }
    }
}

TEST_F(NetCopyFtp, ListingsMultiFileItemsDeleteAndTest) {
    Put(Home() + L"\\lst\\a.bin", Pattern(1000));
    Put(Home() + L"\\lst\\b.bin", Pattern(70000));
    Put(Home() + L"\\lst\\c.txt", "text");
    fs::create_directories(fs::path(Home() + L"\\lst\\d.bin"));  // a folder
    for (const wchar_t* name : {L"m1.txt", L"m2.txt", L"skip.dat"}) Put(out_ + L"\\src\\" + name, Pattern(9000));
    Put(Home() + L"\\gone.bin", "x");
    Reset();
    TNetCopyItem& list = AddItem(TNetCopyProtocol::wpFtpList, L"/lst/*.bin", kUser);
    TNetCopyItem& none = AddItem(TNetCopyProtocol::wpFtpList, L"/lst/*.none", kUser);
    TNetCopyItem& multi = AddItem(TNetCopyProtocol::wpMultiFtp, L"/lst/*.bin", kUser);
    multi.TargetDir = out_ + L"\\multi";
    TNetCopyItem& up = AddItem(TNetCopyProtocol::wpMultiFtpUpload, out_ + L"\\src\\*.txt", kUser);
    up.TargetDir = L"mu/in";
    TNetCopyItem& del = AddItem(TNetCopyProtocol::wpFtpDelete, L"gone.bin", kUser);
    del.TargetDir = L"/";
    TNetCopyItem& delMissing = AddItem(TNetCopyProtocol::wpFtpDelete, L"never.bin", kUser);
    delMissing.TargetDir = L"";
    TNetCopyItem& test = AddItem(TNetCopyProtocol::wpFtpTest, L"", kReader);
    TNetCopyItem& badTest = AddItem(TNetCopyProtocol::wpFtpTest, L"", {L"reader", L"nope"});
    nc_->Execute();

    EXPECT_TRUE(list.Success);
    ASSERT_TRUE(list.FileNames && list.FileDetails);
    std::set<std::wstring> names;
    for (int i = 0; i < list.FileNames->Count(); ++i) names.insert((*list.FileNames)[i]);
    EXPECT_EQ(names, (std::set<std::wstring>{L"a.bin", L"b.bin", L"d.bin"}));
    for (int i = 0; i < list.FileDetails->Count(); ++i) {
        const TFileDetailItem& d = (*list.FileDetails)[i];
        if (d.FileName == L"b.bin") {
            EXPECT_EQ(d.SizeLow, 70000u);
        }
        EXPECT_EQ((d.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, d.FileName == L"d.bin");
    }
    // Finding nothing is no failure.
    EXPECT_TRUE(none.Success);
    ASSERT_TRUE(none.FileNames && none.FileDetails);
    EXPECT_EQ(none.FileNames->Count(), 0);
    EXPECT_EQ(none.FileDetails->Count(), 0);

    // Files only: the folder d.bin is no file to fetch.
    EXPECT_TRUE(multi.Success);
    EXPECT_EQ(Entries(out_ + L"\\multi"), (std::set<std::wstring>{L"a.bin", L"b.bin"}));
    EXPECT_TRUE(ReadBytes(out_ + L"\\multi\\b.bin") == Pattern(70000));

    EXPECT_TRUE(up.Success);
    EXPECT_EQ(Entries(Home() + L"\\mu\\in"), (std::set<std::wstring>{L"m1.txt", L"m2.txt"}));
    EXPECT_TRUE(ReadBytes(Home() + L"\\mu\\in\\m2.txt") == Pattern(9000));

    EXPECT_TRUE(del.Success);
    EXPECT_FALSE(fs::exists(fs::path(Home() + L"\\gone.bin")));
    EXPECT_TRUE(delMissing.Success);
    EXPECT_TRUE(test.Success);
    EXPECT_FALSE(badTest.Success);

    std::wstring events = Events(rec_);
    for (const wchar_t* e : {L"multidone a.bin", L"multidone b.bin", L"multidone m1.txt", L"multidone m2.txt",
                             L"removed 4", L"notremoved 5", L"start 7 | error 6 | info 6 Cannot connect"}) {
        EXPECT_NE(events.find(e), std::wstring::npos) << e << "\n" << events;
    }
    EXPECT_EQ(events.find(L"multidone d.bin"), std::wstring::npos);
}

// A name with a line break never reaches the control connection: every kind
// of item fails and the smuggled command is never sent.
TEST_F(NetCopyFtp, NamesWithLineBreaksAreRefusedBeforeAnyCommand) {
    Put(Home() + L"\\victim.bin", "keep");
    Reset();
    const std::wstring evil = L"x.bin\r\nDELE victim.bin";
    std::vector<TNetCopyItem*> items;
    for (TNetCopyProtocol p : {TNetCopyProtocol::wpFtp, TNetCopyProtocol::wpFtpList, TNetCopyProtocol::wpFtpDelete,
                               TNetCopyProtocol::wpMultiFtp}) {
        items.push_back(&AddItem(p, L"/" + evil, kUser));
    }
    Put(out_ + L"\\up.bin", "data");
    TNetCopyItem& up = AddItem(TNetCopyProtocol::wpFtpUpload, out_ + L"\\up.bin", kUser);
    up.TargetDir = L"in\r\nDELE victim.bin";
    items.push_back(&up);
    nc_->Execute();
    for (size_t i = 0; i < items.size(); ++i) EXPECT_FALSE(items[i]->Success) << i;
    EXPECT_EQ(CountCommands(L"DELE"), 0);
    EXPECT_EQ(ReadBytes(Home() + L"\\victim.bin"), "keep");
}

TEST_F(NetCopyFtp, SizesPast4GiBComeFromTheServer) {
    // A sparse 5 GiB file: the listing and the download see its full size.
    const uint64_t size = 5368709120;
    fs::create_directories(fs::path(Home() + L"\\big"));
    {
        HANDLE h = CreateFileW((Home() + L"\\big\\huge.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(size);
        EXPECT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h));
        CloseHandle(h);
    }
    Reset();
    TNetCopyItem& list = AddItem(TNetCopyProtocol::wpFtpList, L"/big/huge.bin", kUser);
    TNetCopyItem& get = AddItem(TNetCopyProtocol::wpFtp, L"/big/huge.bin", kUser);
    fw::WriteFileBytes(fs::path(out_ + L"\\huge.bin"), "OLD");
    rec_.onProgress = [&](int n) {
        if (n == 3) nc_->Cancel();
    };
    nc_->Execute();
    ASSERT_TRUE(list.FileDetails);
    ASSERT_EQ(list.FileDetails->Count(), 1);
    EXPECT_EQ((*list.FileDetails)[0].SizeHigh, 1u);
    EXPECT_EQ((*list.FileDetails)[0].SizeLow, 1u << 30);
    EXPECT_TRUE(get.Cancelled);
    ASSERT_EQ(rec_.progress.size(), 3u);
    EXPECT_EQ(rec_.progress[0].total, size);
    EXPECT_EQ(ReadBytes(out_ + L"\\huge.bin"), "OLD");
}

TEST_F(NetCopyFtp, NewerOnlyComparesTheRemoteDateWithFileDate) {
    Put(Home() + L"\\dated.bin", Pattern(3000));
    struct Row {
        TDateTime fileDate;
        bool success, noNewFile;
    };
    // The remote file was written just now.
    const Row rows[] = {{1, true, false}, {80000, false, true}};  // 1899 and 2119
    for (const Row& r : rows) {
        SCOPED_TRACE(r.fileDate);
        Reset();
        fs::remove(fs::path(out_ + L"\\dated.bin"));
        TNetCopyItem& item = AddItem(TNetCopyProtocol::wpFtp, L"dated.bin", kUser);
        item.CopyNewerOnly = true;
        item.FileDate = r.fileDate;
        nc_->Execute();
        EXPECT_EQ(item.Success, r.success);
        EXPECT_EQ(item.NoNewFile, r.noNewFile);
        EXPECT_EQ(fs::exists(fs::path(out_ + L"\\dated.bin")), r.success);
        EXPECT_EQ(Events(rec_).find(L"nonew dated.bin") != std::wstring::npos, r.noNewFile);
        // The server's date replaces the working date either way.
        EXPECT_GT(item.NewFileDate, 40000.0);
        EXPECT_LT(item.NewFileDate, 80000.0);
    }
}

}  // namespace
}  // namespace oru
