// The calling thread's information block (stack bounds, exception list).
#pragma once

#include <windows.h>

namespace drevnik {

// Read with inline assembly: GCC 12 takes NtCurrentTeb's segment read for an
// out-of-bounds access (-Warray-bounds).
inline const NT_TIB* CurrentTib() {
    const NT_TIB* tib;
#if defined(_WIN64)
    __asm__("movq %%gs:0x30, %0" : "=r"(tib));
#else
    __asm__("movl %%fs:0x18, %0" : "=r"(tib));
#endif
    return tib;
}

}  // namespace drevnik
