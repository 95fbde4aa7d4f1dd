// The platform-free half of the HTTP client: URLs, forms, request bodies and
// redirect targets. The WinInet half is in THTTPConnectionBase_win.cpp.
#include "crashreport/delivery/THTTPConnectionBase.h"

#include "crashreport/delivery/Base64.h"
#include "crashreport/delivery/DeliveryText.h"
#include "crashreport/delivery/HtmlFormScan.h"
#include "crashreport/delivery/MultipartForm.h"
#include "crashreport/delivery/WebUrls.h"

namespace drevnik {
namespace {

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (!text::IsAsciiDigit(c)) return false;
    }
    return true;
}

}  // namespace

THTTPConnectionBase::THTTPConnectionBase(const std::string& baseUrl, const std::string& proxyUrl) {
    std::string scheme, path;
    ParseUrl(baseUrl, scheme, UserName, Port, path, Host, Password);
    BasePath = path.substr(0, path.find('?'));
    if (BasePath.empty() || BasePath.back() != '/') BasePath.push_back('/');
    UseHttps = text::IEquals(scheme, "https");
    if (Port == 0) Port = UseHttps ? 443 : 80;

    // A proxy text made only of a colon and a port means no proxy.
    if (!proxyUrl.empty() && proxyUrl.front() != ':') {
        std::string proxyScheme, proxyPath;
        ParseUrl(proxyUrl, proxyScheme, ProxyUser, ProxyPort, proxyPath, ProxyServer, ProxyPassword);
        if (ProxyPort == 0) ProxyPort = 8080;
        // Credentials with an empty proxy name ("user:pw@:8080") configure no proxy either.
        UseProxy = !ProxyServer.empty();
    }
    connected_ = TServer{text::Lower(Host), Port, UseHttps};
}

void THTTPConnectionBase::NotifyProgress(uint8_t, int) {}

void THTTPConnectionBase::SetPage(const std::string& page, TRequestMethod method) {
    Path = BasePath + page;
    RequestMethod = method;
    Fields.clear();
    Files.clear();
}

THTTPRequestPlan THTTPConnectionBase::ComposeRequest(const std::string& folder, const std::string& page,
                                                     const std::string& query, const std::string& boundary) const {
    THTTPRequestPlan plan;
    std::string fullQuery = query;
    std::string name, value;
    switch (RequestMethod) {
    case rmGet:
        plan.Verb = "GET";
        for (const std::string& line : Fields) {
            SplitFieldLine(line, name, value);
            fullQuery += fullQuery.empty() ? "?" : "&";
            fullQuery += UrlEncodeField(name) + "=" + UrlEncodeField(value);
        }
        break;
    case rmPostUrlEncoded:
        plan.Verb = "POST";
        plan.Header = "Content-Type: application/x-www-form-urlencoded";
        for (const std::string& line : Fields) {
            SplitFieldLine(line, name, value);
            if (!plan.Body.empty()) plan.Body += "&";
            // Names are encoded too: one holding '&', '=' or '+' would split the form.
            plan.Body += UrlEncodeField(name) + "=" + UrlEncodeField(value);
        }
        break;
    case rmPostMultipart:
        plan.Verb = "POST";
        plan.Header = "Content-Type: multipart/form-data; boundary=" + boundary;
        plan.Body = BuildMultipartBody(boundary, Fields, Files);
        break;
    }
    plan.ObjectName = folder + page + fullQuery;
    if (plan.ObjectName.empty() || plan.ObjectName.front() != '/') plan.ObjectName.insert(0, "/");
    return plan;
}

THTTPConnectionBase::TServer THTTPConnectionBase::TargetServer() const {
    if (Path.find("://") != std::string::npos) {
        std::string scheme, user, password, path, host;
        uint16_t port = 0;
        if (ParseUrl(Path, scheme, user, port, path, host, password) && !host.empty()) {
            bool https = text::IEquals(scheme, "https");
            return TServer{text::Lower(host), port != 0 ? port : static_cast<uint16_t>(https ? 443 : 80), https};
        }
    }
    return TServer{text::Lower(Host), Port, UseHttps};
}

void THTTPConnectionBase::ApplyRedirect(const std::string& location, std::string& folder, std::string& page,
                                        std::string& query) {
    const TServer current = TargetServer();
    std::string target(text::Trim(location));
    std::string newFolder;
    SplitPathQuery(target, newFolder, page, query);
    // A folder without a leading '/' lies below the current one.
    if (!newFolder.empty()) folder = newFolder.front() == '/' ? newFolder : folder + newFolder;
    if (target.find("://") == std::string::npos) {
        target = folder + page + query;
        // A relative target on another server stays on that server.
        if (!(current == TServer{text::Lower(Host), Port, UseHttps})) {
            if (target.empty() || target.front() != '/') target.insert(0, "/");
            // An IPv6 host goes back into its brackets.
            const std::string host = current.host.find(':') == std::string::npos ? current.host : "[" + current.host + "]";
            target = (current.https ? "https://" : "http://") + host + ":" + std::to_string(current.port) + target;
        }
    }
    Path = target;
    RequestMethod = rmGet;
    Fields.clear();
    Files.clear();
}

std::string THTTPConnectionBase::RefreshTarget(const std::string& refresh) {
    size_t at = text::IFind(refresh, "url=");
    if (at != std::string::npos) return std::string(text::Trim(std::string_view(refresh).substr(at + 4)));
    std::string_view whole = text::Trim(refresh);
    // "Refresh: 5" only reloads the same page; following it would never end.
    if (AllDigits(whole.substr(0, whole.find_first_of(";, ")))) return {};
    return std::string(whole);
}

std::string THTTPConnectionBase::BasicAuthorization() const {
    if (UserName.empty() && Password.empty()) return {};
    return "Basic " + Base64EncodeString(UserName + ":" + Password);
}

std::string THTTPConnectionBase::ProxyAuthorization() const {
    if (ProxyUser.empty() && ProxyPassword.empty()) return {};
    return "Basic " + Base64EncodeString(ProxyUser + ":" + ProxyPassword);
}

void THTTPConnectionBase::AddField(const std::string& name, const std::string& value) {
    Fields.push_back(name + "=" + value);
}

void THTTPConnectionBase::AddCustomFields(const std::vector<std::string>& lines) {
    // The last four lines are the library's own fields, read by name elsewhere.
    if (lines.size() < 5) return;
    std::string name, value, existing, ignored;
    for (size_t i = 0; i + 4 < lines.size(); ++i) {
        SplitFieldLine(lines[i], name, value);
        std::erase_if(Fields, [&](const std::string& line) {
            SplitFieldLine(line, existing, ignored);
            return text::IEquals(existing, name);
        });
        AddField(name, value);
    }
}

void THTTPConnectionBase::CopyInputField(const std::string& name) {
    std::string value;
    if (FindInputValue(Response.PageText, name, value) && !value.empty()) AddField(name, value);
}

void THTTPConnectionBase::CopyTextAreaField(const std::string& name) {
    std::string value;
    if (FindTextAreaValue(Response.PageText, name, value)) AddField(name, value);
}

void THTTPConnectionBase::CopySelectField(const std::string& name) {
    std::string value;
    if (FindSelectSelectedValue(Response.PageText, name, value)) {
        AddField(name, value);
    } else {
        CopyInputField(name);
    }
}

void THTTPConnectionBase::CopySelectFieldIfSet(const std::string& name) {
    std::string value;
    if (FindSelectSelectedValue(Response.PageText, name, value)) {
        if (!value.empty()) AddField(name, value);
    } else {
        CopyInputField(name);
    }
}

void THTTPConnectionBase::SelectOptionByText(const std::string& name, const std::string& text) {
    std::string value;
    if (FindSelectOptionValueByText(Response.PageText, name, text, value)) {
        AddField(name, value);
    } else if (FindSelectSelectedValue(Response.PageText, name, value)) {
        // The select is there but no option shows that text.
        AddField(name, std::string());
    }
}

bool THTTPConnectionBase::BumpSummaryCounter(const std::string& name) {
    std::string value;
    FindInputValue(Response.PageText, name, value);
    // The counter is the number after " - " that runs to the next ']' or the end.
    for (size_t dash = value.find(" - "); dash != std::string::npos; dash = value.find(" - ", dash + 1)) {
        size_t start = dash + 3;
        size_t end = value.find(']', start);
        if (end == std::string::npos) end = value.size();
        std::string_view digits = std::string_view(value).substr(start, end - start);
        if (!AllDigits(digits)) continue;
        size_t significant = digits.find_first_not_of('0');
        if (significant != std::string_view::npos && digits.size() - significant > 4) return false;
        int counter = 0;
        for (char c : digits) counter = counter * 10 + (c - '0');
        if (counter >= 9999) return false;
        value.replace(start, end - start, std::to_string(counter + 1));
        break;
    }
    AddField(name, value);
    return true;
}

void THTTPConnectionBase::AddSummaryField(const std::string& name, const std::string& version,
                                          const std::string& typeText, const std::string& id) {
    AddField(name, "[v" + version + " - 1]: " + typeText + " (" + id + ")");
}

void THTTPConnectionBase::AddSearchField(const std::string& name, const std::string& /*version*/,
                                         const std::string& typeText, const std::string& id) {
    AddField(name, typeText + " (" + id + ")");
}

std::string THTTPConnectionBase::JoinTexts(const std::string& a, const std::string& b) {
    if (b.empty()) return a;
    return a + "\r\n\r\n---\r\n\r\n" + b;
}

bool THTTPConnectionBase::ResponseMatches(const std::string& pageName, const std::string& contains,
                                          const std::string& notContains) const {
    if (!pageName.empty() && !text::IEquals(pageName, Response.PageName)) return false;
    if (!contains.empty() && text::IFind(Response.PageText, contains) == std::string::npos) return false;
    if (!notContains.empty()) return text::IFind(Response.PageText, notContains) == std::string::npos;
    return true;
}

}  // namespace drevnik
