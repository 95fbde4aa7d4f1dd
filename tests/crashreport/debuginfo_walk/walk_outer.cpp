#include "walk_fixture.h"

namespace walkfixture {

// A store after each call keeps it from becoming a jump or a loop.
volatile int gSinkOuter = 0;

namespace {
// Inlined into TOuter::Run.
inline int Twice(int depth) {
    const int result = Recurse(depth);
    gSinkOuter = result;
    return result * 2;
}
}  // namespace

__attribute__((noinline)) int TOuter::Run(int depth) {
    const int result = Twice(depth);
    gSinkOuter = result;
    return result + 1;
}

}  // namespace walkfixture
