// Raise capture and routing: every exception of the process is seen when it
// is raised, and the decision whether the library must report it is taken
// before the stack unwinds.
//
// How the C++ runtime is watched:
//   - __cxa_throw and __cxa_rethrow are wrapped at link time: each throw runs
//     the unwinder's search phase first (CxxRuntimeInternals.h). A throw that
//     some catch will take is left to it; one that none takes (or that ends in
//     a noexcept function, or in a Windows callback that swallows it) is
//     reported at the throw, with the thrower still on the stack.
//   - __cxa_end_catch (wrapped) ends a catch block: with
//     bhReportHandledExceptions on, the caught exception is reported then.
//   - The std::terminate handler is the last resort (std::rethrow_exception
//     bypasses the wrappers and ends here when nothing catches it).
//   - A vectored handler turns faults (access violation, division by zero,
//     illegal instruction, stack overflow and the rest of the error codes) into
//     exception objects and routes them; the process's unhandled-exception
//     filter reports what no one handled and ends the process.
// Every road ends in ReportException, whose work the report orchestration
// plugs in with SetReportExceptionHandler.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>
#include <typeinfo>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/StackSnapshotSpan.h"

namespace drevnik {

// The exception code of our own record of a C++ throw (GCC's SEH code for
// C++ exceptions); ExceptionInformation holds the unwinder's header, the
// thrown object, its type and the raise's return address.
constexpr DWORD kCxxRaiseCode = 0x20474343;
constexpr DWORD kCxxRaiseArguments = 4;
// The debugger convention for naming a thread: never an error.
constexpr DWORD kThreadNamingCode = 0x406D1388;

// A raised object: the thrown C++ object or the object made for a fault.
// `Object` is alive while the exception is; `Keep` holds it when the road
// could take a reference (faults, exceptions handed over from catch blocks).
struct TRaisedObject {
    const std::type_info* Type = nullptr;  // null: no object
    void* Object = nullptr;
    std::exception_ptr Keep;

    static TRaisedObject FromPtr(std::exception_ptr exception);
    explicit operator bool() const { return Type != nullptr; }
};

// The object seen as a `target` (as `catch (target&)` would), or null.
void* RaisedAsType(const TRaisedObject& raised, const std::type_info& target);
template <class T>
T* RaisedAs(const TRaisedObject& raised) {
    return static_cast<T*>(RaisedAsType(raised, typeid(T)));
}
std::string RaisedClassName(const TRaisedObject& raised);  // demangled
std::string RaisedMessage(const TRaisedObject& raised);    // what() or the framework message; empty otherwise
// An object of an exception class other than fw::EAbort (or a descendant).
bool IsReportableObject(const TRaisedObject& raised);
// Not a fault: no fw::EExternal.
bool IsLanguageException(const TRaisedObject& raised);

// Catch kinds handed to the report.
enum TCatchKind : uint8_t { ckOrdinary = 0, ckSafecall = 1, ckThreadWrapper = 2 };
// Report modes.
enum TReportMode : uint8_t { rmAutomatic = 0, rmDesktop = 1, rmWebPage = 2 };

// Where one routed exception goes: everything the report needs to know.
struct TReportRequest {
    TRaisedObject Object;
    uintptr_t Address = 0;        // the raise's return address for C++ throws, the fault address otherwise
    bool IsLanguage = true;
    uintptr_t StackTop = 0;       // 0: the faulting thread's stack base
    uintptr_t StackStart = 0;     // 0: the thread's scan start
    const CONTEXT* Context = nullptr;
    const EXCEPTION_RECORD* OsRecord = nullptr;
    uint8_t ReportMode = rmAutomatic;
    TModuleHandle Module = 0;
    uint8_t CatchKind = ckOrdinary;
    bool IsHandled = false;
    TDrevnikStackList* ReadyCallStack = nullptr;
    uint32_t FaultThreadId = 0;   // 0: the calling thread
};

// The report itself: true when the caller must still run its own handling
// (or nothing took the exception), false when the report handled it.
using TReportExceptionHandler = bool (*)(const TReportRequest& request);
void SetReportExceptionHandler(TReportExceptionHandler handler);

// The one seam where routing ends. Serialised by the report lock (shared
// with ExceptionManager); a report raised inside a report of the same thread
// is dropped (false); the handler's own exceptions never escape.
bool ReportException(const TReportRequest& request);
// The lock ReportException holds for a whole report; a delivery on a
// thread of its own takes it too, so it never overlaps a report.
CRITICAL_SECTION& ReportLock();
// Deliveries handed to a thread of their own that have not finished; the
// last-resort filter waits for them (at most `boundMs`) before it ends the
// process, or the report would never leave.
void BeginPendingDelivery();
void EndPendingDelivery();
void WaitForPendingDeliveries(DWORD boundMs);
// The same, waiting at most `lockTimeoutMs` for the report lock (the stack
// overflow's reporter cannot know whether the overflowing thread holds it).
bool ReportExceptionWaiting(const TReportRequest& request, DWORD lockTimeoutMs);
// Whether this is the exception of the last report (its object, or its type
// and address), so the last-resort roads do not report it twice.
bool IsLastReported(const TRaisedObject& raised, uintptr_t address);

// Per-thread state of the raise capture.
struct alignas(16) TThreadCaptureState {
    char LastReportedClass[65] = {};     // class of this thread's last report
    uintptr_t LastReportedAddress = 0;
    uintptr_t ScanStart = 0;             // where a stack scan of this thread starts; 0 none
    uintptr_t RaiseStackPos = 0;         // stack position of the last raise
    CONTEXT RaiseContext{};              // ContextFlags 0: none
    EXCEPTION_RECORD RaiseRecord{};
    bool InReport = false;
    bool InFilter = false;
    // This thread's last report: the last-resort roads of the same thread
    // must not report it again, whatever other threads reported meanwhile.
    const std::type_info* ReportedType = nullptr;
    const void* ReportedObject = nullptr;
    uintptr_t ReportedAddress = 0;
};
TThreadCaptureState& ThreadCaptureState();
// After a report: scan start, raise context and record cleared, last raise forgotten.
void ResetThreadReportState();
void RememberRaisedClass(const TRaisedObject& raised, uintptr_t address);
void RememberRaisedClass(TThreadCaptureState& state, const TRaisedObject& raised, uintptr_t address);
// Waits until a report in progress has ended.
void WaitForRunningReport();

// The last raise of the module; the last writer wins. Its object is only a
// name for the type once the raise is over.
struct TLastRaise {
    const std::type_info* Type = nullptr;
    void* Object = nullptr;
    uintptr_t Address = 0;
    bool IsLanguage = false;
};
TLastRaise LastRaise();
void StoreLastRaise(const TRaisedObject& raised, uintptr_t address, bool isLanguage);

// The copy of the raising thread's stack taken at the last examined raise.
struct TStackSnapshotView {
    uint32_t ThreadId = 0;
    uintptr_t Address = 0;
    const uint8_t* Buffer = nullptr;
    uint32_t Size = 0;
};
void SaveStackSnapshot(uintptr_t address, bool isLanguage);
TStackSnapshotView StackSnapshot();

// The raise-time decision for an examined raise (handled: leave it).
struct THandledDecision {
    bool Handled = false;
    uint8_t CatchKind = ckOrdinary;
};
using TDecideHandled = THandledDecision (*)(void* context);

// Examines one raise: remembers it, and when no handler will catch it
// reports it now. A raise while this runs in the same thread passes
// unexamined. Keeps the thread's last-error value.
void FilterRaisedException(const TRaisedObject& raised, uintptr_t address, bool isLanguage, TDecideHandled decide,
                           void* decideContext);

// The library's entry for exceptions that hooks and other modules hand over.
// True: the caller runs the handling it replaced; false: the library took it.
bool ExceptionManager(const TRaisedObject& raised, uintptr_t address, uint8_t mode, TModuleHandle module);

// Reported as an exception that nothing handled; 1 when reported, else 0.
int ReportUnhandledException(const TRaisedObject& raised, uintptr_t address);

// Threads whose raises are never routed (the library's own report threads).
void ExcludeThreadFromCapture(uint32_t threadId);
void IncludeThreadInCapture(uint32_t threadId);
bool IsExcludedThread(uint32_t threadId);
// Called when a fault that nothing handles reaches one of those threads:
// they are never reported, and the report's own thread must not hang the
// one waiting for it.
void SetExcludedThreadFaultHandler(void (*handler)());

// An fw::EExternal for a fault, with the fault's kind, code and address.
TRaisedObject MakeFaultObject(const EXCEPTION_RECORD& record);

// Installs the vectored handler, the unhandled-exception filter, the
// terminate handler and the stack-overflow reporter thread; records the
// calling thread as the main thread. StopRaiseCapture undoes it.
bool StartRaiseCapture();
void StopRaiseCapture();
uint32_t MainThreadIdValue();

}  // namespace drevnik

extern "C" {
// Exported (by name and ordinal, see DrevnikExports.cmake).
// The C++ raise of another copy of the library (code kCxxRaiseCode, its
// arguments as in our record), remembered as the last raise.
void __stdcall DrevnikLog_CallGeneralRaise(DWORD code, DWORD flags, DWORD count,
                                                                 uintptr_t raiseStackPos, const ULONG_PTR* arguments);
// The fault object for an OS exception record (routed when `filter` is set).
void* __stdcall DrevnikLog_CallExceptObject(EXCEPTION_RECORD* record, CONTEXT* context,
                                                                  int filter);
// The language-exception flag stored with the last raise, as a byte.
uint8_t __stdcall DrevnikLog_LastDelphiException();
// ExceptionManager for other modules: the object as its type and address.
BOOL __stdcall ExceptionManager(const std::type_info* type, void* object, uintptr_t address,
                                                      DWORD mode, uintptr_t module);
}
