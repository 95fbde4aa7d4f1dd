// Quorvex's entry point.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr, L"Quorvex", L"Quorvex Panel", MB_OK);
    return 0;
}
