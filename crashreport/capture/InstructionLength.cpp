// Length decoder for 32-bit x86 instructions.
#include "crashreport/capture/InstructionLength.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace drevnik {
namespace {

// Operand codes, one per opcode: 0 to 4 bytes follow the opcode; 0xB a 16/32-bit
// immediate; 0xD a far pointer; 0xE a ModRM byte; 0xF not decodable.
constexpr uint8_t kImm = 0xB;
constexpr uint8_t kFar = 0xD;
constexpr uint8_t kModRm = 0xE;
constexpr uint8_t kNone = 0xF;

using OperandTable = std::array<uint8_t, 256>;

// Rows are the high hex digit of the opcode, one hex code per low digit.
constexpr OperandTable MakeTable(const std::array<std::string_view, 16>& rows) {
    OperandTable table{};
    for (int hi = 0; hi < 16; ++hi) {
        for (int lo = 0; lo < 16; ++lo) {
            const char c = rows[hi][lo];
            table[hi * 16 + lo] = static_cast<uint8_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        }
    }
    return table;
}

constexpr OperandTable kOneByte = MakeTable({
    "eeee1b00eeee1b0f",  // 0
    "eeee1b00eeee1b00",  // 1
    "eeee1bf0eeee1bf0",  // 2
    "eeee1bf0eeee1bf0",  // 3
    "0000000000000000",  // 4
    "0000000000000000",  // 5
    "00eeffffbe1e0000",  // 6
    "1111111111111111",  // 7
    "eeeeeeeeeeeeeeee",  // 8
    "0000000000d00000",  // 9
    "444400001b000000",  // A
    "11111111bbbbbbbb",  // B
    "ee20eeee30200100",  // C
    "eeee1100eeeeeeee",  // D
    "11111111bbd10000",  // E
    "f0ff00ee000000ee",  // F
});

constexpr OperandTable kTwoByte = MakeTable({
    "eeeef00000fffe0f",  // 0
    "eeeeeeeeefffffff",  // 1
    "eeeeffffeeeeeeee",  // 2
    "000000ffffffffff",  // 3
    "eeeeeeeeeeeeeeee",  // 4
    "eeeeeeeeeeeeeeee",  // 5
    "eeeeeeeeeeeeffee",  // 6
    "eeeeeee0ffffffee",  // 7
    "bbbbbbbbbbbbbbbb",  // 8
    "eeeeeeeeeeeeeeee",  // 9
    "000eeeee000eeeee",  // A
    "eeeeeeeeffeeeeee",  // B
    "eeeeeeee00000000",  // C
    "feeeeefeeeeeeeee",  // D
    "eeeeeefeeeeeeeee",  // E
    "feeeeeeeeeeeeeef",  // F
});

constexpr bool IsPrefix(uint8_t b) {
    switch (b) {
    case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:
    case 0x66: case 0x67: case 0xF0: case 0xF2: case 0xF3:
        return true;
    default:
        return false;
    }
}

// In 32-bit code C4 and C5 (VEX) and 62 (EVEX) followed by a register ModRM,
// and 8F followed by a map field of 8 or more (XOP), start an instruction of
// another encoding: the number of prefix bytes before its opcode, else 0.
int ExtendedPrefixLength(std::span<const uint8_t> code) {
    if (code.size() < 2) return 0;
    switch (code[0]) {
    case 0xC5: return code[1] >= 0xC0 ? 2 : 0;
    case 0xC4: return code[1] >= 0xC0 ? 3 : 0;
    case 0x62: return code[1] >= 0xC0 ? 4 : 0;
    case 0x8F: return (code[1] & 0x1F) >= 8 ? 3 : 0;
    default: return 0;
    }
}

// Immediate bytes after the ModRM operand of a VEX, EVEX or XOP instruction.
int ExtendedImmediateLength(uint8_t prefix, const TInstruction& insn) {
    if (prefix == 0x8F) return insn.Map == 8 ? 1 : insn.Map == 10 ? 4 : 0;
    if (insn.Map == 3) return 1;
    const uint8_t op = insn.Opcode;
    return insn.Map == 1 && ((op >= 0x70 && op <= 0x73) || op == 0xC2 || (op >= 0xC4 && op <= 0xC6)) ? 1 : 0;
}

// Bytes of SIB, displacement and immediate that follow a ModRM byte. `rest`
// starts at the ModRM byte. -1 when the SIB byte is missing,
// -2 when the form is not decodable.
int ModRmOperandLength(const TInstruction& insn, std::span<const uint8_t> rest) {
    const uint8_t modrm = rest[0];
    const int mod = modrm >> 6;
    const int reg = (modrm >> 3) & 7;
    const int rm = modrm & 7;
    const uint8_t op = insn.Opcode;

    // 8F with reg 1 to 7 and no XOP map: no instruction.
    if (insn.Map == 0 && op == 0x8F && reg != 0) return -2;

    int length = 0;
    if (insn.TwoByte && op >= 0x20 && op <= 0x23) {
        // Moves to and from control and debug registers always take a register
        // operand, whatever the mod field says.
        length = 0;
    } else if (!insn.AddressSize16) {
        switch (mod) {
        case 0:
            if (rm == 5) {
                length = 4;
            } else if (rm == 4) {
                if (rest.size() < 2) return -1;
                length = (rest[1] & 7) == 5 ? 5 : 1;
            }
            break;
        case 1: length = rm == 4 ? 2 : 1; break;
        case 2: length = rm == 4 ? 5 : 4; break;
        default: break;
        }
    } else {
        switch (mod) {
        case 0: length = rm == 6 ? 2 : 0; break;
        case 1: length = 1; break;
        case 2: length = 2; break;
        default: break;
        }
    }

    const int imm32 = insn.OperandSize16 ? 2 : 4;
    if (insn.Extended) {
        // the caller adds the immediate
    } else if (insn.Map == 3) {
        length += 1;
    } else if (insn.Map == 0) {
        switch (op) {
        case 0x6B: case 0x80: case 0x82: case 0x83: case 0xC0: case 0xC1: case 0xC6:
            length += 1;
            break;
        case 0x69: case 0x81: case 0xC7:
            length += imm32;
            break;
        // TEST r/m, imm: reg field 0, and 1, which the processor treats alike.
        case 0xF6:
            if (reg <= 1) length += 1;
            break;
        case 0xF7:
            if (reg <= 1) length += imm32;
            break;
        default:
            break;
        }
    } else if (insn.Map == 1) {
        switch (op) {
        case 0x70: case 0x71: case 0x72: case 0x73: case 0xA4: case 0xAC:
        case 0xBA: case 0xC2: case 0xC4: case 0xC5: case 0xC6:
            length += 1;
            break;
        default:
            break;
        }
    }
    return length;
}

}  // namespace

TDecodeStatus DecodeInstruction(std::span<const uint8_t> code, TInstruction& out) {
    out = TInstruction{};
    size_t pos = 0;
    while (pos < code.size() && IsPrefix(code[pos])) {
        if (code[pos] == 0x66) out.OperandSize16 = true;
        if (code[pos] == 0x67) out.AddressSize16 = true;
        ++pos;
        // More prefixes than an instruction may hold: the processor faults.
        if (pos >= MaxInstructionLength) return TDecodeStatus::Undecodable;
    }
    out.PrefixCount = static_cast<int>(pos);
    if (pos >= code.size()) return TDecodeStatus::Truncated;

    uint8_t code4;
    int opcodeBytes = 1;
    const int extended = ExtendedPrefixLength(code.subspan(pos));
    if (extended > 0) {
        // VEX, EVEX, XOP: the map from the prefix, then the opcode and a ModRM
        // operand (vzeroupper and vzeroall have none).
        if (pos + static_cast<size_t>(extended) >= code.size()) return TDecodeStatus::Truncated;
        const uint8_t first = code[pos];
        out.Extended = true;
        out.Map = first == 0xC5 ? 1 : static_cast<uint8_t>(code[pos + 1] & (first == 0x62 ? 0x07 : 0x1F));
        if (out.Map == 0) return TDecodeStatus::Undecodable;  // a reserved map
        out.Opcode = code[pos + static_cast<size_t>(extended)];
        opcodeBytes = extended + 1;
        code4 = (first == 0xC4 || first == 0xC5) && out.Map == 1 && out.Opcode == 0x77 ? 0 : kModRm;
    } else if (code[pos] == 0x0F) {
        if (pos + 1 >= code.size()) return TDecodeStatus::Truncated;
        out.Opcode = code[pos + 1];
        if (out.Opcode == 0x38 || out.Opcode == 0x3A) {
            // Every row of the three-byte maps has a ModRM operand.
            if (pos + 2 >= code.size()) return TDecodeStatus::Truncated;
            out.Map = out.Opcode == 0x38 ? 2 : 3;
            out.Opcode = code[pos + 2];
            opcodeBytes = 3;
            code4 = kModRm;
        } else {
            out.TwoByte = true;
            out.Map = 1;
            opcodeBytes = 2;
            code4 = kTwoByte[out.Opcode];
        }
    } else {
        out.Opcode = code[pos];
        code4 = kOneByte[out.Opcode];
    }
    pos += static_cast<size_t>(opcodeBytes);

    int operands;
    switch (code4) {
    case kNone:
        return TDecodeStatus::Undecodable;
    case kImm:
        operands = out.OperandSize16 ? 2 : 4;
        break;
    case kFar:
        operands = out.OperandSize16 ? 4 : 6;
        break;
    case kModRm: {
        if (pos >= code.size()) return TDecodeStatus::Truncated;
        out.HasModRm = true;
        out.ModRm = code[pos];
        const int rest = ModRmOperandLength(out, code.subspan(pos));
        if (rest == -1) return TDecodeStatus::Truncated;
        if (rest == -2) return TDecodeStatus::Undecodable;
        operands = 1 + rest;
        if (out.Extended) operands += ExtendedImmediateLength(code[out.PrefixCount], out);
        break;
    }
    default:
        operands = code4;
        // MOV between AL/eAX and a memory offset: the offset is as wide as an
        // address, two bytes under prefix 67.
        if (out.Map == 0 && out.Opcode >= 0xA0 && out.Opcode <= 0xA3 && out.AddressSize16) operands = 2;
        break;
    }

    const size_t length = pos + static_cast<size_t>(operands);
    if (length > MaxInstructionLength) return TDecodeStatus::Undecodable;
    if (length > code.size()) return TDecodeStatus::Truncated;
    out.Length = static_cast<int>(length);
    return TDecodeStatus::Decoded;
}

bool GetInstructionLength(std::span<const uint8_t> code, int& length) {
    TInstruction insn;
    if (DecodeInstruction(code, insn) != TDecodeStatus::Decoded) return false;
    length = insn.Length;
    return true;
}

int MeasureProcedureSize(std::span<const uint8_t> code, int maxLength) {
    if (maxLength <= 0) return 0;
    size_t pos = 0;
    while (pos < static_cast<size_t>(maxLength)) {
        TInstruction insn;
        switch (DecodeInstruction(code.subspan(std::min(pos, code.size())), insn)) {
        case TDecodeStatus::Truncated:
            return 1;
        case TDecodeStatus::Undecodable:
            ++pos;
            break;
        case TDecodeStatus::Decoded:
            pos += static_cast<size_t>(insn.Length);
            if (IsRoutineEnd(insn)) return static_cast<int>(pos);
            break;
        }
    }
    return 1;
}

bool IsShortBranch(const TInstruction& insn) {
    if (insn.Map != 0) return false;
    const uint8_t op = insn.Opcode;
    return (op >= 0x70 && op <= 0x7F) || (op >= 0xE0 && op <= 0xE3) || op == 0xEB;
}

bool IsNearBranch(const TInstruction& insn) {
    if (insn.TwoByte) return insn.Opcode >= 0x80 && insn.Opcode <= 0x8F;
    return insn.Map == 0 && (insn.Opcode == 0xE8 || insn.Opcode == 0xE9);
}

bool IsRoutineEnd(const TInstruction& insn) {
    if (insn.Map != 0) return false;
    const uint8_t op = insn.Opcode;
    return op == 0xC2 || op == 0xC3 || op == 0xCA || op == 0xCB;
}

bool EndsFlow(const TInstruction& insn) {
    if (IsRoutineEnd(insn)) return true;
    if (insn.Map != 0) return false;
    switch (insn.Opcode) {
    case 0xCF: case 0xE9: case 0xEA: case 0xEB:
        return true;
    case 0xFF: {
        const int reg = (insn.ModRm >> 3) & 7;
        return reg == 4 || reg == 5;  // jmp near and far through memory or a register
    }
    default:
        return false;
    }
}

}  // namespace drevnik
