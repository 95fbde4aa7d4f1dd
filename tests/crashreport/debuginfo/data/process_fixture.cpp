// A second process for the process-list tests: it starts four threads that
// wait, touches 48 MB, writes "<pid> <working set> <parent id>" on standard
// output and waits until its standard input closes.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "crashreport/debuginfo/DrevnikProcesses.h"

namespace {

DWORD WINAPI WaitForStop(void* event) { return WaitForSingleObject(event, INFINITE); }

}  // namespace

int main() {
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<HANDLE> threads;
    for (int i = 0; i < 4; ++i) {
        threads.push_back(CreateThread(nullptr, 0, WaitForStop, stop, 0, nullptr));
    }
    std::vector<char> memory(48u << 20);
    std::memset(memory.data(), 1, memory.size());
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("%lu %llu %u\n", GetCurrentProcessId(), static_cast<unsigned long long>(counters.WorkingSetSize),
                drevnik::GetParentProcessId());
    std::fflush(stdout);
    char buffer[16];
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    }
    SetEvent(stop);
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 5000);
    return memory[12345] == 1 ? 0 : 1;
}
