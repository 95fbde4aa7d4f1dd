// The disassembler's texts, lengths, callbacks and its bounds.
#include "crashreport/debuginfo/TDisAsm.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace drevnik {
namespace {

struct Decoded {
    int length;
    std::string text;
};

Decoded Decode(TDisAsm& d, const std::vector<uint8_t>& bytes, uint32_t address = 0x00401000) {
    // An exactly sized heap copy, so that a read past the end trips the sanitizer.
    std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    Decoded r{-1, {}};
    d.DisassembleInstruction({copy.get(), bytes.size()}, address, r.length, r.text);
    return r;
}

Decoded Decode(const std::vector<uint8_t>& bytes) {
    TDisAsm d;
    return Decode(d, bytes);
}

struct Row {
    std::vector<uint8_t> bytes;
    const char* text;
    int length;
};

void CheckRows(const std::vector<Row>& rows) {
    for (const auto& row : rows) {
        const Decoded r = Decode(row.bytes);
        EXPECT_EQ(r.text, row.text) << "bytes starting " << std::hex << int(row.bytes[0]);
        EXPECT_EQ(r.length, row.length) << row.text;
    }
}

TEST(TDisAsm, ReferenceLines) {
    CheckRows({
        {{0x8B, 0x45, 0xF8}, "mov     eax, [ebp-$08]", 3},
        {{0xC7, 0x45, 0xF8, 0x01, 0x00, 0x00, 0x00}, "mov     dword ptr [ebp-$08], $00000001", 7},
        {{0x55}, "push    ebp", 1},
        {{0x66, 0x8B, 0x45, 0xF8}, "mov     ax, word ptr [ebp-$08]", 4},
        {{0x83, 0xC4, 0xF8}, "add     esp, -$08", 3},
        {{0x6A, 0x10}, "push    $10", 2},
        {{0xE8, 0x10, 0x00, 0x00, 0x00}, "call    +$00000010", 5},
        {{0xE8, 0xF0, 0xFF, 0xFF, 0xFF}, "call    -$00000010", 5},
        {{0x0F, 0xB6, 0x45, 0xFC}, "movzx   eax, byte ptr [ebp-$04]", 4},
        {{0xD6}, "DB      $D6  //", 1},
        {{0x26, 0x8B, 0x00}, "mov     eax, es:[eax]", 3},
        {{0x05, 0x10, 0x00, 0x00, 0x00}, "add     eax, +$00000010", 5},
        {{0x98}, "cwde ", 1},
        {{0x66, 0x98}, "cbw ", 2},
        {{0x99}, "cdq", 1},
        {{0x66, 0x99}, "cwd", 2},
        {{0xA5}, "movsd", 1},
        {{0xF7, 0x45, 0x08, 0x01, 0x00, 0x00, 0x00}, "test    dword ptr [ebp+$08], $00000001 ", 7},
        {{0xD8, 0xC1}, "fadd    st(1)", 2},
        {{0xD8, 0x45, 0xF8}, "fadd    dword ptr [ebp-$08]", 3},
    });
}

TEST(TDisAsm, AddressingForms) {
    CheckRows({
        // SIB: base, scaled index, no index (4), and base 5 with mod 0 = disp32.
        {{0x8B, 0x04, 0x8B}, "mov     eax, [ebx+ecx*4]", 3},
        {{0x8B, 0x44, 0x24, 0x04}, "mov     eax, [esp+$04]", 4},
        {{0x8B, 0x04, 0x85, 0x00, 0x10, 0x40, 0x00}, "mov     eax, [$00401000+eax*4]", 7},
        {{0x8B, 0x84, 0x4E, 0x00, 0x01, 0x00, 0x00}, "mov     eax, [esi+ecx*2+$00000100]", 7},
        {{0x8B, 0x05, 0x00, 0x10, 0x40, 0x00}, "mov     eax, [$00401000]", 6},
        {{0x8B, 0x80, 0xFC, 0xFF, 0xFF, 0xFF}, "mov     eax, [eax+$FFFFFFFC]", 6},
        {{0x8D, 0x4C, 0x24, 0x80}, "lea     ecx, [esp-$80]", 4},
        {{0x89, 0xC8}, "mov     eax, ecx", 2},
        {{0x88, 0xE0}, "mov     al, ah", 2},
        // 16-bit addressing after the address-size prefix.
        {{0x67, 0x8B, 0x00}, "mov     eax, [bx+si]", 3},
        {{0x67, 0x8B, 0x46, 0xFE}, "mov     eax, [bp-$02]", 4},
        {{0x67, 0x8B, 0x06, 0x34, 0x12}, "mov     eax, [$1234]", 5},
        {{0x67, 0x8B, 0x87, 0x00, 0x01}, "mov     eax, [bx+$0100]", 5},
        // Direct offsets keep their segment override; a byte operand needs a size word.
        {{0x64, 0xA1, 0x00, 0x00, 0x00, 0x00}, "mov     eax, dword ptr fs:[$00000000]", 6},
        {{0xA2, 0x78, 0x56, 0x34, 0x12}, "mov     byte ptr [$12345678], al", 5},
        {{0x67, 0xA1, 0x34, 0x12}, "mov     eax, dword ptr [$1234]", 4},
        {{0x80, 0x38, 0x2F}, "cmp     byte ptr [eax], $2F", 3},
        {{0x8D, 0x04, 0x40}, "lea     eax, [eax+eax*2]", 3},
    });
}

TEST(TDisAsm, OpcodeFamilies) {
    CheckRows({
        {{0x0F, 0x84, 0x00, 0x01, 0x00, 0x00}, "jz      +$00000100", 6},
        {{0x75, 0xFE}, "jnz     -$02", 2},
        {{0xEB, 0x00}, "jmp     +$00", 2},
        {{0xFF, 0x15, 0x00, 0x20, 0x40, 0x00}, "call    dword ptr [$00402000]", 6},
        {{0xFF, 0xE0}, "jmp     eax", 2},
        {{0xFF, 0x28}, "jmp     far [eax]", 2},
        {{0xFF, 0x75, 0x08}, "push    dword ptr [ebp+$08]", 3},
        {{0xFF, 0xF8}, "DB      $FF, $F8  //     ", 2},
        {{0xC1, 0xE0, 0x04}, "shl     eax, $04", 3},
        {{0xD1, 0xF8}, "sar     eax, 1", 2},
        {{0xD3, 0xE8}, "shr     eax, cl", 2},
        {{0xF7, 0xD8}, "neg     eax ", 2},
        {{0xF6, 0xC2, 0x01}, "test    dl, $01 ", 3},
        // The reg-1 forms of F6/F7 are left undecoded but keep their length.
        {{0xF7, 0xC8, 0x01, 0x00, 0x00, 0x00}, "DB      $F7, $C8, $01, $00, $00, $00  //      eax, $00000001 ", 6},
        {{0x69, 0xC0, 0x10, 0x27, 0x00, 0x00}, "imul    eax, eax, +$00002710", 6},
        {{0x0F, 0xAF, 0xC1}, "imul    eax, ecx", 3},
        {{0x0F, 0xBF, 0xC0}, "movsx   eax, ax", 3},
        {{0x66, 0x0F, 0xB6, 0x00}, "movzx   ax, byte ptr [eax]", 4},
        {{0x0F, 0x94, 0xC0}, "setz    al", 3},
        {{0x0F, 0x4F, 0xC1}, "cmovnle eax, ecx", 3},
        {{0x0F, 0xBA, 0xE0, 0x05}, "bt      eax, $05", 4},
        {{0x0F, 0xC7, 0x0E}, "cmpxchg8b qword ptr [esi]", 3},
        {{0x0F, 0xC8}, "bswap   eax", 2},
        {{0x0F, 0x1F, 0x44, 0x00, 0x00}, "nop     dword ptr [eax+eax+$00]", 5},
        {{0x0F, 0x20, 0xC0}, "mov     eax, C0", 3},
        {{0x0F, 0x6F, 0xC1}, "movq    MM0, MM1", 3},
        {{0x0F, 0x7E, 0xC0}, "movd    eax, MM0", 3},
        {{0x0F, 0x71, 0xD0, 0x02}, "psrlw   MM0, $02", 4},
        {{0x0F, 0x28, 0x45, 0xE8}, "movaps  XMM0, xmmword ptr [ebp-$18]", 4},
        {{0x0F, 0x2E, 0xC1}, "ucomiss XMM0, XMM1", 3},
        {{0x0F, 0x0B}, "ud2", 2},
        {{0x0F, 0x04}, "DB      $0F, $04  //", 2},
        {{0x66, 0xA5}, "movsw", 2},
        {{0xF3, 0xAB}, "rep     stosd", 2},
        {{0xF2, 0xAE}, "repne   scasb", 2},
        {{0xF0, 0x0F, 0xC1, 0x02}, "lock    xadd    [edx], eax", 4},
        {{0xC2, 0x08, 0x00}, "ret     $0008", 3},
        {{0xC8, 0x10, 0x00, 0x01}, "enter   $0010, $01", 4},
        {{0x9A, 0x78, 0x56, 0x34, 0x12, 0x08, 0x00}, "call    $0008:$12345678", 7},
        {{0x66, 0xEA, 0x34, 0x12, 0x10, 0x00}, "jmp     $0010:$1234", 6},
        {{0x8C, 0xD8}, "mov     ax, ds", 2},
        {{0x8E, 0x38}, "mov     ???, word ptr [eax]", 2},
        {{0x60}, "pushad", 1},
        {{0x66, 0x9C}, "pushfw", 2},
        {{0x66, 0x68, 0x34, 0x12}, "push    $1234", 4},
        {{0x66, 0xE8, 0x10, 0x00}, "call    +$0010", 4},
        {{0xCC}, "int     3", 1},
        {{0xCD, 0x2E}, "int     $2E", 2},
    });
}

// What compilers emit for SSE, and the encodings that reuse old opcodes.
TEST(TDisAsm, PrefixedMapsAndExtendedEncodings) {
    CheckRows({
        // 66, F3 and F2 choose the row; the prefix is no repeat word then.
        {{0xF2, 0x0F, 0x10, 0x45, 0xF8}, "movsd   XMM0, qword ptr [ebp-$08]", 5},
        {{0xF2, 0x0F, 0x11, 0xC1}, "movsd   XMM1, XMM0", 4},
        {{0xF3, 0x0F, 0x10, 0x00}, "movss   XMM0, dword ptr [eax]", 4},
        {{0xF3, 0x0F, 0x7E, 0xC1}, "movq    XMM0, XMM1", 4},
        {{0x66, 0x0F, 0x28, 0xC1}, "movapd  XMM0, XMM1", 4},
        {{0x66, 0x0F, 0x6E, 0xC0}, "movd    XMM0, eax", 4},
        {{0x66, 0x0F, 0xD6, 0x45, 0xF0}, "movq    qword ptr [ebp-$10], XMM0", 5},
        {{0xF2, 0x0F, 0x2C, 0xC0}, "cvttsd2si eax, XMM0", 4},
        {{0xF2, 0x0F, 0x58, 0x05, 0x00, 0x10, 0x40, 0x00}, "addsd   XMM0, qword ptr [$00401000]", 8},
        {{0x66, 0x0F, 0x73, 0xD8, 0x08}, "psrldq  XMM0, $08", 5},
        {{0xF3, 0x0F, 0xBC, 0xC1}, "tzcnt   eax, ecx", 4},
        {{0x66, 0xF3, 0x0F, 0xBC, 0xC1}, "tzcnt   ax, cx", 5},
        {{0xF3, 0x0F, 0xB8, 0xC1}, "popcnt  eax, ecx", 4},
        {{0xF3, 0x0F, 0xAF, 0xC1}, "rep     imul    eax, ecx", 4},
        // Group 15, 0F 01 with a register ModRM, 0F C7 in memory.
        {{0x0F, 0xAE, 0x5D, 0xFC}, "stmxcsr dword ptr [ebp-$04]", 4},
        {{0x0F, 0xAE, 0x55, 0xFC}, "ldmxcsr dword ptr [ebp-$04]", 4},
        {{0x0F, 0xAE, 0xF0}, "mfence", 3},
        {{0x0F, 0xAE, 0x38}, "clflush byte ptr [eax]", 3},
        {{0x0F, 0x01, 0xD0}, "xgetbv", 3},
        {{0x0F, 0x01, 0xC8}, "monitor", 3},
        {{0x0F, 0x01, 0x10}, "lgdt    [eax]", 3},
        {{0x0F, 0xC7, 0x30}, "vmptrld qword ptr [eax]", 3},
        {{0x0F, 0xC7, 0xF0}, "rdrand  eax", 3},
        // The 0F 38 and 0F 3A maps.
        {{0x0F, 0x38, 0x00, 0xC1}, "pshufb  MM0, MM1", 4},
        {{0x66, 0x0F, 0x38, 0x00, 0xC1}, "pshufb  XMM0, XMM1", 5},
        {{0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, "palignr XMM0, XMM1, $08", 6},
        {{0xF2, 0x0F, 0x38, 0xF1, 0xC1}, "crc32   eax, ecx", 5},
        // A row the tables lack keeps the ModRM operand that every row of the map has.
        {{0x0F, 0x38, 0x50, 0x44, 0x24, 0x08}, "DB      $0F, $38, $50, $44, $24, $08  //", 6},
        // VEX: C4 and C5 with a register ModRM; in memory they are les and lds.
        {{0xC5, 0xF8, 0x77}, "vzeroupper", 3},
        {{0xC5, 0xF1, 0x58, 0xC2}, "vaddpd  XMM0, XMM1, XMM2", 4},
        {{0xC5, 0xFA, 0x10, 0x00}, "vmovss  XMM0, dword ptr [eax]", 4},
        {{0xC5, 0xF5, 0x73, 0xD2, 0x05}, "vpsrlq  YMM1, YMM2, $05", 5},
        {{0xC4, 0xE2, 0x79, 0x18, 0xC0}, "vbroadcastss XMM0, XMM0", 5},
        {{0xC4, 0xE2, 0x70, 0xF2, 0xC2}, "andn    eax, ecx, edx", 5},
        {{0xC4, 0xE3, 0x7D, 0x19, 0xC1, 0x01}, "vextractf128 XMM1, YMM0, $01", 6},
        // A VEX row the tables lack keeps the length of its operand.
        {{0xC5, 0xF8, 0x0B, 0x44, 0x24, 0x08}, "DB      $C5, $F8, $0B, $44, $24, $08  //", 6},
        {{0xC4, 0x06}, "les     eax, [esi]", 2},
        {{0xC5, 0x06}, "lds     eax, [esi]", 2},
        // EVEX and XOP are listed with their whole length.
        {{0x62, 0xF1, 0x7C, 0x48, 0x10, 0xC1}, "DB      $62, $F1, $7C, $48, $10, $C1  //", 6},
        {{0x62, 0x06}, "bound   eax, qword ptr [esi]", 2},
        {{0x8F, 0xE8, 0x78, 0xA2, 0xC0, 0x10}, "DB      $8F, $E8, $78, $A2, $C0, $10  //", 6},
        // Register forms that no processor accepts, and memory forms likewise.
        {{0x8D, 0xC0}, "DB      $8D, $C0  //", 2},
        {{0x8F, 0xC0}, "pop     eax", 2},
        {{0x8F, 0x20}, "DB      $8F, $20  //", 2},
        {{0xFF, 0xD8}, "DB      $FF, $D8  //", 2},
        {{0x0F, 0xB2, 0xC0}, "DB      $0F, $B2, $C0  //", 3},
        {{0x0F, 0x50, 0x00}, "DB      $0F, $50, $00  //", 3},
        {{0x0F, 0x71, 0x10, 0x05}, "DB      $0F, $71, $10, $05  //", 4},
    });
}

TEST(TDisAsm, FloatingPointForms) {
    CheckRows({
        {{0xD9, 0x45, 0xFC}, "fld     dword ptr [ebp-$04]", 3},
        {{0xDD, 0x5D, 0xF0}, "fstp    qword ptr [ebp-$10]", 3},
        {{0xDB, 0x2D, 0x00, 0x10, 0x40, 0x00}, "fld     tbyte ptr [$00401000]", 6},
        {{0xDF, 0x6D, 0xF0}, "fild    qword ptr [ebp-$10]", 3},
        {{0xDE, 0x45, 0xFE}, "fiadd   word ptr [ebp-$02]", 3},
        {{0xD9, 0x7D, 0xFE}, "fnstcw  word ptr [ebp-$02]", 3},
        {{0xD9, 0xC9}, "fxch    st(1)", 2},
        {{0xD9, 0xE8}, "fld1", 2},
        {{0xDE, 0xC9}, "fmulp   st(1), st(0)", 2},
        {{0xDF, 0xE0}, "fnstsw  ax", 2},
        {{0xDB, 0xE3}, "fninit", 2},
        {{0xDF, 0xE9}, "fucomip st(0), st(1)", 2},
        {{0xD9, 0xD8}, "DB      $D9, $D8  //", 2},
        {{0xD9, 0x08}, "DB      $D9, $08  //     dword ptr [eax]", 2},
    });
}

TEST(TDisAsm, CallbacksSeeAddressesAndValues) {
    TDisAsm d;
    d.UserData = 77;
    std::vector<std::string> seen;
    d.OnNameCall = [&](uintptr_t user, uint32_t at, uint32_t target, std::string& text) {
        seen.push_back("call " + std::to_string(user) + " " + std::to_string(at) + " " + std::to_string(target) + " " + text);
        text = "Unit.Routine";
    };
    d.OnNameJump = [&](uintptr_t, uint32_t at, uint32_t target, std::string& text) {
        seen.push_back("jump " + std::to_string(at) + " " + std::to_string(target) + " " + text);
        text = "Loop";
    };
    d.OnNameValue = [&](uintptr_t, uint32_t at, uint32_t value, std::string& text) {
        seen.push_back("value " + std::to_string(at) + " " + std::to_string(value) + " " + text);
        if (value == 0x00402000) text = "Import";
    };
    d.OnImmediate = [&](uintptr_t, uint32_t at, int size, bool isSigned, std::string& text) {
        seen.push_back("imm " + std::to_string(at) + " " + std::to_string(size) + " " + std::to_string(isSigned) + " " + text);
        text += "  ; 'x'";
    };

    EXPECT_EQ(Decode(d, {0xE8, 0x10, 0x00, 0x00, 0x00}, 1000).text, "call    Unit.Routine");
    EXPECT_EQ(Decode(d, {0x74, 0xFE}, 1000).text, "jz      Loop");
    EXPECT_EQ(Decode(d, {0xFF, 0x15, 0x00, 0x20, 0x40, 0x00}, 1000).text, "call    dword ptr [Import]");
    EXPECT_EQ(Decode(d, {0x68, 0x00, 0x30, 0x40, 0x00}, 1000).text, "push    $00403000  ; 'x'");
    EXPECT_EQ(Decode(d, {0x83, 0xC4, 0xF8}, 1000).text, "add     esp, -$08  ; 'x'");
    const std::vector<std::string> expected = {
        "call 77 1001 1021 +$00000010",        // target = 1005 + 16
        "jump 1001 1000 -$02",
        "value 1002 4202496 $00402000",
        "imm 1001 4 0 $00403000",
        "imm 1002 1 1 -$08",
    };
    EXPECT_EQ(seen, expected);
}

TEST(TDisAsm, MemoryOperandCallbackGetsTheEffectiveAddress) {
    TDisAsm d;
    TEffectiveAddress last;
    int lastSize = 0;
    d.OnMemoryOperand = [&](uintptr_t, const TEffectiveAddress& ea, int size, std::string& text) {
        last = ea;
        lastSize = size;
        text += " {m}";
    };
    struct EaRow {
        std::vector<uint8_t> bytes;
        const char* text;
        TEffectiveAddress ea;
        int size;
    };
    const EaRow rows[] = {
        {{0x8B, 0x45, 0xF8}, "mov     eax, [ebp-$08] {m}", {1, 5, 0, 0, 0xFFFFFFF8}, 4},
        {{0x8B, 0x44, 0x8B, 0x10}, "mov     eax, [ebx+ecx*4+$10] {m}", {4, 1, 1, 3, 0x10}, 4},
        {{0x8B, 0x04, 0x24}, "mov     eax, [esp] {m}", {1, 4, 0, 0, 0}, 4},
        {{0x8B, 0x04, 0xC5, 0x00, 0x10, 0x00, 0x00}, "mov     eax, [$00001000+eax*8] {m}", {8, 0, 0, 0, 0x1000}, 4},
        {{0x8A, 0x05, 0x00, 0x10, 0x00, 0x00}, "mov     al, byte ptr [$00001000] {m}", {0, 0, 0, 0, 0x1000}, 1},
        {{0x67, 0x8B, 0x42, 0x02}, "mov     eax, [bp+si+$02] {m}", {1, 6, 1, 5, 2}, 4},
        {{0xA1, 0x00, 0x20, 0x00, 0x00}, "mov     eax, dword ptr [$00002000] {m}", {0, 0, 0, 0, 0x2000}, 4},
    };
    for (const auto& row : rows) {
        lastSize = -1;
        EXPECT_EQ(Decode(d, row.bytes).text, row.text);
        EXPECT_EQ(last.IndexScale, row.ea.IndexScale) << row.text;
        EXPECT_EQ(last.IndexRegister, row.ea.IndexRegister) << row.text;
        EXPECT_EQ(last.BaseUsed, row.ea.BaseUsed) << row.text;
        EXPECT_EQ(last.BaseRegister, row.ea.BaseRegister) << row.text;
        EXPECT_EQ(last.Displacement, row.ea.Displacement) << row.text;
        EXPECT_EQ(lastSize, row.size) << row.text;
    }
    // No memory, no call.
    lastSize = -1;
    EXPECT_EQ(Decode(d, {0x89, 0xC8}).text, "mov     eax, ecx");
    EXPECT_EQ(lastSize, -1);
}

TEST(TDisAsm, NamesFromCallbacksStayLiteral) {
    // A routine name may hold the template's own marks; none of them is expanded.
    TDisAsm d;
    const std::string names[] = {"A#Ev B@eax C%s\x04 D%c E^\x02xy", std::string(300, 'N') + "%c"};
    for (const auto& name : names) {
        d.OnNameCall = [&](uintptr_t, uint32_t, uint32_t, std::string& text) { text = name; };
        d.OnNameValue = [&](uintptr_t, uint32_t, uint32_t, std::string& text) { text = name; };
        EXPECT_EQ(Decode(d, {0xE8, 0, 0, 0, 0}).text, "call    " + name);
        EXPECT_EQ(Decode(d, {0x66, 0x8B, 0x04, 0x85, 0, 0, 0, 0}).text, "mov     ax, word ptr [" + name + "+eax*4]");
    }
}

TEST(TDisAsm, NeverReadsPastTheBytesGiven) {
    const std::vector<std::vector<uint8_t>> instructions = {
        {0xC7, 0x84, 0x8B, 0x00, 0x01, 0x00, 0x00, 0x78, 0x56, 0x34, 0x12},
        {0x66, 0x26, 0xF0, 0x0F, 0xC1, 0x84, 0x24, 0x00, 0x01, 0x00, 0x00},
        {0x0F, 0x3A, 0x0F, 0x05, 0x00, 0x10, 0x00, 0x00, 0x04},
        {0xDB, 0x2D, 0x00, 0x10, 0x40, 0x00},
        {0x9A, 0x78, 0x56, 0x34, 0x12, 0x08, 0x00},
    };
    for (const auto& full : instructions) {
        const int whole = Decode(full).length;
        EXPECT_EQ(whole, static_cast<int>(full.size()));
        for (size_t n = 1; n < full.size(); ++n) {
            std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
            const Decoded r = Decode(cut);
            EXPECT_EQ(r.length, static_cast<int>(n));
            EXPECT_EQ(r.text.rfind("DB      $", 0), 0u) << r.text;
        }
    }
    const Decoded cut = Decode({0xE8, 0x01, 0x02});
    EXPECT_EQ(cut.text, "DB      $E8, $01, $02");

    int length = -1;
    std::string text = "old";
    TDisAsm d;
    d.DisassembleInstruction({}, 0, length, text);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(text, "");
}

TEST(TDisAsm, CutInstructionsCallNoCallback) {
    TDisAsm d;
    bool called = false;
    d.OnNameCall = [&](uintptr_t, uint32_t, uint32_t, std::string&) { called = true; };
    d.OnNameValue = [&](uintptr_t, uint32_t, uint32_t, std::string&) { called = true; };
    d.OnImmediate = [&](uintptr_t, uint32_t, int, bool, std::string&) { called = true; };
    d.OnMemoryOperand = [&](uintptr_t, const TEffectiveAddress&, int, std::string&) { called = true; };
    Decode(d, {0xE8, 0x01, 0x02, 0x03});
    Decode(d, {0x8B, 0x05, 0x00, 0x10});
    Decode(d, {0x68, 0x00, 0x10});
    Decode(d, {0x8B, 0x45});
    EXPECT_FALSE(called);
}

TEST(TDisAsm, EndlessPrefixesStopAtTheInstructionLimit) {
    std::vector<uint8_t> bytes(40, 0x66);
    const Decoded r = Decode(bytes);
    EXPECT_EQ(r.length, TDisAsm::MaxInstructionLength);
    EXPECT_EQ(r.text.rfind("DB      $66, $66", 0), 0u);

    // Fourteen prefixes and an opcode are still one instruction.
    std::vector<uint8_t> fits(14, 0x3E);
    fits.push_back(0x90);
    EXPECT_EQ(Decode(fits).length, 15);
    EXPECT_EQ(Decode(fits).text, "nop");
}

}  // namespace
}  // namespace drevnik
