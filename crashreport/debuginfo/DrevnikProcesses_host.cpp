// Host stand-ins: the host lists no processes.
#include <unistd.h>

#include "crashreport/debuginfo/DrevnikProcesses.h"

namespace drevnik {

void BuildProcessesList(TDrevnikProcessesList& list) { list.Clear(); }
void EnumerateProcessesPsapi(TDrevnikProcessesList&) {}
bool EnumerateProcessesToolhelp(TDrevnikProcessesList&) { return false; }
void CountProcessThreads(TDrevnikProcessesList&) {}
uint32_t GetParentProcessId() { return static_cast<uint32_t>(getppid()); }

}  // namespace drevnik
