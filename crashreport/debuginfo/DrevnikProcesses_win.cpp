// The processes through PSAPI and the tool-help snapshots, all bound by
// name. Snapshots, process handles and PSAPI are released before a call
// returns.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstring>

#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/debuginfo/DrevnikModuleSystem.h"
#include "crashreport/debuginfo/DrevnikProcesses.h"
#include "crashreport/debuginfo/DrevnikSystemFacts.h"
#include "crashreport/debuginfo/DrevnikWinHandles_win.h"

namespace drevnik {
namespace {

struct TProcessApi {
    using TGetProcessMemoryInfo = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    using TGetModuleFileNameExA = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
    using TEnumProcesses = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
    using TCreateSnapshot = HANDLE(WINAPI*)(DWORD, DWORD);
    using TThreadWalk = BOOL(WINAPI*)(HANDLE, THREADENTRY32*);
    using TProcessWalk = BOOL(WINAPI*)(HANDLE, tagPROCESSENTRY32*);
    using TModuleWalk = BOOL(WINAPI*)(HANDLE, tagMODULEENTRY32*);

    TLoadedLibrary Psapi{LoadLibraryW(L"PSAPI.dll")};
    TGetProcessMemoryInfo GetProcessMemoryInfo = BindProc<TGetProcessMemoryInfo>(Psapi.Get(), "GetProcessMemoryInfo");
    TGetModuleFileNameExA GetModuleFileNameExA = BindProc<TGetModuleFileNameExA>(Psapi.Get(), "GetModuleFileNameExA");
    TEnumProcesses EnumProcesses = BindProc<TEnumProcesses>(Psapi.Get(), "EnumProcesses");
    HMODULE Kernel = GetModuleHandleW(L"kernel32.dll");
    TCreateSnapshot CreateSnapshot = BindProc<TCreateSnapshot>(Kernel, "CreateToolhelp32Snapshot");
    TThreadWalk Thread32First = BindProc<TThreadWalk>(Kernel, "Thread32First");
    TThreadWalk Thread32Next = BindProc<TThreadWalk>(Kernel, "Thread32Next");
    TProcessWalk Process32First = BindProc<TProcessWalk>(Kernel, "Process32First");
    TProcessWalk Process32Next = BindProc<TProcessWalk>(Kernel, "Process32Next");
    TModuleWalk Module32First = BindProc<TModuleWalk>(Kernel, "Module32First");
    TModuleWalk Module32Next = BindProc<TModuleWalk>(Kernel, "Module32Next");

    bool CanWalkProcesses() const { return CreateSnapshot && Process32First && Process32Next; }
};

uint64_t WorkingSetOf(const TProcessApi& api, HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (api.GetProcessMemoryInfo == nullptr || !api.GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        return 0;
    }
    return counters.WorkingSetSize;
}

void FillFileFacts(TDrevnikProcessInfo& record) {
    GetFileVersionFacts(record.ExePath, record.ExeDescription, record.ExeVersion);
}

void AddProcessByOpening(const TProcessApi& api, TDrevnikProcessesList& list, DWORD id, std::string_view name) {
    const TKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    if (!process) {
        return;
    }
    std::string path;
    if (api.GetModuleFileNameExA != nullptr) {
        char buffer[MAX_PATH] = {};
        const DWORD length = api.GetModuleFileNameExA(process.Get(), nullptr, buffer, MAX_PATH);
        path.assign(buffer, std::min<DWORD>(length, MAX_PATH));
    }
    path = Trim(path.empty() ? name : path);
    if (path.empty()) {
        return;
    }
    auto record = std::make_unique<TDrevnikProcessInfo>();
    record->ExePath = path;
    FillFileFacts(*record);
    record->ProcId = id;
    record->PriorityClass = GetPriorityClass(process.Get());
    record->WorkingSetBytes = WorkingSetOf(api, process.Get());
    record->ThreadCount = 0;
    list.Add(std::move(record));
}

// The full path of a process's executable from a module snapshot of that
// process; the bare name when it is not found.
std::string FindProcessExePath(const TProcessApi& api, DWORD id, const std::string& exeName) {
    if (api.CreateSnapshot == nullptr || api.Module32First == nullptr || api.Module32Next == nullptr) {
        return exeName;
    }
    const TKernelHandle snapshot(api.CreateSnapshot(TH32CS_SNAPMODULE, id));
    if (!snapshot) {
        return exeName;
    }
    tagMODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = api.Module32First(snapshot.Get(), &entry); ok; ok = api.Module32Next(snapshot.Get(), &entry)) {
        if (SameText(std::string_view(entry.szModule, strnlen(entry.szModule, sizeof entry.szModule)), exeName)) {
            return Trim(std::string_view(entry.szExePath, strnlen(entry.szExePath, sizeof entry.szExePath)));
        }
    }
    return exeName;
}

// A record from the snapshot entry alone, for processes this one may not
// open. The working set is read where the process opens for a limited query.
void AddProcessFromEntry(const TProcessApi& api, TDrevnikProcessesList& list, const tagPROCESSENTRY32& entry) {
    auto record = std::make_unique<TDrevnikProcessInfo>();
    const std::string name(entry.szExeFile, strnlen(entry.szExeFile, sizeof entry.szExeFile));
    const bool hasExtension = !ExtractFileExt(name).empty();
    record->ExePath = hasExtension ? FindProcessExePath(api, entry.th32ProcessID, name) : name;
    if (hasExtension) {
        FillFileFacts(*record);
    }
    record->ProcId = entry.th32ProcessID;
    record->PriorityClass = PriorityClassFromBase(entry.pcPriClassBase);
    const TKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    record->WorkingSetBytes = process ? WorkingSetOf(api, process.Get()) : 0;
    record->ThreadCount = entry.cntThreads;
    list.Add(std::move(record));
}

void EnumerateProcessesPsapi(const TProcessApi& api, TDrevnikProcessesList& list) {
    if (api.EnumProcesses == nullptr) {
        return;
    }
    DWORD ids[1025];
    DWORD bytes = 0;
    if (!api.EnumProcesses(ids, sizeof ids, &bytes)) {
        return;
    }
    for (DWORD i = 0; i < bytes / sizeof(DWORD) && i < 1025; ++i) {
        AddProcessByOpening(api, list, ids[i], std::string_view());
    }
}

bool EnumerateProcessesToolhelp(const TProcessApi& api, TDrevnikProcessesList& list) {
    if (!api.CanWalkProcesses()) {
        return false;
    }
    const TKernelHandle snapshot(api.CreateSnapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return false;
    }
    const bool fromEntries = IsWindowsNT6OrLater();
    bool countsKnown = false;
    tagPROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = api.Process32First(snapshot.Get(), &entry); ok; ok = api.Process32Next(snapshot.Get(), &entry)) {
        if (fromEntries) {
            AddProcessFromEntry(api, list, entry);
            countsKnown = true;
        } else {
            AddProcessByOpening(api, list, entry.th32ProcessID,
                                std::string_view(entry.szExeFile, strnlen(entry.szExeFile, sizeof entry.szExeFile)));
        }
    }
    return countsKnown;
}

void CountProcessThreads(const TProcessApi& api, TDrevnikProcessesList& list) {
    if (api.CreateSnapshot == nullptr || api.Thread32First == nullptr || api.Thread32Next == nullptr ||
        list.Count() == 0) {
        return;
    }
    const TKernelHandle snapshot(api.CreateSnapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        return;
    }
    std::vector<uint32_t> owners;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = api.Thread32First(snapshot.Get(), &entry); ok; ok = api.Thread32Next(snapshot.Get(), &entry)) {
        owners.push_back(entry.th32OwnerProcessID);
    }
    AddThreadCounts(list, owners);
}

}  // namespace

void EnumerateProcessesPsapi(TDrevnikProcessesList& list) { EnumerateProcessesPsapi(TProcessApi(), list); }
bool EnumerateProcessesToolhelp(TDrevnikProcessesList& list) { return EnumerateProcessesToolhelp(TProcessApi(), list); }
void CountProcessThreads(TDrevnikProcessesList& list) { CountProcessThreads(TProcessApi(), list); }

void BuildProcessesList(TDrevnikProcessesList& list) {
    list.Clear();
    const TProcessApi api;
    bool countsKnown = false;
    if (IsWindowsNT4()) {
        EnumerateProcessesPsapi(api, list);
    } else {
        countsKnown = EnumerateProcessesToolhelp(api, list);
    }
    list.SortById();
    if (!countsKnown) {
        CountProcessThreads(api, list);
    }
}

uint32_t GetParentProcessId() {
    const TProcessApi api;
    if (!api.CanWalkProcesses()) {
        return 0;
    }
    const TKernelHandle snapshot(api.CreateSnapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return 0;
    }
    const DWORD self = GetCurrentProcessId();
    tagPROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = api.Process32First(snapshot.Get(), &entry); ok; ok = api.Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == self) {
            return entry.th32ParentProcessID;
        }
    }
    return 0;
}

}  // namespace drevnik
