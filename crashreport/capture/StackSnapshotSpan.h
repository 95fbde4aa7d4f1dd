// Which part of a raising thread's stack the stack snapshot copies.
#pragma once

#include <cstdint>

namespace drevnik {

constexpr uint32_t kStackSnapshotSize = 102400;

// The span [start, start + size) of the stack [limit, base) a snapshot copies:
// from the raise's stack pointer upward, or from `fallback` when that lies
// outside the stack; at most kStackSnapshotSize bytes.
void SnapshotSpan(uintptr_t raiseSp, uintptr_t limit, uintptr_t base, uintptr_t fallback, uintptr_t& start,
                  uint32_t& size);

}  // namespace drevnik
