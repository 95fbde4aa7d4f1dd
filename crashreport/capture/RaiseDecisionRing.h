// The last ten raise decisions ("will a handler catch this?"), so a loop that
// raises and catches at the same place does not walk its frames each time.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>

namespace drevnik {

struct TRaiseDecision {
    const void* Class = nullptr;    // the raised object's type; null for none
    uintptr_t Address = 0;          // where it was raised
    uintptr_t ChainHead = 0;        // the raising frame's stack position
    uint8_t FirstKind = 0;          // how the first catcher was found
    uint8_t CatchKind = 0;          // handed to the report
    uint32_t Count = 0;             // catching frames found
    bool Handled = false;           // a handler will catch it
};

class TRaiseDecisionRing {
public:
    static constexpr int kCapacity = 10;

    // The stored decision for the same class, address and chain head.
    bool Find(const void* cls, uintptr_t address, uintptr_t chainHead, TRaiseDecision& decision) const;
    // Appends; with the ring full, the oldest entry goes.
    void Store(const TRaiseDecision& decision);
    void Clear();
    int Count() const;

private:
    mutable std::mutex lock_;
    std::array<TRaiseDecision, kCapacity> entries_{};
    int count_ = 0;
};

}  // namespace drevnik
