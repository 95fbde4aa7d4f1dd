// The x86 instruction-length decoder: chosen encodings, routine sizes, and
// agreement with objdump over every opcode and over real compiled code.
#include "crashreport/capture/InstructionLength.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/crashreport/capture/ObjdumpReference.h"

namespace drevnik {
namespace {

using Bytes = std::vector<uint8_t>;

std::string Hex(std::span<const uint8_t> bytes) {
    std::string s;
    char buf[4];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        s += buf;
    }
    return s;
}

TEST(InstructionLength, DecodesChosenEncodings) {
    struct Row { Bytes code; int length; };  // length 0: not decodable
    const Row rows[] = {
        {{0x66, 0xB8, 0x34, 0x12}, 4},                          // mov ax, imm16
        {{0xB8, 0x78, 0x56, 0x34, 0x12}, 5},                    // mov eax, imm32
        {{0x8B, 0x44, 0x24, 0x08}, 4},                          // mov eax, [esp+8]
        {{0x0F, 0x84, 1, 2, 3, 4}, 6},                          // jz rel32
        {{0x66, 0x0F, 0x84, 1, 2}, 5},                          // jz rel16
        {{0x0F, 0x0B}, 0},                                      // ud2
        {{0x55}, 1},                                            // push ebp
        {{0x89, 0xE5}, 2},                                      // mov ebp, esp
        {{0xC2, 0x08, 0x00}, 3},                                // ret 8
        {{0xC8, 0x10, 0x00, 0x01}, 4},                          // enter 16, 1
        {{0x9A, 1, 2, 3, 4, 5, 6}, 7},                          // call far ptr16:32
        {{0x66, 0x9A, 1, 2, 3, 4}, 6},                          // call far ptr16:16
        {{0x8B, 0x05, 1, 2, 3, 4}, 6},                          // mov eax, [disp32]
        {{0x8B, 0x04, 0x25, 1, 2, 3, 4}, 7},                    // mov eax, [disp32 + index]
        {{0x8B, 0x84, 0x24, 1, 2, 3, 4}, 7},                    // mov eax, [esp+disp32]
        {{0x8B, 0x80, 1, 2, 3, 4}, 6},                          // mov eax, [eax+disp32]
        {{0x67, 0x8B, 0x06, 1, 2}, 5},                          // mov eax, [disp16]
        {{0x67, 0x8B, 0x46, 1}, 4},                             // mov eax, [bp+disp8]
        {{0x67, 0x8B, 0x86, 1, 2}, 5},                          // mov eax, [bp+disp16]
        {{0x67, 0xA1, 1, 2}, 4},                                // mov eax, [moffs16]
        {{0xA1, 1, 2, 3, 4}, 5},                                // mov eax, [moffs32]
        {{0xC7, 0x45, 0xFC, 1, 2, 3, 4}, 7},                    // mov dword [ebp-4], imm32
        {{0x66, 0xC7, 0x45, 0xFC, 1, 2}, 6},                    // mov word [ebp-4], imm16
        {{0xF7, 0xC1, 1, 2, 3, 4}, 6},                          // test ecx, imm32
        {{0xF7, 0xC9, 1, 2, 3, 4}, 6},                          // test ecx, imm32 (reg field 1)
        {{0xF7, 0xD9}, 2},                                      // neg ecx
        {{0xF6, 0x40, 0x05, 0x10}, 4},                          // test byte [eax+5], 16
        {{0x69, 0xC0, 1, 2, 3, 4}, 6},                          // imul eax, eax, imm32
        {{0x6B, 0xC0, 0x10}, 3},                                // imul eax, eax, imm8
        {{0x0F, 0xBA, 0xE0, 0x03}, 4},                          // bt eax, 3
        {{0x0F, 0xA4, 0xC2, 0x04}, 4},                          // shld edx, eax, 4
        {{0x0F, 0x20, 0x05}, 3},                                // mov ebp, cr0: always a register
        {{0xF3, 0xA5}, 2},                                      // rep movsd
        {{0x2E, 0x74, 0x10}, 3},                                // je with a branch hint
        {{0xF0, 0x0F, 0xB1, 0x0A}, 4},                          // lock cmpxchg [edx], ecx
        {{0x0F, 0x1F, 0x44, 0x00, 0x00}, 0},                    // nop dword [eax+eax]: not in the tables
        // The three-byte maps: a ModRM operand always, an immediate in 0F 3A.
        {{0x0F, 0x38, 0x00, 0xC1}, 4},                          // pshufb mm0, mm1
        {{0x66, 0x0F, 0x38, 0x00, 0x44, 0x24, 0x08}, 7},        // pshufb xmm0, [esp+8]
        {{0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, 6},              // palignr xmm0, xmm1, 8
        {{0xF2, 0x0F, 0x38, 0xF1, 0xC1}, 5},                    // crc32 eax, ecx
        // C4 and C5 with a register ModRM are VEX, 62 EVEX, 8F with a map of 8 or more XOP.
        {{0xC4, 0xE2, 0x79, 0x18, 0xC0}, 5},                    // vbroadcastss xmm0, xmm0
        {{0xC5, 0xF8, 0x77}, 3},                                // vzeroupper
        {{0xC5, 0xF9, 0x70, 0x44, 0x24, 0x08, 0x1B}, 7},        // vpshufd xmm0, [esp+8], 0x1b
        {{0xC4, 0xE3, 0x7D, 0x19, 0xC1, 0x01}, 6},              // vextractf128 xmm1, ymm0, 1
        {{0x62, 0xF1, 0x7C, 0x48, 0x10, 0xC1}, 6},              // vmovups zmm0, zmm1
        {{0x8F, 0xE8, 0x78, 0xA2, 0xC0, 0x10}, 6},              // vpcmov
        {{0xC4, 0xE0, 0x79, 0x18, 0xC0}, 0},                    // VEX with the reserved map 0
        {{0xC4, 0x06}, 2},                                      // les eax, [esi]
        {{0x8F, 0x00}, 2},                                      // pop dword [eax]
        {{0x8F, 0x20}, 0},                                      // 8F /4: neither pop nor XOP
        {{0xD8, 0x44, 0x24, 0x04}, 4},                          // fadd dword [esp+4]
    };
    for (const Row& row : rows) {
        int length = -1;
        const bool ok = GetInstructionLength(row.code, length);
        if (row.length == 0) {
            EXPECT_FALSE(ok) << Hex(row.code);
        } else {
            EXPECT_TRUE(ok) << Hex(row.code);
            EXPECT_EQ(length, row.length) << Hex(row.code);
        }
    }
}

TEST(InstructionLength, RefusesWhatDoesNotFit) {
    struct Row { Bytes code; TDecodeStatus status; };
    const Row rows[] = {
        {{}, TDecodeStatus::Truncated},
        {{0x66, 0x66}, TDecodeStatus::Truncated},                // prefixes only
        {{0x0F}, TDecodeStatus::Truncated},                      // half a two-byte opcode
        {{0x8B}, TDecodeStatus::Truncated},                      // ModRM missing
        {{0x8B, 0x04}, TDecodeStatus::Truncated},                // SIB missing
        {{0xB8, 1, 2, 3}, TDecodeStatus::Truncated},             // immediate cut short
        {Bytes(14, 0x66), TDecodeStatus::Truncated},
        {Bytes(15, 0x66), TDecodeStatus::Undecodable},           // no room left for an opcode
        // 13 prefixes and a 4-byte mov: 17 bytes, longer than any instruction.
        {[] { Bytes b(13, 0x2E); b.insert(b.end(), {0x8B, 0x44, 0x24, 0x08}); return b; }(), TDecodeStatus::Undecodable},
    };
    for (const Row& row : rows) {
        TInstruction insn;
        EXPECT_EQ(DecodeInstruction(row.code, insn), row.status) << Hex(row.code);
    }
    // Eleven prefixes before a 4-byte instruction are still a valid 15-byte instruction.
    Bytes longest(11, 0x3E);
    longest.insert(longest.end(), {0x8B, 0x44, 0x24, 0x08});
    int length = 0;
    EXPECT_TRUE(GetInstructionLength(longest, length));
    EXPECT_EQ(length, 15);
}

TEST(InstructionLength, ClassifiesBranchesAndReturns) {
    struct Row { Bytes code; bool shortBranch, nearBranch, routineEnd; };
    const Row rows[] = {
        {{0x74, 0x05}, true, false, false},
        {{0xE3, 0x05}, true, false, false},
        {{0xEB, 0xFE}, true, false, false},
        {{0x3E, 0x75, 0x05}, true, false, false},
        {{0xE8, 1, 2, 3, 4}, false, true, false},
        {{0xE9, 1, 2, 3, 4}, false, true, false},
        {{0x0F, 0x8F, 1, 2, 3, 4}, false, true, false},
        {{0xC3}, false, false, true},
        {{0xF3, 0xC3}, false, false, true},
        {{0xC2, 4, 0}, false, false, true},
        {{0xCB}, false, false, true},
        {{0xC9}, false, false, false},                          // leave
        {{0xC7, 0x45, 0xFC, 0, 0, 0, 0}, false, false, false},  // mov
        {{0x0F, 0x74, 0xC1}, false, false, false},              // pcmpeqb, not je
        {{0x0F, 0x38, 0x74, 0xC1}, false, false, false},        // a three-byte opcode 74
        {{0xC5, 0xF9, 0xE8, 0xC1}, false, false, false},        // vpsubsb, not call
        {{0x0F, 0x3A, 0xC3, 0xC1, 0x00}, false, false, false},  // a three-byte opcode C3
    };
    for (const Row& row : rows) {
        TInstruction insn;
        ASSERT_EQ(DecodeInstruction(row.code, insn), TDecodeStatus::Decoded) << Hex(row.code);
        EXPECT_EQ(IsShortBranch(insn), row.shortBranch) << Hex(row.code);
        EXPECT_EQ(IsNearBranch(insn), row.nearBranch) << Hex(row.code);
        EXPECT_EQ(IsRoutineEnd(insn), row.routineEnd) << Hex(row.code);
    }
}

TEST(InstructionLength, MeasuresProcedures) {
    const Bytes tenThenRet = {0x55, 0x89, 0xE5, 0x8B, 0x45, 0x08, 0x01, 0xC0, 0x5D, 0x90, 0xC3, 0xCC, 0xCC};
    // Stores with C7 and a leave come before the return; neither ends the routine.
    const Bytes storesThenLeave = {0x55, 0x89, 0xE5, 0x83, 0xEC, 0x08, 0xC7, 0x45, 0xFC, 1, 0, 0, 0,
                                   0xC6, 0x45, 0xF8, 2, 0x8B, 0x45, 0xFC, 0xC9, 0xC2, 0x04, 0x00, 0x90};
    // An undecodable opcode counts one byte: 0F 0A is skipped as 0F, then 0A C0 is or al, al.
    const Bytes undecodable = {0x85, 0xC0, 0x0F, 0x0A, 0xC0, 0xC3};
    struct Row { const char* name; Bytes code; int max; int size; };
    const Row rows[] = {
        {"ten bytes then ret", tenThenRet, 100, 11},
        {"ret found just inside the limit", tenThenRet, 11, 11},
        {"ret beyond the limit", tenThenRet, 10, 1},
        {"zero limit", tenThenRet, 0, 0},
        {"stores and leave", storesThenLeave, 100, 24},
        {"undecodable bytes", undecodable, 100, 6},
        {"bytes run out", {0x55, 0x89, 0xE5, 0x8B}, 100, 1},
        {"no ret at all", {0x90, 0x90, 0x90, 0x90}, 4, 1},
    };
    for (const Row& row : rows) EXPECT_EQ(MeasureProcedureSize(row.code, row.max), row.size) << row.name;
}

#ifndef _WIN32

using testing::DisassembleWithObjdump;
using testing::TRefInstruction;

// Compares the decoder with objdump at every instruction start objdump found,
// where both decode the instruction. Returns the number of comparisons.
size_t CompareWithReference(const Bytes& code, const std::vector<TRefInstruction>& reference, std::string& mismatches) {
    size_t compared = 0;
    size_t wrong = 0;
    for (const TRefInstruction& ref : reference) {
        if (ref.Bad()) continue;
        // objdump shows an fwait and the x87 instruction behind it as one line.
        if (code[ref.Offset] == 0x9B && ref.Length > 1) continue;
        const std::span<const uint8_t> at(code.data() + ref.Offset, code.size() - ref.Offset);
        int length = 0;
        if (!GetInstructionLength(at, length)) continue;
        ++compared;
        if (length != ref.Length && ++wrong <= 30) {
            mismatches += Hex(at.first(std::min<size_t>(at.size(), 16))) + "-> " + std::to_string(length) +
                          ", objdump " + std::to_string(ref.Length) + " (" + ref.Text + ")\n";
        }
    }
    if (wrong > 0) mismatches += std::to_string(wrong) + " mismatches in all\n";
    return compared;
}

// Every one-byte opcode and every 0F xx opcode, without a prefix and behind
// 66, 67 and F3, followed by filler bytes that give each ModRM form, and a few
// encodings of later instruction sets that reuse old opcodes (VEX, EVEX, XOP),
// which have lengths of their own. Each case sits at
// the start of a 32-byte slot whose second half is NOPs, so objdump is back in
// step at the next slot whatever it made of the case.
TEST(InstructionLengthReference, AgreesWithObjdumpOnEveryOpcode) {
    const Bytes fillers[] = {
        {0x00}, {0x05}, {0x04, 0x05}, {0x04, 0x24}, {0x44, 0x24, 0x08}, {0x45, 0x08}, {0x84, 0x24}, {0x85},
        {0xC0}, {0xC8}, {0x08}, {0x10}, {0x38}, {0x06}, {0x46}, {0x86},
    };
    const Bytes prefixes[] = {{}, {0x66}, {0x67}, {0xF3}, {0x66, 0x67}};
    const Bytes tail = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};

    const Bytes whole[] = {
        {0xC5, 0xF8, 0x77},                    // vzeroupper
        {0xC4, 0xE2, 0x79, 0x18, 0xC0},        // vbroadcastss xmm0, xmm0
        {0xC5, 0xF9, 0x6F, 0xC1},              // vmovdqa xmm0, xmm1
        {0x62, 0xF1, 0x7C, 0x48, 0x10, 0xC1},  // vmovups zmm0, zmm1
        {0x8F, 0xE8, 0x78, 0xA2, 0xC0, 0x10},  // vpcmov
    };

    Bytes code;
    for (Bytes slot : whole) {
        slot.resize(32, 0x90);
        code.insert(code.end(), slot.begin(), slot.end());
    }
    for (const Bytes& prefix : prefixes) {
        for (int twoByte = 0; twoByte < 2; ++twoByte) {
            for (int op = 0; op < 256; ++op) {
                for (const Bytes& filler : fillers) {
                    Bytes slot = prefix;
                    if (twoByte) slot.push_back(0x0F);
                    slot.push_back(static_cast<uint8_t>(op));
                    slot.insert(slot.end(), filler.begin(), filler.end());
                    slot.insert(slot.end(), tail.begin(), tail.end());
                    slot.resize(16);
                    slot.resize(32, 0x90);
                    code.insert(code.end(), slot.begin(), slot.end());
                }
            }
        }
    }
    const auto reference = DisassembleWithObjdump(code);
    std::vector<TRefInstruction> atSlots;
    for (const TRefInstruction& ref : reference) {
        if (ref.Offset % 32 == 0) atSlots.push_back(ref);
    }
    ASSERT_EQ(atSlots.size(), code.size() / 32) << "objdump lost step with the slots";

    std::string mismatches;
    const size_t compared = CompareWithReference(code, atSlots, mismatches);
    EXPECT_TRUE(mismatches.empty()) << mismatches;
    // Most cases are valid instructions that the tables cover.
    EXPECT_GT(compared, atSlots.size() / 2);
}

void CheckCodeSection(const Bytes& text) {
    ASSERT_GT(text.size(), 1000u);
    const auto reference = DisassembleWithObjdump(text);
    std::string mismatches;
    const size_t compared = CompareWithReference(text, reference, mismatches);
    EXPECT_TRUE(mismatches.empty()) << mismatches;
    // Compiled code is almost entirely made of instructions the tables cover.
    EXPECT_GT(compared, reference.size() * 9 / 10) << compared << " of " << reference.size();
}

// The code section of a statically linked i686 program built by our toolchain
// (data/fixture.cpp; see data/make_code_fixture.sh).
TEST(InstructionLengthReference, AgreesWithObjdumpOnCompiledProgram) {
    CheckCodeSection(testing::ReadGzipFile(KYN_TEST_DATA "/fixture_text_i686.bin.gz"));
}

// The shipped program itself, when the 32-bit build is there.
TEST(InstructionLengthReference, AgreesWithObjdumpOnQuorvex) {
    const std::string exe = KYN_SOURCE_DIR "/build/win/bin/Quorvex.exe";
    const Bytes text = testing::ReadTextSection(exe);
    if (text.empty()) GTEST_SKIP() << "no 32-bit build at " << exe;
    CheckCodeSection(text);
}

#else

TEST(InstructionLengthReference, NeedsObjdump) { GTEST_SKIP() << "the objdump comparisons run in the host build"; }

#endif

}  // namespace
}  // namespace drevnik
