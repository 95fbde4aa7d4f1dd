// Opcode templates of TDisAsm.
//
// Template language, scanned from the first character:
//   "#" + addressing letter + size letter + blank/"j"/"c"   one operand
//   "@" + letter + argument                                 a directive
//   "^" + length byte                                       the next characters are final
//   "%c" + one character                                    undecoded: DB list of the bytes
// Addressing letters: A far pointer, C/D/T control/debug/test register, E
// ModRM operand, M memory only, R register of the rm field, G register of
// the reg field, H signed and I unsigned immediate, J relative target, O
// direct offset, P/Q MMX register (or memory), N MMX register of the rm field,
// S segment register, V/W XMM register (or memory), U XMM register of the rm
// field. A register-only operand with a memory ModRM, or the reverse, makes
// the instruction undefined (a DB line).
// Size letters: a b c d o p q s t u v w y and blank (see TDisAsm.cpp).
// Directives: "@c1" one-byte, "@c2" two-byte, "@c8" 0F 38, "@c:" 0F 3A,
// "@ca".."@ch" floating-point template of the next byte; "@e" register
// letter; "@g" group, "@h" operand tail by the ModRM reg field; "@k" an
// opcode that may start a VEX, EVEX or XOP instruction; "@m" size word
// wanted; "@o" size suffix; "@p" segment override; "@r" repeat prefix;
// "@s" address or operand size prefix; "@v" the register that VEX names
// beside ModRM; "@w" a letter chosen by VEX.W; "@x" memory or register form;
// "@y" memory or register form chosen by a mandatory prefix.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drevnik::disasm_tables {

extern const char* const OneByte[256];
extern const char* const TwoByte[256];
extern const char* const Groups[104];     // (letter - 'a') * 8 + reg
extern const char* const Tails[40];       // (digit - '1') * 8 + reg
extern const char* const Splits[3][2];    // by letter: memory form, register form
extern const char* const PrefixedForms[10][4][2];  // by letter, prefix (none, 66, F3, F2), form
extern const char* const SystemRegisterForms[64];  // 0F 01 with a register ModRM, by ModRM - 0xC0
extern const char* const FloatEscapes[576];  // per D8..DF: 8 memory forms by reg, 64 register forms

// A row of an opcode map (1: 0F, 2: 0F 38, 3: 0F 3A) under a mandatory
// prefix (0 none, 0x66, 0xF3, 0xF2; in VEX form the pp field names it).
struct TMapRow {
    uint8_t Map;
    uint8_t Prefix;
    uint8_t Opcode;
    const char* Template;
};
extern const TMapRow PrefixedRows[];
extern const size_t PrefixedRowsCount;
extern const TMapRow VexRows[];  // rows that exist only in VEX form
extern const size_t VexRowsCount;

}  // namespace drevnik::disasm_tables
