// The version-check file, build numbers, installer names and server address.
#include "Updater/oruVersionCheck.h"

#include <algorithm>

#include "framework/core/text_codec.h"

namespace oru {
namespace {

std::wstring_view Trim(std::wstring_view s) {
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
    return s;
}

std::string_view TrimAnsi(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool EndsWithNoCase(std::wstring_view s, std::wstring_view tail) {
    if (s.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        wchar_t c = s[s.size() - tail.size() + i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != tail[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<TVersionCheckFile> ParseVersionCheckFile(std::string_view bytes, std::wstring& error) {
    if (bytes.size() > kVersionCheckMaxBytes) {
        error = L"The version-check file is larger than " + std::to_wstring(kVersionCheckMaxBytes) + L" bytes";
        return std::nullopt;
    }
    if (bytes.find('\0') != std::string_view::npos) {
        error = L"The version-check file is not a text file";
        return std::nullopt;
    }
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(fw::AnsiToWide(bytes.substr(start)));
            break;
        }
        lines.push_back(fw::AnsiToWide(bytes.substr(start, end - start)));
        start = end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
    }
    auto line = [&](size_t n) { return n <= lines.size() ? lines[n - 1] : std::wstring(); };
    TVersionCheckFile f;
    f.LatestBuildText = line(2);
    f.DownloadBaseUrl = line(4);
    f.InstallerFileName = line(6);
    f.UpdateNotice = line(8);
    if (lines.size() > 9) f.ReleaseNotes.assign(lines.begin() + 9, lines.end());
    return f;
}

std::optional<uint64_t> ParseBuildNumber(std::wstring_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    uint64_t v = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        const uint64_t d = static_cast<uint64_t>(c - L'0');
        if (v > (UINT64_MAX - d) / 10) return std::nullopt;
        v = v * 10 + d;
    }
    return v;
}

bool IsPlainInstallerName(std::wstring_view name) {
    if (name.empty() || name.size() > 200) return false;
    if (!EndsWithNoCase(name, L".exe") && !EndsWithNoCase(name, L".msi")) return false;
    if (name.find(L"..") != std::wstring_view::npos) return false;
    for (wchar_t c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    }
    // Leading or trailing blanks and dots name another file than they show.
    if (name.front() == L' ' || name.front() == L'.' || name.back() == L' ') return false;
    return true;
}

std::wstring VersionCheckUrl(const std::wstring& server) {
    return L"http://" + server + L"/download/applications/quorvex/versioncheck/versioncheck.txt";
}

std::optional<std::wstring> ReadUpdateServerOverride(std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = TrimAnsi(text.substr(start, end - start));
        start = end + 1;
        constexpr std::string_view key = "UpdateServer=";
        if (line.substr(0, key.size()) != key) continue;
        std::string_view value = TrimAnsi(line.substr(key.size()));
        if (value.empty() || value.size() > 253) return std::nullopt;
        size_t colon = value.find(':');
        std::string_view host = value.substr(0, colon);
        if (host.empty()) return std::nullopt;
        for (char c : host)
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'))
                return std::nullopt;
        if (colon != std::string_view::npos) {
            std::string_view port = value.substr(colon + 1);
            if (port.empty() || port.size() > 5) return std::nullopt;
            unsigned p = 0;
            for (char c : port) {
                if (c < '0' || c > '9') return std::nullopt;
                p = p * 10 + static_cast<unsigned>(c - '0');
            }
            if (p == 0 || p > 65535) return std::nullopt;
        }
        return fw::AnsiToWide(value);
    }
    return std::nullopt;
}

std::optional<unsigned> ReadTransferTimeoutOverride(std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = TrimAnsi(text.substr(start, end - start));
        start = end + 1;
        constexpr std::string_view key = "TransferTimeout=";
        if (line.substr(0, key.size()) != key) continue;
        std::string_view value = TrimAnsi(line.substr(key.size()));
        if (value.empty() || value.size() > 6) return std::nullopt;
        unsigned ms = 0;
        for (char c : value) {
            if (c < '0' || c > '9') return std::nullopt;
            ms = ms * 10 + static_cast<unsigned>(c - '0');
        }
        if (ms < 100 || ms > 600000) return std::nullopt;
        return ms;
    }
    return std::nullopt;
}

}  // namespace oru
