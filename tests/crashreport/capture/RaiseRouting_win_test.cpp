// Where each raise goes, in a running process: a table of throws and faults
// with the reports they must make at the seam, and the roads that hand
// exceptions over (ExceptionManager, the end of a catch block).
#include <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikThreadHooks.h"
#include "crashreport/capture/DrevnikThreadSystem.h"
#include "crashreport/capture/EHook.h"
#include "crashreport/capture/RaiseCapture.h"
#include "tests/crashreport/capture/TestWindow.h"
#include "framework/core/exceptions.h"

namespace drevnik {
namespace {

struct TSeen {
    std::string Class;
    std::string Message;
    bool IsLanguage;
    bool IsHandled;
    bool OtherThread;
    bool ThrowerAlive;  // the raising function had not unwound yet
    uint8_t Mode;
};

std::mutex gSeenLock;
std::vector<TSeen> gSeen;
thread_local int tThrowerAlive = 0;
thread_local uintptr_t tAliveAt = 0;  // a local of the innermost thrower
bool (*gThenInHandler)() = nullptr;

struct TAlive {
    TAlive() {
        ++tThrowerAlive;
        tAliveAt = reinterpret_cast<uintptr_t>(this);
    }
    ~TAlive() { --tThrowerAlive; }
};

bool Record(const TReportRequest& request) {
    {
        const std::lock_guard<std::mutex> guard(gSeenLock);
        gSeen.push_back({RaisedClassName(request.Object), RaisedMessage(request.Object), request.IsLanguage,
                         request.IsHandled, GetCurrentThreadId() != MainThreadIdValue(), tThrowerAlive > 0,
                         request.ReportMode});
    }
    return gThenInHandler != nullptr ? gThenInHandler() : true;
}

std::vector<TSeen> Seen() {
    const std::lock_guard<std::mutex> guard(gSeenLock);
    return gSeen;
}

class RaiseRouting : public ::testing::Test {
protected:
    void SetUp() override {
        HookInitStep();
        CreateMainThreadsList();
        CaptureSwitches().ThreadTrackingRunning = true;
        CaptureSwitches().IsCaptureStarted = true;
        HookThreadImports();
        ASSERT_TRUE(StartRaiseCapture());
        SetReportExceptionHandler(Record);
        gSeen.clear();
        gThenInHandler = nullptr;
    }
    void TearDown() override {
        SetReportExceptionHandler(nullptr);
        CaptureSwitches().IsCaptureStarted = false;
        CaptureSwitches().ThreadTrackingRunning = false;
        StopRaiseCapture();
        HookDoneStep();
        DestroyMainThreadsList();
    }
};

__attribute__((noinline)) void ThrowRuntime() {
    TAlive alive;
    throw std::runtime_error("runtime");
}
__attribute__((noinline)) void ThrowLogic() {
    TAlive alive;
    throw std::logic_error("logic");
}
__attribute__((noinline)) void Sealed() noexcept { ThrowLogic(); }
// std::rethrow_exception bypasses the throw wrappers: only the terminate
// handler sees it when nothing catches it.
__attribute__((noinline)) void RethrowStored() {
    static const std::exception_ptr stored = std::make_exception_ptr(std::range_error("stored"));
    TAlive alive;
    std::rethrow_exception(stored);
}
__attribute__((noinline)) void RethrowRuntime() {
    try {
        ThrowRuntime();
    } catch (...) {
        TAlive alive;
        throw;
    }
}

void InThread(void (*body)()) {
    std::thread worker(body);
    worker.join();
}

// A thread of Windows' own making, without the C runtime's start-up frame.
DWORD WINAPI RunBody(void* body) {
    reinterpret_cast<void (*)()>(body)();
    return 0;
}
void InPlainThread(void (*body)()) {
    HANDLE thread = CreateThread(nullptr, 0, RunBody, reinterpret_cast<void*>(body), 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

LRESULT CALLBACK ThrowingWindow(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_USER) ThrowRuntime();
    return DefWindowProcW(window, message, w, l);
}
void ThrowInWindowProcedure() {
    HWND window = test::MakeTestWindow(L"KynRoutingTest", ThrowingWindow);
    try { SendMessageW(window, WM_USER, 0, 0); } catch (...) {}
    DestroyWindow(window);
}

BOOL CALLBACK ThrowingEnumeration(HWND, LPARAM) {
    ThrowRuntime();
    return FALSE;
}
void ThrowInEnumWindows() {
    try { EnumWindows(ThrowingEnumeration, 0); } catch (...) {}
}

bool gTicked = false;
void CALLBACK ThrowingTick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    gTicked = true;
    ThrowRuntime();
}
void ThrowInTimerCallback() {
    gTicked = false;
    SetTimer(nullptr, 0, 10, ThrowingTick);
    MSG message;
    while (!gTicked && GetMessageW(&message, nullptr, 0, 0) > 0) {
        try { DispatchMessageW(&message); } catch (...) {}
    }
}

struct TScenario {
    const char* Name;
    void (*Action)();
    int Reports;            // reports made at the seam
    const char* Class;      // of the one report
    bool OtherThread;
};

const TScenario kScenarios[] = {
    {"caught by its class", [] { try { ThrowRuntime(); } catch (const std::runtime_error&) {} }, 0, "", false},
    {"caught by a base class", [] { try { ThrowRuntime(); } catch (const std::exception&) {} }, 0, "", false},
    {"caught by catch-all", [] { try { ThrowLogic(); } catch (...) {} }, 0, "", false},
    {"rethrown and caught", [] { try { try { ThrowRuntime(); } catch (...) { throw; } } catch (...) {} }, 0, "", false},
    {"nested in a catch block", [] { try { ThrowRuntime(); } catch (...) { try { ThrowLogic(); } catch (...) {} } },
     0, "", false},
    {"caught in another thread", [] { InThread([] { try { ThrowRuntime(); } catch (...) {} }); }, 0, "", true},
    {"uncaught in another thread", [] { InThread([] { ThrowRuntime(); }); }, 1, "std::runtime_error", true},
    {"uncaught in a thread made by CreateThread", [] { InPlainThread([] { ThrowRuntime(); }); }, 1,
     "std::runtime_error", true},
    {"rethrown, uncaught in another thread", [] { InThread(RethrowRuntime); }, 1, "std::runtime_error", true},
    {"std::rethrow_exception, uncaught in another thread", [] { InThread(RethrowStored); }, 1, "std::range_error",
     true},
    {"out of a noexcept function in another thread", [] { InThread([] { Sealed(); }); }, 1, "std::logic_error", true},
    {"EAbort, uncaught in another thread", [] { InThread([] { throw fw::EAbort(); }); }, 0, "", true},
    {"hardware fault that Windows' own code handles",
     [] { InThread([] { EXPECT_TRUE(IsBadReadPtr(nullptr, 4)); }); }, 0, "", true},
#if defined(_WIN64)
    // 64-bit C++ exceptions cross Windows' frames.
    {"callback from Windows, caught outside", ThrowInEnumWindows, 0, "", false},
    {"window procedure, caught outside SendMessage", ThrowInWindowProcedure, 0, "", false},
    {"timer callback that Windows swallows", ThrowInTimerCallback, 1, "std::runtime_error", false},
#else
    // 32-bit ones cannot: the throw ends in std::terminate whatever catches
    // outside (each in a thread of its own, which the terminate then ends).
    // Windows' timer dispatch catches no DWARF-unwound throw either.
    {"callback from Windows, in another thread", [] { InThread(ThrowInEnumWindows); }, 1, "std::runtime_error", true},
    {"window procedure, in another thread", [] { InThread(ThrowInWindowProcedure); }, 1, "std::runtime_error", true},
    {"timer callback, in another thread", [] { InThread(ThrowInTimerCallback); }, 1, "std::runtime_error", true},
#endif
};

TEST_F(RaiseRouting, EachScenarioReportsOnlyWhatNoHandlerTakes) {
    for (const TScenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.Name);
        gSeen.clear();
        scenario.Action();
        const std::vector<TSeen> seen = Seen();
        ASSERT_EQ(static_cast<int>(seen.size()), scenario.Reports);
        if (scenario.Reports == 0) continue;
        EXPECT_EQ(seen[0].Class, scenario.Class);
        EXPECT_TRUE(seen[0].IsLanguage);
        EXPECT_FALSE(seen[0].IsHandled);
        EXPECT_EQ(seen[0].OtherThread, scenario.OtherThread);
        EXPECT_TRUE(seen[0].ThrowerAlive) << "reported after the stack unwound";
    }
}

// What the report sees of the raise: the thrower's registers, unwound from
// the throw wrapper, and the copy of its stack.
struct TRaiseView {
    uintptr_t ProgramCounter = 0;
    uintptr_t StackPointer = 0;
    uintptr_t AliveAt = 0;
    uintptr_t HandlerLocal = 0;
    uintptr_t StackBase = 0;
    DWORD ThreadId = 0;
    TStackSnapshotView Snapshot;
    bool StackCopyMatches = false;
} gRaiseView;

bool ViewRaise(const TReportRequest&) {
    const CONTEXT& context = ThreadCaptureState().RaiseContext;
#if defined(_WIN64)
    gRaiseView.ProgramCounter = context.Rip;
    gRaiseView.StackPointer = context.Rsp;
#else
    gRaiseView.ProgramCounter = context.Eip;
    gRaiseView.StackPointer = context.Esp;
#endif
    volatile int local = 0;
    gRaiseView.HandlerLocal = reinterpret_cast<uintptr_t>(&local);
    gRaiseView.AliveAt = tAliveAt;
    gRaiseView.StackBase = GetThreadStackBase();
    gRaiseView.ThreadId = GetCurrentThreadId();
    gRaiseView.Snapshot = StackSnapshot();
    gRaiseView.StackCopyMatches =
        gRaiseView.Snapshot.Size != 0 &&
        std::memcmp(gRaiseView.Snapshot.Buffer, reinterpret_cast<const void*>(gRaiseView.StackPointer),
                    gRaiseView.Snapshot.Size) == 0;
    return true;
}

TEST_F(RaiseRouting, TheReportSeesTheThrowersRegistersAndStack) {
    SetReportExceptionHandler(ViewRaise);
    DWORD thrower = 0;
    static DWORD* threadId = nullptr;
    threadId = &thrower;
    InThread([] {
        *threadId = GetCurrentThreadId();
        ThrowRuntime();
    });
    const TRaiseView& view = gRaiseView;
    ASSERT_EQ(view.ThreadId, thrower) << "no report at the throw";
    // The program counter is the call of the throw inside ThrowRuntime.
    const auto thrower_ = reinterpret_cast<uintptr_t>(&ThrowRuntime);
    EXPECT_GT(view.ProgramCounter, thrower_);
    EXPECT_LT(view.ProgramCounter, thrower_ + 512);
    // The stack pointer is the thrower's: its locals above, the report below.
    EXPECT_LE(view.StackPointer, view.AliveAt);
    EXPECT_GT(view.StackPointer, view.HandlerLocal);
    EXPECT_LT(view.StackPointer, view.StackBase);
    // The stack copy starts there and holds the thrower's frames as they are.
    EXPECT_EQ(view.Snapshot.ThreadId, thrower);
    EXPECT_EQ(view.Snapshot.Address, view.ProgramCounter);
    EXPECT_EQ(view.Snapshot.Size, std::min<uintptr_t>(view.StackBase - view.StackPointer, kStackSnapshotSize));
    EXPECT_TRUE(view.StackCopyMatches);
}

#if defined(_WIN64)
TEST(RaiseRouting32, CallbacksFromWindows) {
    GTEST_SKIP() << "the scenario rows for throws in callbacks from Windows, which 32-bit C++ exceptions cannot "
                    "cross, run in the i686 build only; this 64-bit build checks the same frames with its own rows";
}
#endif

TEST_F(RaiseRouting, ExceptionManagerReportsWhatItIsHanded) {
    try {
        ThrowRuntime();
    } catch (...) {
        EXPECT_TRUE(ExceptionManager(TRaisedObject::FromPtr(std::current_exception()), 0x1234, rmDesktop, 0));
    }
    // Handed nothing: the last raise stands in, by its type.
    try {
        ThrowLogic();
    } catch (...) {
        EXPECT_TRUE(ExceptionManager(TRaisedObject{}, 0, rmWebPage, 0));
    }
    // EAbort is never reported.
    try {
        throw fw::EAbort();
    } catch (...) {
        EXPECT_TRUE(ExceptionManager(TRaisedObject::FromPtr(std::current_exception()), 0, rmAutomatic, 0));
    }
    const std::vector<TSeen> seen = Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Class, "std::runtime_error");
    EXPECT_EQ(seen[0].Message, "runtime");
    EXPECT_EQ(seen[0].Mode, rmDesktop);
    EXPECT_EQ(seen[1].Class, "std::logic_error");
    EXPECT_EQ(seen[1].Mode, rmWebPage);
}

// What the unhandled-exception filter leaves alone: a thread-naming
// notification, and a C++ throw that the runtime must end in std::terminate
// once the unwinder returns.
TEST_F(RaiseRouting, TheFilterContinuesNotificationsAndCxxThrows) {
    const LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(filter);
    ASSERT_NE(filter, nullptr);
    for (const DWORD code : {kThreadNamingCode, kCxxRaiseCode}) {
        EXCEPTION_RECORD record{};
        record.ExceptionCode = code;
        CONTEXT context{};
        EXCEPTION_POINTERS pointers{&record, &context};
        EXPECT_EQ(filter(&pointers), EXCEPTION_CONTINUE_EXECUTION) << std::hex << code;
    }
    EXPECT_TRUE(Seen().empty());
}

// Another copy of the library hands its throw over: it is remembered as the
// last raise (that copy decided about reporting it), and stands in when
// ExceptionManager is handed nothing.
TEST_F(RaiseRouting, AnotherCopysRaiseIsRememberedNotReported) {
    std::logic_error object("elsewhere");
    const ULONG_PTR arguments[kCxxRaiseArguments] = {0, reinterpret_cast<ULONG_PTR>(&object),
                                                     reinterpret_cast<ULONG_PTR>(&typeid(std::logic_error)), 0x401234};
    DrevnikLog_CallGeneralRaise(EXCEPTION_ACCESS_VIOLATION, 0, kCxxRaiseArguments, 0x1000, arguments);
    EXPECT_NE(LastRaise().Object, static_cast<void*>(&object)) << "only C++ raises are handed over";
    DrevnikLog_CallGeneralRaise(kCxxRaiseCode, EXCEPTION_NONCONTINUABLE, kCxxRaiseArguments, 0x1000, arguments);
    const TLastRaise last = LastRaise();
    EXPECT_EQ(last.Object, static_cast<void*>(&object));
    EXPECT_EQ(last.Address, 0x401234u);
    EXPECT_TRUE(last.IsLanguage);
    const TThreadCaptureState& state = ThreadCaptureState();
    EXPECT_EQ(state.ScanStart, 0x1000u);
    EXPECT_EQ(state.RaiseRecord.ExceptionAddress, reinterpret_cast<void*>(0x401234));
    EXPECT_EQ(state.RaiseRecord.ExceptionInformation[1], arguments[1]);
    EXPECT_TRUE(Seen().empty());
    EXPECT_TRUE(ExceptionManager(TRaisedObject{}, 0, rmAutomatic, 0));
    const std::vector<TSeen> seen = Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Class, "std::logic_error");
}

TEST_F(RaiseRouting, FaultObjectsCarryKindCodeAndText) {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    record.ExceptionAddress = reinterpret_cast<void*>(0x401000);
    record.NumberParameters = 2;
    record.ExceptionInformation[0] = 1;
    record.ExceptionInformation[1] = 0x10;
    const TRaisedObject fault = MakeFaultObject(record);
    const auto* external = RaisedAs<fw::EExternal>(fault);
    ASSERT_NE(external, nullptr);
    EXPECT_EQ(external->ExceptionKind(), fw::EExternal::Kind::AccessViolation);
    EXPECT_EQ(external->ExceptionCode(), EXCEPTION_ACCESS_VIOLATION);
    EXPECT_EQ(external->ExceptionAddress(), 0x401000u);
    EXPECT_NE(RaisedMessage(fault).find("Write of address"), std::string::npos) << RaisedMessage(fault);
    EXPECT_FALSE(IsLanguageException(fault));
    EXPECT_TRUE(IsReportableObject(fault));
    record.ExceptionCode = 0xE0001234;
    EXPECT_NE(RaisedMessage(MakeFaultObject(record)).find("E0001234"), std::string::npos);
}

TEST_F(RaiseRouting, HandledExceptionsAreReportedWhenTheirCatchEnds) {
    TDrevnikModuleOptionsEx options("");
    options.SetBehaviourFlags(options.BehaviourFlags() | bhReportHandledExceptions);
    static TDrevnikModuleOptionsEx* current = nullptr;
    current = &options;
    SetCurrentOptionsProvider([] { return current; });
    try {
        ThrowRuntime();
    } catch (const std::exception&) {
        EXPECT_TRUE(Seen().empty()) << "reported before the catch ended";
    }
    SetCurrentOptionsProvider(nullptr);
    const std::vector<TSeen> seen = Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Class, "std::runtime_error");
    EXPECT_TRUE(seen[0].IsHandled);
    EXPECT_FALSE(seen[0].ThrowerAlive);
}

// Stopping leaves nothing behind: the thread kept ready for stack overflows
// is excluded from routing only while it lives (Windows gives its id out
// again), and the handlers from before come back even after a second start.
TEST_F(RaiseRouting, StoppingLeavesNothingBehind) {
    std::vector<DWORD> excluded;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId() && IsExcludedThread(entry.th32ThreadID))
            excluded.push_back(entry.th32ThreadID);
    }
    CloseHandle(snapshot);
    ASSERT_EQ(excluded.size(), 1u);
    StopRaiseCapture();
    EXPECT_FALSE(IsExcludedThread(excluded[0]));

    const LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(filter);
    const std::terminate_handler terminate = std::get_terminate();
    ASSERT_TRUE(StartRaiseCapture());
    ASSERT_TRUE(StartRaiseCapture());
    StopRaiseCapture();
    EXPECT_EQ(SetUnhandledExceptionFilter(filter), filter);
    EXPECT_EQ(std::get_terminate(), terminate);
    ASSERT_TRUE(StartRaiseCapture());
}

// A raise inside a report (same thread) is neither reported again nor waits
// for itself; one in another thread waits its turn and is reported after.
TEST_F(RaiseRouting, ARaiseWhileOneIsRoutedNeverDeadlocks) {
    static std::thread* second = nullptr;
    gThenInHandler = []() -> bool {
        gThenInHandler = nullptr;
        try {
            ThrowLogic();
        } catch (...) {
        }
        second = new std::thread([] { ThrowLogic(); });
        Sleep(50);
        throw std::runtime_error("out of the report");
    };
    InThread([] { ThrowRuntime(); });
    second->join();
    delete second;
    const std::vector<TSeen> seen = Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Class, "std::runtime_error");
    EXPECT_EQ(seen[1].Class, "std::logic_error");
    EXPECT_TRUE(seen[1].OtherThread);
}

}  // namespace
}  // namespace drevnik
