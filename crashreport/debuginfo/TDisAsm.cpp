// Template expansion of TDisAsm; the templates are in DisAsmTables.cpp.
//
// Operand texts from numbers and callbacks are marked final character by
// character rather than with a "^" + length byte: a name of any length stays
// literal, also through the final pass, where a "%c" or "%s" inside a routine
// name would otherwise be taken for a directive.
#include "crashreport/debuginfo/TDisAsm.h"

#include "crashreport/debuginfo/DisAsmTables.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace drevnik {
namespace {

using namespace disasm_tables;

std::string Hex(uint64_t value, int digits) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*llX", digits, static_cast<unsigned long long>(value));
    return buf;
}

// "+$08" / "-$08": sign and magnitude in the given number of digits.
std::string FormatSignedHex(int64_t value, int digits) {
    if (value < 0) return "-$" + Hex(static_cast<uint64_t>(-value), digits);
    return "+$" + Hex(static_cast<uint64_t>(value), digits);
}

int64_t SignExtend(uint32_t value, int bytes) {
    switch (bytes) {
        case 1: return static_cast<int8_t>(value);
        case 2: return static_cast<int16_t>(value);
        default: return static_cast<int32_t>(value);
    }
}

std::string SizeWord(int size) {
    switch (size) {
        case 2: return "word ptr ";
        case 4: return "dword ptr ";
        case 6: return "";
        case 8: return "qword ptr ";
        case 10: return "tbyte ptr ";
        case 16: return "xmmword ptr ";
        case 32: return "ymmword ptr ";
        default: return "byte ptr ";
    }
}

const char* const Registers32[8] = {"eax", "ecx", "edx", "ebx", "esp", "ebp", "esi", "edi"};
const char* const Registers16[8] = {"ax", "cx", "dx", "bx", "sp", "bp", "si", "di"};
const char* const Registers8[8] = {"al", "cl", "dl", "bl", "ah", "ch", "dh", "bh"};
const char* const Segments[6] = {"es", "cs", "ss", "ds", "fs", "gs"};

// Index of a mandatory prefix in the row index; VEX's pp field counts alike.
int PrefixIndex(int prefix) {
    switch (prefix) {
        case 0x66: return 1;
        case 0xF3: return 2;
        case 0xF2: return 3;
        default: return 0;
    }
}

constexpr int kVexPrefixes[4] = {0, 0x66, 0xF3, 0xF2};

// The map rows by map, prefix and opcode, filled once from the row lists.
struct TRowIndex {
    const char* Legacy[3][4][256];
    const char* Vex[3][4][256];
};

const TRowIndex& RowIndex() {
    static TRowIndex index;
    static const bool filled = [] {
        for (size_t i = 0; i < PrefixedRowsCount; ++i) {
            const TMapRow& row = PrefixedRows[i];
            index.Legacy[row.Map - 1][PrefixIndex(row.Prefix)][row.Opcode] = row.Template;
        }
        for (size_t i = 0; i < VexRowsCount; ++i) {
            const TMapRow& row = VexRows[i];
            index.Vex[row.Map - 1][PrefixIndex(row.Prefix)][row.Opcode] = row.Template;
        }
        return true;
    }();
    (void)filled;
    return index;
}

// Whether a legacy row has a VEX form: one with XMM operands and no MMX ones
// (the SHA rows have none).
bool HasVexForm(std::string_view row) {
    if (row == "@xa" || row == "@xb") return true;  // movlps / movhlps, movhps / movlhps
    if (row.starts_with("%c") || row.starts_with("sha")) return false;
    const bool xmm = row.find("#V") != std::string_view::npos || row.find("#W") != std::string_view::npos ||
                     row.find("#U") != std::string_view::npos;
    const bool mmx = row.find("#P") != std::string_view::npos || row.find("#Q") != std::string_view::npos ||
                     row.find("#N") != std::string_view::npos;
    return xmm && !mmx;
}

// A legacy row's text in VEX form: "v" before the mnemonic, padding kept.
std::string WithVexName(std::string text) {
    text.insert(0, 1, 'v');
    const size_t blank = text.find(' ');
    if (blank != std::string::npos && blank + 1 < text.size() && text[blank + 1] == ' ') text.erase(blank, 1);
    return text;
}

// Opcodes of the 0F map that take an immediate byte beside their ModRM
// operand in VEX and EVEX form.
bool TakesImmediate(int map, uint8_t opcode) {
    if (map == 3) return true;
    return map == 1 && ((opcode >= 0x70 && opcode <= 0x73) || opcode == 0xC2 || (opcode >= 0xC4 && opcode <= 0xC6));
}

}  // namespace

void TDisAsm::TPiece::Add(const std::string& s, bool final) {
    Chars += s;
    Final.append(s.size(), final ? '\1' : '\0');
}

uint8_t TDisAsm::ReadByte() {
    const size_t limit = std::min<size_t>(Code_.size(), MaxInstructionLength);
    if (Truncated_ || static_cast<size_t>(Length_) >= limit) {
        Truncated_ = true;
        return 0;
    }
    return Code_[Length_++];
}

uint32_t TDisAsm::ReadValue(int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(ReadByte()) << (8 * i);
    return value;
}

uint8_t TDisAsm::ModRm() {
    if (ModRm_ < 0) ModRm_ = ReadByte();
    return static_cast<uint8_t>(ModRm_);
}

uint8_t TDisAsm::Sib() {
    if (Sib_ < 0) Sib_ = ReadByte();
    return static_cast<uint8_t>(Sib_);
}

void TDisAsm::ApplySize(char size) {
    switch (size) {
        case 'a': OperandBytes_ = OperandSize_ == 2 ? 4 : 8; break;
        case 'b': OperandBytes_ = 1; break;
        case 'c': OperandBytes_ = OperandSize_ == 2 ? 1 : 2; break;
        case 'd': OperandBytes_ = 4; break;
        case 'o': OperandBytes_ = Vex_ && VexL_ ? 32 : 16; break;
        case 'p': OperandBytes_ = AddressSize_ + 2; break;
        case 'q': OperandBytes_ = 8; break;
        case 's': OperandBytes_ = 6; break;
        case 't': OperandBytes_ = 10; break;
        case 'u': OperandBytes_ = 16; break;
        case 'v': OperandBytes_ = OperandSize_; break;
        case 'w': OperandBytes_ = 2; break;
        case 'y': OperandBytes_ = VexW_ ? 8 : 4; break;
        case ' ': SizeWord_ = false; break;
        default: break;
    }
}

std::string TDisAsm::RegisterName(int number) const {
    number &= 7;
    if (OperandBytes_ == 1) return Registers8[number];
    if (OperandBytes_ == 4) return Registers32[number];
    return Registers16[number];
}

std::string TDisAsm::XmmName(int number) const {
    return (OperandBytes_ == 32 ? "YMM" : "XMM") + std::to_string(number & 7);
}

// "$" + 8 digits for a 32-bit value in the code, offered to OnNameValue.
std::string TDisAsm::FormatCodeValue32() {
    const uint32_t at = Here();
    const uint32_t value = ReadValue(4);
    Ea_.Displacement += value;
    std::string text = "$" + Hex(value, 8);
    if (OnNameValue && !Truncated_) OnNameValue(UserData, at, value, text);
    return text;
}

void TDisAsm::MemoryOperandEvent(std::string& text) {
    if (OnMemoryOperand && !Truncated_) OnMemoryOperand(UserData, Ea_, OperandBytes_, text);
}

void TDisAsm::FormatSibOperand(std::string& out) {
    const uint8_t sib = Sib();
    const int mod = ModRm() >> 6;
    const int scale = sib >> 6;
    const int index = (sib >> 3) & 7;
    const int base = sib & 7;
    bool baseUsed = false;
    if (base == 5 && mod == 0) {
        out += "[" + FormatCodeValue32();
    } else {
        out += std::string("[") + Registers32[base];
        baseUsed = true;
    }
    if (index != 4) {
        out += std::string("+") + Registers32[index];
        if (scale > 0) out += "*" + std::to_string(1 << scale);
        if (baseUsed) {
            Ea_.BaseUsed = 1;
            Ea_.BaseRegister = static_cast<uint8_t>(base);
        }
        Ea_.IndexScale = 1u << scale;
        Ea_.IndexRegister = static_cast<uint8_t>(index);
    } else if (baseUsed) {
        Ea_.IndexScale = 1;
        Ea_.IndexRegister = static_cast<uint8_t>(base);
    }
}

TDisAsm::TPiece TDisAsm::FormatModRmOperand() {
    TPiece piece;
    const uint8_t modrm = ModRm();
    const int mod = modrm >> 6;
    const int rm = modrm & 7;
    if (mod == 3) {
        piece.Add(RegisterName(rm), true);
        return piece;
    }
    piece.Add(std::string("%s") + static_cast<char>(OperandBytes_), false);
    if (OperandBytes_ != 4 && OperandBytes_ != 0) SizeWord_ = true;

    std::string text;
    if (SegmentOverride_) text = SegmentName_ + ":";
    Ea_ = TEffectiveAddress{};
    bool closed = false;
    if (AddressSize_ == 4) {
        if (mod == 0 && rm == 5) {
            text += "[" + FormatCodeValue32() + "]";
            closed = true;
        } else if (rm == 4) {
            FormatSibOperand(text);
        } else {
            text += std::string("[") + Registers32[rm];
            Ea_.IndexScale = 1;
            Ea_.IndexRegister = static_cast<uint8_t>(rm);
        }
    } else {
        static const char* const forms[8] = {"[bx+si", "[bx+di", "[bp+si", "[bp+di", "[si", "[di", "[bp", "[bx"};
        static const int bases[8] = {3, 3, 5, 5, -1, -1, -1, -1};
        static const int indexes[8] = {6, 7, 6, 7, 6, 7, 5, 3};
        if (mod == 0 && rm == 6) {
            const uint32_t value = ReadValue(2);
            Ea_.Displacement += value;
            text += "[$" + Hex(value, 4) + "]";
            closed = true;
        } else {
            text += forms[rm];
            if (bases[rm] >= 0) {
                Ea_.BaseUsed = 1;
                Ea_.BaseRegister = static_cast<uint8_t>(bases[rm]);
            }
            Ea_.IndexScale = 1;
            Ea_.IndexRegister = static_cast<uint8_t>(indexes[rm]);
        }
    }
    if (!closed) {
        if (mod == 1) {
            const int64_t disp = SignExtend(ReadByte(), 1);
            Ea_.Displacement += static_cast<uint32_t>(disp);
            text += FormatSignedHex(disp, 2);
        } else if (mod == 2) {
            if (AddressSize_ == 4) {
                text += "+" + FormatCodeValue32();
            } else {
                const uint32_t value = ReadValue(2);
                Ea_.Displacement += static_cast<uint32_t>(SignExtend(value, 2));
                text += "+$" + Hex(value, 4);
            }
        }
        text += "]";
    }
    MemoryOperandEvent(text);
    piece.Add(text, true);
    return piece;
}

TDisAsm::TPiece TDisAsm::ExpandOperand(char letter, char size, char kind) {
    ApplySize(size);
    TPiece piece;
    const auto reg = [this] { return (ModRm() >> 3) & 7; };
    switch (letter) {
        case 'A': {
            if (size != 'p') {
                piece.Add("???", true);
                break;
            }
            // A far pointer: the offset (by operand size), then the selector.
            std::string offset;
            if (OperandSize_ == 4) {
                offset = FormatCodeValue32();
            } else {
                offset = "$" + Hex(ReadValue(2), 4);
            }
            const uint32_t selector = ReadValue(2);
            std::string text = SegmentOverride_ ? SegmentName_ + ":" : "";
            piece.Add(text + "$" + Hex(selector, 4) + ":" + offset, true);
            break;
        }
        case 'C':
        case 'D':
            if (size == 'd') {
                piece.Add(std::string(1, letter) + std::to_string(reg()), true);
            } else {
                piece.Add("???", true);
            }
            break;
        case 'T': piece.Add("T" + std::to_string(reg()), true); break;
        case 'R':
            // Moves to and from control registers ignore the mod field: always a register.
            OperandBytes_ = 4;
            piece.Add(RegisterName(ModRm() & 7), true);
            break;
        case 'E': piece = FormatModRmOperand(); break;
        case 'M':
            // A memory operand given a register: no instruction.
            if ((ModRm() >> 6) == 3) {
                Undefined_ = true;
                piece.Add("???", true);
            } else {
                piece = FormatModRmOperand();
            }
            break;
        case 'G':
            piece.Add(RegisterName(reg()), true);
            SizeWord_ = false;
            break;
        case 'H': {
            const uint32_t at = Here();
            int64_t value = 1;
            if (OperandBytes_ == 1 || OperandBytes_ == 2 || OperandBytes_ == 4) {
                value = SignExtend(ReadValue(OperandBytes_), OperandBytes_);
            }
            std::string text = FormatSignedHex(value, 2 * OperandBytes_);
            if (OnImmediate && !Truncated_) OnImmediate(UserData, at, OperandBytes_, true, text);
            piece.Add(text, true);
            break;
        }
        case 'I': {
            const uint32_t at = Here();
            std::string digits;
            for (int i = 0; i < OperandBytes_; ++i) digits.insert(0, Hex(ReadByte(), 2));
            std::string text = "$" + digits;
            if (OnImmediate && !Truncated_) OnImmediate(UserData, at, OperandBytes_, false, text);
            piece.Add(text, true);
            break;
        }
        case 'J': {
            const uint32_t at = Here();
            const int bytes = OperandBytes_ == 1 || OperandBytes_ == 2 ? OperandBytes_ : 4;
            const int64_t disp = SignExtend(ReadValue(bytes), bytes);
            const uint32_t target = Here() + static_cast<uint32_t>(disp);
            std::string text = FormatSignedHex(disp, 2 * bytes);
            if (!Truncated_) {
                if (kind == 'j' && OnNameJump) OnNameJump(UserData, at, target, text);
                if (kind == 'c' && OnNameCall) OnNameCall(UserData, at, target, text);
            }
            piece.Add(text, true);
            break;
        }
        case 'O': {
            // Keeps its segment override: fs:[$00000000] is the SEH chain, not address 0.
            std::string text = SegmentOverride_ ? SegmentName_ + ":" : "";
            Ea_ = TEffectiveAddress{};
            if (AddressSize_ == 2) {
                const uint32_t value = ReadValue(2);
                Ea_.Displacement = value;
                text += "[$" + Hex(value, 4) + "]";
            } else {
                text += "[" + FormatCodeValue32() + "]";
            }
            MemoryOperandEvent(text);
            piece.Add(std::string("%s") + static_cast<char>(OperandBytes_), false);
            piece.Add(text, true);
            break;
        }
        case 'N':
        case 'U':
            // A register operand given memory: no instruction.
            if ((ModRm() >> 6) != 3) {
                Undefined_ = true;
                piece.Add("???", true);
            } else {
                piece.Add(letter == 'N' ? "MM" + std::to_string(ModRm() & 7) : XmmName(ModRm()), true);
            }
            break;
        case 'P': piece.Add("MM" + std::to_string(reg()), true); break;
        case 'Q':
            if ((ModRm() >> 6) == 3) {
                piece.Add("MM" + std::to_string(ModRm() & 7), true);
            } else {
                piece = FormatModRmOperand();
            }
            break;
        case 'S': piece.Add(reg() < 6 ? Segments[reg()] : "???", true); break;
        case 'V': piece.Add(XmmName(reg()), true); break;
        case 'W':
            if ((ModRm() >> 6) == 3) {
                piece.Add(XmmName(ModRm()), true);
            } else {
                piece = FormatModRmOperand();
            }
            break;
        default: piece.Add("???", true); break;
    }
    return piece;
}

TDisAsm::TPiece TDisAsm::ExpandDirective(char letter, char argument) {
    TPiece piece;
    switch (letter) {
        case 'c':
            if (argument == '1') {
                piece.Add(OneByte[ReadByte()], false);
            } else if (argument == '2' || argument == '8' || argument == ':') {
                // The 0F map, and the 0F 38 and 0F 3A maps named by their second byte.
                const int map = argument == '2' ? 1 : argument == '8' ? 2 : 3;
                const uint8_t opcode = ReadByte();
                if (const char* row = SelectRow(map, opcode)) {
                    piece.Add(row, false);
                } else {
                    // Every row of the three-byte maps has a ModRM operand (and
                    // in 0F 3A an immediate byte), also those the tables lack.
                    SkipOperands(map, opcode);
                    Undefined_ = true;
                }
            } else if (argument >= 'a' && argument <= 'h') {
                const uint8_t modrm = ModRm();
                const int base = (argument - 'a') * 72;
                piece.Add(FloatEscapes[modrm > 0xBF ? base + 8 + (modrm - 0xC0) : base + ((modrm >> 3) & 7)], false);
            }
            break;
        case 'e':
            piece.Add(OperandSize_ == 4 ? std::string("e") + argument : std::string(1, argument), false);
            break;
        case 'g':
            if (argument == 'g' && ModRm() >= 0xC0) {
                // 0F 01 with a register ModRM: system instructions named by the whole byte.
                piece.Add(SystemRegisterForms[ModRm() - 0xC0], false);
            } else if (argument >= 'a' && argument <= 'm') {
                piece.Add(Groups[(argument - 'a') * 8 + ((ModRm() >> 3) & 7)], false);
            }
            break;
        case 'h':
            if (argument >= '1' && argument <= '5') piece.Add(Tails[(argument - '1') * 8 + ((ModRm() >> 3) & 7)], false);
            break;
        case 'k': piece = ExpandExtendedEncoding(argument); break;
        case 'm': SizeWord_ = true; break;
        case 'o': {
            const int index = argument == '2' ? 0 : argument == '4' ? 1 : 2;
            piece.Add(std::string(1, (OperandSize_ == 4 ? "wdq" : "bwd")[index]), false);
            break;
        }
        case 'r':
            // The repeat word waits for the final pass: a row that takes the
            // prefix as part of its opcode drops it.
            RepPrefix_ = argument == '2' ? 0xF2 : 0xF3;
            piece.Add(std::string("%") + argument, false);
            piece.Add(std::string(1, static_cast<char>(RepCount_++)), true);
            piece.Add(OneByte[ReadByte()], false);
            break;
        case 'v':
            if (!Vex_) break;
            if (argument == 'r') {
                piece.Add(std::string(Registers32[VexRegister_ & 7]) + ", ", true);
            } else if (argument == 'e') {
                piece.Add(std::string(", ") + Registers32[VexRegister_ & 7], true);
            } else if (argument == 't') {
                piece.Add(std::string(", ") + (VexL_ ? "YMM" : "XMM") + std::to_string(VexRegister_ & 7), true);
            } else if (argument == ' ' || (argument == 'm' && ModRm() >= 0xC0)) {
                // 'm': only beside a register operand (movss and movsd).
                piece.Add((VexL_ ? "YMM" : "XMM") + std::to_string(VexRegister_ & 7) + ", ", true);
            }
            break;
        case 'w':
            if (argument == 'd') piece.Add(VexW_ ? "q" : "d", false);
            if (argument == 's') piece.Add(VexW_ ? "d" : "s", false);
            break;
        case 'x':
            if (argument >= 'a' && argument <= 'c') piece.Add(Splits[argument - 'a'][ModRm() >= 0xC0 ? 1 : 0], false);
            break;
        case 'y':
            if (argument >= 'a' && argument <= 'j') {
                const auto& forms = PrefixedForms[argument - 'a'];
                const int form = ModRm() >= 0xC0 ? 1 : 0;
                piece.Add(TakeMandatoryPrefix({forms[0][form], forms[1][form], forms[2][form], forms[3][form]}), false);
            }
            break;
        case 'p':
            SegmentOverride_ = true;
            SegmentName_ = std::string(1, argument) + "s";
            piece.Add(OneByte[ReadByte()], false);
            break;
        case 's':
            if (argument == 'a') AddressSize_ = 2;
            if (argument == 'o') {
                OperandSize_ = 2;
                OperandPrefix_ = true;
            }
            piece.Add(OneByte[ReadByte()], false);
            break;
        default: break;
    }
    return piece;
}

// A row of map 1 (0F), 2 (0F 38) or 3 (0F 3A) for the prefixes given; null
// when the map has none.
const char* TDisAsm::SelectRow(int map, uint8_t opcode) {
    const TRowIndex& rows = RowIndex();
    if (Vex_) {
        const int prefix = PrefixIndex(VexPrefix_);
        if (const char* row = rows.Vex[map - 1][prefix][opcode]) return row;
        const char* row = rows.Legacy[map - 1][prefix][opcode];
        if (!row && map == 1 && prefix == 0) row = TwoByte[opcode];
        if (!row || !HasVexForm(row)) return nullptr;
        VexLegacyRow_ = true;
        return row;
    }
    const auto& legacy = rows.Legacy[map - 1];
    return TakeMandatoryPrefix({map == 1 ? TwoByte[opcode] : legacy[0][opcode], legacy[1][opcode], legacy[2][opcode],
                                legacy[3][opcode]});
}

// Of the forms for no prefix, 66, F3 and F2, the one the prefixes choose (the
// last of F2 and F3 before 66), which then takes its prefix; the unprefixed
// form when the prefixes choose none.
const char* TDisAsm::TakeMandatoryPrefix(const std::array<const char*, 4>& forms) {
    if (RepPrefix_ != 0) {
        if (const char* form = forms[PrefixIndex(RepPrefix_)]) {
            ConsumedRep_ = RepCount_ - 1;
            return form;
        }
    }
    if (OperandPrefix_ && forms[1]) {
        OperandSize_ = 4;  // the prefix chose the form; it sizes nothing
        return forms[1];
    }
    return forms[0];
}

// C4, C5, 62 and 8F: with a register ModRM (for 8F, a map field of 8 or more)
// the byte starts a VEX, EVEX or XOP instruction instead.
TDisAsm::TPiece TDisAsm::ExpandExtendedEncoding(char opcode) {
    TPiece piece;
    const uint8_t next = ModRm();
    const bool registerForm = next >= 0xC0;
    switch (opcode) {
        case '4':
            if (!registerForm) piece.Add("les     #Gv , #Mp ", false);
            break;
        case '5':
            if (!registerForm) piece.Add("lds     #Gv , #Mp ", false);
            break;
        case '2':
            if (!registerForm) piece.Add("bound   #Gv , #Ma ", false);
            break;
        default:
            if ((next & 0x1F) < 8) piece.Add("@gk", false);  // pop
            break;
    }
    if (!piece.Chars.empty()) return piece;

    ModRm_ = -1;  // that byte belonged to the prefix; the ModRM byte comes later
    int map = 1;
    if (opcode == '5') {
        VexRegister_ = (~next >> 3) & 15;
        VexL_ = (next & 4) != 0;
        VexPrefix_ = kVexPrefixes[next & 3];
    } else {
        const uint8_t second = ReadByte();
        map = next & (opcode == '2' ? 7 : 0x1F);
        if (opcode != '4') {
            // EVEX (62, three prefix bytes) and XOP (8F): lengths only.
            if (opcode == '2') ReadByte();
            const uint8_t op = ReadByte();
            SkipModRmOperand();
            if (opcode == '2' ? TakesImmediate(map, op) : map == 8) ReadByte();
            if (opcode == '8' && map == 10) ReadValue(4);
            Undefined_ = true;
            return piece;
        }
        VexW_ = (second & 0x80) != 0;
        VexRegister_ = (~second >> 3) & 15;
        VexL_ = (second & 4) != 0;
        VexPrefix_ = kVexPrefixes[second & 3];
    }
    Vex_ = true;
    const uint8_t op = ReadByte();
    if (map == 1 && op == 0x77) {
        piece.Add(VexL_ ? "vzeroall" : "vzeroupper", false);
        return piece;
    }
    const char* row = map >= 1 && map <= 3 ? SelectRow(map, op) : nullptr;
    if (!row) {
        SkipOperands(map, op);
        Undefined_ = true;
        return piece;
    }
    piece.Add(row, false);
    return piece;
}

// Reads the ModRM operand and immediate of a map row the tables lack.
void TDisAsm::SkipOperands(int map, uint8_t opcode) {
    SkipModRmOperand();
    if (TakesImmediate(map, opcode)) ReadByte();
}

void TDisAsm::SkipModRmOperand() {
    const uint8_t modrm = ModRm();
    const int mod = modrm >> 6;
    const int rm = modrm & 7;
    if (mod == 3) return;
    if (AddressSize_ == 2) {
        if (mod == 1) ReadByte();
        if (mod == 2 || (mod == 0 && rm == 6)) ReadValue(2);
        return;
    }
    const int base = rm == 4 ? Sib() & 7 : rm;
    if (mod == 1) ReadByte();
    if (mod == 2 || (mod == 0 && base == 5)) ReadValue(4);
}

std::string TDisAsm::ListBytes() const {
    std::string db = "DB      $" + Hex(Code_[0], 2);
    for (int k = 1; k < Length_; ++k) db += ", $" + Hex(Code_[k], 2);
    return db;
}

void TDisAsm::FinalPass(TPiece& text) {
    size_t i = 0;
    while (i + 1 < text.Chars.size()) {
        if (text.Final[i] || text.Chars[i] != '%') {
            ++i;
            continue;
        }
        const char c = text.Chars[i + 1];
        const size_t count = std::min<size_t>(3, text.Chars.size() - i);
        TPiece insert;
        if (c == 'c') {
            insert.Add(ListBytes() + "  //", true);
        } else if ((c == '2' || c == '3') && count == 3) {
            if (static_cast<unsigned char>(text.Chars[i + 2]) != ConsumedRep_) {
                insert.Add(c == '2' ? "repne   " : "rep     ", true);
            }
        } else if (c == 's' && SizeWord_ && count == 3) {
            insert.Add(SizeWord(static_cast<unsigned char>(text.Chars[i + 2])), true);
        }
        text.Chars.replace(i, count, insert.Chars);
        text.Final.replace(i, count, insert.Final);
        i += insert.Chars.size();
    }
}

void TDisAsm::DisassembleInstruction(std::span<const uint8_t> code, uint32_t address, int& length,
                                     std::string& text) {
    Code_ = code;
    Address_ = address;
    Length_ = 0;
    Truncated_ = false;
    OperandSize_ = 4;
    AddressSize_ = 4;
    OperandBytes_ = 0;
    SegmentOverride_ = false;
    SegmentName_.clear();
    ModRm_ = -1;
    Sib_ = -1;
    SizeWord_ = true;
    Ea_ = TEffectiveAddress{};
    RepPrefix_ = 0;
    RepCount_ = 0;
    ConsumedRep_ = -1;
    OperandPrefix_ = false;
    Vex_ = false;
    VexPrefix_ = 0;
    VexRegister_ = 0;
    VexL_ = false;
    VexW_ = false;
    VexLegacyRow_ = false;
    Undefined_ = false;
    if (code.empty()) {
        length = 0;
        text.clear();
        return;
    }

    TPiece t;
    t.Add(OneByte[ReadByte()], false);
    size_t b = 0;
    while (!Truncated_ && b + 2 < t.Chars.size()) {
        if (t.Final[b]) {
            ++b;
            continue;
        }
        const char c = t.Chars[b];
        if (c == '#' || c == '@') {
            const size_t count = c == '#' ? std::min<size_t>(4, t.Chars.size() - b) : 3;
            const char third = count == 4 ? t.Chars[b + 3] : ' ';
            TPiece piece = c == '#' ? ExpandOperand(t.Chars[b + 1], t.Chars[b + 2], third)
                                    : ExpandDirective(t.Chars[b + 1], t.Chars[b + 2]);
            t.Chars.replace(b, count, piece.Chars);
            t.Final.replace(b, count, piece.Final);
        } else if (c == '^') {
            const size_t n = std::min<size_t>(static_cast<unsigned char>(t.Chars[b + 1]), t.Chars.size() - b - 2);
            t.Chars.erase(b, 2);
            t.Final.erase(b, 2);
            std::fill_n(t.Final.begin() + static_cast<std::ptrdiff_t>(b), n, '\1');
            b += n;
        } else {
            ++b;
        }
    }

    if (Truncated_) {
        // The instruction runs past the bytes there are: list those.
        const int available = static_cast<int>(std::min<size_t>(code.size(), MaxInstructionLength));
        text = "DB      $" + Hex(code[0], 2);
        for (int k = 1; k < available; ++k) text += ", $" + Hex(code[k], 2);
        length = available;
        return;
    }
    length = Length_;
    if (Undefined_) {
        text = ListBytes() + "  //";
        return;
    }
    FinalPass(t);
    text = std::move(t.Chars);
    if (VexLegacyRow_ && !text.starts_with("DB ")) text = WithVexName(std::move(text));
}

}  // namespace drevnik
