#include "crashreport/capture/StackSnapshotSpan.h"

#include <algorithm>

namespace drevnik {

void SnapshotSpan(uintptr_t raiseSp, uintptr_t limit, uintptr_t base, uintptr_t fallback, uintptr_t& start,
                  uint32_t& size) {
    start = raiseSp < limit || raiseSp > base ? fallback : raiseSp;
    size = start < base ? static_cast<uint32_t>(std::min<uintptr_t>(base - start, kStackSnapshotSize)) : 0;
}

}  // namespace drevnik
