#include <windows.h>

#include "crashreport/capture/ThreadInfoBlock.h"
#include "crashreport/capture/DrevnikThreadSystem.h"

namespace drevnik {

uint32_t CurrentThreadIdValue() { return GetCurrentThreadId(); }

uintptr_t DuplicateThreadHandle(uintptr_t handle) {
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(handle), GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return 0;
    return reinterpret_cast<uintptr_t>(copy);
}

void CloseThreadHandle(uintptr_t handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

uint32_t ThreadIdOfHandle(uintptr_t handle) { return GetThreadId(reinterpret_cast<HANDLE>(handle)); }

bool IsThreadRunning(uintptr_t handle) {
    DWORD code = 0;
    return handle != 0 && GetExitCodeThread(reinterpret_cast<HANDLE>(handle), &code) && code == STILL_ACTIVE;
}

uintptr_t GetThreadStackBase() {
    return reinterpret_cast<uintptr_t>(CurrentTib()->StackBase);
}

uintptr_t GetThreadStackLimit() {
    return reinterpret_cast<uintptr_t>(CurrentTib()->StackLimit);
}

}  // namespace drevnik
