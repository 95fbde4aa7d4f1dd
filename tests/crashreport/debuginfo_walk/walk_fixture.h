// A call chain across three source files for the stack-walk acceptance test:
// walk_main.cpp -> walk_outer.cpp -> walk_inner.cpp, with inlined and
// out-of-line calls and a recursion, ending in a routine that walks its own
// stack.
#pragma once

#include <string>

namespace walkfixture {

// The deepest routine: walks the stack and hands the rows to `report`.
int WalkHere(int depth);

struct TOuter {
    int Run(int depth);
};

int Recurse(int depth);

// Where the rows go (set by main).
extern std::string gRowsFile;

}  // namespace walkfixture
