// The report's own heap. A report may suspend threads that hold the C
// runtime heap's lock (or fault inside malloc itself), so the report's
// handler thread never allocates from that heap: while it runs, malloc,
// calloc, realloc and free (and so operator new and delete) serve it from a
// region of its own, and blocks above 1 MB from mappings of their own.
// Blocks of that region that other threads free later go back through a
// lock-free list, big blocks are unmapped by whichever thread frees them;
// blocks of the C runtime that the handler frees wait until the report is
// over.
//
// The programs link malloc and its kin wrapped (-Wl,--wrap), see the
// library's CMakeLists.txt.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drevnik {

// Routes the calling thread's allocations to the report heap while it lives.
// One thread at a time (reports are serialised).
class TReportHeapScope {
public:
    TReportHeapScope();
    ~TReportHeapScope();
    TReportHeapScope(const TReportHeapScope&) = delete;
    TReportHeapScope& operator=(const TReportHeapScope&) = delete;

private:
    uint32_t previous_;
};

// The report suspended / resumed one thread.
void NoteSuspended();
void NoteResumed();
// The C runtime blocks that the routed thread freed wait for this, called
// by another thread once the report is over.
void FlushDeferredFrees();
// How many suspensions the reports made so far; whether any thread is
// suspended by a report now.
uint32_t SuspensionCount();
bool ThreadsSuspendedNow();

// Whether `block` lies in the report heap (its region or a big block).
bool IsReportHeapBlock(const void* block);
// Bytes of the report heap in use (for tests).
std::size_t ReportHeapBytesInUse();

}  // namespace drevnik
