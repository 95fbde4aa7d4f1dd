// ReportException's work, the handler thread and ProcessException.
#include "crashreport/capture/DrevnikReport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "crashreport/capture/CpuContext.h"
#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikExceptionFilters.h"
#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikReportHeap.h"
#include "crashreport/capture/DrevnikShared.h"
#include "crashreport/capture/DrevnikThreadHooks.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/capture/ThreadInfoBlock.h"
#include "framework/core/exceptions.h"

namespace drevnik {
namespace {

// One report handed to the handler thread. Lives on the waiting thread's stack.
struct TExceptionThread {
    TRaisedObject Object;
    uintptr_t Address = 0;
    bool IsLanguage = true;
    TExceptNotifyParams Params;
    uint8_t Mode = rmAutomatic;
    TModuleHandle Module = 0;
    uint8_t CatchKind = ckOrdinary;
    uint32_t WaitingThreadId = 0;
    std::atomic<bool> Running{true};
    bool Outcome = false;
};

// The handler thread and its hand-over slot.
HANDLE gHandlerThread = nullptr;
DWORD gHandlerThreadId = 0;
HANDLE gHandlerWake = nullptr;
std::atomic<TExceptionThread*> gPendingJob{nullptr};
std::atomic<TExceptionThread*> gCurrentJob{nullptr};
std::atomic<bool> gHandlerStopping{false};

std::atomic<TEventHandOver*> gEventHandOver{nullptr};
std::atomic<bool> gEventRunsDirect{false};
std::atomic<bool> gLeakReportBegun{false};
// The thread that waits in ReportException for the current report, and the
// capture state of the thread that raised.
std::atomic<uint32_t> gWaitingThreadId{0};
std::atomic<TThreadCaptureState*> gFaultCapture{nullptr};

// Where the stacks of suspended threads are copied to: made at start-up, as
// nothing may be allocated while they are suspended.
constexpr std::size_t kStackCopyPool = 2 * 1024 * 1024;
constexpr std::size_t kStackCopyMax = 256 * 1024;
uint8_t* gStackCopyPool = nullptr;

bool MainThreadIs(uint32_t id) { return id == MainThreadIdValue(); }

// The type's mangled name holds `name` (no allocation: the faulting thread
// may hold the heap's lock).
bool TypeNamed(const TRaisedObject& object, const char* name) {
    return object.Type != nullptr && std::strstr(object.Type->name(), name) != nullptr;
}

bool IsStackOverflowObject(const TRaisedObject& object) {
    const auto* external = RaisedAs<fw::EExternal>(object);
    return external != nullptr && external->ExceptionKind() == fw::EExternal::Kind::StackOverflow;
}

bool IsModuleDll(TModuleHandle module) {
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        module + reinterpret_cast<const IMAGE_DOS_HEADER*>(module)->e_lfanew);
    return (headers->FileHeader.Characteristics & IMAGE_FILE_DLL) != 0;
}

// One pass of at most 11 messages; input is refused with a beep.
void PumpWhileWaiting(bool& pump) {
    try {
        MSG message;
        for (int i = 0; i < 11 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            const UINT m = message.message;
            if (m == WM_QUIT) continue;
            if ((m >= 0x00A1 && m <= 0x00A9) || (m >= 0x0100 && m <= 0x0102) || (m >= 0x0104 && m <= 0x0106) ||
                (m >= 0x0201 && m <= 0x0209)) {
                MessageBeep(0);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    } catch (...) {
        pump = false;
    }
}

void RunHandedOverEvent() {
    if (TEventHandOver* handOver = gEventHandOver.load()) {
        // While the report keeps threads suspended, the event allocates from
        // the report heap too (the handler thread sleeps meanwhile).
        std::optional<TReportHeapScope> heap;
        if (ThreadsSuspendedNow()) heap.emplace();
        try {
            handOver->Routine(handOver->Argument);
        } catch (...) {
        }
        heap.reset();
        gEventHandOver.store(nullptr);
    }
}

// The handler thread faulted: its report ends here, so the thread waiting
// for it goes on; a new handler thread serves the next report.
std::atomic<bool> gHandlerLost{false};
void OnExcludedThreadFault() {
    if (GetCurrentThreadId() != gHandlerThreadId) return;
    if (TExceptionThread* job = gCurrentJob.load()) {
        job->Outcome = true;
        job->Running.store(false);
    }
    gHandlerLost.store(true);
    ExitThread(1);
}

void RunJob(TExceptionThread& job) {
    gCurrentJob.store(&job);
    try {
        job.Outcome = ProcessException(job.Object, job.Address, job.IsLanguage, job.Params, job.Mode, job.Module,
                                       job.CatchKind);
    } catch (...) {
    }
    gCurrentJob.store(nullptr);
    job.Running.store(false);
}

DWORD WINAPI HandlerThreadMain(void*) {
    TReportHeapScope heap;
    for (;;) {
        WaitForSingleObject(gHandlerWake, INFINITE);
        if (gHandlerStopping.load()) return 0;
        if (TExceptionThread* job = gPendingJob.exchange(nullptr)) RunJob(*job);
    }
}

// ---- Threads of the report -------------------------------------------------------------

bool IsFrameworkThread(const TTrackedThread& record) {
    return MainThreadIs(record.ThreadId) || record.ThreadObject != nullptr;
}

bool IncludeThreadInReport(const TTrackedThread& record, uint8_t stackFlags) {
    return IsFrameworkThread(record) ? (stackFlags & stFrameworkThreads) != 0 : (stackFlags & stOtherThreads) != 0;
}

bool PauseThreadInReport(const TTrackedThread& record, uint16_t behaviour) {
    if (!IsFrameworkThread(record)) return (behaviour & bhPauseOtherThreads) != 0;
    if (MainThreadIs(record.ThreadId) && (behaviour & bhKeepMainThreadRunning) != 0) return false;
    return (behaviour & bhPauseFrameworkThreads) != 0;
}

// Threads that a report never suspends: the handler, the faulting thread and
// the one waiting for the report.
bool IsReportThread(uint32_t id, uint32_t faultThreadId) {
    return id == GetCurrentThreadId() || id == faultThreadId || id == gWaitingThreadId.load();
}

// Suspends the selected threads of the snapshot under the list's write lock
// and resumes them when it goes.
class TSuspendedThreads {
public:
    template <class Select>
    TSuspendedThreads(TDrevnikThreadsList& snapshot, uint32_t faultThreadId, Select select) {
        TDrevnikThreadsList* list = MainThreadsList();
        const auto lock = list != nullptr ? list->WriteLock() : std::unique_lock<std::shared_mutex>();
        for (int i = 0; i < snapshot.Count() && count_ < kMax; ++i) {
            TTrackedThread& record = snapshot[i];
            if (IsReportThread(record.ThreadId, faultThreadId) || !select(record)) continue;
            const HANDLE handle = reinterpret_cast<HANDLE>(record.ThreadHandle.Get());
            if (handle == nullptr || SuspendThread(handle) == static_cast<DWORD>(-1)) continue;
            NoteSuspended();
            records_[count_++] = &record;
        }
    }
    ~TSuspendedThreads() { ResumeAll(); }
    TSuspendedThreads(const TSuspendedThreads&) = delete;
    TSuspendedThreads& operator=(const TSuspendedThreads&) = delete;

    int Count() const { return count_; }
    TTrackedThread& operator[](int i) const { return *records_[i]; }
    void ResumeAll() {
        // The library's own resume: not recorded as the thread's resumer.
        const bool previous = LibraryResumeFlag();
        SetLibraryResumeFlag(true);
        for (int i = 0; i < count_; ++i) {
            RealResumeThread(reinterpret_cast<HANDLE>(records_[i]->ThreadHandle.Get()));
            NoteResumed();
        }
        SetLibraryResumeFlag(previous);
        count_ = 0;
    }

private:
    static constexpr int kMax = 512;
    TTrackedThread* records_[kMax] = {};
    int count_ = 0;
};

// Step 4: the call stacks of the faulting thread and of the others, and the bug ID.
void BuildCallStacksAndBugId(TReportState& state, const TRaisedObject& object, uintptr_t address,
                             const TExceptNotifyParams& params, TDrevnikThreadsList& snapshot,
                             TDrevnikExceptionRecord& record) {
    const TReportSeams& seams = ReportSeams();
    if (seams.FreeExceptionCallStack != nullptr) seams.FreeExceptionCallStack();
    state.ExceptionCallStack.reset();
    if (params.ReadyCallStack != nullptr) {
        state.ExceptionCallStack.reset(params.ReadyCallStack);
    } else {
        state.ExceptionCallStack = std::make_unique<TDrevnikStackList>();
        if (seams.BuildCallStack != nullptr)
            seams.BuildCallStack(*state.ExceptionCallStack, address, params.StackStart, params.StackTop,
                                 params.FaultThreadId);
    }
    TDrevnikStackList& stack = *state.ExceptionCallStack;

    std::string text = seams.BugIdPrefix != nullptr ? seams.BugIdPrefix(record) : RaisedClassName(object);
    for (int i = 0; i < stack.Count(); ++i) {
        const TCallStackEntry& entry = stack[i];
        if (entry.EntryKind != ekUnitRoutineLine || entry.ThreadId != stack[0].ThreadId) continue;
        text += entry.UnitFile + entry.ClassPart + entry.RoutineName + std::to_string(entry.LineInRoutine);
    }
    char id[8];
    std::snprintf(id, sizeof id, "%04X", seams.CalcCrc16 != nullptr ? seams.CalcCrc16(text) : 0u);
    state.BugId = id;

    const int faultIndex = snapshot.IndexOfThreadId(params.FaultThreadId);
    if (faultIndex >= 0 && seams.ScanStarterStack != nullptr) seams.ScanStarterStack(stack, snapshot[faultIndex]);

    // Each other thread: suspended just long enough to copy its registers
    // and stack; scanned once it runs again.
    const uint8_t stackFlags = state.HandlerOptions->StackFlags();
    static TThreadStackCopy copies[512];
    int copyCount = 0;
    {
        TSuspendedThreads suspended(snapshot, params.FaultThreadId,
                                    [&](const TTrackedThread& r) { return IncludeThreadInReport(r, stackFlags); });
        std::size_t poolUsed = 0;
        for (int i = 0; i < suspended.Count(); ++i) {
            TTrackedThread& thread = suspended[i];
            CONTEXT context{};
            context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
            if (!GetThreadContext(reinterpret_cast<HANDLE>(thread.ThreadHandle.Get()), &context)) continue;
            const uintptr_t sp = StackPointerOf(context);
            if (ProgramCounterOf(context) == 0 || sp == 0) continue;
            TThreadStackCopy& copy = copies[copyCount++];
            copy = TThreadStackCopy{};
            copy.ThreadId = thread.ThreadId;
            copy.ProgramCounter = ProgramCounterOf(context);
            copy.StackPointer = sp;
            copy.StackTop = thread.StackTop;
            copy.Record = &thread;
            std::size_t size = thread.StackTop > sp ? thread.StackTop - sp : 0;
            size = std::min({size, kStackCopyMax, kStackCopyPool - poolUsed});
            // The readable length can run past the size asked for: never copy more than the pool holds.
            size = std::min(size, GetReadableLength(reinterpret_cast<const void*>(sp), size));
            if (gStackCopyPool != nullptr && size != 0) {
                std::memcpy(gStackCopyPool + poolUsed, reinterpret_cast<const void*>(sp), size);
                copy.Bytes = gStackCopyPool + poolUsed;
                copy.Size = static_cast<uint32_t>(size);
                poolUsed += size;
            }
        }
    }
    for (int i = 0; i < copyCount; ++i) {
        if (seams.ScanThreadStack != nullptr) seams.ScanThreadStack(stack, copies[i]);
        if (seams.ScanStarterStack != nullptr && copies[i].Record != nullptr)
            seams.ScanStarterStack(stack, *copies[i].Record);
    }
}

void Step(int number) { ReportState().ReportStep.store(number); }

// Brings the main window back before a dialog or screenshot. Never blocks on
// the window's thread, which may be suspended.
void RestoreMainWindow() {
    const HWND window = FindProcessMainWindow(GetCurrentProcessId());
    if (window == nullptr) return;
    const bool ownThread = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    if (IsIconic(window)) {
        PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
        if (ownThread) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    ShowWindowAsync(window, SW_SHOWNORMAL);
    if (ownThread) SetForegroundWindow(window);
}

uint8_t ReportDisplayKind(uint8_t mode) {
    const TReportSeams& seams = ReportSeams();
    const bool web = seams.IsWebApplication != nullptr && seams.IsWebApplication();
    const bool console = seams.IsConsoleApplication != nullptr && seams.IsConsoleApplication();
    enum { kDialog, kConsole, kWeb };
    switch (mode) {
        case rmAutomatic: return web ? kWeb : console ? kConsole : kDialog;
        case rmDesktop: return console ? kConsole : kDialog;
        case rmWebPage: return kWeb;
        default: return kDialog;
    }
}

bool ShouldShowMainWindow(uint8_t mode) {
    const TReportSeams& seams = ReportSeams();
    const bool interactive = !(seams.IsWebApplication != nullptr && seams.IsWebApplication()) &&
                             !(seams.IsConsoleApplication != nullptr && seams.IsConsoleApplication());
    if (!(mode == rmDesktop || (mode == rmAutomatic && interactive))) return false;
    const TDrevnikModuleOptions& o = *ReportState().HandlerOptions;
    return (ReportWillBeSent() && (o.SendFlags() & (sdShowProgress | sdAttachScreenshot)) != 0) ||
           o.DialogKind() != dkNone;
}

// The message shown for the report: the filter's replacement, else the exception's.
std::string ShownExceptMessage(const TRaisedObject& object) {
    const TReportState& state = ReportState();
    return !state.DialogMessageOverride.empty() ? state.DialogMessageOverride : RaisedMessage(object);
}

// The options of the faulting module (steps 101 to 103).
void SelectOptions(TReportState& state, uintptr_t address, TModuleHandle module) {
    const TReportSeams& seams = ReportSeams();
    const TModuleHandle own = LibraryModuleHandle();
    const TModuleHandle mainModule = reinterpret_cast<TModuleHandle>(GetModuleHandleW(nullptr));
    const TModuleHandle fallback = module != own ? own : mainModule;
    const auto optionsOf = [](TDrevnikModuleInfo* info) -> TDrevnikModuleOptions* {
        return info != nullptr ? info->ModuleOptions.get() : nullptr;
    };
    TDrevnikModuleInfo* info = nullptr;
    Step(101);
    if (address != 0 && seams.ModuleInfoOfAddress != nullptr) info = seams.ModuleInfoOfAddress(address);
    Step(102);
    if (optionsOf(info) == nullptr && seams.ModuleInfoOfHandle != nullptr) info = seams.ModuleInfoOfHandle(module);
    Step(103);
    if ((info == nullptr || (optionsOf(info) == nullptr && fallback != 0)) && seams.ModuleInfoOfHandle != nullptr)
        info = seams.ModuleInfoOfHandle(fallback);
    TDrevnikModuleOptions* source = optionsOf(info);
    if (source == nullptr) source = FindCurrentDrevnikLogOptions();
    if (source != nullptr) state.HandlerOptions->Assign(source);
    if ((state.HandlerOptions->BehaviourFlags() & bhUseMainModuleOptions) != 0 && seams.ModuleInfoOfHandle != nullptr) {
        if (TDrevnikModuleInfo* fallbackInfo = seams.ModuleInfoOfHandle(fallback); optionsOf(fallbackInfo) != nullptr) {
            state.HandlerOptions->Assign(optionsOf(fallbackInfo));
            info = fallbackInfo;
        }
    }
    state.HandlerOptions->BeginUpdate();
    state.HandlerOptions->SetModuleName(info != nullptr ? info->FilePath : GetLibraryModuleFileName());
    state.HandlerOptions->SetModuleHandle(info != nullptr ? info->ModuleHandle : own);
    state.HandlerOptions->SetReproduceText({});
    state.HandlerOptions->EndUpdate();
}

}  // namespace

// Never destroyed: a report may still run while static objects are destroyed.
// Built in static storage: a block of the heap would be a leak to the leak report.
TReportState& ReportState() {
    alignas(TReportState) static unsigned char storage[sizeof(TReportState)];
    static TReportState& state = *new (storage) TReportState;
    return state;
}

TReportSeams& ReportSeams() {
    alignas(TReportSeams) static unsigned char storage[sizeof(TReportSeams)];
    static TReportSeams& seams = *new (storage) TReportSeams;
    return seams;
}

bool EventHandOverBusy() { return gEventHandOver.load() != nullptr || gEventRunsDirect.load(); }

void SetLeakReportBegun() { gLeakReportBegun.store(true); }

uint32_t ReportHandlerThreadId() { return gHandlerThreadId; }

bool ReportWillBeSent() {
    const TReportState& state = ReportState();
    if (!state.HandlerOptions) return false;
    const TDrevnikModuleOptions& o = *state.HandlerOptions;
    if (o.EmailMode() == emNone && o.WebMode() == wmNone) return false;
    if (ReportSeams().IsDuplicateReport != nullptr && ReportSeams().IsDuplicateReport()) return false;
    return state.Dialog.SendWanted || o.DialogKind() == dkNone;
}

void RunEventInFaultingThread(TEventRoutine routine, void* argument) {
    if (gLeakReportBegun.load()) return;
    const TDrevnikExceptionRecord* report = ReportState().CurrentReport.load();
    if (report != nullptr && GetCurrentThreadId() != report->FaultThreadId && gWaitingThreadId.load() != 0 &&
        GetCurrentThreadId() != gWaitingThreadId.load()) {
        TEventHandOver handOver{routine, argument};
        gEventHandOver.store(&handOver);
        while (gEventHandOver.load() != nullptr) Sleep(10);
    } else {
        gEventRunsDirect.store(true);
        try {
            routine(argument);
        } catch (...) {
        }
        gEventRunsDirect.store(false);
    }
    if (ReportSeams().CheckDuplicateReport != nullptr) ReportSeams().CheckDuplicateReport(false);
    if (ReportState().HandlerOptions) LoadSharedOptions(ReportState().HandlerOptions.get());
}

bool ReportExceptionBody(const TReportRequest& request) {
    TReportState& state = ReportState();
    ReleaseEmergencyMemory();
    // The previous report's options: whether the main thread was paused then.
    bool pump = !IsStackOverflowObject(request.Object);
    if (state.HandlerOptions) {
        const uint16_t behaviour = state.HandlerOptions->BehaviourFlags();
        if ((behaviour & bhPauseFrameworkThreads) != 0 && (behaviour & bhKeepMainThreadRunning) == 0) pump = false;
    }
    bool result = true;
    const TDrevnikModuleOptionsEx* current = FindCurrentDrevnikLogOptions();
    const TRaisedObject& object = request.Object;
    if (request.CatchKind == ckSafecall && current != nullptr &&
        (current->BehaviourFlags() & bhSafecallExceptions) == 0 && RaisedMessage(object).rfind(kSafecallMark, 0) == 0) {
        result = false;
    } else if (current == nullptr || current->Active()) {
        TThreadCaptureState& capture = ThreadCaptureState();
        TExceptionThread job;
        job.Object = object;
        job.Address = request.Address;
        job.IsLanguage = request.IsLanguage;
        job.Mode = request.ReportMode;
        job.Module = request.Module;
        job.CatchKind = request.CatchKind;
        job.WaitingThreadId = GetCurrentThreadId();
        TExceptNotifyParams& params = job.Params;
        params.IsHandled = request.IsHandled;
        params.ContextPtr = request.Context;
        params.OsRecordPtr = request.OsRecord;
        params.ReadyCallStack = request.ReadyCallStack;
        params.StackTop = request.StackTop != 0 ? request.StackTop : GetThreadStackBase();
        params.StackStart = request.StackStart != 0                      ? request.StackStart
                            : capture.RaiseContext.ContextFlags != 0     ? StackPointerOf(capture.RaiseContext)
                                                                          : capture.ScanStart;
        params.FaultThreadId = request.FaultThreadId != 0 ? request.FaultThreadId
                               : IsFreezeWatchdogThread() ? MainThreadIdValue()
                                                          : GetCurrentThreadId();
        GetFocusedControlClass(params.FocusedClass);
        GetFocusedControlText(params.FocusedText);
        // The thread's own raise facts stand in for what the caller did not give.
        if (params.ContextPtr == nullptr && capture.RaiseContext.ContextFlags != 0)
            params.ContextPtr = &capture.RaiseContext;
        if (params.OsRecordPtr == nullptr && capture.RaiseRecord.ExceptionCode != 0)
            params.OsRecordPtr = &capture.RaiseRecord;
        if (params.StackStart == 0) params.StackStart = capture.ScanStart;

        const bool inlineRoad = TypeNamed(object, "EMemoryLeak") || gHandlerThread == nullptr ||
                                (IsModuleDll(LibraryModuleHandle()) &&
                                 (CaptureSwitches().InUnitInitialization.load() ||
                                  CaptureSwitches().InUnitFinalization.load()));
        gFaultCapture.store(&capture);
        gWaitingThreadId.store(GetCurrentThreadId());
        if (inlineRoad) {
            state.ReportRunsInline = true;
            TReportHeapScope heap;
            result = ProcessException(object, request.Address, request.IsLanguage, params, request.ReportMode,
                                      request.Module, request.CatchKind);
        } else {
            state.ReportRunsInline = false;
            const bool isMain = MainThreadIs(GetCurrentThreadId());
            gPendingJob.store(&job);
            SetEvent(gHandlerWake);
            while (job.Running.load()) {
                if (isMain && pump && state.Dialog.Painted.load()) PumpWhileWaiting(pump);
                RunHandedOverEvent();
                if (job.Running.load()) Sleep(10);
            }
            result = job.Outcome;
            if (gHandlerLost.exchange(false)) {
                StopReportHandler();
                StartReportHandler();
            }
        }
        gWaitingThreadId.store(0);
        gFaultCapture.store(nullptr);
        FlushDeferredFrees();
        if (request.CatchKind == ckSafecall) MarkSafecallException(object);
    }
    ReserveEmergencyMemory();
    return result;
}

bool ProcessException(const TRaisedObject& object, uintptr_t address, bool isLanguage, TExceptNotifyParams& params,
                      uint8_t mode, TModuleHandle module, uint8_t catchKind) {
    TReportState& state = ReportState();
    const TReportSeams& seams = ReportSeams();
    if (seams.IsIntraWebApplication != nullptr && seams.IsIntraWebApplication() &&
        MainThreadIs(params.FaultThreadId))
        return true;
    bool result = false;
    state.ReportTime = NowDateTime();
    Step(1);
    const bool previousResumeFlag = LibraryResumeFlag();
    SetLibraryResumeFlag(true);
    std::unique_ptr<TDrevnikThreadsList> snapshot =
        MainThreadsList() != nullptr ? std::make_unique<TDrevnikThreadsList>(*MainThreadsList())
                                     : std::make_unique<TDrevnikThreadsList>();
    if (!state.HandlerOptions) state.HandlerOptions = std::make_unique<TDrevnikModuleOptionsEx>(std::string());
    TDrevnikExceptionRecord record;
    state.ReportParams = &params;
    state.ThreadsSnapshot = snapshot.get();
    bool handedOff = false;
    uint8_t handling = fhFullReport;
    uint8_t closeAction = caNone;
    try {
        if (TThreadCaptureState* fault = gFaultCapture.load(); fault != nullptr && !params.IsHandled)
            RememberRaisedClass(*fault, object, address);
        if (address != 0) state.LastReportAddress = address;
        if (isLanguage && address != 0) address -= 5;
        if (seams.PurgeChangedModules != nullptr) seams.PurgeChangedModules();
        record.RaisedObject = object;
        record.RaisedAddress = address;
        record.FaultThreadId = params.FaultThreadId;

        SelectOptions(state, address, module);
        TDrevnikModuleOptionsEx& options = *state.HandlerOptions;
        Step(104);
        if (IsIdeHost()) {
            options.BeginUpdate();
            options.SetDialogOptions(options.DialogFlags() & ~dgOwnLook);
            options.SetText(26, "The IDE has raised an exception.\r\n ");
            options.SetText(27, "Restart the IDE");
            options.EndUpdate();
        }

        Step(2);
        state.DialogMessageOverride.clear();
        state.Dialog.KindInUse = options.DialogKind();
        bool filterMatched = false;
        if (catchKind != ckThreadWrapper && options.FiltersEnabled()) {
            int index = -1;
            if (const auto* standard = RaisedAs<std::exception>(object))
                index = FindMatchingFilter(options, DescribeException(*standard), params.IsHandled);
            Step(201);
            if (index >= 0) {
                const TDrevnikExceptionFilter& filter = options.Filters().GetItem(index);
                closeAction = filter.CloseAction;
                handling = filter.Handling;
                static constexpr uint8_t kKinds[] = {dkNone, 0xFF, dkMessageBox, dkMsStyle, dkFull};
                const uint8_t kind = filter.DialogChoice < 5 ? kKinds[filter.DialogChoice] : 0xFF;
                state.Dialog.KindInUse = kind == 0xFF ? options.DialogKind() : kind;
                filterMatched = true;
                state.DialogMessageOverride = ExpandVariables(filter.ReplaceMessage);
            }
        }

        bool send = ReportWillBeSent();
        Step(3);
        if (handling != fhFullReport) {
            result = handling == fhFrameworkOnly;
        } else {
            // Only the inline road lacks these; the thread road had them filled.
            if (params.StackTop == 0) params.StackTop = GetThreadStackBase();
            if (params.StackStart == 0) params.StackStart = ThreadCaptureState().ScanStart;
            if (params.ContextPtr != nullptr && !IsReadableMemory(params.ContextPtr, sizeof(CONTEXT)))
                params.ContextPtr = nullptr;
            if (params.OsRecordPtr != nullptr && !IsReadableMemory(params.OsRecordPtr, sizeof(EXCEPTION_RECORD)))
                params.OsRecordPtr = nullptr;

            Step(4);
            BuildCallStacksAndBugId(state, object, address, params, *snapshot, record);

            Step(5);
            if (catchKind != ckThreadWrapper) {
                const uint16_t behaviour = options.BehaviourFlags();
                TSuspendedThreads paused(*snapshot, params.FaultThreadId,
                                         [&](const TTrackedThread& r) { return PauseThreadInReport(r, behaviour); });
                Step(6);
                state.EventHandled = true;
                if ((options.LogFlags() & lgModulesAndProcesses) != 0) {
                    if (seams.RefreshModulesList != nullptr) seams.RefreshModulesList();
                    if (state.Processes && seams.BuildProcessesList != nullptr)
                        seams.BuildProcessesList(*state.Processes);
                }
                Step(7);
                record.StackList = state.ExceptionCallStack.get();
                record.ReportOptions = &options;
                record.OsRecord = params.OsRecordPtr;
                record.CpuContext = params.ContextPtr;
                Step(702);
                if (seams.BuildReportText != nullptr) record.ReportTextCopy = seams.BuildReportText(record);
                Step(703);
                record.Modules = seams.ModulesList != nullptr ? seams.ModulesList() : nullptr;
                Step(704);
                state.CurrentReport.store(&record);
                if (seams.CheckDuplicateReport != nullptr) seams.CheckDuplicateReport(true);
                Step(705);
                ClearWarning();
                Step(706);
                SetReportVariables(record);

                if (ShouldShowMainWindow(mode)) {
                    auto restore = [] { RestoreMainWindow(); };
                    RunEventInFaultingThread(restore);
                }
                const bool handledNotify = params.IsHandled;
                auto notify = [handledNotify] { handledNotify ? FireHandledNotify() : FireExceptionNotify(); };
                RunEventInFaultingThread(notify);

                Step(8);
                if (!state.EventHandled) {
                    result = true;
                } else {
                    if (seams.CaptureScreenshot != nullptr) seams.CaptureScreenshot();
                    if (options.AutoCrashAction() != caNone) {
                        state.RecentErrorTimes.push_back(FloatToStrDot(NowDateTime()));
                        if (state.RecentErrorTimes.size() > options.AutoCrashCount())
                            state.RecentErrorTimes.erase(state.RecentErrorTimes.begin());
                    }
                    state.CustomDataFields.clear();
                    auto customData = [] { FireCustomDataRequest(); };
                    RunEventInFaultingThread(customData);
                    if (!state.CustomDataFields.empty() && (options.ReportItemMask() & riCustomData) != 0 &&
                        seams.AddCustomDataSection != nullptr)
                        seams.AddCustomDataSection(state.CustomDataFields);
                    Step(9);
                    ++state.ReportsThisRun;
                    Step(10);
                    state.LastExceptMessage = ReplaceControlChars(RaisedMessage(object));
                    bool askReproduce = false;
                    Step(11);
                    if (!filterMatched) state.Dialog.KindInUse = options.DialogKind();
                    if (seams.UpdateWorkArea != nullptr) seams.UpdateWorkArea();
                    const bool sendChannel = options.EmailMode() != emNone || options.WebMode() != wmNone;
                    if (state.Dialog.KindInUse == dkNone) {
                        state.Dialog.SendWanted = sendChannel;
                        state.Dialog.ScreenshotWanted = (options.SendFlags() & sdAttachScreenshot) != 0;
                        if (seams.IsWebApplication != nullptr && seams.IsWebApplication() &&
                            seams.ShowWebErrorPage != nullptr)
                            seams.ShowWebErrorPage(ShownExceptMessage(object));
                    } else {
                        Step(12);
                        ClearWarning();
                        bool showing = FireActionEvent(atShowingExceptionInfo);
                        state.Dialog.SendWanted = sendChannel;
                        state.Dialog.ScreenshotWanted = (options.SendFlags() & sdAttachScreenshot) != 0;
                        state.Dialog.UserCancelled = false;
                        Step(13);
                        if (showing) {
                            switch (ReportDisplayKind(mode)) {
                                case 1:  // console
                                    try {
                                        const std::string header =
                                            seams.ReportHeaderText != nullptr ? seams.ReportHeaderText() : "";
                                        const std::string out = header + record.ReportTextCopy + "\r\n";
                                        DWORD written = 0;
                                        if (!WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(),
                                                       static_cast<DWORD>(out.size()), &written, nullptr))
                                            throw fw::EInOutError(L"I/O error writing the report to the console.");
                                    } catch (...) {
                                        showing = false;
                                        ReportExceptionWarning(eeShowError, "Console");
                                    }
                                    break;
                                case 2:  // web
                                    if (seams.IsIntraWebApplication != nullptr && seams.IsIntraWebApplication())
                                        result = true;
                                    else if (seams.ShowWebErrorPage != nullptr)
                                        seams.ShowWebErrorPage(record.ReportTextCopy);
                                    break;
                                default:  // dialog
                                    try {
                                        askReproduce = state.Dialog.KindInUse == dkFull;
                                        state.Dialog.ForceDetailed = false;
                                        if (seams.ShowExceptionDialog != nullptr) {
                                            seams.ShowExceptionDialog(true);
                                            while (state.Dialog.KindInUse != dkNone) {
                                                state.Dialog.ForceDetailed = true;
                                                seams.ShowExceptionDialog(false);
                                            }
                                        }
                                    } catch (...) {
                                        showing = false;
                                        ReportExceptionWarning(eeShowError, "GUI");
                                    }
                                    break;
                            }
                        }
                        Step(14);
                        FireActionEvent(atShowedExceptionInfo);
                    }
                    if (askReproduce && seams.ShowReproduceDialog != nullptr) seams.ShowReproduceDialog();
                    if ((options.LogFlags() & lgAskReproduceSteps) != 0 && seams.AddReproduceSection != nullptr)
                        seams.AddReproduceSection(options.ReproduceText());
                    if (ReportWillBeSent() && seams.SaveScreenshot != nullptr) seams.SaveScreenshot();
                    if (seams.ReleaseScreenshot != nullptr) seams.ReleaseScreenshot();
                    Step(15);
                    if ((options.LogFlags() & lgNewLogOnVersionChange) != 0 && seams.NewLogOnVersionChange != nullptr)
                        seams.NewLogOnVersionChange();
                    send = ReportWillBeSent();
                    if (options.WriteLogFile() && seams.SaveReportToLog != nullptr) seams.SaveReportToLog();
                    if (state.Dialog.CopyWanted) CopyTextToClipboard(record.ReportTextCopy);
                    Step(16);
                    if (send && seams.SendReport != nullptr) {
                        const bool threaded = seams.SendReport();
                        handedOff = threaded && (options.SendFlags() & sdSendInThread) != 0 && !state.ReportRunsInline;
                    }
                    if (!handedOff && seams.CheckAutoCrash != nullptr) seams.CheckAutoCrash();
                }
            }  // the paused threads run again here
            if (catchKind != ckThreadWrapper) {
                Step(17);
                if (!handedOff) {
                    if (seams.FreeExceptionCallStack != nullptr) seams.FreeExceptionCallStack();
                    state.ExceptionCallStack.reset();
                }
                if (!state.Dialog.CloseRequested && handling == fhFullReport &&
                    (closeAction == caTerminate || closeAction == caRestart) && seams.SetPendingCloseAction != nullptr)
                    seams.SetPendingCloseAction(closeAction);
            }
            if ((options.BehaviourFlags() & bhCallFrameworkHandler) != 0) result = true;
        }
        Step(18);
        if (catchKind != ckThreadWrapper && !handedOff && seams.DoTerminateButtonAction != nullptr)
            seams.DoTerminateButtonAction();
    } catch (...) {
        ReportInternalError(std::to_string(state.ReportStep.load()));
    }
    state.CurrentReport.store(nullptr);
    state.ReportParams = nullptr;
    state.ThreadsSnapshot = nullptr;
    snapshot.reset();
    SetLibraryResumeFlag(previousResumeFlag);
    return result;
}

bool StartReportHandler() {
    if (gHandlerThread != nullptr) return true;
    if (gStackCopyPool == nullptr)
        gStackCopyPool = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, kStackCopyPool, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    gHandlerStopping.store(false);
    gHandlerWake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (gHandlerWake == nullptr) return false;
    gHandlerThread = RealCreateThread(nullptr, 1024 * 1024, HandlerThreadMain, nullptr, CREATE_SUSPENDED,
                                      &gHandlerThreadId);
    if (gHandlerThread == nullptr) {
        CloseHandle(gHandlerWake);
        gHandlerWake = nullptr;
        return false;
    }
    ExcludeThreadFromCapture(gHandlerThreadId);
    SetExcludedThreadFaultHandler(OnExcludedThreadFault);
    SetThreadPriority(gHandlerThread, THREAD_PRIORITY_HIGHEST);
    RealResumeThread(gHandlerThread);
    SetReportExceptionHandler(ReportExceptionBody);
    return true;
}

void StopReportHandler() {
    SetReportExceptionHandler(nullptr);
    if (gHandlerThread == nullptr) return;
    gHandlerStopping.store(true);
    SetEvent(gHandlerWake);
    WaitForSingleObject(gHandlerThread, INFINITE);
    IncludeThreadInCapture(gHandlerThreadId);
    CloseHandle(gHandlerThread);
    CloseHandle(gHandlerWake);
    gHandlerThread = gHandlerWake = nullptr;
    gHandlerThreadId = 0;
}

}  // namespace drevnik
