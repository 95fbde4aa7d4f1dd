// What the transfer tests share: the peers' work folder and ports from the
// environment, file helpers, and a recorder of TNetCopy's events.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Updater/NetCopy.h"
#include "framework/core/file_io.h"

namespace oru::test {

inline std::wstring Env(const wchar_t* name) {
    wchar_t buf[1024] = {};
    DWORD n = GetEnvironmentVariableW(name, buf, 1024);
    return n > 0 && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

// A folder of the peers' script (NC_WORK) as Wine shows it.
inline std::wstring WorkDir() {
    std::wstring win = L"Z:" + Env(L"NC_WORK");
    for (wchar_t& c : win) {
        if (c == L'/') c = L'\\';
    }
    return win;
}

// Byte i is i % 251, as the fault server sends it.
inline std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i % 251);
    return s;
}

inline std::string ReadBytes(const std::wstring& path) { return fw::ReadFileBytes(std::filesystem::path(path)); }

inline std::set<std::wstring> Entries(const std::wstring& dir) {
    std::set<std::wstring> names;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(dir))) {
        names.insert(e.path().filename().wstring());
    }
    return names;
}

inline std::wstring Joined(const std::vector<std::wstring>& v) {
    std::wstring s;
    for (const auto& e : v) s += e + L" | ";
    return s;
}

// Records the component's events in order; runs of progress events show as
// one "progress" entry, their figures are kept apart.
struct Recorder {
    std::vector<std::wstring> log;
    struct Progress {
        int fileidx;
        uint64_t size, total;
    };
    std::vector<Progress> progress;
    std::function<void(int)> onProgress;

    void Add(const std::wstring& s) { log.push_back(s); }
    void Attach(TNetCopy& nc) {
        nc.OnFileStart = [this](fw::TComponent*, int i) { Add(L"start " + std::to_wstring(i)); };
        nc.OnFileDone = [this](fw::TComponent*, int i) { Add(L"done " + std::to_wstring(i)); };
        nc.OnCopyDone = [this](fw::TComponent*) { Add(L"copydone"); };
        nc.OnCopyCancel = [this](fw::TComponent*) { Add(L"cancel"); };
        nc.OnCopyProgress = [this](fw::TComponent*, int idx, uint64_t size, uint64_t total) {
            if (log.empty() || log.back() != L"progress") Add(L"progress");
            progress.push_back({idx, size, total});
            if (onProgress) onProgress(static_cast<int>(progress.size()));
        };
        nc.OnCopyOverWrite = [this](fw::TComponent*, const std::wstring& f, bool&) { Add(L"overwrite " + f); };
        nc.OnNoNewFileFound = [this](fw::TComponent*, const std::wstring& f, TDateTime, TDateTime) {
            Add(L"nonew " + f);
        };
        nc.OnURLNotFound = [this](fw::TComponent*, const std::wstring& u) { Add(L"notfound " + u); };
        nc.OnError = [this](fw::TComponent*, int c) { Add(L"error " + std::to_wstring(c)); };
        nc.OnErrorInfo = [this](fw::TComponent*, int c, const std::wstring& t) {
            Add(L"info " + std::to_wstring(c) + L" " + t);
        };
        nc.OnConnectError = [this](fw::TComponent*) { Add(L"connecterror"); };
        nc.OnMultiFTPFileDone = [this](fw::TComponent*, const std::wstring& f) { Add(L"multidone " + f); };
        nc.OnRemovedFile = [this](fw::TComponent*, int i) { Add(L"removed " + std::to_wstring(i)); };
        nc.OnRemovedFileFailed = [this](fw::TComponent*, int i) { Add(L"notremoved " + std::to_wstring(i)); };
    }
    // The progress figures, each checked against the per-block rule: every
    // event but the last adds 1 to `block` bytes; the last adds none (the
    // empty read) or ends a short block.
    std::wstring CheckBlocks(uint64_t block, uint64_t total) const {
        for (size_t i = 0; i < progress.size(); ++i) {
            uint64_t before = i ? progress[i - 1].size : 0;
            uint64_t step = progress[i].size - before;
            bool last = i + 1 == progress.size();
            if (progress[i].total != total) return L"total of event " + std::to_wstring(i);
            if (step > block || (!last && step == 0)) return L"step of event " + std::to_wstring(i);
        }
        return L"";
    }
};

}  // namespace oru::test
