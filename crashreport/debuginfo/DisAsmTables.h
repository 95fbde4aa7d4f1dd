// Opcode templates of TDisAsm.
//
// Template language, scanned from the first character:
//   "#" + addressing letter + size letter + blank/"j"/"c"   one operand
//   "@" + letter + argument                                 a directive
//   "^" + length byte                                       the next characters are final
//   "%c" + one character                                    undecoded: DB list of the bytes
// Addressing letters: A far pointer, C/D/T control/debug/test register, E/M/R
// ModRM operand, G register of the reg field, H signed and I unsigned
// immediate, J relative target, O direct offset, P/Q MMX register (or memory),
// S segment register, V/W XMM register (or memory).
// Size letters: a b c d o p q s t v w and blank (see TDisAsm.cpp).
// Directives: "@c1" one-byte, "@c2" two-byte, "@ca".."@ch" floating-point
// template of the next byte; "@e" register letter; "@g" group, "@h" operand
// tail by the ModRM reg field; "@m" size word wanted; "@o" size suffix;
// "@p" segment override, "@s" address or operand size prefix.
#pragma once

namespace drevnik::disasm_tables {

extern const char* const OneByte[256];
extern const char* const TwoByte[256];
extern const char* const Groups[80];      // (letter - 'a') * 8 + reg
extern const char* const Tails[32];       // (digit - '1') * 8 + reg
extern const char* const FloatEscapes[576];  // per D8..DF: 8 memory forms by reg, 64 register forms

}  // namespace drevnik::disasm_tables
