// The processes running when a report is made: executable, description,
// version, priority, memory and thread count. The system's process
// functions are bound by name; a missing one narrows the list instead of
// failing it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "crashreport/capture/DrevnikLists.h"

namespace drevnik {

// The process-wide list that the report handler fills once per report; null
// outside the library's start-up and shut-down.
TDrevnikProcessesList* ProcessesList();
void CreateProcessesList();
void DestroyProcessesList();

// Clears and refills the list, sorted by process id. On NT 4 the processes
// come from PSAPI, elsewhere from a tool-help snapshot.
void BuildProcessesList(TDrevnikProcessesList& list);
void BuildProcessesList();  // the process-wide list, when it exists

// The two roads, each adding what it finds to the list: every process PSAPI
// names that can be opened (working set read, no thread count); and every
// process of a tool-help snapshot, on Windows 6 and later from the snapshot
// entry itself. True when the thread counts came from the snapshot.
void EnumerateProcessesPsapi(TDrevnikProcessesList& list);
bool EnumerateProcessesToolhelp(TDrevnikProcessesList& list);
// Counts the threads of a system-wide snapshot into the listed processes.
void CountProcessThreads(TDrevnikProcessesList& list);

// Index of the process in a list sorted by id, -1 when missing.
int FindProcessIndex(const TDrevnikProcessesList& list, uint32_t processId);
int FindProcessIndex(uint32_t processId);  // in the process-wide list
// Raises the thread count of each thread's owner; the owner of the previous
// thread is tried first, since a snapshot lists a process's threads together.
// Threads of processes that are not listed are ignored.
void AddThreadCounts(TDrevnikProcessesList& list, const std::vector<uint32_t>& threadOwnerIds);

// The id of the process that started this one; 0 when not found.
uint32_t GetParentProcessId();

// The priority class a base priority stands for: 0 for 0, 1-5 idle (64),
// 6-7 below normal (0x4000), 8-9 normal (32), 10-12 above normal (0x8000),
// 13-23 high (128), 24 and above real-time (256).
uint32_t PriorityClassFromBase(int32_t basePriority);

}  // namespace drevnik
