// Ten 12-byte blocks made at one line are one group: its size is their sum,
// its count ten, and the group's line is the report's address.
// CHECK: report: drevnik::EMemoryLeak | Memory Leak: Total size=120 - Count=10
// CHECK: leak: Data count=10 size=120
// CHECK-NOT: leak:
// CHECK-EXIT: 0
#include "tests/crashreport/capture_leaks/leak_program.h"

namespace {

char* volatile gLast = nullptr;

__attribute__((noinline)) void MakeTen() {
    for (int i = 0; i < 10; ++i) gLast = new char[12];  // SITE: Data address
}

}  // namespace

int main() {
    leaks::TLibrary library;
    MakeTen();
    return 0;
}
