// Helpers of the transfer component that need no Windows: the size, rate and
// time texts of the progress dialog, file and URL names, folder creation
// over a small file-system interface, date-times and the dialog lines.
#pragma once

#include <cstdint>
#include <string>

#include "Updater/NetCopyItems.h"
#include "Updater/NetCopyOptions.h"

namespace oru {

// Nearest integer, ties to the even neighbour.
int64_t NcRound(double x);

// Below 1000: "n bytes"; below 1000000: n / 1000 as "%.2f" + " Kb"; else
// n / 1000000 as "%.2f" + " Mb". The decimal separator is the user's.
std::wstring FormatByteSize(uint64_t n, wchar_t decimalSeparator = L'.');
// The same thresholds with " bytes/sec", " Kb/sec", " Mb/sec".
std::wstring FormatTransferRate(int64_t n, wchar_t decimalSeparator = L'.');
// "s sec.", "m minutes" or "h<m div 60>h <m mod 60>" for the time left of a
// transfer (or the elapsed time, with done 0).
std::wstring FormatTimeLeft(uint64_t elapsedMs, uint64_t done, uint64_t total);

// The text after the last "/" and then after the last "\" (queries stay).
std::wstring UrlLastSegment(const std::wstring& text);
std::wstring JoinFolderAndName(const std::wstring& folder, const std::wstring& name);
std::wstring BackslashToSlash(std::wstring text);
// Host of a URL for the file line: after "://", after a user part that ends
// before the first "/", up to the first "/".
std::wstring UrlHost(const std::wstring& url);
// Host of a URL for the login caption: after "://", up to "/" or "\".
std::wstring HostOfUrl(const std::wstring& url);
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);

// The file system as the helpers see it; Windows supplies the real one.
class TNcFileSystem {
public:
    virtual ~TNcFileSystem() = default;
    // Any entry, file or folder.
    virtual bool FileExists(const std::wstring& path) const = 0;
    virtual bool DirectoryExists(const std::wstring& path) const = 0;
    virtual bool MakeDirectory(const std::wstring& path) = 0;
};

bool FolderExists(const std::wstring& path, const TNcFileSystem& fs);
// Creates the folder and every missing parent; true when it exists after.
bool CreateFolderPath(const std::wstring& path, TNcFileSystem& fs);
// name(1).ext, name(2).ext, ...: the first that does not exist; empty when
// none of the first 100000 is free.
std::wstring UniqueFileName(const std::wstring& path, const TNcFileSystem& fs);

// Days since 30 December 1899 for a date and time of day.
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int ms);

// "2.3.0.1": the four bytes of the packed version.
std::wstring VersionText(unsigned packed);

// "Authorization: Basic " + Base64 of the UTF-8 form of "user:password", CR LF.
std::wstring BasicAuthorizationHeader(const std::wstring& user, const std::wstring& password);
// The proxy's Basic credentials as a request header, only where they go to
// the proxy alone: a proxy is named, both credentials are set and the URL is
// plain "http://" (through an https tunnel the header would reach the
// server). Empty otherwise. Credentials never go into the URL: WinINet would
// hand a URL's user part to the server.
std::wstring ProxyAuthorizationHeader(const TNetCopyOptions& options, const std::wstring& url);

// The item count of the file line: empty with fewer than 2 items, else
// "<ordinal> of <active> : ".
std::wstring FileCountText(const TNetCopyOptions& options, int itemCount, int ordinal, int activeCount);
// DlgFileLabel + " " + count + name, and " " + connector + " " + place when
// a connector is given.
std::wstring FileLineText(const TNetCopyOptions& options, const std::wstring& countText, const std::wstring& name,
                          const std::wstring& connector, const std::wstring& place);

// The dialog's texts after one block of a transfer.
struct TNcBlockProgress {
    int BarPosition = 0;  // 0 to 100 when the total is known
    std::wstring ProgressLine;
    std::wstring CompletionCaption;  // for ShowCompletion
    std::wstring RateLine;
    std::wstring TimeLine;
    std::wstring ElapsedLine;
    int64_t Rate = 0;  // bytes per second
};

// `kindWord` is DlgDwnload, DlgUpload or DlgCopying; `barPosition` is the
// bar's position before the block (kept when the total is unknown).
TNcBlockProgress BlockProgress(const TNetCopyOptions& options, const std::wstring& kindWord, uint64_t done,
                               uint64_t total, uint64_t elapsedMs, int barPosition, wchar_t decimalSeparator = L'.');

}  // namespace oru
