#include "crashreport/capture/DrevnikThreadHooks.h"

#include <new>
#include <string>

#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/EHook.h"
#include "crashreport/capture/MainModuleExport.h"

namespace drevnik {
namespace {

using TCreateThread = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD);
using TResumeThread = DWORD(WINAPI*)(HANDLE);
using TExitThread = void(WINAPI*)(DWORD);
using TBeginThreadEx = uintptr_t(__cdecl*)(void*, unsigned, TBeginThreadRoutine, void*, unsigned, unsigned*);

template <class T>
T Kernel32Proc(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

TBeginThreadEx RealBeginThreadEx() {
    static const auto proc = reinterpret_cast<TBeginThreadEx>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("msvcrt.dll"), "_beginthreadex")));
    return proc;
}

thread_local bool tLibraryResume = false;

// What a begin-thread call asked for, seen by the CreateThread it makes in
// the same thread.
struct TPendingBeginThread {
    TBeginThreadRoutine Routine;
    void* Argument;
};
thread_local const TPendingBeginThread* tPendingBeginThread = nullptr;

// The start routine and argument travel with the thread, so a thread runs
// what it was asked to run even when its record is gone.
struct TStartBlock {
    LPTHREAD_START_ROUTINE Start;
    void* Parameter;
};
struct TBeginBlock {
    TBeginThreadRoutine Routine;
    void* Argument;
};

bool Tracking() { return CaptureSwitches().ThreadTrackingRunning.load() && MainThreadsList() != nullptr; }

void NoteThreadStart() {
    TDrevnikThreadsList* list = MainThreadsList();
    if (!CaptureSwitches().ThreadTrackingRunning.load() || list == nullptr) return;
    const auto guard = list->WriteLock();
    const int index = list->IndexOfThreadId(GetCurrentThreadId());
    if (index >= 0) list->GetItem(index).StackTop = GetThreadStackBase();
}

DWORD WINAPI ThreadStartWrapper(void* parameter) {
    const TStartBlock block = *static_cast<TStartBlock*>(parameter);
    delete static_cast<TStartBlock*>(parameter);
    NoteThreadStart();
    return block.Start(block.Parameter);
}

unsigned __stdcall BeginThreadFuncWrapper(void* argument) {
    const TBeginBlock block = *static_cast<TBeginBlock*>(argument);
    delete static_cast<TBeginBlock*>(argument);
    NoteThreadStart();
    return block.Routine(block.Argument);
}

// Copies the calling thread's stack from `from` up to its base into the record.
void CopyResumerStack(TTrackedThread& record, uintptr_t from) {
    record.ResumerStack.clear();
    record.ResumerStackStart = 0;
    const uintptr_t base = GetThreadStackBase();
    if (from == 0 || from >= base) return;
    const auto* start = reinterpret_cast<const uint8_t*>(from);
    const size_t size = base - from;
    if (!IsReadableMemory(start, size)) return;
    record.ResumerStack.assign(start, start + size);
    record.ResumerStackStart = from;
}

}  // namespace

HANDLE RealCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                        LPVOID parameter, DWORD flags, LPDWORD threadId) {
    static const auto proc = Kernel32Proc<TCreateThread>("CreateThread");
    return proc(security, stackSize, start, parameter, flags, threadId);
}

DWORD RealResumeThread(HANDLE thread) {
    static const auto proc = Kernel32Proc<TResumeThread>("ResumeThread");
    return proc(thread);
}

void RealExitThread(DWORD exitCode) {
    static const auto proc = Kernel32Proc<TExitThread>("ExitThread");
    proc(exitCode);
    __builtin_unreachable();
}

void SetLibraryResumeFlag(bool value) { tLibraryResume = value; }
bool LibraryResumeFlag() { return tLibraryResume; }

HANDLE WINAPI HookedCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                                 LPVOID parameter, DWORD flags, LPDWORD threadId) {
    if (!Tracking()) return RealCreateThread(security, stackSize, start, parameter, flags, threadId);
    TDrevnikThreadsList* list = MainThreadsList();
    list->PurgeDeadThreads();
    auto record = list->NewRecord();
    record->Parameter = reinterpret_cast<uintptr_t>(parameter);
    DWORD localId = 0;
    if (threadId == nullptr) threadId = &localId;

    // Other flags (a stack reservation) are kept; the thread starts suspended
    // so that its record is in the list before it runs.
    const DWORD realFlags = flags | CREATE_SUSPENDED;
    HANDLE thread = nullptr;
    if (const TPendingBeginThread* pending = tPendingBeginThread) {
        // The C runtime's begin-thread: its own start routine runs our wrapper.
        record->ThreadFunc = reinterpret_cast<uintptr_t>(pending->Routine);
        record->Parameter = reinterpret_cast<uintptr_t>(pending->Argument);
        thread = RealCreateThread(security, stackSize, start, parameter, realFlags, threadId);
    } else {
        record->StartRoutine = reinterpret_cast<uintptr_t>(start);
        auto* block = new (std::nothrow) TStartBlock{start, parameter};
        if (block == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        thread = RealCreateThread(security, stackSize, ThreadStartWrapper, block, realFlags, threadId);
        if (thread == nullptr) delete block;
    }
    if (thread == nullptr) return nullptr;

    record->ThreadId = *threadId;
    record->ThreadHandle = TThreadHandle::DuplicateOf(reinterpret_cast<uintptr_t>(thread));
    {
        const auto guard = list->WriteLock();
        TTrackedThread& added = list->Add(std::move(record));
        if (const auto forward = MainModuleExport("DrevnikLog_CallCreateThread", &DrevnikLog_CallCreateThread)) {
            const TTrackedThreadWire wire = ToWire(added);
            forward(&wire);
        }
    }
    if ((flags & CREATE_SUSPENDED) == 0) HookedResumeThread(thread);
    return thread;
}

__attribute__((noinline)) DWORD WINAPI HookedResumeThread(HANDLE thread) {
    TDrevnikThreadsList* list = MainThreadsList();
    if (Tracking() && !tLibraryResume) {
        // From the slot of this call's return address up to the stack base.
        const auto returnSlot = reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) + sizeof(void*);
        const auto guard = list->WriteLock();
        const int index = list->IndexOfHandle(reinterpret_cast<uintptr_t>(thread));
        if (index >= 0) {
            TTrackedThread& record = list->GetItem(index);
            record.ResumerThreadId = GetCurrentThreadId();
            record.ForeignCopy = false;
            CopyResumerStack(record, returnSlot);
            if (const auto forward = MainModuleExport("DrevnikLog_CallResumeThread", &DrevnikLog_CallResumeThread)) {
                const TTrackedThreadWire wire = ToWire(record);
                forward(thread, &wire);
            }
        }
    }
    return RealResumeThread(thread);
}

void WINAPI HookedExitThread(DWORD exitCode) {
    if (Tracking()) {
        MainThreadsList()->RemoveCurrentThread();
        if (!CaptureSwitches().ProgramFinalizationBegun.load()) {
            if (const auto forward = MainModuleExport("DrevnikLog_CallExitThread", &DrevnikLog_CallExitThread))
                forward();
        }
    }
    RealExitThread(exitCode);
}

uintptr_t __cdecl HookedBeginThreadEx(void* security, unsigned stackSize, TBeginThreadRoutine routine, void* argument,
                                      unsigned flags, unsigned* threadId) {
    const TBeginThreadEx real = RealBeginThreadEx();
    if (real == nullptr) return 0;
    if (!Tracking() || routine == nullptr) return real(security, stackSize, routine, argument, flags, threadId);
    auto* block = new (std::nothrow) TBeginBlock{routine, argument};
    if (block == nullptr) return 0;
    const TPendingBeginThread pending{routine, argument};
    tPendingBeginThread = &pending;
    const uintptr_t thread = real(security, stackSize, BeginThreadFuncWrapper, block, flags, threadId);
    tPendingBeginThread = nullptr;
    if (thread == 0) delete block;
    return thread;
}

bool HookThreadImports() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe = path;
    exe = exe.substr(exe.find_last_of("\\/") + 1);
    struct TImport {
        const char* Exporter;
        const char* Name;
        void* Replacement;
        std::vector<std::string> Modules;
    };
    const TImport imports[] = {
        {"kernel32.dll", "CreateThread", reinterpret_cast<void*>(&HookedCreateThread), {exe, "msvcrt.dll"}},
        {"kernel32.dll", "ResumeThread", reinterpret_cast<void*>(&HookedResumeThread), {exe, "msvcrt.dll"}},
        {"kernel32.dll", "ExitThread", reinterpret_cast<void*>(&HookedExitThread), {exe, "msvcrt.dll"}},
        {"msvcrt.dll", "_beginthreadex", reinterpret_cast<void*>(&HookedBeginThreadEx), {exe}},
    };
    bool all = true;
    for (const TImport& import : imports) {
        void* old = nullptr;
        try {
            if (!HookImport(import.Modules, import.Exporter, true, old, import.Replacement, import.Name)) all = false;
        } catch (const EHookError&) {
            all = false;
        }
    }
    return all;
}

}  // namespace drevnik

using namespace drevnik;

void __stdcall DrevnikLog_CallCreateThread(const TTrackedThreadWire* record) {
    TDrevnikThreadsList* list = MainThreadsList();
    if (!CaptureSwitches().ThreadTrackingRunning.load() || list == nullptr || record == nullptr) return;
    list->PurgeDeadThreads();
    auto copy = FromWire(*record);
    const auto guard = list->WriteLock();
    list->Add(std::move(copy));
}

void __stdcall DrevnikLog_CallResumeThread(HANDLE thread, const TTrackedThreadWire* record) {
    TDrevnikThreadsList* list = MainThreadsList();
    if (!CaptureSwitches().ThreadTrackingRunning.load() || LibraryResumeFlag() || list == nullptr || record == nullptr)
        return;
    const auto guard = list->WriteLock();
    const int index = list->IndexOfHandle(reinterpret_cast<uintptr_t>(thread));
    if (index < 0) return;
    auto copy = FromWire(*record);
    copy->ForeignCopy = true;
    // Our own handle stays: the sender's may be closed before ours.
    copy->ThreadHandle = std::move(list->GetItem(index).ThreadHandle);
    list->GetItem(index) = std::move(*copy);
}

void __stdcall DrevnikLog_CallExitThread() {
    TDrevnikThreadsList* list = MainThreadsList();
    if (CaptureSwitches().ThreadTrackingRunning.load() && list != nullptr) list->RemoveCurrentThread();
}
