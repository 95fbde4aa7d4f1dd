// Length decoder for 32-bit x86 instructions: just enough of the encoding to
// step over whole instructions (code hooks, routine sizes, listing alignment).
// It reads only the bytes it is given.
#pragma once

#include <cstdint>
#include <span>

namespace drevnik {

enum class TDecodeStatus {
    Decoded,
    Undecodable,  // the opcode is not in the decoder's tables
    Truncated,    // the instruction does not fit in the bytes given
};

struct TInstruction {
    int Length = 0;         // prefixes, opcode, ModRM, SIB, displacement, immediate
    int PrefixCount = 0;
    bool TwoByte = false;   // 0F xx
    // The opcode map: 0 one-byte, 1 0F, 2 0F 38, 3 0F 3A; for a VEX, EVEX or
    // XOP instruction (Extended) the map its prefix names.
    uint8_t Map = 0;
    bool Extended = false;
    uint8_t Opcode = 0;     // the last opcode byte (after 0F, 0F 38, 0F 3A or the VEX prefix)
    bool OperandSize16 = false;  // prefix 66
    bool AddressSize16 = false;  // prefix 67
    bool HasModRm = false;
    uint8_t ModRm = 0;
};

// Longest instruction the processor accepts.
constexpr int MaxInstructionLength = 15;

TDecodeStatus DecodeInstruction(std::span<const uint8_t> code, TInstruction& out);

// Length (1 to 15) of the instruction at the start of code; false when it
// cannot be decoded or does not fit in code.
bool GetInstructionLength(std::span<const uint8_t> code, int& length);

// Size of the routine at the start of code, up to and including its first
// return instruction, searched within maxLength bytes; 1 when none is found
// there or the bytes run out. Undecodable bytes count one byte each.
int MeasureProcedureSize(std::span<const uint8_t> code, int maxLength);

// Classes of decoded instructions the code hooks care about.
bool IsShortBranch(const TInstruction& insn);     // 70-7F, E0-E3, EB
bool IsNearBranch(const TInstruction& insn);      // E8, E9, 0F 80-8F
bool IsRoutineEnd(const TInstruction& insn);      // the return forms C2, C3, CA, CB
// Execution never goes on behind it: returns and unconditional jumps.
bool EndsFlow(const TInstruction& insn);

}  // namespace drevnik
