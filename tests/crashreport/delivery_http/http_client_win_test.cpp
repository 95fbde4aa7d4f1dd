// The HTTP client under Wine against real servers on 127.0.0.1 (started by
// http_peers.sh): werkzeug's form parser echoes what arrived, tinyproxy asks
// for a login, and an HTTPS server shows a self-signed certificate.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <utility>

#include "crashreport/delivery/THTTPConnectionBase.h"
#include "crashreport/delivery/WebUrls.h"
#include "crashreport/delivery/WinInet_win.h"
#include "framework/core/exceptions.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"

namespace drevnik {
namespace {

uint16_t PortOf(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? static_cast<uint16_t>(std::atoi(value)) : 0;
}

std::string Url(const char* scheme, uint16_t port, const std::string& path = "") {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + "/" + path;
}

// The peer's escaping: letters and digits stay, every other byte is %XX.
std::string Esc(const std::string& s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : s) {
        auto b = static_cast<unsigned char>(c);
        if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
            out.push_back(c);
        } else {
            out += {'%', kHex[b >> 4], kHex[b & 15]};
        }
    }
    return out;
}

class THTTPPeers : public testing::Test {
protected:
    void SetUp() override {
        a_ = PortOf("KYN_HTTP_A_PORT");
        b_ = PortOf("KYN_HTTP_B_PORT");
        https_ = PortOf("KYN_HTTPS_PORT");
        proxy_ = PortOf("KYN_PROXY_PORT");
        closed_ = PortOf("KYN_CLOSED_PORT");
        if (a_ == 0) GTEST_SKIP() << "run through http_peers.sh";
    }
    uint16_t a_ = 0, b_ = 0, https_ = 0, proxy_ = 0, closed_ = 0;
};

// Records the stages a connection reports.
class TRecordingConnection : public THTTPConnectionBase {
public:
    using THTTPConnectionBase::THTTPConnectionBase;
    void NotifyProgress(uint8_t kind, int value) override { Progress.emplace_back(kind, value); }
    std::vector<std::pair<int, int>> Progress;
};

// Bytes a form must carry unchanged: separators of both encodings and 8-bit text.
const std::string kAwkward = std::string("a&b=c+d %25 \"q\" \xE9\xFC\x80 /?#\r\nend");

TEST_F(THTTPPeers, RequestsArriveIntactAtAFormParser) {
    const std::string binary = [] {
        std::string all;
        for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
        return all + "\r\n--boundary--\r\n";
    }();
    TestFolder root("upload");
    const std::string file = root.NativePath() + "upload.bin";
    std::ofstream(file, std::ios::binary) << binary;

    // The library's own URL form carries the port at the end.
    std::string ownForm = "http://127.0.0.1/tracker";
    AddPortAndCredentials(ownForm, "", "", a_);

    struct Row {
        std::string base, page;
        TRequestMethod method;
        std::vector<std::string> fields, files;
        std::string pageName, echo;
    };
    const Row rows[] = {
        {Url("http", a_), "echo/get.php", rmGet, {"plain=1", "odd name=" + kAwkward}, {}, "get.php",
         "server:A method:GET path:%2Fecho%2Fget%2Ephp arg:plain=1 arg:odd%20name=" + Esc(kAwkward) + " ctype:"},
        {ownForm, "view_all_set.php?f=3", rmGet, {"type=1"}, {}, "view_all_set.php",
         "server:A method:GET path:%2Ftracker%2Fview%5Fall%5Fset%2Ephp arg:f=3 arg:type=1 ctype:"},
        // A port in the middle of the URL, with a folder.
        {Url("http", a_, "tracker"), "login.php", rmPostUrlEncoded,
         {"return=login_select_proj_page.php", "we&ird=na+me=" + kAwkward, "empty="}, {}, "login.php",
         "server:A method:POST path:%2Ftracker%2Flogin%2Ephp form:return=login%5Fselect%5Fproj%5Fpage%2Ephp form:we%26ird=" +
             Esc("na+me=" + kAwkward) + " form:empty= ctype:application%2Fx%2Dwww%2Dform%2Durlencoded"},
        {Url("http", a_), "echo/bug_report.php", rmPostMultipart, {"summary=[v1 - 1]: E (1)", "description=" + kAwkward},
         {"file=" + file, "gone=no_such_file.zip"}, "bug_report.php",
         "server:A method:POST path:%2Fecho%2Fbug%5Freport%2Ephp form:summary=" + Esc("[v1 - 1]: E (1)") +
             " form:description=" + Esc(kAwkward) + " file:file=upload%2Ebin=" + Esc(binary) +
             " file:gone==" + " ctype:multipart%2Fform%2Ddata"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.base + row.page);
        auto c = THTTPConnectionBase::Create(row.base, "");
        c->SetPage(row.page, row.method);
        for (const std::string& field : row.fields) c->Fields.push_back(field);
        for (const std::string& f : row.files) c->Files.push_back(f);
        THTTPResponse response;
        ASSERT_TRUE(c->SendRequest(response, false)) << response.ErrorCode << " " << response.ErrorMessage;
        EXPECT_EQ(response.StatusCode, 200);
        EXPECT_EQ(response.PageName, row.pageName);
        EXPECT_EQ(response.PageText, row.echo);
        EXPECT_EQ(c->Response.PageText, row.echo);
        EXPECT_NE(response.RawHeaders.find("\r\n"), std::string::npos);
        c->Close();
    }
}

TEST_F(THTTPPeers, SendsBasicAuthorizationFromTheUrl) {
    struct Row { std::string user, password; int status; std::string echo; };
    const Row rows[] = {
        {"joe@corp/x", "p:ss@w/rd", 200,
         "server:A method:GET path:%2Fauth%2Fpage%2Ephp auth:" + Esc("joe@corp/x") + "=" + Esc("p:ss@w/rd") + " ctype:"},
        {"joe@corp/x", "wrong", 403, "wrong"},
        {"", "", 401, "login"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.user + ":" + row.password);
        std::string base = "http://127.0.0.1/";
        AddPortAndCredentials(base, row.user, row.password, a_);
        auto c = THTTPConnectionBase::Create(base, "");
        c->SetPage("auth/page.php", rmGet);
        THTTPResponse response;
        ASSERT_TRUE(c->SendRequest(response, false)) << response.ErrorMessage;
        EXPECT_EQ(response.StatusCode, row.status);
        EXPECT_EQ(response.PageText, row.echo);
    }
}

TEST_F(THTTPPeers, FollowsRedirectsItsOwnWay) {
    std::string base = "http://127.0.0.1/";
    AddPortAndCredentials(base, "joe@corp/x", "p:ss@w/rd", a_);
    auto c = THTTPConnectionBase::Create(base, "");
    const std::string onB = Url("http", b_, "echo/b.php");
    struct Row { std::string page; int status; std::string pageName, echo; };
    const Row rows[] = {
        // A 302 after a POST: the target is fetched with GET and without the form.
        {"redirect302?to=%2Fecho%2Fafter.php", 200, "after.php",
         "server:A method:GET path:%2Fecho%2Fafter%2Ephp auth:" + Esc("joe@corp/x") + "=" + Esc("p:ss@w/rd") + " ctype:"},
        // A Refresh with a relative target below the current folder.
        {"refresh?to=echo/refreshed.php", 200, "refreshed.php",
         "server:A method:GET path:%2Fecho%2Frefreshed%2Ephp auth:" + Esc("joe@corp/x") + "=" + Esc("p:ss@w/rd") + " ctype:"},
        // Another server gets the request, but not the credentials.
        {"redirect302?to=" + UrlEncodeField(onB), 200, "b.php", "server:B method:GET path:%2Fecho%2Fb%2Ephp ctype:"},
        // A 303 is an answer of its own; it names the target.
        {"redirect303?to=%2Fecho%2Fseen.php", 303, "seen.php", "see other"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.page);
        c->SetPage(row.page, rmPostUrlEncoded);
        c->AddField("dropped", "1");
        THTTPResponse response;
        ASSERT_TRUE(c->SendRequest(response, false)) << response.ErrorMessage;
        EXPECT_EQ(response.StatusCode, row.status);
        EXPECT_EQ(response.PageName, row.pageName);
        EXPECT_EQ(response.PageText, row.echo);
        EXPECT_EQ(c->RequestMethod, rmGet);
        EXPECT_TRUE(c->Fields.empty());
    }
    EXPECT_EQ(c->Path, "/echo/seen.php");

    // After a visit to another server the next page is the base server's again.
    c->SetPage("echo/back.php", rmGet);
    THTTPResponse back;
    ASSERT_TRUE(c->SendRequest(back, false));
    EXPECT_EQ(back.PageText.substr(0, 9), "server:A ");
}

TEST_F(THTTPPeers, EndlessRedirectsAreCutOff) {
    auto c = THTTPConnectionBase::Create(Url("http", a_), "");
    for (const char* page : {"loop", "refreshloop"}) {
        SCOPED_TRACE(page);
        c->SetPage(page, rmGet);
        THTTPResponse response;
        EXPECT_FALSE(c->SendRequest(response, false));
        EXPECT_EQ(response.ErrorCode, ERROR_HTTP_REDIRECT_FAILED);
        EXPECT_EQ(response.ErrorMessage.substr(0, 24), "The redirection failed b");
    }
    c->SetPage("count?path=/loop", rmGet);
    THTTPResponse count;
    ASSERT_TRUE(c->SendRequest(count, false));
    EXPECT_EQ(count.PageText, "count:" + std::to_string(THTTPConnectionBase::kMaxRedirects + 1));
}

TEST_F(THTTPPeers, ReportsProgressOfEachStage) {
    auto c = THTTPConnectionBase::Create<TRecordingConnection>(Url("http", a_), "");
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(c->Progress, (P{{0, 0}, {1, 0}}));

    // 10 000 bytes go in three pieces: 41, then capped at 50, then 50 after the end.
    c->Progress.clear();
    c->SetPage("echo/big.php", rmPostUrlEncoded);
    c->AddField("a", std::string(9998, 'x'));
    THTTPResponse response;
    ASSERT_TRUE(c->SendRequest(response, true)) << response.ErrorMessage;
    ASSERT_GE(c->Progress.size(), 6u);
    EXPECT_EQ(P(c->Progress.begin(), c->Progress.begin() + 4), (P{{6, 41}, {6, 50}, {6, 50}, {6, 50}}));
    EXPECT_EQ(c->Progress[c->Progress.size() - 2], std::make_pair(6, 100));
    EXPECT_EQ(c->Progress.back(), std::make_pair(7, 0));
    EXPECT_NE(response.PageText.find("form:a=xxxxxxxx"), std::string::npos);

    // Without Content-Length the expected length is 1 and the bar stays full.
    c->Progress.clear();
    c->SetPage("nolength", rmGet);
    ASSERT_TRUE(c->SendRequest(response, true));
    EXPECT_EQ(response.PageText, std::string(10000, 'z'));
    EXPECT_EQ(c->Progress.front(), std::make_pair(6, 50));
    EXPECT_GT(c->Progress[c->Progress.size() - 2].second, 100);
    EXPECT_EQ(c->Progress.back(), std::make_pair(7, 0));

    // Without progress nothing is reported.
    c->Progress.clear();
    ASSERT_TRUE(c->SendRequest(response, false));
    EXPECT_TRUE(c->Progress.empty());

    c->Close();
    EXPECT_EQ(c->Progress, (P{{8, 0}, {9, 0}}));
}

TEST_F(THTTPPeers, TalksHttpsToASelfSignedServer) {
    ASSERT_NE(https_, 0);
    auto c = THTTPConnectionBase::Create(Url("https", https_, "secure"), "");
    EXPECT_TRUE(c->UseHttps);
    c->SetPage("form.php", rmPostMultipart);
    c->AddField("k", kAwkward);
    THTTPResponse response;
    ASSERT_TRUE(c->SendRequest(response, false)) << response.ErrorCode << " " << response.ErrorMessage;
    EXPECT_EQ(response.StatusCode, 200);
    EXPECT_EQ(response.PageText,
              "server:S method:POST path:%2Fsecure%2Fform%2Ephp form:k=" + Esc(kAwkward) + " ctype:multipart%2Fform%2Ddata");
}

TEST_F(THTTPPeers, GoesThroughAProxyWithALogin) {
    ASSERT_NE(proxy_, 0);
    struct Row { std::string user, password; int status; bool via; };
    const Row rows[] = {
        {"proxyjoe", "pr0xyPw", 200, true},
        // tinyproxy answers a wrong login with 401, and none with 407.
        {"proxyjoe", "wrong", 401, false},
        {"", "", 407, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.password);
        std::string proxyUrl = "127.0.0.1";
        AddPortAndCredentials(proxyUrl, row.user, row.password, proxy_);
        auto c = THTTPConnectionBase::Create(Url("http", b_), proxyUrl);
        EXPECT_TRUE(c->UseProxy);
        // tinyproxy refuses without reading a body, so only the login that
        // passes sends one.
        c->SetPage("echo/proxied.php", row.via ? rmPostUrlEncoded : rmGet);
        if (row.via) c->AddField("k", "v");
        THTTPResponse response;
        ASSERT_TRUE(c->SendRequest(response, false)) << response.ErrorCode << " " << response.ErrorMessage;
        EXPECT_EQ(response.StatusCode, row.status);
        if (row.via) {
            EXPECT_EQ(response.PageText, "server:B method:POST path:%2Fecho%2Fproxied%2Ephp form:k=v via "
                                         "ctype:application%2Fx%2Dwww%2Dform%2Durlencoded");
        }
    }
}

TEST_F(THTTPPeers, AnswersAndFailuresAreToldApart) {
    auto c = THTTPConnectionBase::Create(Url("http", a_), "");
    THTTPResponse response;
    c->SetPage("missing", rmGet);
    ASSERT_TRUE(c->SendRequest(response, false));
    EXPECT_EQ(response.StatusCode, 404);
    EXPECT_EQ(response.PageText, "no such page");
    EXPECT_EQ(response.ErrorCode, 0);

    c->SetPage("controls", rmGet);
    ASSERT_TRUE(c->SendRequest(response, false));
    EXPECT_EQ(response.PageText, std::string("a  b c d e"));

    // Nothing listens: the failure carries WinInet's code and text, and the
    // connection keeps the last answer it had.
    auto dead = THTTPConnectionBase::Create(Url("http", closed_), "");
    dead->Response.PageText = "kept";
    dead->SetPage("x.php", rmPostMultipart);
    dead->AddField("k", "v");
    THTTPResponse failed;
    EXPECT_FALSE(dead->SendRequest(failed, true));
    EXPECT_EQ(failed.ErrorCode, ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_EQ(failed.ErrorMessage, "The attempt to connect to the server failed.");
    EXPECT_EQ(dead->Response.PageText, "kept");
}

TEST(HTTPConnectionOpen, RefusesAUrlWithoutAHost) {
    // The port is no number, so no host is read: nothing to connect to.
    for (const char* url : {"http://127.0.0.1:99999/", "http://127.0.0.1:8o/x"}) {
        try {
            THTTPConnectionBase::Create(url, "");
            ADD_FAILURE() << url;
        } catch (const fw::Exception& e) {
            EXPECT_EQ(e.Message(), L"Cannot create an HTTP connection with the host: ") << url;
        }
    }
}

TEST(WinInetErrors, LastErrorIsReadOnlyAfterAFailedCall) {
    THTTPResponse response;
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(SetResponseError(false, response));
    EXPECT_EQ(response.ErrorCode, 0);
    EXPECT_TRUE(response.ErrorMessage.empty());
    DWORD code = 0;
    EXPECT_FALSE(CheckLastError(false, code));
    EXPECT_EQ(code, 0u);

    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_TRUE(CheckLastError(true, code));
    EXPECT_EQ(code, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SetLastError(ERROR_INTERNET_TIMEOUT);
    EXPECT_TRUE(SetResponseError(true, response));
    EXPECT_EQ(response.ErrorCode, ERROR_INTERNET_TIMEOUT);
    EXPECT_EQ(response.ErrorMessage, "The request has timed out.");
    // A code outside the table gets the system's text.
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(SetResponseError(true, response));
    EXPECT_EQ(response.ErrorCode, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(response.ErrorMessage.empty());
}

TEST(WinInetLibrary, IsReferenceCounted) {
    ASSERT_TRUE(LoadWinInet());
    ASSERT_TRUE(LoadWinInet());
    EXPECT_NE(WinInet().InternetOpenA, nullptr);
    UnloadWinInet();
    EXPECT_TRUE(WinInetLoaded());
    UnloadWinInet();
    EXPECT_FALSE(WinInetLoaded());
    UnloadWinInet();  // one too many does no harm
    EXPECT_FALSE(WinInetLoaded());
}

}  // namespace
}  // namespace drevnik
