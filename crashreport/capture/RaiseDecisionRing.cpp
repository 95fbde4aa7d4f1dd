#include "crashreport/capture/RaiseDecisionRing.h"

#include <algorithm>

namespace drevnik {

bool TRaiseDecisionRing::Find(const void* cls, uintptr_t address, uintptr_t chainHead, TRaiseDecision& decision) const {
    const std::lock_guard<std::mutex> guard(lock_);
    for (int i = 0; i < count_; ++i) {
        const TRaiseDecision& entry = entries_[static_cast<size_t>(i)];
        if (entry.Class == cls && entry.Address == address && entry.ChainHead == chainHead) {
            decision = entry;
            return true;
        }
    }
    return false;
}

void TRaiseDecisionRing::Store(const TRaiseDecision& decision) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (count_ == kCapacity) {
        std::move(entries_.begin() + 1, entries_.end(), entries_.begin());
        --count_;
    }
    entries_[static_cast<size_t>(count_++)] = decision;
}

void TRaiseDecisionRing::Clear() {
    const std::lock_guard<std::mutex> guard(lock_);
    count_ = 0;
}

int TRaiseDecisionRing::Count() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return count_;
}

}  // namespace drevnik
