// Feeds arbitrary text to the URL helpers: they must not throw or read out of
// bounds, a host they give must be one a connection can name, and what
// AddPortAndCredentials builds must read back with the same credentials.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "crashreport/delivery/WebUrls.h"

namespace {

bool NameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == ':';  // an IPv6 host
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string scheme, user, password, path, host;
    std::uint16_t port = 0;
    if (drevnik::ParseUrl(text, scheme, user, port, path, host, password)) {
        for (char c : host) {
            if (!NameChar(c)) __builtin_trap();
        }
    }
    std::string folder, page, query;
    drevnik::SplitPathQuery(text, folder, page, query);

    // The first two bytes pick a port; the rest splits at the first NUL into
    // a user and a password for a fixed base URL.
    if (size >= 2) {
        const std::uint16_t given = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
        const std::string_view rest = text.substr(2);
        const std::size_t nul = rest.find('\0');
        const std::string_view givenUser = rest.substr(0, nul);
        const std::string_view givenPassword = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
        std::string url = "http://host.example/folder";
        drevnik::AddPortAndCredentials(url, givenUser, givenPassword, given);
        if (!drevnik::ParseUrl(url, scheme, user, port, path, host, password)) __builtin_trap();
        if (user != givenUser || password != givenPassword || host != "host.example" || port != given) __builtin_trap();
    }
    return 0;
}
