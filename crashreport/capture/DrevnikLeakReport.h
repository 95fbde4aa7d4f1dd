// The library's side of the leak report (LeakTracker.h): the callbacks that
// the library's start-up plugs into the tracker's slots.
#pragma once

#include <cstdint>
#include <string>

#include "crashreport/capture/LeakAnalysis.h"

namespace drevnik {

// The temporary folder, the process id and the module handle in hexadecimal, ".bin".
std::string GetLeakDataFileName();
// Fills the six slots and arranges the report at exit; start-up step 16.
void InstallLeakCallbacks();
// Shut-down step 7: the module's options kept for the report after shut-down.
void SaveLeakReportOptions();

void Internal_ResetLeaks();
void Internal_AddLeak(const char* typeText, uint32_t size, uint32_t count, const TLeakAddress* addresses);
void Internal_ShowLeaks();
void RaiseMemoryOverrun(int code, uintptr_t releasedAt);
void RaiseMultiFree(int code, uintptr_t releasedAt);
void DeleteLeakDataFile();

// The totals of the last leak report.
uint32_t LeakTotalSize();
uint32_t LeakTotalCount();

}  // namespace drevnik
