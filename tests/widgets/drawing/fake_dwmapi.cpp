// A stand-in for dwmapi.dll whose desktop composition is on, for the
// composition probe's tests.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI DwmIsCompositionEnabled(BOOL* enabled) {
    *enabled = TRUE;
    return S_OK;
}
