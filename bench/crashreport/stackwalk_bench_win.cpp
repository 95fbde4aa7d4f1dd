// Address lookups per second over this program's own code (named through
// the debug data our writer attached), and the time to walk and resolve the
// stacks of 50 waiting threads.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "crashreport/debuginfo/DrevnikAddressLookup.h"
#include "crashreport/debuginfo/DrevnikCallStack.h"

namespace {

HANDLE gRelease = nullptr;
volatile int gSink = 0;

__attribute__((noinline)) void Wait(int depth) {
    if (depth > 0) {
        Wait(depth - 1);
        gSink = depth;
        return;
    }
    WaitForSingleObject(gRelease, INFINITE);
}

DWORD WINAPI WaitThread(void* depth) {
    Wait(static_cast<int>(reinterpret_cast<intptr_t>(depth)));
    return 0;
}

}  // namespace

int main() {
    using clock = std::chrono::steady_clock;
    drevnik::InstallDebugInfoReaders();
    const auto module = reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        module + static_cast<uintptr_t>(reinterpret_cast<const IMAGE_DOS_HEADER*>(module)->e_lfanew));
    const uintptr_t codeStart = module + 0x1000, codeSize = nt->OptionalHeader.SizeOfCode;

    // Warm: the first lookup builds the module's record.
    drevnik::TCallStackEntry entry;
    drevnik::LookupAddress(codeStart, 0, entry, 1, 0);
    const int lookups = 500;
    int named = 0;
    auto t0 = clock::now();
    for (int i = 0; i < lookups; ++i) {
        const uintptr_t address = codeStart + (static_cast<uintptr_t>(i) * 7919u) % codeSize;
        drevnik::LookupAddress(address, 0, entry, 1, 0);
        named += entry.EntryKind == drevnik::ekUnitRoutineLine;
    }
    const double seconds = std::chrono::duration<double>(clock::now() - t0).count();
    std::printf("address lookups: %.0f per second (%d of %d named to the line, code %lu KiB)\n", lookups / seconds,
                named, lookups, static_cast<unsigned long>(codeSize / 1024));

    gRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<HANDLE> threads;
    for (int i = 0; i < 50; ++i)
        threads.push_back(
            CreateThread(nullptr, 0, WaitThread, reinterpret_cast<void*>(static_cast<intptr_t>(5 + i % 10)), 0, nullptr));
    Sleep(500);
    t0 = clock::now();
    drevnik::TDrevnikStackList list;
    for (HANDLE h : threads) {
        SuspendThread(h);
        CONTEXT context{};
        context.ContextFlags = CONTEXT_FULL;
        GetThreadContext(h, &context);
        drevnik::TStackScanParams p;
        p.ThreadId = GetThreadId(h);
#if defined(_WIN64)
        p.StackStart = context.Rsp;
        const uintptr_t pc = context.Rip;
#else
        p.StackStart = context.Esp;
        const uintptr_t pc = context.Eip;
#endif
        MEMORY_BASIC_INFORMATION region{};
        VirtualQuery(reinterpret_cast<const void*>(p.StackStart), &region, sizeof region);
        p.StackEnd = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize - 4;
        drevnik::ScanStack(list, p, pc);
        ResumeThread(h);
    }
    const double walk = std::chrono::duration<double>(clock::now() - t0).count();
    std::printf("walk and resolve 50 threads: %.1f ms (%d entries)\n", walk * 1000, list.Count());
    SetEvent(gRelease);
    for (HANDLE h : threads) {
        WaitForSingleObject(h, INFINITE);
        CloseHandle(h);
    }
    return 0;
}
