// Desktop composition probe: DwmIsCompositionEnabled of dwmapi.dll, bound
// by name on first use so that systems without the library still run.
#pragma once

#include <windows.h>

namespace kel {

class TDwmProbe {
public:
    // majorVersion 0: the platform's, as GetVersionEx reports it.
    explicit TDwmProbe(const wchar_t* libraryName = L"DWMAPI.DLL", DWORD majorVersion = 0)
        : libraryName_(libraryName), majorVersion_(majorVersion) {}
    ~TDwmProbe() { UnloadDwmLibrary(); }
    TDwmProbe(const TDwmProbe&) = delete;
    TDwmProbe& operator=(const TDwmProbe&) = delete;

    // The platform's answer, or E_NOTIMPL when the library or the entry
    // point is missing (enabled is then left as it was). A failed load or
    // lookup is tried again on the next call.
    HRESULT CallDwmIsCompositionEnabled(BOOL& enabled);
    // False below major version 6 (without loading the library), when the
    // call fails or when it reports FALSE.
    bool IsDwmCompositing();
    // Loads the library when not yet loaded; true when it is loaded.
    bool LoadDwmLibrary();
    // Stop step: frees the library when it was loaded.
    void UnloadDwmLibrary();
    bool LibraryLoaded() const { return library_ != nullptr; }

private:
    using IsCompositionEnabledProc = HRESULT(WINAPI*)(BOOL*);
    DWORD MajorVersion() const;

    const wchar_t* libraryName_;
    DWORD majorVersion_;
    HMODULE library_ = nullptr;
    IsCompositionEnabledProc isCompositionEnabled_ = nullptr;
};

// The process's probe.
TDwmProbe& DwmProbe();
inline HRESULT CallDwmIsCompositionEnabled(BOOL& enabled) { return DwmProbe().CallDwmIsCompositionEnabled(enabled); }
inline bool IsDwmCompositing() { return DwmProbe().IsDwmCompositing(); }
inline bool LoadDwmLibrary() { return DwmProbe().LoadDwmLibrary(); }
// Stop step of the probe.
inline void UnloadDwmLibrary() { DwmProbe().UnloadDwmLibrary(); }

}  // namespace kel
