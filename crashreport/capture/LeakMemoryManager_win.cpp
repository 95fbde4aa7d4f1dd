// C++'s memory manager replaced by the leak tracker: the global operator new
// and delete family. Built as a library of its own (crash_leak_manager) and
// linked only into the programs that track leaks; which of them do is up to
// their library data.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "crashreport/capture/LeakTracker.h"

namespace {

using drevnik::LeakFreeMemFrom;
using drevnik::LeakGetMemFrom;

// The caller's return address and this entry's frame: where the stack copy
// begins, and for a release the saved frame pointer and the return address.
#define KYN_LEAK_CALLER reinterpret_cast<uintptr_t>(__builtin_return_address(0))
#define KYN_LEAK_FRAME reinterpret_cast<uintptr_t>(__builtin_frame_address(0))

void* AllocateOrThrow(std::size_t size, uintptr_t frame, uintptr_t caller) {
    if (size == 0) size = 1;
    for (;;) {
        if (void* p = LeakGetMemFrom(size, frame, caller)) return p;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

void* AllocateOrNull(std::size_t size, uintptr_t frame, uintptr_t caller) noexcept {
    try {
        return AllocateOrThrow(size, frame, caller);
    } catch (...) {
        return nullptr;
    }
}

// Over-aligned blocks are not tracked: the guard header fixes the alignment.
void* AllocateAligned(std::size_t size, std::align_val_t align) {
    if (size == 0) size = 1;
    for (;;) {
        if (void* p = _aligned_malloc(size, static_cast<std::size_t>(align))) return p;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

// Starts before every other static constructor of the program; its exit
// routine therefore runs after every static destructor.
__attribute__((constructor(101))) void StartLeakTracker() {
    const uintptr_t entries[] = {
        reinterpret_cast<uintptr_t>(static_cast<void* (*)(std::size_t)>(&::operator new)),
        reinterpret_cast<uintptr_t>(static_cast<void* (*)(std::size_t)>(&::operator new[])),
        reinterpret_cast<uintptr_t>(static_cast<void* (*)(std::size_t, const std::nothrow_t&) noexcept>(&::operator new)),
        reinterpret_cast<uintptr_t>(
            static_cast<void* (*)(std::size_t, const std::nothrow_t&) noexcept>(&::operator new[])),
    };
    drevnik::RegisterLeakAllocationEntries(entries, 4);
    drevnik::LeaksInit();
    std::atexit(drevnik::LeaksFinal);
}

}  // namespace

// The symbol that pulls this object into a program.
extern "C" void KynLeakManagerLinked() {}

__attribute__((noinline)) void* operator new(std::size_t size) {
    return AllocateOrThrow(size, KYN_LEAK_FRAME, KYN_LEAK_CALLER);
}
__attribute__((noinline)) void* operator new[](std::size_t size) {
    return AllocateOrThrow(size, KYN_LEAK_FRAME, KYN_LEAK_CALLER);
}
__attribute__((noinline)) void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, KYN_LEAK_FRAME, KYN_LEAK_CALLER);
}
__attribute__((noinline)) void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size, KYN_LEAK_FRAME, KYN_LEAK_CALLER);
}
void* operator new(std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    try {
        return AllocateAligned(size, align);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    try {
        return AllocateAligned(size, align);
    } catch (...) {
        return nullptr;
    }
}

__attribute__((noinline)) void operator delete(void* p) noexcept {
    LeakFreeMemFrom(p, KYN_LEAK_CALLER, KYN_LEAK_FRAME);
}
__attribute__((noinline)) void operator delete[](void* p) noexcept {
    LeakFreeMemFrom(p, KYN_LEAK_CALLER, KYN_LEAK_FRAME);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept {
    LeakFreeMemFrom(p, KYN_LEAK_CALLER, KYN_LEAK_FRAME);
}
__attribute__((noinline)) void operator delete[](void* p, std::size_t) noexcept {
    LeakFreeMemFrom(p, KYN_LEAK_CALLER, KYN_LEAK_FRAME);
}
__attribute__((noinline)) void operator delete(void* p, const std::nothrow_t&) noexcept {
    LeakFreeMemFrom(p, KYN_LEAK_CALLER, KYN_LEAK_FRAME);
}
__attribute__((noinline)) void operator delete[](void* p, const std::nothrow_t&) noexcept {
    LeakFreeMemFrom(p, KYN_LEAK_CALLER, KYN_LEAK_FRAME);
}
void operator delete(void* p, std::align_val_t) noexcept { _aligned_free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { _aligned_free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { _aligned_free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { _aligned_free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { _aligned_free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { _aligned_free(p); }
