// Trampolines of 32-bit x86 code hooks.
#include "crashreport/capture/Trampoline.h"

#include <algorithm>
#include <cstring>

#include "crashreport/capture/InstructionLength.h"

namespace drevnik {
namespace {

uint32_t ReadU32(std::span<const uint8_t> b) {
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

void WriteU32(std::span<uint8_t> b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Target of a decoded relative branch at `address`. Short branches end in their
// 8-bit displacement, near ones in their 32-bit displacement.
uint32_t TargetOf(const TInstruction& insn, std::span<const uint8_t> bytes, uint32_t address) {
    const uint32_t end = address + static_cast<uint32_t>(insn.Length);
    if (IsShortBranch(insn)) return end + static_cast<uint32_t>(static_cast<int8_t>(bytes[insn.Length - 1]));
    return end + ReadU32(bytes.subspan(insn.Length - 4));
}

bool Outside(uint32_t address, uint32_t blockStart, int n) {
    // The end of the block itself is fine: in a trampoline it holds the jump back.
    return address - blockStart > static_cast<uint32_t>(n);
}

}  // namespace

void EncodeJump(std::span<uint8_t> at, uint32_t from, uint32_t to) {
    at[0] = 0xE9;
    WriteU32(at.subspan(1), to - from - JumpSize);
}

TTrampolineError PlanTrampoline(std::span<const uint8_t> code, uint32_t target, TTrampolinePlan& plan) {
    plan = TTrampolinePlan{};
    // First pass: the whole instructions that the five-byte jump overwrites.
    std::vector<std::pair<int, TInstruction>> moved;
    int n = 0;
    while (n < JumpSize) {
        TInstruction insn;
        // An undecodable byte cannot be measured: moving a guess would split an
        // instruction between the trampoline and the routine.
        if (DecodeInstruction(code.subspan(static_cast<size_t>(n)), insn) != TDecodeStatus::Decoded)
            return TTrampolineError::Undecodable;
        moved.emplace_back(n, insn);
        n += insn.Length;
        // The jump would overwrite whatever follows a routine shorter than it.
        if (n < JumpSize && EndsFlow(insn)) return TTrampolineError::RoutineTooShort;
    }
    for (const auto& [offset, insn] : moved) {
        if (!IsNearBranch(insn)) continue;
        // A 16-bit displacement truncates the instruction pointer: it only works in place.
        if (insn.OperandSize16) return TTrampolineError::UnmovableBranch;
        // A call into the moved bytes (call next; pop reg) reads its own return
        // address as the routine's position, which the trampoline would change.
        const uint32_t at = target + static_cast<uint32_t>(offset);
        if (!insn.TwoByte && insn.Opcode == 0xE8 && !Outside(TargetOf(insn, code.subspan(offset), at), target, n))
            return TTrampolineError::UnmovableBranch;
    }
    plan.MovedBytes = n;
    plan.Size = TrampolineSize(code, target, n) + JumpSize;
    return TTrampolineError::None;
}

int TrampolineSize(std::span<const uint8_t> code, uint32_t target, int n) {
    n = std::min(n, static_cast<int>(code.size()));
    int size = n;
    int pos = 0;
    while (pos < n) {
        TInstruction insn;
        if (DecodeInstruction(code.subspan(static_cast<size_t>(pos)), insn) != TDecodeStatus::Decoded) {
            ++pos;
            continue;
        }
        if (IsShortBranch(insn) &&
            Outside(TargetOf(insn, code.subspan(pos), target + static_cast<uint32_t>(pos)), target, n))
            size += JumpSize;
        pos += insn.Length;
    }
    return size;
}

bool RelocateBranches(std::span<uint8_t> trampoline, uint32_t trampolineAddress, uint32_t target, int n) {
    if (n < 0 || static_cast<size_t>(n) > trampoline.size()) return false;
    size_t nextStub = static_cast<size_t>(n) + JumpSize;
    int pos = 0;
    while (pos < n) {
        TInstruction insn;
        const std::span<uint8_t> at = trampoline.subspan(static_cast<size_t>(pos));
        if (DecodeInstruction(at.first(std::min<size_t>(at.size(), static_cast<size_t>(n - pos))), insn) !=
            TDecodeStatus::Decoded)
            return false;
        const uint32_t source = target + static_cast<uint32_t>(pos);
        const uint32_t copy = trampolineAddress + static_cast<uint32_t>(pos);
        if (IsShortBranch(insn)) {
            const uint32_t destination = TargetOf(insn, at, source);
            if (Outside(destination, target, n)) {
                // Two steps: the short branch reaches a jump behind the jump back.
                if (nextStub + JumpSize > trampoline.size()) return false;
                const uint32_t stub = trampolineAddress + static_cast<uint32_t>(nextStub);
                EncodeJump(trampoline.subspan(nextStub), stub, destination);
                const int32_t displacement = static_cast<int32_t>(stub - (copy + static_cast<uint32_t>(insn.Length)));
                if (displacement < -128 || displacement > 127) return false;
                at[static_cast<size_t>(insn.Length - 1)] = static_cast<uint8_t>(displacement);
                nextStub += JumpSize;
            }
        } else if (IsNearBranch(insn)) {
            if (insn.OperandSize16) return false;
            const uint32_t destination = TargetOf(insn, at, source);
            if (Outside(destination, target, n)) {
                const std::span<uint8_t> field = at.subspan(static_cast<size_t>(insn.Length - 4));
                WriteU32(field, ReadU32(field) + (target - trampolineAddress));
            }
        }
        pos += insn.Length;
    }
    return true;
}

std::optional<std::vector<uint8_t>> MakeTrampoline(std::span<const uint8_t> code, uint32_t target,
                                                   uint32_t trampolineAddress, TTrampolineError* error) {
    TTrampolinePlan plan;
    TTrampolineError result = PlanTrampoline(code, target, plan);
    std::vector<uint8_t> bytes;
    if (result == TTrampolineError::None) {
        bytes.assign(static_cast<size_t>(plan.Size), 0xCC);
        std::memcpy(bytes.data(), code.data(), static_cast<size_t>(plan.MovedBytes));
        EncodeJump(std::span(bytes).subspan(static_cast<size_t>(plan.MovedBytes)),
                   trampolineAddress + static_cast<uint32_t>(plan.MovedBytes),
                   target + static_cast<uint32_t>(plan.MovedBytes));
        if (!RelocateBranches(bytes, trampolineAddress, target, plan.MovedBytes))
            result = TTrampolineError::UnmovableBranch;
    }
    if (error) *error = result;
    if (result != TTrampolineError::None) return std::nullopt;
    return bytes;
}

}  // namespace drevnik
