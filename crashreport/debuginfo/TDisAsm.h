// Table-driven 32-bit x86 disassembler for the report's assembler listing.
//
// Every opcode has a text template (DisAsmTables.h) with operand codes
// ("#" + addressing letter + size letter + one more character) and directives
// ("@" + letter + argument). DisassembleInstruction expands them while it reads
// the instruction's bytes, then a final pass writes size words ("%s" + size)
// and turns undecodable templates ("%c") into a DB list of the bytes read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace drevnik {

// What a memory operand addresses, handed to TDisAsm::OnMemoryOperand.
// A memory operand with a single register counts as that register with scale 1.
struct TEffectiveAddress {
    uint32_t IndexScale = 0;    // 1, 2, 4 or 8; 0 when no index register is used
    uint8_t IndexRegister = 0;  // register number (eax 0 .. edi 7)
    uint32_t BaseUsed = 0;      // 1 when BaseRegister takes part
    uint8_t BaseRegister = 0;
    uint32_t Displacement = 0;  // sum of the displacements read for the operand
};

class TDisAsm {
public:
    // Code addresses are those of the 32-bit address space the bytes come from.
    // (user data, address of the displacement, target address, text)
    using TNameAddressEvent = std::function<void(uintptr_t, uint32_t, uint32_t, std::string&)>;
    // (user data, address of the value, value, text)
    using TNameValueEvent = std::function<void(uintptr_t, uint32_t, uint32_t, std::string&)>;
    // (user data, effective address, operand size in bytes, text)
    using TMemoryOperandEvent = std::function<void(uintptr_t, const TEffectiveAddress&, int, std::string&)>;
    // (user data, address of the immediate, size in bytes, signed, text)
    using TImmediateEvent = std::function<void(uintptr_t, uint32_t, int, bool, std::string&)>;

    // The architectural limit; longer byte runs (endless prefixes) are not one instruction.
    static constexpr int MaxInstructionLength = 15;

    TNameAddressEvent OnNameJump;
    TNameAddressEvent OnNameCall;
    TNameValueEvent OnNameValue;
    TMemoryOperandEvent OnMemoryOperand;
    TImmediateEvent OnImmediate;
    uintptr_t UserData = 0;

    // Disassembles the instruction at the start of `code`, whose first byte sits
    // at `address`. Never reads outside `code`: an instruction that does not fit
    // (or is longer than MaxInstructionLength) gives a DB list of the bytes there
    // are. `length` is the number of bytes read; 0 only for empty `code`.
    void DisassembleInstruction(std::span<const uint8_t> code, uint32_t address, int& length,
                                std::string& text);

private:
    // Text under expansion; a set mark makes a character final (never expanded).
    struct TPiece {
        std::string Chars;
        std::string Final;
        void Add(const std::string& s, bool final);
    };

    uint8_t ReadByte();
    uint32_t ReadValue(int bytes);
    uint8_t ModRm();
    uint8_t Sib();
    uint32_t Here() const { return Address_ + static_cast<uint32_t>(Length_); }

    TPiece ExpandOperand(char letter, char size, char kind);
    TPiece ExpandDirective(char letter, char argument);
    TPiece ExpandExtendedEncoding(char opcode);
    const char* SelectRow(int map, uint8_t opcode);
    const char* TakeMandatoryPrefix(const std::array<const char*, 4>& forms);
    void SkipOperands(int map, uint8_t opcode);
    void SkipModRmOperand();
    void ApplySize(char size);
    std::string RegisterName(int number) const;
    std::string XmmName(int number) const;
    TPiece FormatModRmOperand();
    void FormatSibOperand(std::string& out);
    std::string FormatCodeValue32();
    void FinalPass(TPiece& text);
    void MemoryOperandEvent(std::string& text);
    std::string ListBytes() const;

    std::span<const uint8_t> Code_;
    uint32_t Address_ = 0;
    int Length_ = 0;
    bool Truncated_ = false;
    int OperandSize_ = 4;
    int AddressSize_ = 4;
    int OperandBytes_ = 0;
    bool SegmentOverride_ = false;
    std::string SegmentName_;
    int ModRm_ = -1;
    int Sib_ = -1;
    bool SizeWord_ = true;
    TEffectiveAddress Ea_;
    // Prefixes that choose a row of the 0F maps: the last of F2 and F3, how
    // many repeat prefixes came, which one a row took, and 66.
    int RepPrefix_ = 0;
    int RepCount_ = 0;
    int ConsumedRep_ = -1;
    bool OperandPrefix_ = false;
    // A VEX instruction: its pp field as a prefix byte, its register (vvvv),
    // L and W, and whether the row is a legacy one named with a "v" in front.
    bool Vex_ = false;
    int VexPrefix_ = 0;
    int VexRegister_ = 0;
    bool VexL_ = false;
    bool VexW_ = false;
    bool VexLegacyRow_ = false;
    // The bytes read are no instruction of the tables: list them as DB.
    bool Undefined_ = false;
};

}  // namespace drevnik
