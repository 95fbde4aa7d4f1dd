// TNetCopy against real servers on 127.0.0.1, started by http_peers.sh:
// lighttpd with Basic authentication under /private/, and fault_server.py for
// what a real server will not do on demand.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Updater/NcLogin.h"
#include "Updater/NetCopy.h"
#include "framework/core/file_io.h"
#include "framework/core/string_list.h"
#include "framework/gui/timer.h"
#include "tests/support/win_test_app.h"

namespace oru {
namespace {

namespace fs = std::filesystem;
using fw::test::PumpUntil;
using fw::test::TestApplication;

using fw::test::FindOwnWindow;

std::wstring Env(const wchar_t* name) {
    wchar_t buf[1024] = {};
    DWORD n = GetEnvironmentVariableW(name, buf, 1024);
    return n > 0 && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

// The work folder of http_peers.sh as Wine shows it.
std::wstring WorkDir() {
    std::wstring unix = Env(L"NC_WORK");
    std::wstring win = L"Z:" + unix;
    for (wchar_t& c : win) {
        if (c == L'/') c = L'\\';
    }
    return win;
}

std::wstring HttpUrl(const std::wstring& path) { return L"http://127.0.0.1:" + Env(L"NC_HTTP_PORT") + path; }
std::wstring FaultUrl(const std::wstring& path) { return L"http://127.0.0.1:" + Env(L"NC_FAULT_PORT") + path; }

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i % 251);
    return s;
}

std::string ReadBytes(const std::wstring& path) { return fw::ReadFileBytes(fs::path(path)); }
std::string Served(const std::wstring& rel) { return ReadBytes(WorkDir() + L"\\www\\" + rel); }

std::set<std::wstring> Entries(const std::wstring& dir) {
    std::set<std::wstring> names;
    for (const auto& e : fs::directory_iterator(fs::path(dir))) names.insert(e.path().filename().wstring());
    return names;
}

// The fault server's request log: request line, Authorization, Proxy-Authorization.
struct LoggedRequest {
    std::wstring line, auth, proxyAuth;
};

std::vector<LoggedRequest> FaultLog() {
    std::vector<LoggedRequest> out;
    for (const std::string& l : fw::SplitLines(ReadBytes(WorkDir() + L"\\fault.log"))) {
        std::vector<std::wstring> f(1);
        for (char c : l) {
            if (c == '\t') {
                f.emplace_back();
            } else {
                f.back() += static_cast<wchar_t>(static_cast<unsigned char>(c));
            }
        }
        f.resize(3);
        out.push_back({f[0], f[1], f[2]});
    }
    return out;
}

void ClearFaultLog() { fw::WriteFileBytes(fs::path(WorkDir() + L"\\fault.log"), ""); }

// Records the component's events in order; runs of progress events show as
// one "progress" entry, their figures are kept apart.
struct Recorder {
    std::vector<std::wstring> log;
    struct Progress {
        int fileidx;
        uint64_t size, total;
    };
    std::vector<Progress> progress;
    std::function<void(int)> onProgress;

    void Add(const std::wstring& s) { log.push_back(s); }
    void Attach(TNetCopy& nc) {
        nc.OnFileStart = [this](fw::TComponent*, int i) { Add(L"start " + std::to_wstring(i)); };
        nc.OnFileDone = [this](fw::TComponent*, int i) { Add(L"done " + std::to_wstring(i)); };
        nc.OnCopyDone = [this](fw::TComponent*) { Add(L"copydone"); };
        nc.OnCopyCancel = [this](fw::TComponent*) { Add(L"cancel"); };
        nc.OnCopyProgress = [this](fw::TComponent*, int idx, uint64_t size, uint64_t total) {
            if (log.empty() || log.back() != L"progress") Add(L"progress");
            progress.push_back({idx, size, total});
            if (onProgress) onProgress(static_cast<int>(progress.size()));
        };
        nc.OnCopyOverWrite = [this](fw::TComponent*, const std::wstring& f, bool&) { Add(L"overwrite " + f); };
        nc.OnNoNewFileFound = [this](fw::TComponent*, const std::wstring& f, TDateTime, TDateTime) {
            Add(L"nonew " + f);
        };
        nc.OnURLNotFound = [this](fw::TComponent*, const std::wstring& u) { Add(L"notfound " + u); };
        nc.OnError = [this](fw::TComponent*, int c) { Add(L"error " + std::to_wstring(c)); };
        nc.OnErrorInfo = [this](fw::TComponent*, int c, const std::wstring& t) {
            Add(L"info " + std::to_wstring(c) + L" " + t);
        };
    }
};

std::wstring Joined(const std::vector<std::wstring>& v) {
    std::wstring s;
    for (const auto& e : v) s += e + L" | ";
    return s;
}

using Answers = std::vector<std::optional<std::pair<std::wstring, std::wstring>>>;

// Answers the login form when it shows: each queued answer is OK with those
// texts, or Cancel when empty. Records the captions it saw.
class LoginDriver {
public:
    explicit LoginDriver(Answers answers)
        : answers_(std::move(answers)), timer_(nullptr) {
        timer_.SetInterval(15);
        timer_.OnTimer = [this](fw::TComponent*) { Tick(); };
    }
    std::vector<std::wstring> captions;
    std::vector<std::wstring> editsAtStart;

private:
    void Tick() {
        HWND h = FindOwnWindow(L"TNcLoginForm");
        if (!h || !IsWindowVisible(h)) return;
        auto* form = dynamic_cast<TNcLoginForm*>(fw::TWinControl::FromHandle(h));
        if (!form || form->ModalResult() != fw::mrNone) return;
        captions.push_back(form->Caption());
        editsAtStart.push_back(form->Edit1->Text() + L"/" + form->Edit2->Text());
        const auto* answer = next_ < answers_.size() ? &answers_[next_++] : nullptr;
        if (!answer || !*answer) {
            SendMessageW(form->Button2->Handle(), BM_CLICK, 0, 0);
        } else {
            form->Edit1->SetText((*answer)->first);
            form->Edit2->SetText((*answer)->second);
            SendMessageW(form->Button1->Handle(), BM_CLICK, 0, 0);
        }
    }
    Answers answers_;
    size_t next_ = 0;
    fw::TTimer timer_;
};

class NetCopyHttp : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        ASSERT_FALSE(Env(L"NC_WORK").empty()) << "run through http_peers.sh";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        out_ = WorkDir() + L"\\out\\" + std::wstring(name.begin(), name.end());
        fs::remove_all(fs::path(out_));
        fs::create_directories(fs::path(out_));
        nc_ = new TNetCopy(nullptr);
        nc_->ShowDialog = false;
        rec_.Attach(*nc_);
    }
    void TearDown() override { nc_->Free(); }

    TNetCopyItem& AddItem(const std::wstring& url, const std::wstring& dir = L"") {
        TNetCopyItem& item = nc_->Items().Add();
        item.URL = url;
        item.TargetDir = dir.empty() ? out_ : dir;
        return item;
    }

    std::wstring out_;
    TNetCopy* nc_ = nullptr;
    Recorder rec_;
};

TEST_F(NetCopyHttp, LighttpdDownloadsAreByteIdentical) {
    struct Row {
        const wchar_t* path;
        const wchar_t* user;
        const wchar_t* password;
        const wchar_t* subDir;
        const wchar_t* targetName;
        const wchar_t* expectName;
        bool success;
    };
    const Row rows[] = {
        {L"public/big.bin", L"", L"", L"", L"", L"big.bin", true},
        {L"private/secret.bin", L"nc-user", L"s3cret", L"", L"", L"secret.bin", true},
        // Non-ASCII credentials reach the server as UTF-8.
        {L"private/secret.bin", L"j\u00fcrgen", L"p\u00e4ssword", L"", L"utf8.bin", L"utf8.bin", true},
        // Missing folders of the target are made.
        {L"public/setup.exe", L"", L"", L"\\a\\b", L"", L"setup.exe", true},
        // An empty remote file: no block read, so no success, but the empty file stays.
        {L"public/empty.bin", L"", L"", L"", L"", L"empty.bin", false},
    };
    int n = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        nc_->Items().Clear();
        rec_ = Recorder();
        rec_.Attach(*nc_);
        std::wstring top = out_ + L"\\row" + std::to_wstring(++n);
        std::wstring dir = top + r.subDir;
        TNetCopyItem& item = AddItem(HttpUrl(L"/") + r.path, dir);
        item.HTTPUserID = r.user;
        item.HTTPPassword = r.password;
        item.TargetFilename = r.targetName;
        nc_->Execute();
        EXPECT_EQ(item.Success, r.success);
        EXPECT_FALSE(item.Cancelled);
        std::string served = Served(r.path);
        std::wstring target = dir + L"\\" + r.expectName;
        EXPECT_EQ(nc_->CurrentFile(), target);
        ASSERT_TRUE(fs::exists(fs::path(target)));
        EXPECT_TRUE(ReadBytes(target) == served);
        EXPECT_EQ(Entries(dir), std::set<std::wstring>{r.expectName});
        EXPECT_EQ(Joined(rec_.log), L"start 0 | progress | done 0 | copydone | ");
        // One event per block of at most 4096 bytes, and one more for the
        // final empty read.
        const auto& p = rec_.progress;
        ASSERT_FALSE(p.empty());
        for (size_t i = 0; i < p.size(); ++i) {
            EXPECT_EQ(p[i].fileidx, 1);
            EXPECT_EQ(p[i].total, served.size());
            uint64_t before = i ? p[i - 1].size : 0;
            bool last = i + 1 == p.size();
            EXPECT_TRUE(last ? p[i].size == before : p[i].size > before && p[i].size - before <= 4096) << i;
        }
        EXPECT_EQ(p.back().size, served.size());
    }
}

TEST_F(NetCopyHttp, UnauthorizedUnderWaNeverGivesTheErrorEventsAndNoFile) {
    const std::pair<const wchar_t*, const wchar_t*> credentials[] = {{L"", L""}, {L"nc-user", L"wrong"}};
    for (auto [user, password] : credentials) {
        SCOPED_TRACE(password);
        nc_->Items().Clear();
        rec_.log.clear();
        TNetCopyItem& item = AddItem(HttpUrl(L"/private/secret.bin"));
        item.HTTPUserID = user;
        item.HTTPPassword = password;
        nc_->Execute();
        EXPECT_FALSE(item.Success);
        EXPECT_EQ(Joined(rec_.log),
                  L"start 0 | error 401 | info 401 Returned http error code 401 | done 0 | copydone | ");
        EXPECT_TRUE(Entries(out_).empty());
    }
}

TEST_F(NetCopyHttp, WaAutoShowsTheLoginFormAndRetries) {
    TNetCopyItem& item = AddItem(HttpUrl(L"/private/secret.bin"));
    item.Authenticate = TNetCopyAuthentication::waAuto;
    LoginDriver login({std::make_pair(std::wstring(L"nc-user"), std::wstring(L"s3cret"))});
    nc_->Execute();
    EXPECT_TRUE(item.Success);
    ASSERT_EQ(login.captions.size(), 1u);
    EXPECT_EQ(login.captions[0], L"Connect to 127.0.0.1:" + Env(L"NC_HTTP_PORT"));
    EXPECT_EQ(login.editsAtStart[0], L"/");
    EXPECT_TRUE(ReadBytes(out_ + L"\\secret.bin") == Served(L"private/secret.bin"));
    // The answer was for this run only.
    EXPECT_TRUE(item.HTTPUserID.empty());
    EXPECT_EQ(Joined(rec_.log), L"start 0 | progress | done 0 | copydone | ");
}

TEST_F(NetCopyHttp, EndlessUnauthorizedAsksAgainUntilTheUserCancels) {
    ClearFaultLog();
    TNetCopyItem& item = AddItem(FaultUrl(L"/auth401"));
    item.Authenticate = TNetCopyAuthentication::waAuto;
    item.HTTPUserID = L"start";  // only a user: the form is not asked before the first request
    LoginDriver login({std::make_pair(std::wstring(L"u1"), std::wstring(L"p1")),
                       std::make_pair(std::wstring(L"u2"), std::wstring(L"p2")), std::nullopt});
    nc_->Execute();
    EXPECT_FALSE(item.Success);
    EXPECT_EQ(login.captions.size(), 3u);
    // Cancel ends the item without an error event.
    EXPECT_EQ(Joined(rec_.log), L"start 0 | done 0 | copydone | ");
    std::vector<LoggedRequest> log = FaultLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].auth, L"Basic c3RhcnQ6");  // "start:"
    EXPECT_EQ(log[1].auth, L"Basic dTE6cDE=");
    EXPECT_EQ(log[2].auth, L"Basic dTI6cDI=");
}

TEST_F(NetCopyHttp, WaAlwaysAsksBeforeTheFirstRequest) {
    ClearFaultLog();
    TNetCopyItem& item = AddItem(FaultUrl(L"/data/5000"));
    item.Authenticate = TNetCopyAuthentication::waAlways;
    item.HTTPUserID = L"ignored";  // without a password the form is asked
    LoginDriver login({std::make_pair(std::wstring(L"nc-user"), std::wstring(L"s3cret"))});
    nc_->Execute();
    EXPECT_TRUE(item.Success);
    EXPECT_EQ(login.captions.size(), 1u);
    std::vector<LoggedRequest> log = FaultLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].auth, L"Basic bmMtdXNlcjpzM2NyZXQ=");

    // Cancel on the form: nothing is requested and nothing reported.
    ClearFaultLog();
    rec_.log.clear();
    LoginDriver cancel({std::nullopt});
    nc_->Execute();
    EXPECT_FALSE(item.Success);
    EXPECT_TRUE(FaultLog().empty());
    EXPECT_EQ(Joined(rec_.log), L"start 0 | done 0 | copydone | ");
}

TEST_F(NetCopyHttp, FaultsNeverPassForSuccessNorHarmAnExistingFile) {
    struct Row {
        const wchar_t* path;  // on the fault server; empty: a port nobody listens on
        uint32_t fileSize;
        bool success;
        const wchar_t* events;
        size_t bytes;  // of the new file on success
    };
    const std::wstring incomplete = L"error 4 | info 4 ";
    const Row rows[] = {
        {L"/nolength/10000", 0, true, L"progress | ", 10000},
        {L"/nolength/10000", 9000, true, L"progress | ", 10000},
        {L"/short/10000/4000", 0, false, L"progress | error 4 | info 4 ", 0},
        {L"/stall/100000/5000", 0, false, L"progress | error 4 | info 4 ", 0},
        {L"/stallheaders", 0, false, L"notfound ", 0},
        {L"/status/500", 0, false, L"error 500 | info 500 Returned http error code 500 | ", 0},
        {L"/status/404", 0, false, L"error 404 | info 404 Returned http error code 404 | ", 0},
        {L"", 0, false, L"notfound ", 0},
    };
    // A port that was free a moment ago.
    std::wstring deadUrl = L"http://127.0.0.1:9/data/10";
    nc_->Timeout = 1500;
    for (const Row& r : rows) {
        std::wstring url = r.path[0] ? FaultUrl(r.path) : deadUrl;
        SCOPED_TRACE(url);
        nc_->Items().Clear();
        rec_ = Recorder();
        rec_.Attach(*nc_);
        std::wstring target = out_ + L"\\target.bin";
        fw::WriteFileBytes(fs::path(target), "OLD");
        TNetCopyItem& item = AddItem(url);
        item.TargetFilename = L"target.bin";
        item.FileSize = r.fileSize;
        nc_->OnCopyOverWrite = nullptr;
        auto start = std::chrono::steady_clock::now();
        nc_->Execute();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
        EXPECT_EQ(item.Success, r.success);
        std::wstring events = Joined(rec_.log);
        std::wstring expected = L"start 0 | " + std::wstring(r.events);
        EXPECT_EQ(events.substr(0, expected.size()), expected) << events;
        EXPECT_NE(events.find(L"done 0 | copydone | "), std::wstring::npos) << events;
        if (r.success) {
            EXPECT_TRUE(ReadBytes(target) == Pattern(r.bytes));
            for (const auto& p : rec_.progress) EXPECT_EQ(p.total, r.fileSize);
        } else {
            EXPECT_EQ(ReadBytes(target), "OLD");
        }
        // No temporary file is left behind.
        EXPECT_EQ(Entries(out_), std::set<std::wstring>{L"target.bin"});
    }
}

TEST_F(NetCopyHttp, NewerOnlyComparesLastModifiedWithFileDate) {
    const int64_t stamp = 1700000000;  // 2023-11-14 22:13:20 UTC
    const TDateTime serverDate = EncodeDateTime(2023, 11, 14, 22, 13, 20, 0);
    struct Row {
        const wchar_t* path;
        TDateTime fileDate;
        bool withCheck, allow;
        bool success, noNewFile;
        const wchar_t* events;
    };
    const std::wstring lastmod = L"/lastmod/" + std::to_wstring(stamp) + L"/3000";
    const Row rows[] = {
        {lastmod.c_str(), serverDate - 1, false, true, true, false, L"start 0 | progress | done 0 | copydone | "},
        {lastmod.c_str(), serverDate + 1, false, true, false, true, L"start 0 | nonew 3000 | done 0 | copydone | "},
        {lastmod.c_str(), serverDate, false, true, false, true, L"start 0 | nonew 3000 | done 0 | copydone | "},
        // With no Last-Modified the current time is taken: newer than any stored date.
        {L"/data/3000", 40000, false, true, true, false, L"start 0 | progress | done 0 | copydone | "},
        // The event replaces the comparison.
        {lastmod.c_str(), serverDate + 1, true, true, true, false, L"start 0 | progress | done 0 | copydone | "},
        {lastmod.c_str(), serverDate - 1, true, false, false, false, L"start 0 | done 0 | copydone | "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::wstring(r.path) + L" " + std::to_wstring(r.fileDate));
        fs::remove_all(fs::path(out_));
        fs::create_directories(fs::path(out_));
        nc_->Items().Clear();
        rec_ = Recorder();
        rec_.Attach(*nc_);
        std::vector<TDateTime> checked;
        if (r.withCheck) {
            nc_->OnFileDateCheck = [&](fw::TComponent*, int, TDateTime d, bool& allow) {
                checked.push_back(d);
                allow = r.allow;
            };
        } else {
            nc_->OnFileDateCheck = nullptr;
        }
        TNetCopyItem& item = AddItem(FaultUrl(r.path));
        item.CopyNewerOnly = !r.withCheck;
        item.FileDate = r.fileDate;
        nc_->Execute();
        EXPECT_EQ(Joined(rec_.log), r.events);
        EXPECT_EQ(item.Success, r.success);
        EXPECT_EQ(item.NoNewFile, r.noNewFile);
        EXPECT_EQ(fs::exists(fs::path(out_ + L"\\3000")), r.success);
        if (std::wstring(r.path) == lastmod) {
            EXPECT_DOUBLE_EQ(item.NewFileDate, serverDate);
        } else {
            EXPECT_GT(item.NewFileDate, r.fileDate);
        }
        if (r.withCheck) {
            ASSERT_EQ(checked.size(), 1u);
            EXPECT_DOUBLE_EQ(checked[0], serverDate);
        }
    }
}

TEST_F(NetCopyHttp, ExistingTargetAsksToOverwriteOrTakesAUniqueName) {
    std::wstring target = out_ + L"\\setup.exe";
    std::string served = Served(L"public/setup.exe");
    TNetCopyItem& item = AddItem(HttpUrl(L"/public/setup.exe"));

    // Refused: nothing is fetched, the file stays.
    fw::WriteFileBytes(fs::path(target), "OLD");
    nc_->OnCopyOverWrite = [&](fw::TComponent*, const std::wstring& f, bool& allow) {
        rec_.Add(L"overwrite " + f);
        allow = false;
    };
    nc_->Execute();
    EXPECT_FALSE(item.Success);
    EXPECT_EQ(Joined(rec_.log), L"start 0 | overwrite " + target + L" | done 0 | copydone | ");
    EXPECT_EQ(ReadBytes(target), "OLD");

    // Allowed: replaced.
    nc_->OnCopyOverWrite = nullptr;
    nc_->Execute();
    EXPECT_TRUE(item.Success);
    EXPECT_TRUE(ReadBytes(target) == served);

    // Unique names: setup(1).exe, then setup(2).exe; the original stays.
    nc_->CreateUniqueFilenames = true;
    fw::WriteFileBytes(fs::path(target), "OLD");
    for (const wchar_t* name : {L"setup(1).exe", L"setup(2).exe"}) {
        nc_->Execute();
        EXPECT_TRUE(item.Success);
        EXPECT_EQ(nc_->CurrentFile(), out_ + L"\\" + name);
        EXPECT_TRUE(ReadBytes(out_ + L"\\" + name) == served);
    }
    EXPECT_EQ(ReadBytes(target), "OLD");
    EXPECT_EQ(Entries(out_), (std::set<std::wstring>{L"setup.exe", L"setup(1).exe", L"setup(2).exe"}));
}

TEST_F(NetCopyHttp, CancelDeletesThePartialFileAndSkipsTheRest) {
    enum class How { Method, DialogButton };
    for (How how : {How::Method, How::DialogButton}) {
        SCOPED_TRACE(how == How::Method ? "Cancel()" : "dialog button");
        nc_->Items().Clear();
        rec_ = Recorder();
        rec_.Attach(*nc_);
        nc_->ShowDialog = how == How::DialogButton;
        std::wstring target = out_ + L"\\big.bin";
        fw::WriteFileBytes(fs::path(target), "OLD");
        TNetCopyItem& first = AddItem(HttpUrl(L"/public/big.bin"));
        TNetCopyItem& second = AddItem(HttpUrl(L"/public/setup.exe"));
        bool dialogShown = false;
        rec_.onProgress = [&](int n) {
            if (n != 3) return;
            if (how == How::Method) {
                nc_->Cancel();
            } else {
                ASSERT_NE(nc_->Dialog(), nullptr);
                dialogShown = IsWindowVisible(nc_->Dialog()->Handle()) != FALSE;
                SendMessageW(nc_->Dialog()->CancelButton->Handle(), BM_CLICK, 0, 0);
            }
        };
        nc_->Execute();
        EXPECT_TRUE(first.Cancelled);
        EXPECT_FALSE(first.Success);
        EXPECT_FALSE(second.Cancelled);
        EXPECT_FALSE(second.Success);
        std::wstring overwrite = L"start 0 | overwrite " + target + L" | progress | ";
        std::wstring expected = overwrite + (how == How::Method ? L"copydone | " : L"cancel | copydone | ");
        EXPECT_EQ(Joined(rec_.log), expected);
        EXPECT_EQ(rec_.progress.size(), 3u);
        EXPECT_EQ(dialogShown, how == How::DialogButton);
        EXPECT_EQ(ReadBytes(target), "OLD");
        EXPECT_EQ(Entries(out_), std::set<std::wstring>{L"big.bin"});
        EXPECT_EQ(nc_->Dialog(), nullptr);
    }
}

TEST_F(NetCopyHttp, EventsOfSeveralItemsComeInOrderAndTheDialogFollows) {
    nc_->ShowDialog = true;
    AddItem(HttpUrl(L"/public/setup.exe"));
    AddItem(HttpUrl(L"/private/secret.bin"));
    AddItem(HttpUrl(L"/public/big.bin")).Active = false;
    TNetCopyItem& ftp = AddItem(L"/remote/file.txt");
    ftp.Protocol = TNetCopyProtocol::wpFtp;
    TNetCopyItem& last = AddItem(FaultUrl(L"/data/100"));
    last.DisplayURL = L"Shown name";
    std::vector<std::wstring> fileLines, captions;
    rec_.onProgress = [&](int) {
        fileLines.push_back(nc_->Dialog()->FileLabel->Caption());
        captions.push_back(nc_->Dialog()->Caption());
    };
    bool beforeShow = false;
    nc_->OnBeforeDialogShow = [&](fw::TComponent*, fw::TForm* d) {
        beforeShow = d == nc_->Dialog() && !IsWindowVisible(d->Handle());
    };
    nc_->Execute();
    EXPECT_TRUE(beforeShow);
    EXPECT_EQ(Joined(rec_.log),
              L"start 0 | progress | done 0 | start 1 | error 401 | info 401 Returned http error code 401 | done 1 | "
              L"start 3 | error 50 | info 50 Transfer protocol not supported: wpFtp | done 3 | "
              L"start 4 | progress | done 4 | copydone | ");
    ASSERT_FALSE(fileLines.empty());
    EXPECT_EQ(fileLines.front(), L"File : 1 of 4 : setup.exe from 127.0.0.1:" + Env(L"NC_HTTP_PORT"));
    EXPECT_EQ(fileLines.back(), L"File : 4 of 4 : Shown name from 127.0.0.1:" + Env(L"NC_FAULT_PORT"));
    EXPECT_EQ(captions.front(), L"Downloading ...");
    // The last item is the fourth active one.
    EXPECT_EQ(rec_.progress.back().fileidx, 4);
    // Without open buttons the dialog goes before OnCopyDone.
    EXPECT_EQ(nc_->Dialog(), nullptr);
}

TEST_F(NetCopyHttp, WithOpenButtonsTheDialogStaysUntilClosed) {
    nc_->ShowDialog = true;
    nc_->ShowOpenFile = true;
    nc_->ShowOpenFolder = true;
    nc_->ShowCompletion = true;
    nc_->ShowTime = true;
    nc_->ShowElapsedTime = true;
    AddItem(HttpUrl(L"/public/big.bin"));
    bool dialogAtDone = false;
    nc_->OnCopyDone = [&](fw::TComponent*) { dialogAtDone = nc_->Dialog() != nullptr; };
    nc_->Execute();
    EXPECT_TRUE(dialogAtDone);
    TNetCopyDialog* d = nc_->Dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->Done());
    EXPECT_EQ(d->CancelButton->Caption(), L"Close");
    EXPECT_TRUE(d->OpenFileButton->Enabled());
    EXPECT_TRUE(d->OpenFolderButton->Enabled());
    EXPECT_EQ(d->Caption(), L"Downloading : 100% completed");
    EXPECT_EQ(d->ProgressBar->Position(), 100);
    EXPECT_EQ(d->ProgressLabel->Caption(), L"Progress : 300.00 Kb of 300.00 Kb");
    EXPECT_EQ(d->FileLabel->Caption(), L"File : big.bin from 127.0.0.1:" + Env(L"NC_HTTP_PORT"));
    EXPECT_EQ(d->RateLabel->Caption().rfind(L"Transfer rate : ", 0), 0u);
    EXPECT_EQ(d->TimeLabel->Caption(), L"Estimated time left : " + d->ElapsedLabel->Caption().substr(15));
    // The Close button frees it.
    SendMessageW(d->CancelButton->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return nc_->Dialog() == nullptr; }));
    EXPECT_EQ(Joined(rec_.log), L"start 0 | progress | done 0 | cancel | ");
}

TEST_F(NetCopyHttp, SecondExecuteInsideARunIsRefused) {
    TNetCopyItem& item = AddItem(HttpUrl(L"/public/big.bin"));
    int refused = 0;
    rec_.onProgress = [&](int n) {
        if (n != 2) return;
        try {
            nc_->Execute();
        } catch (const fw::EInvalidOperation&) {
            ++refused;
        }
    };
    nc_->Execute();
    EXPECT_EQ(refused, 1);
    EXPECT_TRUE(item.Success);
    EXPECT_TRUE(ReadBytes(out_ + L"\\big.bin") == Served(L"public/big.bin"));
    EXPECT_EQ(Joined(rec_.log), L"start 0 | progress | done 0 | copydone | ");
    EXPECT_FALSE(nc_->Running());
}

TEST_F(NetCopyHttp, ProxyCredentialsGoToTheProxyOnly) {
    ClearFaultLog();
    nc_->Proxy = L"127.0.0.1:" + Env(L"NC_FAULT_PORT");
    nc_->ProxyUserID = L"pu";
    nc_->ProxyPassword = L"pp";
    // Port 9 is never reached: the proxy answers.
    TNetCopyItem& item = AddItem(L"http://127.0.0.1:9/data/2000");
    nc_->Execute();
    EXPECT_TRUE(item.Success);
    EXPECT_TRUE(ReadBytes(out_ + L"\\2000") == Pattern(2000));
    std::vector<LoggedRequest> log = FaultLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].line, L"GET http://127.0.0.1:9/data/2000 HTTP/1.1");
    EXPECT_EQ(log[0].proxyAuth, L"Basic cHU6cHA=");
    EXPECT_EQ(log[0].auth, L"");
}

TEST_F(NetCopyHttp, AnExceptionFromAHandlerLeavesExecuteAndFreesTheDialog) {
    nc_->ShowDialog = true;
    AddItem(HttpUrl(L"/public/big.bin"));
    rec_.onProgress = [&](int n) {
        if (n == 2) throw fw::Exception(L"handler failed");
    };
    EXPECT_THROW(nc_->Execute(), fw::Exception);
    EXPECT_EQ(nc_->Dialog(), nullptr);
    EXPECT_FALSE(nc_->Running());
    EXPECT_TRUE(Entries(out_).empty());
    // The component works again afterwards.
    rec_.onProgress = nullptr;
    nc_->Execute();
    EXPECT_TRUE(nc_->Items()[0].Success);
}

}  // namespace
}  // namespace oru
