// Transfer benchmark: TNetCopy's HTTP download, FTP download, file copy and
// HTTP upload of one large file, each next to a plain loop of 64 KB reads
// through the same API (WinINet, or ReadFile/WriteFile and CopyFileEx) in
// the same run, in MB/s, with the process's private memory before and after.
//   netcopy_bench <http url of the file> <ftp port> <upload url folder>
//                 <local file> <output folder>
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Updater/NetCopy.h"
#include "framework/core/paths.h"
#include "framework/gui/application.h"

namespace {

constexpr DWORD kPiece = 64 * 1024;

struct Inet {
    HINTERNET h;
    explicit Inet(HINTERNET handle) : h(handle) {}
    ~Inet() {
        if (h) InternetCloseHandle(h);
    }
    Inet(const Inet&) = delete;
    Inet& operator=(const Inet&) = delete;
};

HANDLE CreateOut(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
}

// Reads a WinINet handle to its end in 64 KB pieces into a file.
bool DrainTo(HINTERNET from, const std::wstring& path) {
    HANDLE out = CreateOut(path);
    std::vector<char> buf(kPiece);
    DWORD got = 0;
    bool ok = out != INVALID_HANDLE_VALUE;
    while (ok && InternetReadFile(from, buf.data(), kPiece, &got) && got > 0) {
        DWORD written = 0;
        ok = WriteFile(out, buf.data(), got, &written, nullptr) && written == got;
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    return ok;
}

bool PlainHttpDownload(const std::wstring& url, const std::wstring& out) {
    Inet session(InternetOpenW(L"bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    Inet request(InternetOpenUrlW(session.h, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    return request.h && DrainTo(request.h, out);
}

bool PlainFtpDownload(int port, const std::wstring& name, const std::wstring& out) {
    Inet session(InternetOpenW(L"bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    Inet ftp(InternetConnectW(session.h, L"127.0.0.1", static_cast<INTERNET_PORT>(port), nullptr, nullptr,
                              INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0));
    if (!ftp.h) return false;
    Inet file(FtpOpenFileW(ftp.h, name.c_str(), GENERIC_READ,
                           FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    return file.h && DrainTo(file.h, out);
}

// With `flush` the copy is on the disk before the loop ends, as the
// component's is before it replaces the target.
bool PlainFileCopy(const std::wstring& from, const std::wstring& to, bool flush) {
    HANDLE in = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE out = CreateOut(to);
    std::vector<char> buf(kPiece);
    DWORD got = 0;
    bool ok = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE;
    while (ok && ReadFile(in, buf.data(), kPiece, &got, nullptr) && got > 0) {
        DWORD written = 0;
        ok = WriteFile(out, buf.data(), got, &written, nullptr) && written == got;
    }
    if (ok && flush) ok = FlushFileBuffers(out) != FALSE;
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    return ok;
}

bool PlainHttpUpload(const std::wstring& url, const std::wstring& from) {
    URL_COMPONENTSW uc{};
    wchar_t host[256] = {}, path[1024] = {};
    uc.dwStructSize = sizeof uc;
    uc.lpszHostName = host;
    uc.dwHostNameLength = 256;
    uc.lpszUrlPath = path;
    uc.dwUrlPathLength = 1024;
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &uc)) return false;
    Inet session(InternetOpenW(L"bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    Inet conn(InternetConnectW(session.h, host, uc.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    Inet request(HttpOpenRequestW(conn.h, L"PUT", path, nullptr, nullptr, nullptr,
                                  INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    HANDLE in = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (!request.h || in == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(in, &size);
    INTERNET_BUFFERSW buffers{};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = static_cast<DWORD>(size.QuadPart);
    bool ok = HttpSendRequestExW(request.h, &buffers, nullptr, 0, 0) != FALSE;
    std::vector<char> buf(kPiece);
    DWORD got = 0;
    while (ok && ReadFile(in, buf.data(), kPiece, &got, nullptr) && got > 0) {
        DWORD written = 0;
        ok = InternetWriteFile(request.h, buf.data(), got, &written) && written == got;
    }
    CloseHandle(in);
    return ok && HttpEndRequestW(request.h, nullptr, 0, 0);
}

// One run of one item; the time is taken from the item's start to its end,
// so that Wine's wait of 2 s when a shown dialog is taken down (a virtual
// display without a window manager) does not count.
bool NetCopyRun(oru::TNetCopyProtocol protocol, bool dialog, const std::function<void(oru::TNetCopyItem&)>& setup,
                double& seconds) {
    auto* nc = new oru::TNetCopy(nullptr);
    nc->ShowDialog = dialog;
    oru::TNetCopyItem& item = nc->Items().Add();
    item.Protocol = protocol;
    setup(item);
    std::chrono::steady_clock::time_point start, end;
    nc->OnFileStart = [&](fw::TComponent*, int) { start = std::chrono::steady_clock::now(); };
    nc->OnFileDone = [&](fw::TComponent*, int) { end = std::chrono::steady_clock::now(); };
    nc->Execute();
    bool ok = item.Success;
    nc->Free();
    seconds = std::chrono::duration<double>(end - start).count();
    return ok;
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc;
}

// A run that tells its own time, or false when it failed.
using TimedRun = std::function<bool(double& seconds)>;

TimedRun Timed(const std::function<bool()>& run) {
    return [run](double& seconds) {
        auto start = std::chrono::steady_clock::now();
        bool ok = run();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return ok;
    };
}

// The best of five runs of each, in MB/s, the two taking turns so that the
// machine's other work falls on both alike; 0 when a run failed.
std::pair<double, double> Rates(uint64_t bytes, const TimedRun& ours, const TimedRun& plain) {
    double best[2] = {0, 0};
    for (int i = 0; i < 5; ++i) {
        for (int k = 0; k < 2; ++k) {
            double s = 0;
            if (!(k == 0 ? ours : plain)(s)) return {0, 0};
            best[k] = std::max(best[k], static_cast<double>(bytes) / 1e6 / s);
        }
    }
    return {best[0], best[1]};
}

void Line(const char* kind, double ours, const char* plainName, double plain) {
    std::printf("%-24s %9.1f MB/s   %-26s %9.1f MB/s   ratio %.2f\n", kind, ours, plainName, plain,
                plain > 0 ? ours / plain : 0.0);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: netcopy_bench <http url> <ftp port> <upload url folder> <local file> <out folder>\n");
        return 2;
    }
    const std::wstring httpUrl = argv[1];
    const int ftpPort = _wtoi(argv[2]);
    const std::wstring uploadUrl = argv[3];
    const std::wstring local = argv[4];
    const std::wstring out = argv[5];
    const std::wstring name = oru::UrlLastSegment(local);
    WIN32_FILE_ATTRIBUTE_DATA attr{};
    GetFileAttributesExW(local.c_str(), GetFileExInfoStandard, &attr);
    const uint64_t bytes = (static_cast<uint64_t>(attr.nFileSizeHigh) << 32) | attr.nFileSizeLow;
    fw::TApplication app;
    const PROCESS_MEMORY_COUNTERS memoryBefore = Memory();
    std::printf("%llu bytes, best of 5 runs each\n", static_cast<unsigned long long>(bytes));

    auto fetch = [&](oru::TNetCopyProtocol protocol, bool dialog, const std::wstring& url) -> TimedRun {
        return [=, &out, &ftpPort](double& seconds) {
            return NetCopyRun(protocol, dialog, [&](oru::TNetCopyItem& item) {
                item.URL = url;
                item.TargetDir = out;
                if (protocol == oru::TNetCopyProtocol::wpFtp) {
                    item.FTPHost = L"127.0.0.1";
                    item.FTPPort = ftpPort;
                }
            }, seconds);
        };
    };
    for (bool dialog : {false, true}) {
        auto [ours, plain] = Rates(bytes, fetch(oru::TNetCopyProtocol::wpHttp, dialog, httpUrl),
                                   Timed([&] { return PlainHttpDownload(httpUrl, out + L"\\plain-http.bin"); }));
        Line(dialog ? "HTTP download, dialog" : "HTTP download", ours, "InternetReadFile 64 KB", plain);
    }
    {
        auto [ours, plain] = Rates(bytes, fetch(oru::TNetCopyProtocol::wpFtp, false, name),
                                   Timed([&] { return PlainFtpDownload(ftpPort, name, out + L"\\plain-ftp.bin"); }));
        Line("FTP download", ours, "InternetReadFile 64 KB", plain);
    }
    {
        auto [ours, plain] = Rates(bytes, fetch(oru::TNetCopyProtocol::wpFile, false, local),
                                   Timed([&] { return PlainFileCopy(local, out + L"\\plain-copy.bin", false); }));
        Line("file copy", ours, "ReadFile/WriteFile 64 KB", plain);
        auto [oursFlushed, flushed] = Rates(bytes, fetch(oru::TNetCopyProtocol::wpFile, false, local), Timed([&] {
            return PlainFileCopy(local, out + L"\\plain-copy.bin", true);
        }));
        Line("file copy", oursFlushed, "the same, flushed", flushed);
        auto [ours2, copyEx] = Rates(bytes, fetch(oru::TNetCopyProtocol::wpFile, false, local), Timed([&] {
            return CopyFileExW(local.c_str(), (out + L"\\copyex.bin").c_str(), nullptr, nullptr, nullptr, 0) != FALSE;
        }));
        Line("file copy", ours2, "CopyFileEx", copyEx);
    }
    {
        auto upload = [&](double& seconds) {
            return NetCopyRun(oru::TNetCopyProtocol::wpHttpUpload, false, [&](oru::TNetCopyItem& item) {
                item.URL = uploadUrl + L"/" + name;
                item.HTTPCommand = oru::TNetCopyHTTPCommand::hcPut;
                item.TargetDir = fw::ExtractFilePath(local);
            }, seconds);
        };
        auto [ours, plain] =
            Rates(bytes, upload, Timed([&] { return PlainHttpUpload(uploadUrl + L"/plain.bin", local); }));
        Line("HTTP upload", ours, "InternetWriteFile 64 KB", plain);
    }
    // The fixed cost of a run: an empty file copied.
    {
        const std::wstring empty = out + L"\\empty.bin";
        CloseHandle(CreateOut(empty));
        auto start = std::chrono::steady_clock::now();
        double item = 0;
        for (int i = 0; i < 10; ++i) fetch(oru::TNetCopyProtocol::wpFile, false, empty)(item);
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / 10;
        std::printf("one run of an empty file copy: %.1f ms\n", ms);
    }
    const PROCESS_MEMORY_COUNTERS memoryAfter = Memory();
    std::printf("working set: %.1f MB before, %.1f MB after, peak %.1f MB\n", memoryBefore.WorkingSetSize / 1e6,
                memoryAfter.WorkingSetSize / 1e6, memoryAfter.PeakWorkingSetSize / 1e6);
    return 0;
}
