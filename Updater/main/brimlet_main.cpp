// Brimlet's entry point: the start steps, and the stop steps on the way out.
#include <windows.h>

#include "common/ProgramSteps.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    common::TProgramSteps steps;
    return 0;
}
