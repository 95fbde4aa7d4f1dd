// Library data of version 5999 is refused: nothing is tracked, and a leak
// goes unreported.
// CHECK: tracking off
// CHECK-NOT: report:
// CHECK-EXIT: 0
#include "crashreport/capture/LeakTracker.h"
#include "tests/crashreport/capture_leaks/leak_program.h"

struct TForgotten {
    int Value = 0;
};

TForgotten* volatile gForgotten = nullptr;

int main() {
    leaks::TLibrary library;
    std::printf("tracking %s\n", drevnik::IsLeakCatchingOn() ? "on" : "off");
    gForgotten = new TForgotten;
    gForgotten = nullptr;
    return 0;
}
