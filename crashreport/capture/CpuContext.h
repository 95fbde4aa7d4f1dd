// The registers of a thread context that both builds read by one name.
#pragma once

#include <windows.h>

#include <cstdint>

namespace drevnik {

inline uintptr_t StackPointerOf(const CONTEXT& context) {
#if defined(_WIN64)
    return context.Rsp;
#else
    return context.Esp;
#endif
}

inline uintptr_t ProgramCounterOf(const CONTEXT& context) {
#if defined(_WIN64)
    return context.Rip;
#else
    return context.Eip;
#endif
}

}  // namespace drevnik
