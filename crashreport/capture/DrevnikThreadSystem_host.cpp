// Host stand-ins: threads have ids and stacks, but no handles to hold.
#include <pthread.h>

#include <atomic>

#include "crashreport/capture/DrevnikThreadSystem.h"

namespace drevnik {
namespace {

std::atomic<uint32_t> gNextThreadId{1};

void StackBounds(uintptr_t& base, uintptr_t& limit) {
    pthread_attr_t attr;
    void* low = nullptr;
    size_t size = 0;
    base = limit = 0;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
    if (pthread_attr_getstack(&attr, &low, &size) == 0) {
        limit = reinterpret_cast<uintptr_t>(low);
        base = limit + size;
    }
    pthread_attr_destroy(&attr);
}

}  // namespace

uint32_t CurrentThreadIdValue() {
    thread_local const uint32_t id = gNextThreadId.fetch_add(1);
    return id;
}

uintptr_t DuplicateThreadHandle(uintptr_t handle) { return handle; }
void CloseThreadHandle(uintptr_t) {}
uint32_t ThreadIdOfHandle(uintptr_t) { return 0; }
bool IsThreadRunning(uintptr_t handle) { return handle != 0; }

uintptr_t GetThreadStackBase() {
    uintptr_t base, limit;
    StackBounds(base, limit);
    return base;
}

uintptr_t GetThreadStackLimit() {
    uintptr_t base, limit;
    StackBounds(base, limit);
    return limit;
}

}  // namespace drevnik
