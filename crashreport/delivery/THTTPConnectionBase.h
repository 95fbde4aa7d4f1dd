// HTTP client of the bug-tracker submitters: one connection to one web server
// over WinInet (bound by name at run time), GET and POST requests
// (urlencoded or multipart with files), its own handling of 302 and Refresh
// redirects, the last answer, and the helpers that fill the next form from
// fields of the page received before.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "crashreport/delivery/THTTPResponse.h"

namespace drevnik {

enum TRequestMethod : uint8_t { rmGet = 0, rmPostUrlEncoded = 1, rmPostMultipart = 2 };

// Stages that a connection reports through NotifyProgress. The submitters
// report 2 to 5 themselves.
enum THTTPProgressKind : uint8_t {
    hpConnecting = 0,     // value 0
    hpConnected = 1,
    hpLogin = 2,
    hpSelectProject = 3,
    hpSearching = 4,
    hpModifying = 5,
    hpTransfer = 6,       // value: percent, sending 0..50, receiving from 50
    hpRequestDone = 7,
    hpDisconnecting = 8,
    hpDisconnected = 9,
};

// A request as it goes to the server.
struct THTTPRequestPlan {
    std::string Verb;
    std::string ObjectName;  // folder + page + query, always starting with '/'
    std::string Header;      // Content-Type line, or empty
    std::string Body;
};

class THTTPConnectionBase {
public:
    // Parses the base URL ("http[s]://[user:password@]host[:port]/folder")
    // and the proxy URL (empty, or only ":port", means none). Does not connect:
    // Create does, so that a descendant's progress override sees the stages.
    THTTPConnectionBase(const std::string& baseUrl, const std::string& proxyUrl);
    // Closes quietly; call Close first to have its stages reported.
    virtual ~THTTPConnectionBase();
    THTTPConnectionBase(const THTTPConnectionBase&) = delete;
    THTTPConnectionBase& operator=(const THTTPConnectionBase&) = delete;

    // A connection of class T, opened. Raises Open's error.
    template <class T = THTTPConnectionBase>
    static std::unique_ptr<T> Create(const std::string& baseUrl, const std::string& proxyUrl) {
        auto connection = std::make_unique<T>(baseUrl, proxyUrl);
        connection->Open();
        return connection;
    }

    // Binds WinInet and connects to the base server; raises
    // "Cannot create an HTTP connection with the host: <host>".
    virtual void Open();
    // Raises "Cannot close the HTTP connection with the host: <host>".
    virtual void Close();
    // The send orchestration overrides this to show the stages; here it does nothing.
    virtual void NotifyProgress(uint8_t kind, int value);

    // Path := BasePath + page; the method is set and the lists emptied.
    void SetPage(const std::string& page, TRequestMethod method);
    // Sends the request that Path, RequestMethod, Fields and Files describe,
    // following 302 and Refresh redirects (at most kMaxRedirects). True when a
    // final answer came (whatever its status); false with ErrorCode and
    // ErrorMessage of `response` set when a call failed. The connection's own
    // Response takes a copy of a final answer.
    bool SendRequest(THTTPResponse& response, bool showProgress);
    static constexpr int kMaxRedirects = 10;

    // Form building; the Copy/Find helpers read Response.PageText.
    void AddField(const std::string& name, const std::string& value);
    void AddCustomFields(const std::vector<std::string>& lines);
    void CopyInputField(const std::string& name);
    void CopyTextAreaField(const std::string& name);
    void CopySelectField(const std::string& name);
    void CopySelectFieldIfSet(const std::string& name);
    void SelectOptionByText(const std::string& name, const std::string& text);
    bool BumpSummaryCounter(const std::string& name);
    void AddSummaryField(const std::string& name, const std::string& version, const std::string& typeText,
                         const std::string& id);
    void AddSearchField(const std::string& name, const std::string& version, const std::string& typeText,
                        const std::string& id);
    static std::string JoinTexts(const std::string& a, const std::string& b);
    bool ResponseMatches(const std::string& pageName, const std::string& contains,
                         const std::string& notContains) const;

    // The request for the current method, fields and files.
    THTTPRequestPlan ComposeRequest(const std::string& folder, const std::string& page, const std::string& query,
                                    const std::string& boundary) const;

    void* InternetHandle = nullptr;
    void* ConnectHandle = nullptr;
    THTTPResponse Response;
    std::string Host;
    std::string BasePath;  // no leading '/', with a trailing '/'
    uint16_t Port = 0;
    std::string Path;      // of the next request
    bool UseHttps = false;
    std::string UserName;
    std::string Password;
    TRequestMethod RequestMethod = rmGet;
    std::vector<std::string> Files;   // "name=path" lines
    std::vector<std::string> Fields;  // "name=value" lines
    bool UseProxy = false;
    std::string ProxyServer;
    uint16_t ProxyPort = 0;
    std::string ProxyUser;
    std::string ProxyPassword;

protected:
    // Server a request goes to.
    struct TServer {
        std::string host;
        uint16_t port = 0;
        bool https = false;
        bool operator==(const TServer&) const = default;
    };
    // The base server, or the one an absolute Path (a redirect) names.
    TServer TargetServer() const;
    // Points Path at a redirect target and resets the request to a plain GET.
    // `folder` keeps its value when the target names none.
    void ApplyRedirect(const std::string& location, std::string& folder, std::string& page, std::string& query);
    // The target of a Refresh header value, or empty when it only reloads.
    static std::string RefreshTarget(const std::string& refresh);
    // "Basic " + Base64 of user:password, or empty without credentials.
    std::string BasicAuthorization() const;
    // The same for the proxy's login.
    std::string ProxyAuthorization() const;

private:
    bool winInetBound_ = false;
    TServer connected_;  // the server ConnectHandle talks to
    bool Connect(const TServer& server);
    void ReleaseHandles() noexcept;
};

// A class reference of THTTPConnectionBase or a descendant: makes an open connection.
using THTTPConnectionClass = std::unique_ptr<THTTPConnectionBase> (*)(const std::string& baseUrl,
                                                                       const std::string& proxyUrl);

template <class T>
std::unique_ptr<THTTPConnectionBase> ConnectionClassOf(const std::string& baseUrl, const std::string& proxyUrl) {
    return THTTPConnectionBase::Create<T>(baseUrl, proxyUrl);
}

}  // namespace drevnik
