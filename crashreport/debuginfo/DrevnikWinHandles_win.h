// Owned handles and functions bound by name, for the Windows side of the
// debug-information facts.
#pragma once

#include <windows.h>

#include "framework/core/scoped_handle.h"

namespace drevnik {

struct TKernelHandleClose {
    static HANDLE Empty() { return nullptr; }
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// A kernel object handle; INVALID_HANDLE_VALUE is stored as none.
class TKernelHandle : public fw::TScopedHandle<HANDLE, TKernelHandleClose> {
public:
    explicit TKernelHandle(HANDLE handle = nullptr)
        : TScopedHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
};

struct TLibraryClose {
    static HMODULE Empty() { return nullptr; }
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
// A library loaded by name, freed again.
using TLoadedLibrary = fw::TScopedHandle<HMODULE, TLibraryClose>;

struct TRegKeyClose {
    static HKEY Empty() { return nullptr; }
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using TRegKey = fw::TScopedHandle<HKEY, TRegKeyClose>;

// The function of that name, or nullptr.
template <class F>
F BindProc(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    // Through void(*)() so that the cast between function types stays quiet.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace drevnik
