// The process-wide list of the threads the program creates: who created and
// resumed each one, what it runs and where its stack ends. The thread hooks
// (DrevnikThreadHooks.h) fill it; a report works on a snapshot of it.
//
// Records are keyed by thread id and hold a handle of their own, duplicated
// from the one the creator got: the creator may close its handle at once, and
// the held handle keeps the thread's id from being given to a new thread
// until the record goes.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/capture/DrevnikThreadSystem.h"

namespace drevnik {

// Priority of a record whose priority was not read yet.
constexpr int32_t kNoPriority = INT32_MIN;

struct TTrackedThread {
    uint32_t ThreadId = 0;
    TThreadHandle ThreadHandle;       // the list's own handle of the thread
    uint32_t ResumerThreadId = 0;     // the thread that last resumed it
    int32_t Priority = kNoPriority;
    void* ThreadObject = nullptr;     // a framework thread object; none for plain threads
    uintptr_t StackTop = 0;           // stored when the thread starts through a wrapper
    uintptr_t OriginalExecute = 0;
    uintptr_t ThreadFunc = 0;         // asked for through the C runtime's begin-thread routine
    uintptr_t StartRoutine = 0;       // asked for through a plain CreateThread
    uintptr_t Parameter = 0;
    uintptr_t ResumerStackStart = 0;  // where ResumerStack was copied from
    std::vector<uint8_t> ResumerStack;  // the resuming thread's stack, from its ResumeThread call to its base
    bool ForeignCopy = false;         // the resumer data came from another copy of the library

    // The creation address: the function the creator asked the thread to run.
    uintptr_t CreationAddress() const { return ThreadFunc != 0 ? ThreadFunc : StartRoutine; }
};

// The form in which copies of the library in one process hand a record to
// each other: packed, 49 bytes in a 32-bit process. ResumerStack points into
// the sender's memory and is valid only during the call.
#pragma pack(push, 1)
struct TTrackedThreadWire {
    uint32_t ThreadId;
    uintptr_t ThreadHandle;
    uint32_t ResumerThreadId;
    int32_t Priority;
    uintptr_t ThreadObject;
    uintptr_t StackTop;
    uintptr_t OriginalExecute;
    uintptr_t ThreadFunc;
    uintptr_t StartRoutine;
    uintptr_t Parameter;
    uint32_t ResumerStackSize;
    uintptr_t ResumerStack;
    uint8_t ForeignCopy;
};
#pragma pack(pop)
static_assert(sizeof(void*) != 4 || sizeof(TTrackedThreadWire) == 49);

TTrackedThreadWire ToWire(const TTrackedThread& record);
// A record of our own from another copy's: its handle duplicated, its
// resumer stack copied (the sender frees its buffer when it likes).
std::unique_ptr<TTrackedThread> FromWire(const TTrackedThreadWire& wire);

class TDrevnikThreadsList : public TDrevnikOwningList<TTrackedThread> {
public:
    // The main list, with its lock.
    TDrevnikThreadsList();
    // A snapshot: every record copied under the source's read lock, with
    // handles and resumer stacks of its own, so it stays whole after the
    // source changes. A snapshot has no lock.
    explicit TDrevnikThreadsList(const TDrevnikThreadsList& source);

    bool IsSnapshot() const { return !lock_; }

    // Index of the last record that matches; -1 when none. A handle matches
    // the record of the thread it names, whatever handle value the record holds.
    int IndexOfHandle(uintptr_t handle) const;
    int IndexOfThreadObject(const void* object) const;
    int IndexOfThreadId(uint32_t id) const;

    // The lock (no-ops on a snapshot).
    std::shared_lock<std::shared_mutex> ReadLock() const;
    std::unique_lock<std::shared_mutex> WriteLock() const;

    // A zeroed record (Priority kNoPriority), added at once when asked.
    std::unique_ptr<TTrackedThread> NewRecord() const { return std::make_unique<TTrackedThread>(); }
    TTrackedThread& AddNewRecord() { return Add(NewRecord()); }

    // Under the write lock: drops the calling thread's record.
    void RemoveCurrentThread();
    // Under the write lock, last to first: drops every record whose thread has ended.
    void PurgeDeadThreads();

private:
    std::unique_ptr<std::shared_mutex> lock_;
};

}  // namespace drevnik
