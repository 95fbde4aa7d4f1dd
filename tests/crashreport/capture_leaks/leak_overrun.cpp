// Writes one byte past a block and releases it: the release reports
// EMemoryOverrun at the releasing line.
// CHECK: report: drevnik::EMemoryOverrun | Memory Overrun leak
// CHECK: after the release
// CHECK-EXIT: 0
#include "tests/crashreport/capture_leaks/leak_program.h"

namespace {

volatile int gPast = 16;
volatile int gReleases = 0;

__attribute__((noinline)) void Release(char* block) {
    delete[] block;  // SITE: release
    gReleases = gReleases + 1;
}

}  // namespace

int main() {
    leaks::TLibrary library;
    char* block = new char[16];
    block[gPast] = 'x';
    Release(block);
    std::printf("after the release\n");
    return 0;
}
