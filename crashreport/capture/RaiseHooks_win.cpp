// The hooks of the raise capture: the link-time wrappers of the C++ runtime's
// throw, rethrow and end of catch, the terminate handler, the vectored
// handler for faults, the stack-overflow reporter and the process's
// unhandled-exception filter.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>

#include "crashreport/capture/CpuContext.h"
#include "crashreport/capture/CxxRuntimeInternals.h"
#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikThreadHooks.h"
#include "crashreport/capture/MainModuleExport.h"
#include "crashreport/capture/RaiseCapture.h"
#include "crashreport/capture/RaiseDecisionRing.h"
#include "crashreport/capture/ThreadInfoBlock.h"
#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

#if defined(_WIN64)
extern "C" EXCEPTION_DISPOSITION __gxx_personality_seh0(PEXCEPTION_RECORD, void*, PCONTEXT, PDISPATCHER_CONTEXT);
#endif

namespace drevnik {
namespace {

std::atomic<uint32_t> gMainThreadId{0};
TRaiseDecisionRing gRing;
PVOID gVectoredHandler = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER gPreviousFilter = nullptr;
std::terminate_handler gPreviousTerminate = nullptr;

// Hook bodies must not re-enter themselves when their own work raises.
thread_local bool tInHook = false;

class THookGuard {
public:
    THookGuard() : entered_(!tInHook) { tInHook = true; }
    ~THookGuard() {
        if (entered_) tInHook = false;
    }
    THookGuard(const THookGuard&) = delete;
    THookGuard& operator=(const THookGuard&) = delete;
    bool Entered() const { return entered_; }

private:
    bool entered_;
};

bool Active() {
    const TCaptureSwitches& s = CaptureSwitches();
    return s.ThreadTrackingRunning.load() && s.IsCaptureStarted.load();
}

bool IsMainThread() { return GetCurrentThreadId() == gMainThreadId.load(); }

// ---- C++ throws -------------------------------------------------------------------

// The thrower's registers: this routine's context unwound to the frame that
// called the throw, its program counter put on the call instruction.
__attribute__((noinline)) void CaptureThrowerContext(CONTEXT& context, uintptr_t returnAddress,
                                                      uintptr_t wrapperFrame) {
    RtlCaptureContext(&context);
#if defined(_WIN64)
    (void)wrapperFrame;
    for (int depth = 0; depth < 64 && context.Rip != returnAddress; ++depth) {
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
        if (function == nullptr) {
            context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
            context.Rsp += 8;
            continue;
        }
        void* data = nullptr;
        DWORD64 frame = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &data, &frame, nullptr);
    }
    context.Rip = returnAddress - 5;
#else
    // The wrapper keeps a frame pointer: above it lie the saved one and the return address.
    context.Esp = wrapperFrame + 2 * sizeof(void*);
    context.Ebp = *reinterpret_cast<const DWORD*>(wrapperFrame);
    context.Eip = returnAddress - 5;
#endif
    context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
}

struct TCxxThrow {
    cxxrt::TThrownException Exception;
    uintptr_t ReturnAddress;
    uintptr_t StackPosition;
};

THandledDecision DecideCxxThrow(void* argument) {
    const TCxxThrow& raise = *static_cast<const TCxxThrow*>(argument);
    TRaiseDecision decision;
    if (!gRing.Find(raise.Exception.Type, raise.ReturnAddress, raise.StackPosition, decision)) {
        const cxxrt::TSearchOutcome outcome = cxxrt::SearchForHandler(raise.Exception.Unwind, raise.ReturnAddress);
        decision.Class = raise.Exception.Type;
        decision.Address = raise.ReturnAddress;
        decision.ChainHead = raise.StackPosition;
        decision.FirstKind = static_cast<uint8_t>(outcome);
        decision.Handled = outcome == cxxrt::TSearchOutcome::Caught;
        decision.Count = decision.Handled ? 1 : 0;
        gRing.Store(decision);
    }
    return {decision.Handled, decision.CatchKind};
}

// Our record of a C++ raise, in this copy or handed over by another one.
void SetCxxRaiseRecord(EXCEPTION_RECORD& record, const ULONG_PTR (&arguments)[kCxxRaiseArguments]) {
    std::memset(&record, 0, sizeof record);
    record.ExceptionCode = kCxxRaiseCode;
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
    record.ExceptionAddress = reinterpret_cast<void*>(arguments[3]);
    record.NumberParameters = kCxxRaiseArguments;
    std::copy(std::begin(arguments), std::end(arguments), record.ExceptionInformation);
}

void RouteCxxRaise(const cxxrt::TThrownException& exception, uintptr_t returnAddress, uintptr_t wrapperFrame) {
    TThreadCaptureState& state = ThreadCaptureState();
    if (state.InFilter) return;
    CaptureThrowerContext(state.RaiseContext, returnAddress, wrapperFrame);
    state.RaiseStackPos = StackPointerOf(state.RaiseContext);
    state.ScanStart = state.RaiseStackPos;
    const ULONG_PTR arguments[kCxxRaiseArguments] = {
        reinterpret_cast<ULONG_PTR>(exception.Unwind), reinterpret_cast<ULONG_PTR>(exception.Object),
        reinterpret_cast<ULONG_PTR>(exception.Type), returnAddress};
    SetCxxRaiseRecord(state.RaiseRecord, arguments);
    TCxxThrow raise{exception, returnAddress, state.RaiseStackPos};
    FilterRaisedException(TRaisedObject{exception.Type, exception.Object, {}}, returnAddress, true, DecideCxxThrow,
                          &raise);
    if (const auto forward = MainModuleExport("DrevnikLog_CallGeneralRaise", &DrevnikLog_CallGeneralRaise))
        forward(kCxxRaiseCode, EXCEPTION_NONCONTINUABLE, kCxxRaiseArguments, state.RaiseStackPos, arguments);
}

__attribute__((noinline)) void OnCxxThrow(void* object, std::type_info* type, cxxrt::TExceptionDestructor destructor,
                                          uintptr_t returnAddress, uintptr_t wrapperFrame) {
    const THookGuard guard;
    if (!guard.Entered() || !Active()) return;
    try {
        RouteCxxRaise(cxxrt::PrepareThrow(object, type, destructor), returnAddress, wrapperFrame);
    } catch (...) {
    }
}

__attribute__((noinline)) void OnCxxRethrow(uintptr_t returnAddress, uintptr_t wrapperFrame) {
    const THookGuard guard;
    if (!guard.Entered() || !Active()) return;
    try {
        cxxrt::TThrownException exception;
        int handlers = 0;
        if (cxxrt::CurrentCaughtException(exception, handlers)) RouteCxxRaise(exception, returnAddress, wrapperFrame);
    } catch (...) {
    }
}

// A catch block that handled an exception ends: with bhReportHandledExceptions
// on, the exception is reported now, from the stack copied at its raise.
bool IsPendingHandledException(const TRaisedObject& raised) {
    const TDrevnikModuleOptionsEx* options = FindCurrentDrevnikLogOptions();
    if (options == nullptr || (options->BehaviourFlags() & bhReportHandledExceptions) == 0) return false;
    if (!CaptureSwitches().IsCaptureStarted.load()) return false;
    const TThreadCaptureState& state = ThreadCaptureState();
    return RaisedClassName(raised) != state.LastReportedClass || LastRaise().Address != state.LastReportedAddress;
}

__attribute__((noinline)) void OnEndCatch() {
    const THookGuard guard;
    if (!guard.Entered() || !CaptureSwitches().ThreadTrackingRunning.load()) return;
    try {
        cxxrt::TThrownException exception;
        int handlers = 0;
        // Only when the last catch block that holds it ends, not on a rethrow.
        if (!cxxrt::CurrentCaughtException(exception, handlers) || handlers != 1) return;
        const TRaisedObject raised{exception.Type, exception.Object, {}};
        if (!IsPendingHandledException(raised)) return;
        const TLastRaise last = LastRaise();
        const TStackSnapshotView snapshot = StackSnapshot();
        TReportRequest request;
        request.Object = raised;
        request.Address = last.Object == exception.Object ? last.Address : 0;
        request.IsLanguage = IsLanguageException(raised);
        request.StackStart = reinterpret_cast<uintptr_t>(snapshot.Buffer);
        request.StackTop = request.StackStart + snapshot.Size;
        request.Module = LibraryModuleHandle();
        request.IsHandled = true;
        ReportException(request);
        RememberRaisedClass(raised, request.Address);
    } catch (...) {
    }
}

// ---- Faults ------------------------------------------------------------------------

bool IsOsFault(DWORD code) { return (code & 0xF0000000u) == 0xC0000000u; }

// Code of Windows itself (and Wine's builtin modules): in the Windows folder.
bool IsSystemAddress(uintptr_t address) {
    static char windowsFolder[MAX_PATH];
    static UINT windowsLength = GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<const char*>(address), &module))
        return false;
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return windowsLength != 0 && length > windowsLength && _strnicmp(path, windowsFolder, windowsLength) == 0;
}

enum class TFaultOutcome { NoHandler, HandledBySystem, SwallowedByWindows };

// Who takes a fault: a frame of Windows' own code with a handler of its own
// (a probe of memory, say) handles it; a Windows callback dispatcher above our
// code swallows it; otherwise nothing on the stack does.
TFaultOutcome DecideFault(const CONTEXT& faultContext) {
#if defined(_WIN64)
    CONTEXT context = faultContext;
    const auto* tib = CurrentTib();
    const auto stackBase = reinterpret_cast<DWORD64>(tib->StackBase);
    uintptr_t windowsFrame = 0;
    for (auto entry = reinterpret_cast<uintptr_t>(tib->ExceptionList);
         entry > context.Rsp && entry < stackBase && IsReadableMemory(reinterpret_cast<void*>(entry), sizeof(void*));
         entry = *reinterpret_cast<const uintptr_t*>(entry)) {
        if (windowsFrame == 0 || entry < windowsFrame) windowsFrame = entry;
    }
    bool passedProgram = false;
    for (int depth = 0; depth < 4096 && context.Rip != 0 && context.Rsp < stackBase; ++depth) {
        if (!IsSystemAddress(context.Rip)) passedProgram = true;
        if (windowsFrame != 0 && context.Rsp > windowsFrame)
            return passedProgram ? TFaultOutcome::SwallowedByWindows : TFaultOutcome::HandledBySystem;
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
        if (function == nullptr) {
            if (!IsReadableMemory(reinterpret_cast<void*>(context.Rsp), sizeof(DWORD64))) break;
            context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
            context.Rsp += sizeof(DWORD64);
            continue;
        }
        const DWORD64 pc = context.Rip;
        void* data = nullptr;
        DWORD64 frame = 0;
        const PEXCEPTION_ROUTINE handler =
            RtlVirtualUnwind(UNW_FLAG_EHANDLER, imageBase, pc, function, &context, &data, &frame, nullptr);
        // C++ catch clauses do not take faults; a handler of Windows' own code may.
        if (handler != nullptr && handler != reinterpret_cast<PEXCEPTION_ROUTINE>(&__gxx_personality_seh0) &&
            IsSystemAddress(pc))
            return TFaultOutcome::HandledBySystem;
    }
    return TFaultOutcome::NoHandler;
#else
    // Every registration of the thread's chain is Windows' own: a fault in our
    // code reaches one of its dispatchers, one in Windows' code its own handler.
    return IsSystemAddress(ProgramCounterOf(faultContext)) ? TFaultOutcome::HandledBySystem
                                                           : TFaultOutcome::SwallowedByWindows;
#endif
}

THandledDecision DecideDecidedFault(void* argument) {
    return {*static_cast<const TFaultOutcome*>(argument) == TFaultOutcome::HandledBySystem, ckOrdinary};
}

// The object made for this thread's last fault, kept for the unhandled-exception filter.
thread_local TRaisedObject tLastFault;
thread_local DWORD tLastFaultCode = 0;
thread_local uintptr_t tLastFaultAddress = 0;

const wchar_t* FaultText(DWORD code, fw::EExternal::Kind& kind) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION: kind = fw::EExternal::Kind::AccessViolation; return L"Access violation";
        case EXCEPTION_INT_DIVIDE_BY_ZERO: kind = fw::EExternal::Kind::IntDivideByZero; return L"Division by zero";
        case EXCEPTION_INT_OVERFLOW: kind = fw::EExternal::Kind::IntOverflow; return L"Integer overflow";
        case EXCEPTION_FLT_DENORMAL_OPERAND:
        case EXCEPTION_FLT_DIVIDE_BY_ZERO:
        case EXCEPTION_FLT_INEXACT_RESULT:
        case EXCEPTION_FLT_INVALID_OPERATION:
        case EXCEPTION_FLT_OVERFLOW:
        case EXCEPTION_FLT_STACK_CHECK:
        case EXCEPTION_FLT_UNDERFLOW: kind = fw::EExternal::Kind::FloatFault; return L"Floating point fault";
        case EXCEPTION_STACK_OVERFLOW: kind = fw::EExternal::Kind::StackOverflow; return L"Stack overflow";
        case EXCEPTION_PRIV_INSTRUCTION: kind = fw::EExternal::Kind::Privileged; return L"Privileged instruction";
        case EXCEPTION_ILLEGAL_INSTRUCTION: kind = fw::EExternal::Kind::Illegal; return L"Illegal instruction";
        case STATUS_CONTROL_C_EXIT: kind = fw::EExternal::Kind::Control; return L"Control-C hit";
        default: kind = fw::EExternal::Kind::Unknown; return L"External exception";
    }
}

TRaisedObject OnFault(EXCEPTION_RECORD* record, CONTEXT* context, bool filter) {
    TRaisedObject object = MakeFaultObject(*record);
    if (record->ExceptionCode == kThreadNamingCode) return object;
    tLastFault = object;
    tLastFaultCode = record->ExceptionCode;
    tLastFaultAddress = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
    TThreadCaptureState& state = ThreadCaptureState();
    state.RaiseRecord = *record;
    if (context != nullptr && IsReadableMemory(context, sizeof(CONTEXT))) {
        state.RaiseContext = *context;
        state.RaiseContext.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
        state.ScanStart = StackPointerOf(*context);
    } else {
        state.ScanStart = 0;
        std::memset(&state.RaiseContext, 0, sizeof state.RaiseContext);
    }
    state.RaiseStackPos = state.ScanStart;
    const uintptr_t address = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
    TFaultOutcome outcome =
        state.RaiseContext.ContextFlags != 0 ? DecideFault(state.RaiseContext) : TFaultOutcome::NoHandler;
    const TCaptureSwitches& s = CaptureSwitches();
    // In the main thread a fault is reported when it reaches the framework or
    // the unhandled-exception filter; unless a Windows callback would swallow it.
    const bool mainThreadRoad = IsMainThread() && !s.InUnitInitialization.load() && !s.InUnitFinalization.load();
    if (mainThreadRoad && outcome != TFaultOutcome::SwallowedByWindows) {
        StoreLastRaise(object, address, false);
    } else if (filter) {
        FilterRaisedException(object, address, false, DecideDecidedFault, &outcome);
    }
    if (const auto forward = MainModuleExport("DrevnikLog_CallExceptObject", &DrevnikLog_CallExceptObject))
        forward(record, context, 0);
    return object;
}

// ---- Stack overflow ------------------------------------------------------------------
// The overflowing thread has about 2 KB of stack left: it copies the facts
// into memory set aside in advance, wakes the reporter thread and waits for
// the end. Nothing is allocated and no lock is taken on its side.

struct alignas(16) TOverflowCapture {
    CONTEXT Context;
    EXCEPTION_RECORD Record;
    DWORD ThreadId;
    uintptr_t StackBase;
};
TOverflowCapture gOverflow;
std::atomic<bool> gOverflowTaken{false};
std::atomic<bool> gOverflowStopping{false};
HANDLE gOverflowEvent = nullptr;
HANDLE gOverflowThread = nullptr;
DWORD gOverflowThreadId = 0;
// How long the reporter waits for a report lock the overflowing thread may hold.
constexpr DWORD kOverflowLockWaitMs = 5000;

[[noreturn]] void OnStackOverflow(const EXCEPTION_POINTERS* pointers) {
    if (!gOverflowTaken.exchange(true)) {
        std::memcpy(&gOverflow.Context, pointers->ContextRecord, sizeof gOverflow.Context);
        std::memcpy(&gOverflow.Record, pointers->ExceptionRecord, sizeof gOverflow.Record);
        gOverflow.ThreadId = GetCurrentThreadId();
        gOverflow.StackBase = reinterpret_cast<uintptr_t>(CurrentTib()->StackBase);
        SetEvent(gOverflowEvent);
    }
    for (;;) Sleep(INFINITE);
}

DWORD WINAPI OverflowReporter(void*) {
    WaitForSingleObject(gOverflowEvent, INFINITE);
    if (gOverflowStopping.load()) return 0;
    TReportRequest request;
    request.Object = MakeFaultObject(gOverflow.Record);
    request.Address = reinterpret_cast<uintptr_t>(gOverflow.Record.ExceptionAddress);
    request.IsLanguage = false;
    request.Context = &gOverflow.Context;
    request.OsRecord = &gOverflow.Record;
    request.StackTop = gOverflow.StackBase;
    request.StackStart = StackPointerOf(gOverflow.Context);
    request.Module = LibraryModuleHandle();
    request.FaultThreadId = gOverflow.ThreadId;
    ReportExceptionWaiting(request, kOverflowLockWaitMs);
    TerminateProcess(GetCurrentProcess(), EXCEPTION_STACK_OVERFLOW);
    return 0;
}

LONG CALLBACK VectoredHandler(EXCEPTION_POINTERS* pointers) {
    const DWORD code = pointers->ExceptionRecord->ExceptionCode;
    if (!IsOsFault(code) || !Active()) return EXCEPTION_CONTINUE_SEARCH;
    if (code == EXCEPTION_STACK_OVERFLOW && gOverflowEvent != nullptr) OnStackOverflow(pointers);
    if (IsExcludedThread(GetCurrentThreadId())) return EXCEPTION_CONTINUE_SEARCH;
    const THookGuard guard;
    if (!guard.Entered()) return EXCEPTION_CONTINUE_SEARCH;
    try {
        OnFault(pointers->ExceptionRecord, pointers->ContextRecord, true);
    } catch (...) {
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// ---- Last resorts ---------------------------------------------------------------------

std::atomic<void (*)()> gExcludedThreadFault{nullptr};

// How long the last resort lets a delivery on its own thread finish.
constexpr DWORD kPendingDeliveryBoundMs = 5 * 60 * 1000;

LONG WINAPI TopLevelExceptionFilter(EXCEPTION_POINTERS* pointers) {
    if (!Active()) return gPreviousFilter != nullptr ? gPreviousFilter(pointers) : EXCEPTION_CONTINUE_SEARCH;
    if (IsExcludedThread(GetCurrentThreadId())) {
        if (const auto handler = gExcludedThreadFault.load()) handler();
    }
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    // A C++ throw of the 64-bit runtime that nothing caught (in a thread
    // without the C runtime's start-up frame): continued, the unwinder
    // returns and the runtime calls std::terminate, whose handler reports it.
    // The bits 24 to 27 carry the unwinder's phase.
    const bool cxxRaise = (record.ExceptionCode & 0xF0FFFFFFu) == kCxxRaiseCode;
    if (cxxRaise && (record.ExceptionFlags & EXCEPTION_NONCONTINUABLE) == 0) return EXCEPTION_CONTINUE_EXECUTION;
    // Naming a thread is a notification, never an error.
    if (record.ExceptionCode == kThreadNamingCode) return EXCEPTION_CONTINUE_EXECUTION;
    const auto address = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
    try {
        TRaisedObject object = tLastFault && tLastFaultCode == record.ExceptionCode && tLastFaultAddress == address
                                   ? tLastFault
                                   : MakeFaultObject(record);
        if (!IsLastReported(object, address)) ReportUnhandledException(object, address);
    } catch (...) {
    }
    WaitForPendingDeliveries(kPendingDeliveryBoundMs);
    TerminateProcess(GetCurrentProcess(), record.ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// The end of an exception that nothing caught: reported unless the throw was,
// then the main thread ends the process and any other thread only itself.
[[noreturn]] void TerminateHandler() {
    if (Active() && !IsExcludedThread(GetCurrentThreadId())) {
        const THookGuard guard;
        try {
            cxxrt::TThrownException exception;
            int handlers = 0;
            if (guard.Entered() && cxxrt::CurrentCaughtException(exception, handlers)) {
                const TRaisedObject raised{exception.Type, exception.Object, {}};
                const TLastRaise last = LastRaise();
                const uintptr_t address = last.Object == exception.Object ? last.Address : 0;
                if (!IsLastReported(raised, address)) ReportUnhandledException(raised, address);
            }
        } catch (...) {
        }
        if (!IsMainThread()) HookedExitThread(1);
        ExitProcess(1);
    }
    if (gPreviousTerminate != nullptr) gPreviousTerminate();
    std::abort();
}

}  // namespace

TRaisedObject MakeFaultObject(const EXCEPTION_RECORD& record) {
    fw::EExternal::Kind kind;
    const wchar_t* text = FaultText(record.ExceptionCode, kind);
    wchar_t message[160];
    const auto address = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
        const wchar_t* access = record.ExceptionInformation[0] == 1   ? L"Write of"
                                : record.ExceptionInformation[0] == 8 ? L"Execution of"
                                                                      : L"Read of";
        swprintf(message, 160, L"%ls at address %0*IX. %ls address %0*IX.", text, int(2 * sizeof(void*)), address,
                 access, int(2 * sizeof(void*)), static_cast<uintptr_t>(record.ExceptionInformation[1]));
    } else if (kind == fw::EExternal::Kind::Unknown) {
        swprintf(message, 160, L"%ls %08X at address %0*IX.", text, static_cast<unsigned>(record.ExceptionCode),
                 int(2 * sizeof(void*)), address);
    } else {
        swprintf(message, 160, L"%ls at address %0*IX.", text, int(2 * sizeof(void*)), address);
    }
    return TRaisedObject::FromPtr(std::make_exception_ptr(fw::EExternal(message, kind, record.ExceptionCode, address)));
}

uint32_t MainThreadIdValue() { return gMainThreadId.load(); }

void SetExcludedThreadFaultHandler(void (*handler)()) { gExcludedThreadFault.store(handler); }

bool StartRaiseCapture() {
    gMainThreadId.store(GetCurrentThreadId());
    cxxrt::PrimePersonality();
    gRing.Clear();
    if (gOverflowEvent == nullptr) {
        gOverflowStopping.store(false);
        gOverflowTaken.store(false);
        gOverflowEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        gOverflowThread = gOverflowEvent ? RealCreateThread(nullptr, 64 * 1024, OverflowReporter, nullptr, 0,
                                                            &gOverflowThreadId)
                                         : nullptr;
        // Excluded while it lives; its id is given out again once it ends.
        if (gOverflowThread != nullptr) ExcludeThreadFromCapture(gOverflowThreadId);
    }
    if (gVectoredHandler == nullptr) gVectoredHandler = AddVectoredExceptionHandler(1, VectoredHandler);
    // Started twice, the previous handlers stay the ones from before: ours
    // would call themselves once stopped.
    const LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = SetUnhandledExceptionFilter(TopLevelExceptionFilter);
    if (previousFilter != TopLevelExceptionFilter) gPreviousFilter = previousFilter;
    const std::terminate_handler previousTerminate = std::set_terminate(TerminateHandler);
    if (previousTerminate != TerminateHandler) gPreviousTerminate = previousTerminate;
    return gVectoredHandler != nullptr && gOverflowThread != nullptr;
}

void StopRaiseCapture() {
    std::set_terminate(gPreviousTerminate);
    SetUnhandledExceptionFilter(gPreviousFilter);
    if (gVectoredHandler != nullptr) RemoveVectoredExceptionHandler(gVectoredHandler);
    gVectoredHandler = nullptr;
    if (gOverflowThread != nullptr && !gOverflowTaken.load()) {
        gOverflowStopping.store(true);
        SetEvent(gOverflowEvent);
        WaitForSingleObject(gOverflowThread, INFINITE);
        IncludeThreadInCapture(gOverflowThreadId);
        CloseHandle(gOverflowThread);
        CloseHandle(gOverflowEvent);
        gOverflowThread = gOverflowEvent = nullptr;
    }
}

}  // namespace drevnik

using namespace drevnik;

extern "C" {

[[noreturn]] void __real___cxa_throw(void*, std::type_info*, cxxrt::TExceptionDestructor);
[[noreturn]] void __real___cxa_rethrow();
void __real___cxa_end_catch();

// Linked in place of the runtime's own (-Wl,--wrap).
[[noreturn]] void __wrap___cxa_throw(void* object, std::type_info* type, cxxrt::TExceptionDestructor destructor) {
    if (CaptureSwitches().ThreadTrackingRunning.load())
        OnCxxThrow(object, type, destructor, reinterpret_cast<uintptr_t>(__builtin_return_address(0)),
                   reinterpret_cast<uintptr_t>(__builtin_frame_address(0)));
    __real___cxa_throw(object, type, destructor);
}

[[noreturn]] void __wrap___cxa_rethrow() {
    if (CaptureSwitches().ThreadTrackingRunning.load())
        OnCxxRethrow(reinterpret_cast<uintptr_t>(__builtin_return_address(0)),
                     reinterpret_cast<uintptr_t>(__builtin_frame_address(0)));
    __real___cxa_rethrow();
}

void __wrap___cxa_end_catch() {
    if (CaptureSwitches().ThreadTrackingRunning.load()) OnEndCatch();
    __real___cxa_end_catch();
}

}  // extern "C"

void* __stdcall DrevnikLog_CallExceptObject(EXCEPTION_RECORD* record, CONTEXT* context, int filter) {
    if (record == nullptr) return nullptr;
    try {
        return OnFault(record, context, filter != 0).Object;
    } catch (...) {
        return nullptr;
    }
}

void __stdcall DrevnikLog_CallGeneralRaise(DWORD code, DWORD, DWORD count, uintptr_t raiseStackPos,
                                           const ULONG_PTR* arguments) {
    // Another copy's C++ throw, remembered here as the last raise; that copy
    // has already decided whether to report it.
    if (!CaptureSwitches().ThreadTrackingRunning.load() || code != kCxxRaiseCode || count < kCxxRaiseArguments ||
        !IsReadableMemory(arguments, kCxxRaiseArguments * sizeof(ULONG_PTR)))
        return;
    const ULONG_PTR(&raise)[kCxxRaiseArguments] = *reinterpret_cast<const ULONG_PTR(*)[kCxxRaiseArguments]>(arguments);
    TThreadCaptureState& state = ThreadCaptureState();
    state.RaiseStackPos = raiseStackPos;
    state.ScanStart = raiseStackPos;
    state.RaiseContext.ContextFlags = 0;  // the registers stayed with the other copy
    SetCxxRaiseRecord(state.RaiseRecord, raise);
    const TRaisedObject object{reinterpret_cast<const std::type_info*>(raise[2]), reinterpret_cast<void*>(raise[1]), {}};
    StoreLastRaise(object, static_cast<uintptr_t>(raise[3]), true);
}
