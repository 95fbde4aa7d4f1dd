// Template expansion of TDisAsm; the templates are in DisAsmTables.cpp.
//
// Operand texts from numbers and callbacks are marked final character by
// character rather than with a "^" + length byte: a name of any length stays
// literal, also through the final pass, where a "%c" or "%s" inside a routine
// name would otherwise be taken for a directive.
#include "crashreport/debuginfo/TDisAsm.h"

#include "crashreport/debuginfo/DisAsmTables.h"

#include <algorithm>
#include <cstdio>

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
        default: return "byte ptr ";
    }
}

const char* const Registers32[8] = {"eax", "ecx", "edx", "ebx", "esp", "ebp", "esi", "edi"};
const char* const Registers16[8] = {"ax", "cx", "dx", "bx", "sp", "bp", "si", "di"};
const char* const Registers8[8] = {"al", "cl", "dl", "bl", "ah", "ch", "dh", "bh"};
const char* const Segments[6] = {"es", "cs", "ss", "ds", "fs", "gs"};

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
        case 'o': OperandBytes_ = 16; break;
        case 'p': OperandBytes_ = AddressSize_ + 2; break;
        case 'q': OperandBytes_ = 8; break;
        case 's': OperandBytes_ = 6; break;
        case 't': OperandBytes_ = 10; break;
        case 'v': OperandBytes_ = OperandSize_; break;
        case 'w': OperandBytes_ = 2; break;
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
        case 'E':
        case 'M': piece = FormatModRmOperand(); break;
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
        case 'P': piece.Add("MM" + std::to_string(reg()), true); break;
        case 'Q':
            if ((ModRm() >> 6) == 3) {
                piece.Add("MM" + std::to_string(ModRm() & 7), true);
            } else {
                piece = FormatModRmOperand();
            }
            break;
        case 'S': piece.Add(reg() < 6 ? Segments[reg()] : "???", true); break;
        case 'V': piece.Add("XMM" + std::to_string(reg()), true); break;
        case 'W':
            if ((ModRm() >> 6) == 3) {
                piece.Add("XMM" + std::to_string(ModRm() & 7), true);
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
            } else if (argument == '2') {
                piece.Add(TwoByte[ReadByte()], false);
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
            if (argument >= 'a' && argument <= 'j') piece.Add(Groups[(argument - 'a') * 8 + ((ModRm() >> 3) & 7)], false);
            break;
        case 'h':
            if (argument >= '1' && argument <= '4') piece.Add(Tails[(argument - '1') * 8 + ((ModRm() >> 3) & 7)], false);
            break;
        case 'm': SizeWord_ = true; break;
        case 'o': {
            const int index = argument == '2' ? 0 : argument == '4' ? 1 : 2;
            piece.Add(std::string(1, (OperandSize_ == 4 ? "wdq" : "bwd")[index]), false);
            break;
        }
        case 'p':
            SegmentOverride_ = true;
            SegmentName_ = std::string(1, argument) + "s";
            piece.Add(OneByte[ReadByte()], false);
            break;
        case 's':
            if (argument == 'a') AddressSize_ = 2;
            if (argument == 'o') OperandSize_ = 2;
            piece.Add(OneByte[ReadByte()], false);
            break;
        default: break;
    }
    return piece;
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
            std::string db = "DB      $" + Hex(Code_[0], 2);
            for (int k = 1; k < Length_; ++k) db += ", $" + Hex(Code_[k], 2);
            insert.Add(db + "  //", true);
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
    FinalPass(t);
    text = std::move(t.Chars);
    length = Length_;
}

}  // namespace drevnik
