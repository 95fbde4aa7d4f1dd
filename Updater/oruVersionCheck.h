// The version-check file and the update decision without Windows: the file's
// lines, the build comparison, the installer's file name rule and the update
// server's address.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oru {

// Files larger than this are not version-check files.
constexpr size_t kVersionCheckMaxBytes = 256 * 1024;

struct TVersionCheckFile {
    std::wstring LatestBuildText;    // line 2
    std::wstring DownloadBaseUrl;    // line 4
    std::wstring InstallerFileName;  // line 6
    std::wstring UpdateNotice;       // line 8
    std::vector<std::wstring> ReleaseNotes;  // lines 10 to the end
};

// Splits 8-bit text (Windows-1252) into lines ended by CR LF, a lone LF or a
// lone CR; a missing line reads as empty. Nothing, with `error` set, when the
// bytes are too many or hold a NUL (not a text file).
std::optional<TVersionCheckFile> ParseVersionCheckFile(std::string_view bytes, std::wstring& error);

// Line 2 as a build number: decimal digits with blanks around; nothing when
// it is not one or does not fit 64 bits.
std::optional<uint64_t> ParseBuildNumber(std::wstring_view text);

// A plain file name ending in ".exe" or ".msi" (any case): no folder, drive,
// "..", control or reserved characters.
bool IsPlainInstallerName(std::wstring_view name);

// The host the version-check file is fetched from unless overridden.
inline constexpr const wchar_t* kDefaultUpdateServer = L"update.morvane.com";
// "http://" + server + the version-check file's path.
std::wstring VersionCheckUrl(const std::wstring& server);
// The value of an "UpdateServer=" line of the override file (a host with an
// optional ":port"); nothing when there is no usable line.
std::optional<std::wstring> ReadUpdateServerOverride(std::string_view fileText);
// The value of a "TransferTimeout=" line of the same file: milliseconds,
// 100 to 600000; nothing when there is no usable line.
std::optional<unsigned> ReadTransferTimeoutOverride(std::string_view fileText);

}  // namespace oru
