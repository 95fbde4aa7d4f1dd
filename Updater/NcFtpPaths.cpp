// Remote paths and server replies of the FTP transfers.
#include "Updater/NcFtpPaths.h"

#include "Updater/NetCopyHelpers.h"

namespace oru {
namespace {

std::wstring_view LastLine(std::wstring_view reply) {
    while (!reply.empty() && (reply.back() == L'\r' || reply.back() == L'\n')) reply.remove_suffix(1);
    size_t p = reply.find_last_of(L"\r\n");
    return p == std::wstring_view::npos ? reply : reply.substr(p + 1);
}

}  // namespace

TNcFtpPath SplitFtpPath(const std::wstring& url) {
    const std::wstring path = BackslashToSlash(url);
    const size_t slash = path.rfind(L'/');
    if (slash == std::wstring::npos) return {L"", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::vector<std::wstring> FtpFolderParts(const std::wstring& folder) {
    const std::wstring path = BackslashToSlash(folder);
    std::vector<std::wstring> parts;
    if (!path.empty() && path[0] == L'/') parts.push_back(L"/");
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'/', start);
        if (end == std::wstring::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

int FtpReplyCode(std::wstring_view reply) {
    std::wstring_view line = LastLine(reply);
    if (line.size() < 3) return 0;
    int code = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (line[i] < L'0' || line[i] > L'9') return 0;
        code = code * 10 + (line[i] - L'0');
    }
    if (line.size() > 3 && line[3] != L' ') return 0;
    return code;
}

std::optional<uint64_t> ParseFtpSizeReply(std::wstring_view reply) {
    if (FtpReplyCode(reply) != 213) return std::nullopt;
    return ParseByteCount(LastLine(reply).substr(3));
}

}  // namespace oru
