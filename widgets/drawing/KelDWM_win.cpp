#include "widgets/drawing/KelDWM.h"

namespace kel {

TDwmProbe& DwmProbe() {
    static TDwmProbe probe;
    return probe;
}

bool TDwmProbe::LoadDwmLibrary() {
    if (!library_) library_ = LoadLibraryW(libraryName_);
    return library_ != nullptr;
}

void TDwmProbe::UnloadDwmLibrary() {
    isCompositionEnabled_ = nullptr;
    if (library_) FreeLibrary(library_);
    library_ = nullptr;
}

HRESULT TDwmProbe::CallDwmIsCompositionEnabled(BOOL& enabled) {
    if (!isCompositionEnabled_) {
        if (!LoadDwmLibrary()) return E_NOTIMPL;
        isCompositionEnabled_ = reinterpret_cast<IsCompositionEnabledProc>(
            reinterpret_cast<void*>(GetProcAddress(library_, "DwmIsCompositionEnabled")));
        if (!isCompositionEnabled_) return E_NOTIMPL;
    }
    return isCompositionEnabled_(&enabled);
}

bool TDwmProbe::IsDwmCompositing() {
    if (MajorVersion() < 6) return false;
    BOOL enabled = FALSE;
    return CallDwmIsCompositionEnabled(enabled) == S_OK && enabled;
}

DWORD TDwmProbe::MajorVersion() const {
    if (majorVersion_) return majorVersion_;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) return 0;
    return info.dwMajorVersion;
}

}  // namespace kel
