#include "crashreport/delivery/WebUrls.h"

#include <algorithm>

#include "crashreport/delivery/DeliveryText.h"

namespace drevnik {
namespace {

using text::IsAsciiAlnum;
using text::IsAsciiDigit;

bool IsNameChar(char c) { return IsAsciiAlnum(c) || c == '-' || c == '.'; }

bool AllNameChars(std::string_view s) {
    for (char c : s) {
        if (!IsNameChar(c)) return false;
    }
    return true;
}

// A letter, then letters, digits, '+', '-' and '.'.
bool IsScheme(std::string_view s) {
    if (s.empty() || IsAsciiDigit(s[0]) || !IsAsciiAlnum(s[0])) return false;
    for (char c : s) {
        if (!IsAsciiAlnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The text between the brackets of an IPv6 host: hex digits, ':' and the dots
// of an embedded IPv4 address, with at least two colons.
bool IsIpv6Literal(std::string_view s) {
    size_t colons = 0;
    for (char c : s) {
        if (c == ':') {
            ++colons;
        } else if (c != '.' && HexValue(c) < 0) {
            return false;
        }
    }
    return colons >= 2;
}

// Decimal port text of one or more digits; false when out of range.
bool ParsePort(std::string_view digits, uint16_t& port) {
    if (digits.empty()) return false;
    uint32_t value = 0;
    for (char c : digits) {
        if (!IsAsciiDigit(c)) return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
        if (value > 65535) return false;
    }
    port = static_cast<uint16_t>(value);
    return true;
}

std::string PercentDecode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// Encodes what would end a user or password early, and what trimming would eat.
std::string EncodeCredential(std::string_view s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : s) {
        auto b = static_cast<unsigned char>(c);
        if (c == '%' || c == ':' || c == '@' || c == '/' || c == '\\' || c == '?' || c == '#' || b <= ' ') {
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

bool ParseUrl(std::string_view url, std::string& scheme, std::string& user, uint16_t& port,
              std::string& path, std::string& host, std::string& password) {
    scheme.clear();
    user.clear();
    password.clear();
    host.clear();
    path.clear();
    port = 0;

    std::string s(text::Trim(url));
    if (s.empty() || s.back() != '/') s.push_back('/');
    std::string_view rest(s);

    const size_t sep = rest.find("://");
    if (sep != std::string_view::npos && IsScheme(rest.substr(0, sep))) {
        scheme = std::string(rest.substr(0, sep));
        rest.remove_prefix(sep + 3);
    }

    // The authority ends at the first '/', '?' or '#', so nothing in a query
    // or fragment can name the server.
    const size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    const std::string_view authority = rest.substr(0, authorityEnd);
    std::string after(rest.substr(authorityEnd));

    // The library's own form carries the port behind the path: ".../path:8080/".
    bool portAtEnd = false;
    if (after.size() > 2) {
        const size_t digitsEnd = after.size() - 1;
        size_t i = digitsEnd;
        while (IsAsciiDigit(after[i - 1])) --i;
        if (i < digitsEnd && after[i - 1] == ':') {
            if (!ParsePort(std::string_view(after).substr(i, digitsEnd - i), port)) return false;
            after.erase(i - 1, digitsEnd - i + 1);
            portAtEnd = true;
        }
    }

    // Credentials end at the authority's last '@', so a password may hold '@'
    // and ':' even when not encoded.
    std::string_view hostPort = authority;
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const size_t colon = userInfo.find(':');
        user = PercentDecode(userInfo.substr(0, colon));
        if (colon != std::string_view::npos) password = PercentDecode(userInfo.substr(colon + 1));
        hostPort.remove_prefix(at + 1);
    }

    std::string_view hostName = hostPort;
    std::string_view portText;
    bool hasPort = false;
    bool validHost = false;
    if (!hostPort.empty() && hostPort.front() == '[') {
        // An IPv6 literal: "[::1]" or "[::1]:8080".
        const size_t close = hostPort.find(']');
        if (close == std::string_view::npos || !IsIpv6Literal(hostPort.substr(1, close - 1))) return false;
        hostName = hostPort.substr(1, close - 1);
        const std::string_view behind = hostPort.substr(close + 1);
        if (!behind.empty() && behind.front() != ':') return false;
        hasPort = !behind.empty();
        if (hasPort) portText = behind.substr(1);
        validHost = true;
    } else {
        const size_t colon = hostPort.find(':');
        if (colon != std::string_view::npos) {
            hostName = hostPort.substr(0, colon);
            portText = hostPort.substr(colon + 1);
            hasPort = true;
        }
        validHost = AllNameChars(hostName);
    }
    if (hasPort) {
        uint16_t inner = 0;
        if (!ParsePort(portText, inner)) return false;
        // An explicit port at the end (the options' port) wins.
        if (!portAtEnd) port = inner;
    }

    std::string_view remaining = after;
    if (validHost) {
        host = std::string(hostName);
        if (!remaining.empty() && remaining.front() == '/') remaining.remove_prefix(1);
    } else {
        // A host with characters no host has stays empty and nothing is cut.
        if (!portAtEnd) port = 0;
        after.insert(0, hostPort);
        remaining = after;
    }
    // A fragment is never sent to the server.
    remaining = remaining.substr(0, remaining.find('#'));
    if (!remaining.empty() && remaining.back() == '/') remaining.remove_suffix(1);
    path = std::string(remaining);
    return true;
}

void AddPortAndCredentials(std::string& url, std::string_view user, std::string_view password,
                           uint16_t port) {
    if (port != 0) url += ":" + std::to_string(port);
    if (user.empty() && password.empty()) return;
    std::string credentials = EncodeCredential(user) + ":" + EncodeCredential(password) + "@";
    size_t sep = url.find("://");
    if (sep == std::string::npos) {
        url.insert(0, credentials);
    } else {
        url.insert(sep + 3, credentials);
    }
}

void SplitPathQuery(std::string_view url, std::string& folder, std::string& page, std::string& query) {
    size_t q = url.find('?');
    query = q == std::string_view::npos ? std::string() : std::string(url.substr(q));
    std::string_view before = url.substr(0, q);

    size_t sep = before.find("://");
    if (sep != std::string_view::npos) {
        // Absolute URL: the folder starts at the first '/' after the host.
        size_t rootSlash = before.find('/', sep + 3);
        if (rootSlash == std::string_view::npos) {
            folder = "/";
            page.clear();
            return;
        }
        before.remove_prefix(rootSlash);
    }
    size_t slash = before.rfind('/');
    if (slash == std::string_view::npos) {
        folder.clear();
        page = std::string(before);
    } else {
        folder = std::string(before.substr(0, slash + 1));
        page = std::string(before.substr(slash + 1));
    }
}

std::string UrlEncodeField(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (IsAsciiAlnum(c)) {
            out.push_back(c);
        } else {
            auto b = static_cast<unsigned char>(c);
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        }
    }
    return out;
}

}  // namespace drevnik
