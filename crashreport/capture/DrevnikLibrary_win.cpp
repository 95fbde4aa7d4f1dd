// Start-up, shut-down, the framework hooks and the freeze watchdog.
#include "crashreport/capture/DrevnikLibrary.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "crashreport/capture/CpuContext.h"
#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/DrevnikLeakReport.h"
#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikShared.h"
#include "crashreport/capture/DrevnikThreadHooks.h"
#include "crashreport/capture/DrevnikThreadSystem.h"
#include "crashreport/capture/EHook.h"
#include "crashreport/capture/LeakTracker.h"
#include "crashreport/capture/RaiseCapture.h"
#include "crashreport/capture/ThreadInfoBlock.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::atomic<bool> gInstallOwnHooks{false};
std::string gStartFolder;
double gStartTime = 0;
uintptr_t gMainStackBase = 0;
HANDLE gMainThreadHandle = nullptr;
LPCSTR gLinkCursor = MAKEINTRESOURCEA(32649);  // IDC_HAND
// The library module's own options while no modules list provides them.
std::unique_ptr<TDrevnikModuleOptionsEx> gOwnOptions;

TDrevnikModuleOptionsEx* OwnOptions() { return gOwnOptions.get(); }

bool HasLibraryDataIn(TModuleHandle module) {
    return ReportSeams().HasLibraryData == nullptr || ReportSeams().HasLibraryData(module);
}

void RouteInternalError(const std::string& text) { ReportInternalError(text); }

// ---- Freeze watchdog ------------------------------------------------------------------

class TFreezeThread {
public:
    TFreezeThread() {
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        handle_ = RealCreateThread(nullptr, 256 * 1024, Run, this, CREATE_SUSPENDED, &id_);
        if (handle_ == nullptr) return;
        ExcludeThreadFromCapture(id_);
        SetThreadPriority(handle_, THREAD_PRIORITY_NORMAL);
        RealResumeThread(handle_);
    }
    ~TFreezeThread() {
        if (handle_ != nullptr) {
            SetEvent(stop_);
            // In a DLL the loader lock keeps the thread from ending: kill it.
            if (reinterpret_cast<TModuleHandle>(GetModuleHandleW(nullptr)) != LibraryModuleHandle())
                TerminateThread(handle_, 1);
            else
                WaitForSingleObject(handle_, INFINITE);
            IncludeThreadInCapture(id_);
            CloseHandle(handle_);
        }
        CloseHandle(stop_);
    }
    TFreezeThread(const TFreezeThread&) = delete;
    TFreezeThread& operator=(const TFreezeThread&) = delete;

    bool Started() const { return handle_ != nullptr; }
    DWORD Id() const { return id_; }

private:
    bool Terminated(DWORD waitMs = 0) const { return WaitForSingleObject(stop_, waitMs) == WAIT_OBJECT_0; }

    static DWORD WINAPI Run(void* self) {
        static_cast<TFreezeThread*>(self)->Execute();
        return 0;
    }

    void Execute() {
        // After a report the main thread must answer once before it can be
        // reported again: a long freeze is one freeze.
        bool reported = false;
        while (!Terminated()) {
            int counter = 0;
            for (;;) {
                HWND window = nullptr;
                while ((window = FindProcessMainWindow(GetCurrentProcessId())) == nullptr)
                    if (Terminated(50)) return;
                DWORD_PTR answer = 0;
                if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 50, &answer) != 0) {
                    reported = false;
                    counter = 0;
                    for (int i = 0; i < 6; ++i)
                        if (Terminated(50)) return;
                } else if (!reported) {
                    counter += 50;
                }
                if (Terminated()) return;
                const TDrevnikModuleOptionsEx* options = FindCurrentDrevnikLogOptions();
                const int limit = options != nullptr ? options->FreezeTimeoutSecs() * 1000 : 60000;
                if (!reported && counter >= limit) break;
            }
            ReportFreeze();
            reported = true;
        }
    }

    static void ReportFreeze() {
        const HANDLE main = gMainThreadHandle;
        if (main == nullptr || SuspendThread(main) == static_cast<DWORD>(-1)) return;
        SetLibraryResumeFlag(true);
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
        if (GetThreadContext(main, &context)) {
            const uintptr_t ip = ProgramCounterOf(context), sp = StackPointerOf(context);
            if (ip != 0 && sp != 0) {
                try {
                    const TDrevnikModuleOptionsEx* options = FindCurrentDrevnikLogOptions();
                    const std::string text =
                        options != nullptr ? options->GetText(156) : "The application seems to be frozen.";
                    TReportRequest request;
                    request.Object = TRaisedObject::FromPtr(
                        std::make_exception_ptr(EFrozenApplication(fw::AnsiToWide(text))));
                    request.Address = ip;
                    request.IsLanguage = false;
                    request.StackStart = sp;
                    request.StackTop = gMainStackBase;
                    request.Context = &context;
                    request.ReportMode = rmDesktop;
                    request.Module = LibraryModuleHandle();
                    request.FaultThreadId = MainThreadIdValue();
                    ReportException(request);
                } catch (...) {
                }
            }
        }
        HookedResumeThread(main);
        SetLibraryResumeFlag(false);
    }

    HANDLE stop_ = nullptr;
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

std::mutex gWatchdogLock;
std::unique_ptr<TFreezeThread> gWatchdog;
std::atomic<DWORD> gWatchdogThreadId{0};

// ---- Unit steps ------------------------------------------------------------------------

void ConstantsDoneStep() {}

void MainUnitInit() {
    RunGuardedStep(LibraryInit, "ExceptionLog.Init");
    ReserveEmergencyMemory();
}

void MainUnitDone() {
    RunGuardedStep(LibraryDone, "ExceptionLog.Done");
    ReleaseEmergencyMemory();
}

}  // namespace

// ---- Start-up and shut-down ----------------------------------------------------------

void LibraryInit() {
    TCaptureSwitches& switches = CaptureSwitches();
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    gLinkCursor = MAKEINTRESOURCEA(version.dwMajorVersion < 5 ? 32512 : 32649);
    SetInternalErrorHandler(RouteInternalError);
    const auto mainModule = reinterpret_cast<TModuleHandle>(GetModuleHandleW(nullptr));
    const bool forward = mainModule != LibraryModuleHandle() && HasLibraryDataIn(mainModule);
    switches.ForwardToMainModule.store(forward);
    gInstallOwnHooks.store(true);

    switches.ThreadTrackingRunning.store(true);
    ReportState().CurrentReport.store(nullptr);
    gStartFolder = GetCurrentFolder();
    switches.InUnitInitialization.store(true);
    switches.InUnitFinalization.store(false);
    GlobalHandlers().GlobalExceptionNotify = nullptr;
    GlobalHandlers().GlobalExceptionActionNotify = nullptr;
    GlobalHandlers().GlobalExceptionErrorNotify = nullptr;
    ResetThreadReportState();

    if (!IsIdeHost() && !HasLibraryDataIn(LibraryModuleHandle())) {
        switches.ThreadTrackingRunning.store(false);
        return;
    }

    TReportState& state = ReportState();
    state.Processes = std::make_unique<TDrevnikProcessesList>();
    ResetSharedOptionsBlock(LibraryModuleHandle());
    if (FindCurrentDrevnikLogOptions() == nullptr) {
        gOwnOptions = std::make_unique<TDrevnikModuleOptionsEx>(GetLibraryModuleFileName());
        SetCurrentOptionsProvider(OwnOptions);
    }
    SetFreezeWatchdogControl(StartFreezeWatchdog, StopFreezeWatchdog);

    state.HandlerOptions = std::make_unique<TDrevnikModuleOptionsEx>(std::string());
    gMainStackBase = reinterpret_cast<uintptr_t>(CurrentTib()->StackBase);
    CreateDrevnikLogList();
    SnapshotProcessWindows();
    gStartTime = NowDateTime();
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &gMainThreadHandle, 0x4A, FALSE, 0);

    CreateMainThreadsList();
    if (TDrevnikThreadsList* list = MainThreadsList()) {
        const auto lock = list->WriteLock();
        if (list->IndexOfThreadId(GetCurrentThreadId()) < 0) {
            TTrackedThread& main = list->AddNewRecord();
            main.ThreadId = GetCurrentThreadId();
            HANDLE own = nullptr;
            DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &own, 0, FALSE,
                            DUPLICATE_SAME_ACCESS);
            main.ThreadHandle = TThreadHandle(reinterpret_cast<uintptr_t>(own));
            main.StackTop = gMainStackBase;
        }
    }

    ClearWarning();
    switches.IsCaptureStarted.store(true);
    StartReportHandler();

    if (!IsIdeHost() && gInstallOwnHooks.load()) {
        StartRaiseCapture();
        InstallFrameworkHooks();
        HookThreadImports();
    }
    if (!IsIdeHost()) StartFreezeWatchdog();
    if (IsLeakCatchingOn()) InstallLeakCallbacks();
}

void LibraryDone() {
    TCaptureSwitches& switches = CaptureSwitches();
    if (switches.ThreadTrackingRunning.load()) {
        WaitForRunningReport();
        TReportState& state = ReportState();
        state.ExceptionCallStack.reset();
        DestroyDrevnikLogList();
        state.CustomDataFields.clear();
        state.AttachedFiles.clear();
        state.WebFields.clear();
        StopFreezeWatchdog();
        StopReportHandler();
        if (gMainThreadHandle != nullptr) CloseHandle(gMainThreadHandle);
        gMainThreadHandle = nullptr;
        if (!IsIdeHost() && gInstallOwnHooks.load()) StopRaiseCapture();
        switches.IsCaptureStarted.store(!IsExcludedThread(GetCurrentThreadId()));
        // Emptied with their storage: what they hold would show in the leak report.
        std::vector<std::string>().swap(state.RecentErrorTimes);
        for (std::string* text : {&state.LastExceptMessage, &state.DialogMessageOverride, &state.LastWarningText,
                                  &state.Password})
            std::string().swap(*text);
        DestroyMainThreadsList();
        SaveLeakReportOptions();
        state.Processes.reset();
        state.HandlerOptions.reset();
        state.CurrentReport.store(nullptr);
        CloseSharedOptionsBlock();
        SetFreezeWatchdogControl(nullptr, nullptr);
        if (gOwnOptions) {
            SetCurrentOptionsProvider(nullptr);
            gOwnOptions.reset();
        }
        switches.ThreadTrackingRunning.store(false);
    }
    // Held until the statics go, it would show in the leak report.
    std::string().swap(gStartFolder);
    SetInternalErrorHandler(nullptr);
}

uint8_t IsLibraryRunning() { return CaptureSwitches().ThreadTrackingRunning.load() ? 1 : 0; }

std::vector<fw::TStartStopStep> LibraryUnitSteps() {
    return {
        {L"DrevnikLog constants", nullptr, ConstantsDoneStep},
        {L"ECore", [] { RunGuardedStep(CoreInitStep, "ECore.Init"); },
         [] { RunGuardedStep(CoreDoneStep, "ECore.Done"); }},
        {L"EHook", [] { RunGuardedStep(HookInitStep, "EHook.Init"); },
         [] { RunGuardedStep(HookDoneStep, "EHook.Done"); }},
        {L"ExceptionLog", MainUnitInit, MainUnitDone},
    };
}

fw::TStartStopStep UnitTableEndsStep() {
    return {L"Unit table ends", [] { CaptureSwitches().InUnitInitialization.store(false); },
            [] { CaptureSwitches().InUnitFinalization.store(true); }};
}

// ---- Framework hooks -----------------------------------------------------------------

namespace {

// Hands a caught exception to ExceptionManager; true when the library
// reported it, so the framework's own handling is skipped.
bool ManageCaughtException(const std::exception_ptr& exception, uint8_t mode) {
    if (!exception) return false;
    try {
        const TRaisedObject raised = TRaisedObject::FromPtr(exception);
        const TLastRaise last = LastRaise();
        const uintptr_t address = last.Object == raised.Object ? last.Address : 0;
        return !ExceptionManager(raised, address, mode, LibraryModuleHandle());
    } catch (...) {
        return false;
    }
}

}  // namespace

bool HookedHandleException(fw::TComponent*, std::exception_ptr exception) {
    // An event routine of a report raised it: the framework shows it.
    if (EventHandOverBusy()) return false;
    const bool handled = ManageCaughtException(exception, rmDesktop);
    // Without a report dialog the user would see nothing: the framework's
    // own message (or the program's handler) still runs.
    return handled && ReportSeams().ShowExceptionDialog != nullptr;
}

bool HookedConnectionException(fw::TComponent*, std::exception_ptr exception) {
    return ManageCaughtException(exception, rmAutomatic);
}

void InstallFrameworkHooks() {
    fw::SetExceptionHook(HookedHandleException);
    fw::SetConnectionExceptionHook(HookedConnectionException);
}

// ---- Freeze watchdog control ------------------------------------------------------------

void StartFreezeWatchdog() {
    const TDrevnikModuleOptionsEx* options = FindCurrentDrevnikLogOptions();
    if (options == nullptr) return;
    if (CaptureSwitches().ForwardToMainModule.load() && (options->BehaviourFlags() & bhUseMainModuleOptions) != 0)
        return;
    const std::lock_guard<std::mutex> guard(gWatchdogLock);
    if (IsIdeHost() || gWatchdog || !options->FreezeWatchEnabled() || !options->Active()) return;
    gWatchdog = std::make_unique<TFreezeThread>();
    if (!gWatchdog->Started()) {
        gWatchdog.reset();
        return;
    }
    gWatchdogThreadId.store(gWatchdog->Id());
}

void StopFreezeWatchdog() {
    std::unique_ptr<TFreezeThread> watchdog;
    {
        const std::lock_guard<std::mutex> guard(gWatchdogLock);
        watchdog = std::move(gWatchdog);
    }
    watchdog.reset();
    gWatchdogThreadId.store(0);
}

bool IsFreezeWatchdogRunning() {
    const std::lock_guard<std::mutex> guard(gWatchdogLock);
    return gWatchdog != nullptr;
}

bool IsFreezeWatchdogThread() {
    const DWORD id = gWatchdogThreadId.load();
    return id != 0 && id == GetCurrentThreadId();
}

std::string LibraryStartFolder() { return gStartFolder; }
double LibraryStartTime() { return gStartTime; }
uintptr_t MainStackBase() { return gMainStackBase; }
HANDLE MainThreadHandle() { return gMainThreadHandle; }
LPCSTR LinkCursorId() { return gLinkCursor; }

}  // namespace drevnik
