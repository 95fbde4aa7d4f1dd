// Where a copy of the library in a DLL hands its events: the exports of the
// copy in the program's main module, found by name each time.
#pragma once

#include <windows.h>

#include "crashreport/capture/DrevnikCaptureSwitches.h"

namespace drevnik {

// The main module's export `name` when this copy forwards there; null
// otherwise, when the export is missing, or when it is this copy's own
// `self` (which would call itself).
template <class T>
T MainModuleExport(const char* name, T self) {
    if (!CaptureSwitches().ForwardToMainModule.load()) return nullptr;
    const auto proc = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), name)));
    return proc != self ? proc : nullptr;
}

}  // namespace drevnik
