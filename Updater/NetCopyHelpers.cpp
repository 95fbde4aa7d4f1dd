// Platform-free helpers of the transfer component.
#include "Updater/NetCopyHelpers.h"

#include <cmath>
#include <cstdio>
#include <cwctype>

#include "Updater/NcBase64.h"
#include "framework/core/paths.h"

namespace oru {
namespace {

std::wstring Fixed2(double v, wchar_t sep) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::wstring out;
    for (const char* p = buf; *p; ++p) out += *p == '.' ? sep : static_cast<wchar_t>(*p);
    return out;
}

std::wstring AfterScheme(const std::wstring& url) {
    size_t p = url.find(L"://");
    return p == std::wstring::npos ? url : url.substr(p + 3);
}

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;  // days since 1970-01-01
}

}  // namespace

int64_t NcRound(double x) {
    double f = std::floor(x);
    double diff = x - f;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0.0)) f += 1.0;
    return static_cast<int64_t>(f);
}

std::wstring FormatByteSize(uint64_t n, wchar_t sep) {
    if (n < 1000) return std::to_wstring(n) + L" bytes";
    if (n < 1000000) return Fixed2(static_cast<double>(n) / 1000.0, sep) + L" Kb";
    return Fixed2(static_cast<double>(n) / 1000000.0, sep) + L" Mb";
}

std::wstring FormatTransferRate(int64_t n, wchar_t sep) {
    if (n < 1000) return std::to_wstring(n) + L" bytes/sec";
    if (n < 1000000) return Fixed2(static_cast<double>(n) / 1000.0, sep) + L" Kb/sec";
    return Fixed2(static_cast<double>(n) / 1000000.0, sep) + L" Mb/sec";
}

std::wstring FormatTimeLeft(uint64_t elapsedMs, uint64_t done, uint64_t total) {
    double t = static_cast<double>(elapsedMs);
    if (done > 0 && total > 0 && done < total) {
        t = static_cast<double>(total - done) / static_cast<double>(done) * static_cast<double>(elapsedMs);
    }
    int64_t ms = NcRound(t);
    int64_t s = NcRound(static_cast<double>(ms) / 1000.0);
    int64_t m = NcRound(static_cast<double>(s) / 60.0);
    int64_t h = NcRound(static_cast<double>(m) / 60.0);
    if (m == 0 && h == 0) return std::to_wstring(s) + L" sec.";
    if (h > 0) return std::to_wstring(m / 60) + L"h " + std::to_wstring(m % 60);
    return std::to_wstring(m) + L" minutes";
}

std::wstring UrlLastSegment(const std::wstring& text) {
    std::wstring s = text;
    size_t p = s.rfind(L'/');
    if (p != std::wstring::npos) s = s.substr(p + 1);
    p = s.rfind(L'\\');
    if (p != std::wstring::npos) s = s.substr(p + 1);
    return s;
}

std::wstring JoinFolderAndName(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() ? name : fw::IncludeTrailingBackslash(folder) + name;
}

std::wstring BackslashToSlash(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\\') c = L'/';
    }
    return text;
}

std::wstring UrlHost(const std::wstring& url) {
    std::wstring s = AfterScheme(url);
    size_t slash = s.find(L'/');
    size_t at = s.find(L'@');
    if (slash != std::wstring::npos && at != std::wstring::npos && at < slash) s = s.substr(at + 1);
    return s.substr(0, s.find(L'/'));
}

std::wstring HostOfUrl(const std::wstring& url) {
    std::wstring s = AfterScheme(url);
    return s.substr(0, s.find_first_of(L"/\\"));
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
    }
    return true;
}

bool FolderExists(const std::wstring& path, const TNcFileSystem& fs) { return fs.DirectoryExists(path); }

bool CreateFolderPath(const std::wstring& path, TNcFileSystem& fs) {
    if (path.empty()) return true;
    const std::wstring dir = fw::ExcludeTrailingBackslash(path);
    if (dir.size() < 3 || fs.DirectoryExists(dir)) return true;
    const std::wstring parent = fw::ExtractFilePath(dir);
    if (parent == dir) return true;
    return CreateFolderPath(parent, fs) && fs.MakeDirectory(dir);
}

std::wstring UniqueFileName(const std::wstring& path, const TNcFileSystem& fs) {
    const std::wstring stem = fw::ChangeFileExt(path, L"");
    const std::wstring ext = fw::ExtractFileExt(path);
    for (int n = 1; n <= 100000; ++n) {
        std::wstring candidate = stem + L"(" + std::to_wstring(n) + L")" + ext;
        if (!fs.FileExists(candidate)) return candidate;
    }
    return std::wstring();
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int ms) {
    const int64_t epoch = DaysFromCivil(1899, 12, 30);
    double days = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - epoch);
    double time = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + ms) / 86400000.0;
    return days + time;
}

std::wstring VersionText(unsigned packed) {
    return std::to_wstring((packed >> 24) & 0xFF) + L"." + std::to_wstring((packed >> 16) & 0xFF) + L"." +
           std::to_wstring((packed >> 8) & 0xFF) + L"." + std::to_wstring(packed & 0xFF);
}

std::wstring BasicAuthorizationHeader(const std::wstring& user, const std::wstring& password) {
    return L"Authorization: Basic " + NcBase64Encode(std::wstring_view(user + L":" + password)) + L"\r\n";
}

std::wstring ProxyAuthorizationHeader(const TNetCopyOptions& o, const std::wstring& url) {
    if (o.Proxy.empty() || o.ProxyUserID.empty() || o.ProxyPassword.empty()) return std::wstring();
    if (!StartsWithNoCase(url, L"http://")) return std::wstring();
    return L"Proxy-Authorization: Basic " + NcBase64Encode(std::wstring_view(o.ProxyUserID + L":" + o.ProxyPassword)) +
           L"\r\n";
}

std::wstring FileCountText(const TNetCopyOptions& o, int itemCount, int ordinal, int activeCount) {
    if (itemCount < 2) return std::wstring();
    return std::to_wstring(ordinal) + L" " + o.DlgFileOfLabel + L" " + std::to_wstring(activeCount) + L" : ";
}

std::wstring FileLineText(const TNetCopyOptions& o, const std::wstring& countText, const std::wstring& name,
                          const std::wstring& connector, const std::wstring& place) {
    std::wstring line = o.DlgFileLabel + L" " + countText + name;
    if (!connector.empty()) line += L" " + connector + L" " + place;
    return line;
}

TNcBlockProgress BlockProgress(const TNetCopyOptions& o, const std::wstring& kindWord, uint64_t done, uint64_t total,
                               uint64_t elapsedMs, int barPosition, wchar_t sep) {
    TNcBlockProgress p;
    p.BarPosition = barPosition;
    if (total > 0) {
        p.BarPosition = static_cast<int>(NcRound(static_cast<double>(done) / static_cast<double>(total) * 100.0));
        p.ProgressLine = o.DlgProgressLabel + L" " + FormatByteSize(done, sep) + L" " + o.DlgFileOfLabel + L" " +
                         FormatByteSize(total, sep);
    } else {
        p.ProgressLine = o.DlgProgressLabel + L" " + FormatByteSize(done, sep);
    }
    p.CompletionCaption = kindWord + L" : " + std::to_wstring(p.BarPosition) + L"% " + o.DlgCompleted;
    p.Rate = NcRound(static_cast<double>(done) / static_cast<double>(elapsedMs + 1) * 1000.0);
    p.RateLine = o.DlgRateLabel + L" " + FormatTransferRate(p.Rate, sep);
    p.TimeLine = o.DlgTimeLabel + L" " + FormatTimeLeft(elapsedMs, done, total);
    p.ElapsedLine = o.DlgElapsedTimeLabel + L" " + FormatTimeLeft(elapsedMs, 0, total);
    return p;
}

}  // namespace oru
