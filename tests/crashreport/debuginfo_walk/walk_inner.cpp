#include "walk_fixture.h"

namespace walkfixture {

// A store after each call keeps it from becoming a jump or a loop.
volatile int gSinkInner = 0;

__attribute__((noinline)) int Recurse(int depth) {
    if (depth > 0) {
        const int result = Recurse(depth - 1);
        gSinkInner = result;
        return result + 1;
    }
    const int result = WalkHere(depth);
    gSinkInner = result;
    return result + 2;
}

}  // namespace walkfixture
