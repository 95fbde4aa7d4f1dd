// The library's side of the leak report: the callbacks that the leak
// tracker calls at shut-down (the library's state made anew for one report
// and freed again) and during the run (a block released twice or with an
// overwritten tail).
#include "crashreport/capture/DrevnikLeakReport.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikShared.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/LeakTracker.h"
#include "crashreport/capture/DrevnikThreadSystem.h"
#include "crashreport/capture/RaiseCapture.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

uint32_t gLeakTotalSize = 0;
uint32_t gLeakTotalCount = 0;
uintptr_t gLeakCommonAddress = ~uintptr_t{0};
TDrevnikStackList* gLeaksList = nullptr;
std::unique_ptr<TDrevnikModuleOptionsEx> gLeakOptions;
HANDLE gLeakMainThread = nullptr;
char gLeakDataFile[MAX_PATH + 64] = {};

TDrevnikModuleOptionsEx* LeakOptionsProvider() { return gLeakOptions.get(); }

bool FileExists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

void FreeLeakReportState() {
    TReportState& state = ReportState();
    CaptureSwitches().ThreadTrackingRunning.store(false);
    SetReportExceptionHandler(nullptr);
    delete gLeaksList;
    gLeaksList = nullptr;
    state.ExceptionCallStack.reset();
    state.Processes.reset();
    state.HandlerOptions.reset();
    state.CurrentReport.store(nullptr);
    state.LastExceptMessage.clear();
    state.LastExceptMessage.shrink_to_fit();
    DestroyMainThreadsList();
    if (gLeakMainThread != nullptr) CloseHandle(gLeakMainThread);
    gLeakMainThread = nullptr;
    CloseSharedOptionsBlock();
    if (gLeakOptions) {
        SetCurrentOptionsProvider(nullptr);
        gLeakOptions.reset();
    }
    LeakCallbacks().Overrun = nullptr;
    LeakCallbacks().MultiFree = nullptr;
    ReleaseEmergencyMemory();
}

// A bad release is reported where it happens: operator delete cannot throw
// into the releasing code (it is noexcept, so the throw would end the
// program), so the report runs here and the release returns.
template <class E>
void ReportBadRelease(int textIndex, const char* ownText, uintptr_t releasedAt) {
    if (!CaptureSwitches().IsCaptureStarted.load()) return;
    TReportState& state = ReportState();
    std::string text = ownText;
    if (state.ReportsThisRun > 0 && state.HandlerOptions) text = state.HandlerOptions->GetText(textIndex);
    TReportRequest request;
    request.Object = TRaisedObject::FromPtr(std::make_exception_ptr(E(fw::AnsiToWide(text))));
    request.Address = releasedAt;
    request.IsLanguage = true;
    request.ReportMode = rmAutomatic;
    request.Module = LibraryModuleHandle();
    ReportException(request);
}

}  // namespace

std::string GetLeakDataFileName() {
    char name[32];
    std::snprintf(name, sizeof name, "%08lX%08lX.bin", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr)) & 0xFFFFFFFFu));
    return GetTempFolder() + name;
}

void RaiseMemoryOverrun(int, uintptr_t releasedAt) {
    ReportBadRelease<EMemoryOverrun>(txtLeakOverrun, "Memory Overrun leak", releasedAt);
}

void RaiseMultiFree(int, uintptr_t releasedAt) {
    ReportBadRelease<EMultiFree>(txtLeakMultiFree, "Multi Free memory leak", releasedAt);
}

void DeleteLeakDataFile() {
    if (gLeakDataFile[0] != 0) DeleteFileA(gLeakDataFile);
}

void InstallLeakCallbacks() {
    TLeakCallbacks& slots = LeakCallbacks();
    const std::string file = GetLeakDataFileName();
    std::snprintf(gLeakDataFile, sizeof gLeakDataFile, "%s", file.c_str());
    slots.Overrun = RaiseMemoryOverrun;
    slots.MultiFree = RaiseMultiFree;
    slots.AfterReport = DeleteLeakDataFile;
    slots.Begin = Internal_ResetLeaks;
    slots.Add = Internal_AddLeak;
    slots.End = Internal_ShowLeaks;
    // The report runs at exit before the objects that lived when the
    // library started are destroyed, the library's own among them.
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(LeaksDone);
    }
}

void SaveLeakReportOptions() {
    if (!IsLeakCatchingOn()) return;
    if (const TDrevnikModuleOptionsEx* options = FindCurrentDrevnikLogOptions()) {
        try {
            options->SaveToFile(GetLeakDataFileName());
        } catch (...) {
        }
    }
}

void Internal_ResetLeaks() {
    if (!CaptureSwitches().IsCaptureStarted.load()) return;
    try {
        gLeakTotalSize = 0;
        gLeakTotalCount = 0;
        gLeakCommonAddress = ~uintptr_t{0};
        CaptureSwitches().ThreadTrackingRunning.store(true);
        delete gLeaksList;
        gLeaksList = new TDrevnikStackList();
        TReportState& state = ReportState();
        ResetSharedOptionsBlock(LibraryModuleHandle());
        if (FindCurrentDrevnikLogOptions() == nullptr) {
            gLeakOptions = std::make_unique<TDrevnikModuleOptionsEx>(GetLibraryModuleFileName());
            SetCurrentOptionsProvider(LeakOptionsProvider);
            const std::string file = GetLeakDataFileName();
            if (FileExists(file)) gLeakOptions->LoadFromFile(file);
        }
        state.Processes = std::make_unique<TDrevnikProcessesList>();
        CreateMainThreadsList();
        if (TDrevnikThreadsList* list = MainThreadsList()) {
            const auto lock = list->WriteLock();
            TTrackedThread& main = list->AddNewRecord();
            main.ThreadId = GetCurrentThreadId();
            DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &gLeakMainThread,
                            THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, 0);
            HANDLE own = nullptr;
            DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &own, 0, FALSE,
                            DUPLICATE_SAME_ACCESS);
            main.ThreadHandle = TThreadHandle(reinterpret_cast<uintptr_t>(own));
            main.StackTop = GetThreadStackBase();
        }
        state.HandlerOptions = std::make_unique<TDrevnikModuleOptionsEx>(std::string());
        state.HandlerOptions->Assign(&CurrentDrevnikLogOptions());
        // No handler thread: an EMemoryLeak is reported inline.
        SetReportExceptionHandler(ReportExceptionBody);
        ReserveEmergencyMemory();
    } catch (...) {
        ReportInternalError("Internal_ResetLeaks");
    }
}

void Internal_AddLeak(const char* typeText, uint32_t size, uint32_t count, const TLeakAddress* addresses) {
    if (!CaptureSwitches().IsCaptureStarted.load() || gLeaksList == nullptr) return;
    try {
        std::vector<std::unique_ptr<TCallStackEntry>> kept;
        for (int i = 0; i < kLeakAddresses; ++i) {
            if (addresses[i] == 0) continue;
            auto entry = std::make_unique<TCallStackEntry>();
            entry->ThreadId = 0;
            entry->OwnStack = 1;
            entry->IsFaultAddress = kept.empty() && i == 0 ? 1 : 0;
            entry->CodeAddress = addresses[i];
            if (ReportSeams().LookupAddress != nullptr) ReportSeams().LookupAddress(*entry, addresses[i]);
            if (entry->EntryKind < ekRoutine) continue;
            kept.push_back(std::move(entry));
        }
        if (kept.empty() || kept.front()->EntryKind != ekUnitRoutineLine) return;
        for (auto& entry : kept) {
            entry->LeakGroupStart = 1;
            AssignShortText(entry->LeakTypeText, typeText, kLeakTypeTextMax);
            entry->LeakSize = size;
            entry->LeakCount = count;
            gLeaksList->Add(std::move(entry));
        }
        gLeakTotalSize += size;
        gLeakTotalCount += count;
        if (gLeakCommonAddress == ~uintptr_t{0})
            gLeakCommonAddress = addresses[0];
        else if (gLeakCommonAddress != addresses[0])
            gLeakCommonAddress = 0;
    } catch (...) {
        ReportInternalError("Internal_AddLeak");
    }
}

void Internal_ShowLeaks() {
    if (!CaptureSwitches().IsCaptureStarted.load()) return;
    TReportState& state = ReportState();
    if (gLeakTotalSize != 0 && gLeaksList != nullptr && gLeaksList->Count() > 0) {
        try {
            SetLeakReportBegun();
            TDrevnikModuleOptionsEx& current = CurrentDrevnikLogOptions();
            current.SetLogFlags(static_cast<uint8_t>(current.LogFlags() & ~lgAssemblerAndCpu));
            const TDrevnikModuleOptions& texts = *state.HandlerOptions;
            char message[512];
            std::snprintf(message, sizeof message, "%s: %s=%d - %s=%d", texts.GetText(txtLeakCaption).c_str(),
                          texts.GetText(txtLeakTotalSize).c_str(), static_cast<int>(gLeakTotalSize),
                          texts.GetText(txtLeakCount).c_str(), static_cast<int>(gLeakTotalCount));
            TReportRequest request;
            request.Object = TRaisedObject::FromPtr(std::make_exception_ptr(EMemoryLeak(fw::AnsiToWide(message))));
            request.Address = gLeakCommonAddress == ~uintptr_t{0} ? 0 : gLeakCommonAddress;
            request.IsLanguage = false;
            request.ReportMode = rmAutomatic;
            request.Module = LibraryModuleHandle();
            request.ReadyCallStack = gLeaksList;
            // The report owns the list from here on (it frees it when done).
            gLeaksList = nullptr;
            ReportException(request);
        } catch (...) {
            ReportInternalError("Internal_ShowLeaks");
        }
    }
    try {
        FreeLeakReportState();
    } catch (...) {
        MessageBoxA(nullptr, "Error in Internal_ShowLeaks Finalization.", "Error",
                    MB_ICONWARNING | MB_TASKMODAL | MB_TOPMOST | MB_SERVICE_NOTIFICATION);
    }
}

uint32_t LeakTotalSize() { return gLeakTotalSize; }
uint32_t LeakTotalCount() { return gLeakTotalCount; }

}  // namespace drevnik
