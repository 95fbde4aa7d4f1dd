// Releases one object twice: the second release is reported where it
// happens, as EMultiFree, and the heap never sees it; the program goes on.
// CHECK: report: drevnik::EMultiFree | Multi Free memory leak
// CHECK: after the second release
// CHECK-NOT: report: drevnik::EMemoryLeak
// CHECK-EXIT: 0
#include "tests/crashreport/capture_leaks/leak_program.h"

class TVictim {
public:
    virtual ~TVictim() = default;
    int Value = 7;
};

namespace {

TVictim* volatile gVictim = nullptr;
volatile int gReleases = 0;

__attribute__((noinline)) void ReleaseFirst() {
    delete gVictim;
    gReleases = gReleases + 1;
}
// Not a tail call: the release returns here.
__attribute__((noinline)) void ReleaseAgain() {
    delete gVictim;  // SITE: release
    gReleases = gReleases + 2;
}

}  // namespace

int main() {
    leaks::TLibrary library;
    gVictim = new TVictim;
    ReleaseFirst();
    // Blocks in between do not reuse the released one: it waits in quarantine.
    for (int i = 0; i < 100; ++i) delete new TVictim;
    ReleaseAgain();
    std::printf("after the second release\n");
    return 0;
}
