// Routing state and decisions: the per-thread capture state, the last raise,
// the stack snapshot, the raise-time filter, ExceptionManager and the seam.
#include "crashreport/capture/RaiseCapture.h"

#include <cxxabi.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "crashreport/capture/CxxRuntimeInternals.h"
#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/MainModuleExport.h"
#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::atomic<TReportExceptionHandler> gReportHandler{nullptr};


std::atomic<const std::type_info*> gLastRaiseType{nullptr};
std::atomic<void*> gLastRaiseObject{nullptr};
std::atomic<uintptr_t> gLastRaiseAddress{0};
std::atomic<bool> gLastRaiseIsLanguage{false};

// The stack snapshot: one buffer for the module, the last raising thread wins.
std::mutex gSnapshotLock;
uint8_t gSnapshotBuffer[kStackSnapshotSize];
uint32_t gSnapshotThreadId = 0;
uintptr_t gSnapshotAddress = 0;
uint32_t gSnapshotSize = 0;

std::mutex gExcludedLock;
constexpr int kMaxExcluded = 16;
uint32_t gExcluded[kMaxExcluded] = {};

bool ObjectIsA(const TRaisedObject& raised, const std::type_info& target, const char* name) {
    if (raised.Type == nullptr) return false;
    if (raised.Object != nullptr) return RaisedAsType(raised, target) != nullptr;
    // Only the type is left of a raise that is over: compare by name.
    return RaisedClassName(raised) == name;
}

std::atomic<uintptr_t> gLastReportAddress{0};
std::atomic<const std::type_info*> gLastReportType{nullptr};
std::atomic<const void*> gLastReportObject{nullptr};

// Waits for the report lock at most `timeoutMs`; without it the report runs
// anyway rather than wait for a thread that may never let go.
class TReportLockGuard {
public:
    explicit TReportLockGuard(DWORD timeoutMs = INFINITE) {
        if (timeoutMs == INFINITE) {
            EnterCriticalSection(&ReportLock());
            held_ = true;
            return;
        }
        for (DWORD waited = 0; !(held_ = TryEnterCriticalSection(&ReportLock()) != FALSE) && waited < timeoutMs;
             waited += 10)
            Sleep(10);
    }
    ~TReportLockGuard() {
        if (held_) LeaveCriticalSection(&ReportLock());
    }
    TReportLockGuard(const TReportLockGuard&) = delete;
    TReportLockGuard& operator=(const TReportLockGuard&) = delete;

private:
    bool held_ = false;
};

uintptr_t CurrentStackPosition() { return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)); }

}  // namespace

// The report lock: one report at a time in the process. Recursive, so a
// thread that reports from inside its own report is refused by InReport
// instead of waiting for itself.
// Never deleted: a report may still run while static objects are destroyed.
namespace {
struct TCriticalSection {
    TCriticalSection() { InitializeCriticalSection(&Section); }
    CRITICAL_SECTION Section;
};
}  // namespace
CRITICAL_SECTION& ReportLock() {
    static TCriticalSection lock;
    return lock.Section;
}

// ---- Raised objects ---------------------------------------------------------------

TRaisedObject TRaisedObject::FromPtr(std::exception_ptr exception) {
    TRaisedObject raised;
    if (!exception) return raised;
    raised.Type = exception.__cxa_exception_type();
    raised.Object = cxxrt::ObjectOfExceptionPtr(exception);
    raised.Keep = std::move(exception);
    return raised;
}

void* RaisedAsType(const TRaisedObject& raised, const std::type_info& target) {
    if (raised.Type == nullptr || raised.Object == nullptr) return nullptr;
    return cxxrt::CastThrownObject(*raised.Type, raised.Object, target);
}

std::string RaisedClassName(const TRaisedObject& raised) {
    if (raised.Type == nullptr) return {};
    int status = 0;
    char* name = abi::__cxa_demangle(raised.Type->name(), nullptr, nullptr, &status);
    std::string result = status == 0 && name != nullptr ? name : raised.Type->name();
    std::free(name);
    return result;
}

std::string RaisedMessage(const TRaisedObject& raised) {
    if (const auto* own = RaisedAs<fw::Exception>(raised)) return fw::WideToAnsi(own->Message());
    if (const auto* standard = RaisedAs<std::exception>(raised)) return standard->what() ? standard->what() : "";
    return {};
}

bool IsReportableObject(const TRaisedObject& raised) {
    return raised.Type != nullptr && !ObjectIsA(raised, typeid(fw::EAbort), "fw::EAbort");
}

bool IsLanguageException(const TRaisedObject& raised) {
    return !ObjectIsA(raised, typeid(fw::EExternal), "fw::EExternal");
}

// ---- Capture state -------------------------------------------------------------------

TThreadCaptureState& ThreadCaptureState() {
    thread_local TThreadCaptureState state;
    return state;
}

void ResetThreadReportState() {
    TThreadCaptureState& state = ThreadCaptureState();
    state.ScanStart = 0;
    state.RaiseContext.ContextFlags = 0;
    std::memset(&state.RaiseRecord, 0, sizeof state.RaiseRecord);
    StoreLastRaise(TRaisedObject{}, 0, false);
}

void RememberRaisedClass(const TRaisedObject& raised, uintptr_t address) {
    RememberRaisedClass(ThreadCaptureState(), raised, address);
}

void RememberRaisedClass(TThreadCaptureState& state, const TRaisedObject& raised, uintptr_t address) {
    const std::string name = RaisedClassName(raised).substr(0, sizeof state.LastReportedClass - 1);
    std::memcpy(state.LastReportedClass, name.c_str(), name.size() + 1);
    state.LastReportedAddress = address;
}

TLastRaise LastRaise() {
    return {gLastRaiseType.load(), gLastRaiseObject.load(), gLastRaiseAddress.load(), gLastRaiseIsLanguage.load()};
}

void StoreLastRaise(const TRaisedObject& raised, uintptr_t address, bool isLanguage) {
    gLastRaiseType.store(raised.Type);
    gLastRaiseObject.store(raised.Object);
    if (address != 0) gLastRaiseAddress.store(address);
    gLastRaiseIsLanguage.store(isLanguage);
}

// ---- Stack snapshot -------------------------------------------------------------------

void SaveStackSnapshot(uintptr_t address, bool isLanguage) {
    const std::lock_guard<std::mutex> guard(gSnapshotLock);
    const TThreadCaptureState& state = ThreadCaptureState();
    const uintptr_t raiseSp = state.RaiseContext.ContextFlags != 0 ?
#if defined(_WIN64)
                                                                   state.RaiseContext.Rsp
#else
                                                                   state.RaiseContext.Esp
#endif
                                                                   : 0;
    uintptr_t start = 0;
    uint32_t size = 0;
    SnapshotSpan(raiseSp, GetThreadStackLimit(), GetThreadStackBase(), CurrentStackPosition(), start, size);
    gSnapshotThreadId = GetCurrentThreadId();
    gSnapshotAddress = isLanguage && address != 0 ? address - 5 : address;
    gSnapshotSize = IsReadableMemory(reinterpret_cast<const void*>(start), size) ? size : 0;
    if (gSnapshotSize != 0) std::memcpy(gSnapshotBuffer, reinterpret_cast<const void*>(start), gSnapshotSize);
}

TStackSnapshotView StackSnapshot() {
    const std::lock_guard<std::mutex> guard(gSnapshotLock);
    return {gSnapshotThreadId, gSnapshotAddress, gSnapshotBuffer, gSnapshotSize};
}

// ---- Excluded threads -------------------------------------------------------------------

void ExcludeThreadFromCapture(uint32_t threadId) {
    const std::lock_guard<std::mutex> guard(gExcludedLock);
    for (uint32_t& slot : gExcluded) {
        if (slot == threadId) return;
    }
    for (uint32_t& slot : gExcluded) {
        if (slot == 0) {
            slot = threadId;
            return;
        }
    }
}

void IncludeThreadInCapture(uint32_t threadId) {
    const std::lock_guard<std::mutex> guard(gExcludedLock);
    for (uint32_t& slot : gExcluded) {
        if (slot == threadId) slot = 0;
    }
}

bool IsExcludedThread(uint32_t threadId) {
    const std::lock_guard<std::mutex> guard(gExcludedLock);
    return std::find(std::begin(gExcluded), std::end(gExcluded), threadId) != std::end(gExcluded);
}

// ---- The seam ---------------------------------------------------------------------------

void SetReportExceptionHandler(TReportExceptionHandler handler) { gReportHandler.store(handler); }

namespace {
std::atomic<int> gPendingDeliveries{0};
}  // namespace

void BeginPendingDelivery() { gPendingDeliveries.fetch_add(1); }
void EndPendingDelivery() { gPendingDeliveries.fetch_sub(1); }

void WaitForPendingDeliveries(DWORD boundMs) {
    for (DWORD waited = 0; gPendingDeliveries.load() > 0 && waited < boundMs; waited += 50) Sleep(50);
}

void WaitForRunningReport() {
    EnterCriticalSection(&ReportLock());
    LeaveCriticalSection(&ReportLock());
}

bool IsLastReported(const TRaisedObject& raised, uintptr_t address) {
    const auto same = [&](const std::type_info* type, const void* object, uintptr_t reportedAddress) {
        return raised.Type == type && ((raised.Object != nullptr && raised.Object == object) ||
                                       (address != 0 && address == reportedAddress));
    };
    const TThreadCaptureState& state = ThreadCaptureState();
    return same(gLastReportType.load(), gLastReportObject.load(), gLastReportAddress.load()) ||
           same(state.ReportedType, state.ReportedObject, state.ReportedAddress);
}

bool ReportException(const TReportRequest& request) { return ReportExceptionWaiting(request, INFINITE); }

bool ReportExceptionWaiting(const TReportRequest& request, DWORD lockTimeoutMs) {
    if (!CaptureSwitches().ThreadTrackingRunning.load() || !IsReportableObject(request.Object)) return true;
    const TReportLockGuard lock(lockTimeoutMs);
    TThreadCaptureState& state = ThreadCaptureState();
    if (state.InReport) return false;
    state.InReport = true;
    gLastReportAddress.store(request.Address);
    gLastReportType.store(request.Object.Type);
    gLastReportObject.store(request.Object.Object);
    state.ReportedType = request.Object.Type;
    state.ReportedObject = request.Object.Object;
    state.ReportedAddress = request.Address;
    bool result = true;
    if (const TReportExceptionHandler handler = gReportHandler.load()) {
        try {
            result = handler(request);
        } catch (...) {
            result = true;
        }
    }
    state.InReport = false;
    ResetThreadReportState();
    return result;
}

// ---- Routing ------------------------------------------------------------------------------

void FilterRaisedException(const TRaisedObject& raised, uintptr_t address, bool isLanguage, TDecideHandled decide,
                           void* decideContext) {
    TThreadCaptureState& state = ThreadCaptureState();
    if (state.InFilter) return;
    state.InFilter = true;
    const DWORD lastError = GetLastError();
    StoreLastRaise(raised, address, isLanguage);
    if (CaptureSwitches().IsCaptureStarted.load() && IsReportableObject(raised) &&
        !IsExcludedThread(GetCurrentThreadId())) {
        SaveStackSnapshot(address, isLanguage);
        THandledDecision decision = decide(decideContext);
        if (CaptureSwitches().ForwardToMainModule.load()) decision.Handled = true;
        if (!decision.Handled) {
            if (state.ScanStart == 0) state.ScanStart = state.RaiseStackPos;
            TReportRequest request;
            request.Object = raised;
            request.Address = address;
            request.IsLanguage = isLanguage;
            request.Module = LibraryModuleHandle();
            request.CatchKind = decision.CatchKind;
            ReportException(request);
        }
    }
    SetLastError(lastError);
    state.InFilter = false;
}

bool ExceptionManager(const TRaisedObject& raised, uintptr_t address, uint8_t mode, TModuleHandle module) {
    const TReportLockGuard lock;
    if (const auto forward = MainModuleExport("ExceptionManager", &::ExceptionManager))
        return forward(raised.Type, raised.Object, address, mode, LibraryModuleHandle()) != FALSE;
    if (!CaptureSwitches().IsCaptureStarted.load()) return true;
    const TLastRaise last = LastRaise();
    const TRaisedObject lastObject{last.Type, nullptr, {}};
    if (!IsReportableObject(raised) && !IsReportableObject(lastObject)) return true;
    TRaisedObject object = raised;
    if (!object) {
        object = lastObject;
        address = last.Address;
    }
    TThreadCaptureState& state = ThreadCaptureState();
    if (state.ScanStart == 0) state.ScanStart = CurrentStackPosition();
    TReportRequest request;
    request.Object = object;
    request.Address = address;
    request.IsLanguage = IsLanguageException(object);
    request.ReportMode = mode;
    request.Module = module;
    return ReportException(request);
}

int ReportUnhandledException(const TRaisedObject& raised, uintptr_t address) {
    if (!CaptureSwitches().ThreadTrackingRunning.load()) return 0;
    TThreadCaptureState& state = ThreadCaptureState();
    if (state.ScanStart == 0) {
        state.ScanStart = CurrentStackPosition();
        state.RaiseContext.ContextFlags = 0;
        std::memset(&state.RaiseRecord, 0, sizeof state.RaiseRecord);
    }
    TReportRequest request;
    request.Object = raised;
    request.Address = address;
    request.IsLanguage = IsLanguageException(raised);
    request.Module = LibraryModuleHandle();
    ReportException(request);
    return 1;
}

}  // namespace drevnik

using namespace drevnik;

uint8_t __stdcall DrevnikLog_LastDelphiException() { return LastRaise().IsLanguage ? 1 : 0; }

BOOL __stdcall ExceptionManager(const std::type_info* type, void* object, uintptr_t address, DWORD mode,
                                uintptr_t module) {
    return drevnik::ExceptionManager(TRaisedObject{type, object, {}}, address, static_cast<uint8_t>(mode), module)
               ? TRUE
               : FALSE;
}
