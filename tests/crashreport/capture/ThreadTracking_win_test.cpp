// The thread list filled by the hooks, for each way the program makes threads.
#include <windows.h>

#include <gtest/gtest.h>
#include <process.h>

#include <thread>

#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikThreadHooks.h"
#include "crashreport/capture/EHook.h"

namespace drevnik {
namespace {

class ThreadTracking : public ::testing::Test {
protected:
    void SetUp() override {
        HookInitStep();
        CreateMainThreadsList();
        CaptureSwitches().ThreadTrackingRunning = true;
        ASSERT_TRUE(HookThreadImports());
    }
    void TearDown() override {
        CaptureSwitches().ThreadTrackingRunning = false;
        HookDoneStep();
        DestroyMainThreadsList();
    }
};

// What a tracked thread saw of itself, and a gate that holds it.
struct TProbe {
    HANDLE Gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    volatile LONG Ran = 0;
    DWORD Id = 0;
    uintptr_t StackBase = 0;
    ~TProbe() { CloseHandle(Gate); }
};

void Body(TProbe& probe) {
    probe.Id = GetCurrentThreadId();
    probe.StackBase = GetThreadStackBase();
    InterlockedExchange(&probe.Ran, 1);
    WaitForSingleObject(probe.Gate, 30000);
}
DWORD WINAPI PlainBody(void* probe) {
    Body(*static_cast<TProbe*>(probe));
    return 7;
}
unsigned __stdcall BeginBody(void* probe) {
    Body(*static_cast<TProbe*>(probe));
    return 7;
}

bool WaitRan(const TProbe& probe) {
    for (int i = 0; i < 3000 && probe.Ran == 0; ++i) Sleep(1);
    return probe.Ran != 0;
}

// The record of a thread, copied out under the lock.
bool FindRecord(DWORD id, uint32_t& resumer, uintptr_t& creation, uintptr_t& stackTop, size_t& resumerStack) {
    TDrevnikThreadsList* list = MainThreadsList();
    const auto guard = list->ReadLock();
    const int index = list->IndexOfThreadId(id);
    if (index < 0) return false;
    const TTrackedThread& record = list->GetItem(index);
    resumer = record.ResumerThreadId;
    creation = record.CreationAddress();
    stackTop = record.StackTop;
    resumerStack = record.ResumerStack.size();
    return true;
}

TEST_F(ThreadTracking, EveryWayOfMakingAThreadIsRecordedWithParentAndStart) {
    struct TRow {
        const char* Name;
        uintptr_t (*Start)(TProbe&, HANDLE&);  // the creation address the record must name; 0 for any
    };
    const TRow rows[] = {
        {"CreateThread",
         [](TProbe& probe, HANDLE& thread) {
             thread = CreateThread(nullptr, 0, PlainBody, &probe, 0, nullptr);
             return reinterpret_cast<uintptr_t>(&PlainBody);
         }},
        {"_beginthreadex",
         [](TProbe& probe, HANDLE& thread) {
             thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, BeginBody, &probe, 0, nullptr));
             return reinterpret_cast<uintptr_t>(&BeginBody);
         }},
        {"std::thread",
         [](TProbe& probe, HANDLE& thread) {
             std::thread([&probe] { Body(probe); }).detach();
             thread = nullptr;  // opened by its id once it runs
             return uintptr_t{0};
         }},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TProbe probe;
        HANDLE thread = nullptr;
        const uintptr_t start = row.Start(probe, thread);
        ASSERT_TRUE(WaitRan(probe));
        if (thread == nullptr) thread = OpenThread(SYNCHRONIZE, FALSE, probe.Id);
        ASSERT_NE(thread, nullptr);
        uint32_t resumer = 0;
        uintptr_t creation = 0, stackTop = 0;
        size_t resumerStack = 0;
        ASSERT_TRUE(FindRecord(probe.Id, resumer, creation, stackTop, resumerStack));
        EXPECT_EQ(resumer, GetCurrentThreadId());
        if (start != 0) {
            EXPECT_EQ(creation, start);
        }
        EXPECT_NE(creation, 0u);
        EXPECT_EQ(stackTop, probe.StackBase);
        EXPECT_GT(resumerStack, 0u);
        SetEvent(probe.Gate);
        EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
        CloseHandle(thread);
    }
}

TEST_F(ThreadTracking, SuspendedThreadWaitsForItsCreatorAndKeepsItsRecordPastClosedHandles) {
    TProbe probe;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, PlainBody, &probe, CREATE_SUSPENDED, &id);
    ASSERT_NE(thread, nullptr);
    Sleep(50);
    EXPECT_EQ(probe.Ran, 0);
    TDrevnikThreadsList* list = MainThreadsList();
    EXPECT_EQ(list->IndexOfHandle(reinterpret_cast<uintptr_t>(thread)), list->IndexOfThreadId(id));
    EXPECT_GE(list->IndexOfThreadId(id), 0);

    // Resumed from another thread: that one is the resumer.
    DWORD resumerId = 0;
    std::thread resumer([&] {
        resumerId = GetCurrentThreadId();
        ResumeThread(thread);
    });
    resumer.join();
    ASSERT_TRUE(WaitRan(probe));
    uint32_t resumerSeen = 0;
    uintptr_t creation = 0, stackTop = 0;
    size_t stack = 0;
    ASSERT_TRUE(FindRecord(id, resumerSeen, creation, stackTop, stack));
    EXPECT_EQ(resumerSeen, resumerId);

    // The creator closes its handle: the record keeps one of its own, so the
    // id stays the thread's and the snapshot can still use it.
    CloseHandle(thread);
    TDrevnikThreadsList snapshot(*list);
    EXPECT_TRUE(snapshot.IsSnapshot());
    const int index = snapshot.IndexOfThreadId(id);
    ASSERT_GE(index, 0);
    EXPECT_TRUE(IsThreadRunning(snapshot.GetItem(index).ThreadHandle.Get()));
    SetEvent(probe.Gate);
    EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(snapshot.GetItem(index).ThreadHandle.Get()), 30000),
              WAIT_OBJECT_0);

    // Ended by returning: gone at the next purge; the snapshot keeps it.
    list->PurgeDeadThreads();
    EXPECT_LT(list->IndexOfThreadId(id), 0);
    EXPECT_GE(snapshot.IndexOfThreadId(id), 0);
}

DWORD WINAPI EndsThroughExitThread(void*) { ExitThread(3); }

TEST_F(ThreadTracking, ExitThreadRemovesTheRecord) {
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, EndsThroughExitThread, nullptr, 0, &id);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 3u);
    EXPECT_LT(MainThreadsList()->IndexOfThreadId(id), 0);
    CloseHandle(thread);
}

// The start routine travels with the thread: losing the record loses nothing.
TEST_F(ThreadTracking, ThreadRunsItsRoutineEvenWithoutItsRecord) {
    TProbe probe;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, PlainBody, &probe, CREATE_SUSPENDED, &id);
    ASSERT_NE(thread, nullptr);
    {
        TDrevnikThreadsList* list = MainThreadsList();
        const auto guard = list->WriteLock();
        list->Delete(list->IndexOfThreadId(id));
    }
    ResumeThread(thread);
    ASSERT_TRUE(WaitRan(probe));
    SetEvent(probe.Gate);
    ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 7u);
    CloseHandle(thread);
}

}  // namespace
}  // namespace drevnik
