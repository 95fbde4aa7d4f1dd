// Trampolines of 32-bit x86 code hooks, as pure functions on bytes: the first
// whole instructions of a routine are moved to a trampoline, relative branches
// among them are fixed for their new place, and a jump leads back to the rest
// of the routine. Addresses are those the bytes run at in the 32-bit process.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace drevnik {

// Size of the jump E9 rel32 that a hook writes over a routine's start.
constexpr int JumpSize = 5;

// Writes E9 and the 32-bit displacement from `from` (the jump's own address)
// to `to` into the first five bytes of `at`.
void EncodeJump(std::span<uint8_t> at, uint32_t from, uint32_t to);

enum class TTrampolineError {
    None,
    Undecodable,        // an instruction among the first five bytes is not in the decoder's tables
    RoutineTooShort,    // a return or jump ends the routine before five bytes
    UnmovableBranch,    // a relative branch that cannot run elsewhere (16-bit, or a call into the moved bytes)
};

struct TTrampolinePlan {
    int MovedBytes = 0;  // N: whole instructions covering at least five bytes
    int Size = 0;        // moved bytes, the jump back and one jump per far short branch
};

// Checks that the routine at `target` (its first bytes in code) can be moved
// and measures its trampoline.
TTrampolineError PlanTrampoline(std::span<const uint8_t> code, uint32_t target, TTrampolinePlan& plan);

// The moved bytes plus five bytes for each short branch among them whose
// target lies outside target .. target + n.
int TrampolineSize(std::span<const uint8_t> code, uint32_t target, int n);

// Fixes the relative branches among the first n bytes of trampoline, a copy of
// the routine at `target` that runs at `trampolineAddress`: a near branch
// out of the copied block keeps its target; a short branch out of it goes
// through a jump placed behind the jump back (at n + 5, n + 10, ...).
// False when an instruction cannot be decoded or a branch cannot be fixed.
bool RelocateBranches(std::span<uint8_t> trampoline, uint32_t trampolineAddress, uint32_t target, int n);

// The whole trampoline for the routine at `target`, run at trampolineAddress.
std::optional<std::vector<uint8_t>> MakeTrampoline(std::span<const uint8_t> code, uint32_t target,
                                                   uint32_t trampolineAddress, TTrampolineError* error = nullptr);

}  // namespace drevnik
