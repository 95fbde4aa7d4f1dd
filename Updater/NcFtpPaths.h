// Remote paths and server replies of the FTP transfers, free of Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oru {

// Where a download or a listing looks: the remote folder, up to and
// including the last "/" (a "\" counts as "/"; empty when there is none), and
// the name or pattern after it.
struct TNcFtpPath {
    std::wstring Folder;
    std::wstring Name;
};
TNcFtpPath SplitFtpPath(const std::wstring& url);

// The parts of a remote folder, to be entered (or made) one by one; an
// absolute folder begins with the part "/". "\" counts as "/".
std::vector<std::wstring> FtpFolderParts(const std::wstring& folder);

// The three-digit code of the last line of a server reply; 0 when it has none.
int FtpReplyCode(std::wstring_view reply);
// The size of a "213 <size>" reply to SIZE; nothing for any other reply or
// a size that does not fit 64 bits.
std::optional<uint64_t> ParseFtpSizeReply(std::wstring_view reply);

}  // namespace oru
