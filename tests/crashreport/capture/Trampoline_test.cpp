// Trampolines of 32-bit code hooks, built on byte buffers at chosen
// addresses, so the branch fixing is checked on every platform.
#include "crashreport/capture/Trampoline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "crashreport/capture/InstructionLength.h"
#include "tests/crashreport/capture/ObjdumpReference.h"

namespace drevnik {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kTarget = 0x00401000;
// One trampoline above the routine, one below it (negative displacements).
constexpr uint32_t kTrampolines[] = {0x00500000, 0x00200000};

int32_t Rel32(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Target of the relative branch at code[offset], run at base + offset; 0 for
// other instructions. Written out here, apart from the code under test.
uint32_t RawTarget(const Bytes& code, uint32_t base, size_t offset) {
    size_t p = offset;
    while (p < code.size() && (code[p] == 0x2E || code[p] == 0x3E)) ++p;  // branch hints
    const uint8_t op = code[p];
    const uint32_t at = base + static_cast<uint32_t>(p);
    if ((op >= 0x70 && op <= 0x7F) || (op >= 0xE0 && op <= 0xE3) || op == 0xEB)
        return at + 2 + static_cast<uint32_t>(static_cast<int8_t>(code[p + 1]));
    if (op == 0xE8 || op == 0xE9) return at + 5 + static_cast<uint32_t>(Rel32(&code[p + 1]));
    if (op == 0x0F && code[p + 1] >= 0x80 && code[p + 1] <= 0x8F)
        return at + 6 + static_cast<uint32_t>(Rel32(&code[p + 2]));
    return 0;
}

// Where the branch at trampoline[offset] finally leads: through a jump that
// the trampoline holds behind its moved bytes, if it lands on one.
uint32_t FinalTarget(const Bytes& trampoline, uint32_t base, size_t offset, int moved) {
    const uint32_t target = RawTarget(trampoline, base, offset);
    const uint32_t inside = target - base;
    if (inside >= static_cast<uint32_t>(moved) && inside < trampoline.size() && trampoline[inside] == 0xE9)
        return RawTarget(trampoline, base, inside);
    return target;
}

std::string Hex(const Bytes& bytes) {
    std::string s;
    char buf[4];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        s += buf;
    }
    return s;
}

TEST(Trampoline, EncodesJumps) {
    Bytes jump(5);
    EncodeJump(jump, 0x00401000, 0x00401010);
    EXPECT_EQ(jump, (Bytes{0xE9, 0x0B, 0x00, 0x00, 0x00}));
    EncodeJump(jump, 0x00401000, 0x00400FF0);
    EXPECT_EQ(jump, (Bytes{0xE9, 0xEB, 0xFF, 0xFF, 0xFF}));
    // Across the top of the 32-bit space: the displacement wraps.
    EncodeJump(jump, 0xFFFFFFF0, 0x00000010);
    EXPECT_EQ(jump, (Bytes{0xE9, 0x1B, 0x00, 0x00, 0x00}));
}

struct TBranch {
    int Offset;          // of the branch in the moved bytes
    bool Moved;          // its displacement changes (it leaves the moved block)
    bool IntoTrampoline; // the target below is counted from the trampoline, else from the routine
    int32_t Target;
};

struct TCase {
    const char* Name;
    Bytes Code;
    int Moved;
    int Size;
    std::vector<TBranch> Branches;
};

const std::vector<TCase>& Cases() {
    static const std::vector<TCase> cases = {
        {"frame prologue", {0x55, 0x89, 0xE5, 0x83, 0xEC, 0x18, 0x8B, 0x45, 0x08, 0xC9, 0xC3}, 6, 11, {}},
        {"return exactly at the fifth byte", {0x55, 0x89, 0xE5, 0x5D, 0xC3, 0xCC}, 5, 10, {}},
        // test ecx,ecx; je +6 (past the moved bytes); mov eax,1; ret; mov eax,2; ret
        {"short jcc past the fifth byte",
         {0x85, 0xC9, 0x74, 0x06, 0xB8, 0x01, 0, 0, 0, 0xC3, 0xB8, 0x02, 0, 0, 0, 0xC3},
         9, 19, {{2, true, false, 10}}},
        // call T+0x100; inc eax; ret
        {"call at the start", {0xE8, 0xFB, 0x00, 0x00, 0x00, 0x40, 0xC3}, 5, 10, {{0, true, false, 0x100}}},
        // jmp T-0x2000: a thunk
        {"jump thunk", {0xE9, 0xFB, 0xDF, 0xFF, 0xFF}, 5, 10, {{0, true, false, -0x2000}}},
        // test ecx,ecx; jz T+0x40
        {"near jcc", {0x85, 0xC9, 0x0F, 0x84, 0x38, 0, 0, 0, 0xC3}, 8, 13, {{2, true, false, 0x40}}},
        // test ecx,ecx; jne +1 (the end of the moved bytes); nop; mov eax,ecx; ret
        {"short branch to the end of the moved bytes", {0x85, 0xC9, 0x75, 0x01, 0x90, 0x89, 0xC8, 0xC3}, 5, 10,
         {{2, false, false, 5}}},
        // dec ecx; jne T (the routine's start); nop; nop
        {"short loop inside the moved bytes", {0x49, 0x75, 0xFD, 0x90, 0x90, 0xC3}, 5, 10, {{1, false, true, 0}}},
        // dec ecx; jne T-13; nop; nop
        {"short branch backwards out", {0x49, 0x75, 0xF0, 0x90, 0x90, 0xC3}, 5, 15, {{1, true, false, -13}}},
        // test ecx,ecx; je T+0x14; jecxz T+0x26: two jumps behind the jump back
        {"two short branches out", {0x85, 0xC9, 0x74, 0x10, 0xE3, 0x20, 0xC3}, 6, 21,
         {{2, true, false, 0x14}, {4, true, false, 0x26}}},
        // je with a branch hint prefix; mov eax,ecx; ret
        {"prefixed short branch", {0x3E, 0x74, 0x20, 0x89, 0xC8, 0xC3}, 5, 15, {{0, true, false, 0x23}}},
    };
    return cases;
}

TEST(Trampoline, MovesWholeInstructionsAndKeepsBranchTargets) {
    for (const TCase& c : Cases()) {
        for (const uint32_t base : kTrampolines) {
            SCOPED_TRACE(std::string(c.Name) + " at " + std::to_string(base));
            TTrampolinePlan plan;
            ASSERT_EQ(PlanTrampoline(c.Code, kTarget, plan), TTrampolineError::None);
            EXPECT_EQ(plan.MovedBytes, c.Moved);
            EXPECT_EQ(plan.Size, c.Size);
            EXPECT_EQ(TrampolineSize(c.Code, kTarget, c.Moved) + JumpSize, c.Size);

            const auto made = MakeTrampoline(c.Code, kTarget, base);
            ASSERT_TRUE(made.has_value());
            const Bytes& t = *made;
            ASSERT_EQ(t.size(), static_cast<size_t>(c.Size));
            SCOPED_TRACE(Hex(t));

            // The jump back continues the routine behind the moved bytes.
            EXPECT_EQ(t[c.Moved], 0xE9);
            EXPECT_EQ(RawTarget(t, base, c.Moved), kTarget + c.Moved);

            Bytes expected(c.Code.begin(), c.Code.begin() + c.Moved);
            for (const TBranch& b : c.Branches) {
                const uint32_t want = (b.IntoTrampoline ? base : kTarget) + static_cast<uint32_t>(b.Target);
                EXPECT_EQ(FinalTarget(t, base, b.Offset, c.Moved), want) << "branch at " << b.Offset;
                if (b.Moved) {
                    TInstruction insn;
                    ASSERT_EQ(DecodeInstruction(std::span(t).subspan(b.Offset), insn), TDecodeStatus::Decoded);
                    const int end = b.Offset + insn.Length;
                    const int field = IsShortBranch(insn) ? 1 : 4;
                    std::copy(t.begin() + end - field, t.begin() + end, expected.begin() + end - field);
                }
            }
            // Apart from the displacements of branches that leave them, the
            // moved bytes are copied unchanged.
            EXPECT_EQ(Bytes(t.begin(), t.begin() + c.Moved), expected);
        }
    }
}

TEST(Trampoline, RefusesRoutinesItCannotMove) {
    struct Row { const char* name; Bytes code; TTrampolineError error; };
    const Row rows[] = {
        {"ud2 at the start", {0x0F, 0x0B, 0x90, 0x90, 0x90, 0x90}, TTrampolineError::Undecodable},
        {"multi-byte nop at the start", {0x0F, 0x1F, 0x44, 0x00, 0x00, 0xC3}, TTrampolineError::Undecodable},
        {"undecodable second instruction", {0x55, 0x0F, 0x0B, 0x90, 0x90, 0x90}, TTrampolineError::Undecodable},
        {"bytes run out", {0x55, 0x89, 0xE5}, TTrampolineError::Undecodable},
        {"routine of three bytes", {0x31, 0xC0, 0xC3, 0x55, 0x89, 0xE5}, TTrampolineError::RoutineTooShort},
        {"short jump at the start", {0xEB, 0x10, 0x90, 0x90, 0x90, 0x90}, TTrampolineError::RoutineTooShort},
        {"register jump at the start", {0xFF, 0xE0, 0x90, 0x90, 0x90, 0x90}, TTrampolineError::RoutineTooShort},
        {"call of the next instruction", {0xE8, 0, 0, 0, 0, 0x58, 0xC3}, TTrampolineError::UnmovableBranch},
        {"16-bit call", {0x66, 0xE8, 0x00, 0x10, 0x90, 0xC3}, TTrampolineError::UnmovableBranch},
    };
    for (const Row& row : rows) {
        TTrampolinePlan plan;
        EXPECT_EQ(PlanTrampoline(row.code, kTarget, plan), row.error) << row.name;
        TTrampolineError error = TTrampolineError::None;
        EXPECT_FALSE(MakeTrampoline(row.code, kTarget, kTrampolines[0], &error).has_value()) << row.name;
        EXPECT_EQ(error, row.error) << row.name;
    }
}

// RelocateBranches on its own: the block copied by hand, with room
// for one far jump behind the jump back.
TEST(Trampoline, RelocatesBranchesOfACopiedBlock) {
    const Bytes code = {0x74, 0x40, 0xE8, 0x00, 0x01, 0x00, 0x00};  // je T+0x42; call T+0x107
    const uint32_t base = 0x10000000;
    Bytes t(code.size() + 2 * JumpSize, 0xCC);
    std::copy(code.begin(), code.end(), t.begin());
    ASSERT_TRUE(RelocateBranches(t, base, kTarget, 7));
    EXPECT_EQ(FinalTarget(t, base, 0, 7), kTarget + 0x42);
    EXPECT_EQ(RawTarget(t, base, 2), kTarget + 0x107);
    // No room for the far jump: refused rather than written past the end.
    Bytes small(code.begin(), code.end());
    small.resize(code.size() + JumpSize, 0xCC);
    EXPECT_FALSE(RelocateBranches(small, base, kTarget, 7));
}

#ifndef _WIN32
// objdump reads every branch of every trampoline as the helpers above do.
TEST(Trampoline, BranchTargetsAgreeWithObjdump) {
    for (const TCase& c : Cases()) {
        const uint32_t base = kTrampolines[0];
        const auto made = MakeTrampoline(c.Code, kTarget, base);
        ASSERT_TRUE(made.has_value()) << c.Name;
        for (const auto& ref : testing::DisassembleWithObjdump(*made, base)) {
            const size_t hex = ref.Text.find("0x");
            const bool branch = ref.Text[0] == 'j' || ref.Text.starts_with("call") || ref.Text.starts_with("ds j") ||
                                ref.Text.starts_with("loop");
            if (!branch || hex == std::string::npos) continue;
            EXPECT_EQ(std::stoul(ref.Text.substr(hex), nullptr, 16), RawTarget(*made, base, ref.Offset))
                << c.Name << ": " << ref.Text;
        }
    }
}
#endif

}  // namespace
}  // namespace drevnik
