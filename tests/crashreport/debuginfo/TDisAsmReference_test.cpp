// Instruction lengths and mnemonics against objdump, on every one- and
// two-byte opcode with every ModRM byte and every opcode of the prefixed, the
// three-byte and the VEX maps (sweep), and on the code sections of programs
// built by our toolchain: a small C++ program, a C program whose floating
// point is SSE2 code, and the shipped programs. The tables come from
// make_reference.py, run by objdump_reference.sh.
#include "crashreport/debuginfo/TDisAsm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace drevnik {
namespace {

std::string ReferenceFile(const std::string& name) {
    const char* dir = std::getenv("KYN_DISASM_REFERENCE");
    if (!dir) return {};
    std::string path = std::string(dir) + "/" + name;
#ifdef _WIN32
    if (path[0] == '/') path = "Z:" + path;  // Wine's drive for the Unix root
#endif
    return path;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// Lock and repeat prefixes and the core mnemonic of one instruction text.
struct Mnemonic {
    bool lock = false;
    std::string rep;  // "", "rep" or "repne"
    std::string core;
};

Mnemonic Ours(const std::string& text) {
    Mnemonic m;
    for (const auto& w : Words(text)) {
        if (w == "lock") {
            m.lock = true;
        } else if (w == "rep" || w == "repne") {
            m.rep = w;
        } else {
            m.core = w;
            break;
        }
    }
    return m;
}

Mnemonic Objdump(const std::string& text) {
    static const std::set<std::string> ignored = {"data16", "addr16", "cs", "ds", "es", "fs", "gs", "ss", "notrack"};
    static const std::set<std::string> rep = {"rep", "repz", "repe", "xrelease"};
    static const std::set<std::string> repne = {"repnz", "repne", "bnd", "xacquire"};
    Mnemonic m;
    for (const auto& w : Words(text)) {
        if (ignored.count(w)) continue;
        if (w == "lock") {
            m.lock = true;
        } else if (rep.count(w)) {
            m.rep = "rep";
        } else if (repne.count(w)) {
            m.rep = "repne";
        } else {
            m.core = w;
            break;
        }
    }
    return m;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Our spelling in objdump's: condition codes, string-operation suffixes and
// the stack and flag instructions that objdump writes without the size letter.
std::string Alias(std::string core) {
    static const char* const conditions[][2] = {{"nbe", "a"}, {"nb", "ae"}, {"nle", "g"}, {"nl", "ge"}, {"nz", "ne"}, {"z", "e"}};
    for (const char* head : {"j", "cmov", "set", "loop"}) {
        if (!StartsWith(core, head)) continue;
        for (const auto& c : conditions) {
            if (core == std::string(head) + c[0]) return std::string(head) + c[1];
        }
    }
    for (const char* op : {"movs", "cmps", "stos", "lods", "scas", "ins", "outs"}) {
        for (const char* size : {"b", "w", "d"}) {
            if (core == std::string(op) + size) return op;
        }
    }
    if (core == "pushad" || core == "popad" || core == "pushfd" || core == "popfd" || core == "iretd") core.pop_back();
    return core;
}

bool SameMnemonic(const std::string& ours, const std::string& theirs) {
    const Mnemonic a = Ours(ours);
    const Mnemonic b = Objdump(theirs);
    if (a.lock != b.lock) return false;
    const std::string x = Alias(a.core);
    const std::string& y = b.core;
    if (a.rep == "rep" && b.rep.empty() && a.core == "nop" && y == "pause") return true;
    if (a.rep != b.rep) return false;
    if (x == y) return true;
    if (x == "int" && y == "int3") return true;
    if (x == "wait" && y == "fwait") return true;
    if (x == "nop" && y == "xchg") return true;  // 66 90, xchg ax, ax
    // objdump's names for the hints of 0F 18 and 0F 0D.
    if (x == "prefetch" && (StartsWith(y, "prefetch") || y == "nop")) return true;
    // objdump names the predicate of a compare: cmpeqps, vcmpltsd ...
    for (const char* form : {"cmpps", "cmppd", "cmpss", "cmpsd"}) {
        for (const std::string v : {"", "v"}) {
            if (a.core == v + form && StartsWith(y, v + "cmp") && EndsWith(y, form + 3)) return true;
        }
    }
    // ... and the halves that pclmulqdq multiplies: pclmullqhqdq ...
    if ((a.core == "pclmulqdq" || a.core == "vpclmulqdq") && StartsWith(y, a.core.substr(0, a.core.size() - 3)) &&
        EndsWith(y, "qdq")) {
        return true;
    }
    // objdump adds the operand size to stack, return and descriptor-table forms.
    if (y == x + "w" || y == x + "d") return true;
    return false;
}

// The instruction's legacy prefixes and the bytes behind them.
struct Bytes {
    std::vector<uint8_t> prefixes;
    const uint8_t* op;
    size_t left;
    uint8_t At(size_t i) const { return i < left ? op[i] : 0; }
    bool Has(uint8_t p) const { return std::find(prefixes.begin(), prefixes.end(), p) != prefixes.end(); }
    int Reg(size_t modrmAt) const { return (At(modrmAt) >> 3) & 7; }
    bool RegisterForm(size_t modrmAt) const { return (At(modrmAt) >> 6) == 3; }
};

Bytes Split(const uint8_t* p, size_t n) {
    static const std::set<uint8_t> legacy = {0x26, 0x2E, 0x36, 0x3E, 0x64, 0x65, 0x66, 0x67, 0xF0, 0xF2, 0xF3};
    Bytes b{{}, p, n};
    while (b.left > 1 && legacy.count(*b.op)) {
        b.prefixes.push_back(*b.op);
        ++b.op;
        --b.left;
    }
    return b;
}

enum class Skip { Everything, Mnemonic };

struct Exception {
    const char* why;
    Skip skip;
    bool (*applies)(const Bytes& b, const std::string& ours, const std::string& theirs);
};

// A DB line, also behind the words of prefixes (repne, lock).
bool Undecoded(const std::string& ours) { return ours.find("DB      $") != std::string::npos; }

// Where this disassembler and objdump deliberately part.
const Exception Exceptions[] = {
    {"objdump gives up: an invalid or cut-off encoding has no length or name to agree on, "
     "and objdump's count is where it stopped",
     Skip::Everything,
     [](const Bytes&, const std::string&, const std::string& t) {
         return t.find("(bad)") != std::string::npos || StartsWith(t, ".byte");
     }},
    {"objdump folds a wait (9B) into the x87 instruction behind it; the CPU runs it as an "
     "instruction of its own and so we list it",
     Skip::Everything,
     [](const Bytes& b, const std::string&, const std::string&) {
         return b.At(0) == 0x9B && b.At(1) >= 0xD8 && b.At(1) <= 0xDF;
     }},
    {"rows we leave as a DB line with the mnemonic as a comment, length kept: 3DNow! (0F 0F), "
     "PadLock (0F A6, 0F A7), the 8087/287-only x87 controls, F6/F7 with reg 1 (the table's "
     "undecoded test alias), and C6/C7 with reg 1-7 (xabort, xbegin)",
     Skip::Mnemonic,
     [](const Bytes& b, const std::string& o, const std::string&) {
         if (!Undecoded(o)) return false;
         if (b.At(0) == 0x0F) return b.At(1) == 0x0F || b.At(1) == 0xA6 || b.At(1) == 0xA7;
         if (b.At(0) == 0xDB) return b.At(1) == 0xE0 || b.At(1) == 0xE1 || b.At(1) == 0xE4 || b.At(1) == 0xE5;
         if (b.At(0) == 0xF6 || b.At(0) == 0xF7) return b.Reg(1) == 1;
         if (b.At(0) == 0xC6 || b.At(0) == 0xC7) return b.Reg(1) != 0;
         return false;
     }},
    {"0F 1A, 0F 1B (MPX) and 0F 1C (cldemote) are hint NOPs on CPUs without those features",
     Skip::Mnemonic,
     [](const Bytes& b, const std::string&, const std::string&) {
         return b.At(0) == 0x0F && b.At(1) >= 0x1A && b.At(1) <= 0x1C;
     }},
    {"the 0F 38 and 0F 3A rows outside the tables (shadow stacks, Key Locker) are a DB line of their "
     "whole length",
     Skip::Mnemonic,
     [](const Bytes& b, const std::string& o, const std::string&) {
         return Undecoded(o) && b.At(0) == 0x0F && (b.At(1) == 0x38 || b.At(1) == 0x3A);
     }},
    {"the shadow-stack instructions behind F3 (rdsspd, endbr32, rstorssp, setssbsy...) are listed as "
     "the hint NOP or the group-7 row behind the repeat word, with the same length",
     Skip::Mnemonic,
     [](const Bytes& b, const std::string&, const std::string&) {
         return b.Has(0xF3) && b.At(0) == 0x0F && (b.At(1) == 0x1E || b.At(1) == 0x01);
     }},
    {"VEX instructions outside the tables (AVX-512 mask, AMX, VNNI and later sets), EVEX and "
     "XOP are a DB line of their whole length",
     Skip::Mnemonic,
     [](const Bytes& b, const std::string& o, const std::string&) {
         return Undecoded(o) && b.prefixes.empty() && (b.At(0) == 0xC4 || b.At(0) == 0xC5 || b.At(0) == 0x62 ||
                                                       b.At(0) == 0x8F);
     }},
    {"E3 behind the address-size prefix tests cx (jcxz); the row is spelled jecxz",
     Skip::Mnemonic,
     [](const Bytes& b, const std::string&, const std::string&) { return b.At(0) == 0xE3 && b.Has(0x67); }},
};

struct Reference {
    std::vector<uint8_t> code;
    struct Line {
        size_t offset;
        int length;
        std::string text;
    };
    std::vector<Line> lines;
};

Reference Load(const std::string& name) {
    Reference r;
    std::ifstream bin(ReferenceFile(name + ".bin"), std::ios::binary);
    r.code.assign(std::istreambuf_iterator<char>(bin), std::istreambuf_iterator<char>());
    std::ifstream ref(ReferenceFile(name + ".ref"));
    std::string line;
    while (std::getline(ref, line)) {
        std::istringstream in(line);
        Reference::Line l;
        in >> l.offset >> l.length;
        std::getline(in, l.text);
        l.text.erase(0, l.text.find_first_not_of(' '));
        r.lines.push_back(l);
    }
    return r;
}

std::string Hex(const uint8_t* p, size_t n) {
    std::string s;
    char buf[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02X ", p[i]);
        s += buf;
    }
    return s;
}

// Decodes every listed instruction and reports the disagreements that no
// exception covers. `window` bounds the bytes handed over (0: to the end).
void Compare(const std::string& name, size_t window) {
    ASSERT_NE(std::getenv("KYN_DISASM_REFERENCE"), nullptr)
        << "run through objdump_reference.sh (ctest does), which makes objdump's tables";
    const Reference ref = Load(name);
    ASSERT_FALSE(ref.code.empty()) << name;
    ASSERT_GT(ref.lines.size(), 1000u) << name;

    TDisAsm d;
    int failures = 0;
    for (const auto& line : ref.lines) {
        ASSERT_LT(line.offset, ref.code.size());
        const size_t size = window ? std::min(window, ref.code.size() - line.offset) : ref.code.size() - line.offset;
        const uint8_t* p = ref.code.data() + line.offset;
        int length = 0;
        std::string text;
        d.DisassembleInstruction({p, size}, static_cast<uint32_t>(line.offset), length, text);

        const Bytes b = Split(p, size);
        Skip skip{};
        bool excepted = false;
        for (const auto& e : Exceptions) {
            if (e.applies(b, text, line.text)) {
                if (!excepted || e.skip == Skip::Everything) skip = e.skip;
                excepted = true;
            }
        }
        if (excepted && skip == Skip::Everything) continue;
        const bool lengthOk = length == line.length;
        const bool nameOk = (excepted && skip == Skip::Mnemonic) || SameMnemonic(text, line.text);
        if (lengthOk && nameOk) continue;
        if (++failures <= 30) {
            ADD_FAILURE() << name << " @" << line.offset << " [" << Hex(p, std::max<size_t>(line.length, length))
                          << "] ours " << length << " \"" << text << "\", objdump " << line.length << " \""
                          << line.text << "\"";
        }
    }
    EXPECT_EQ(failures, 0) << name << ": disagreements with objdump";
}

TEST(TDisAsmReference, EveryOpcodeAgreesWithObjdump) { Compare("sweep", 16); }

// The code sections of programs that our toolchain built.
class TDisAsmProgram : public ::testing::TestWithParam<const char*> {};

TEST_P(TDisAsmProgram, AgreesWithObjdump) {
    const std::string name = GetParam();
    ASSERT_NE(std::getenv("KYN_DISASM_REFERENCE"), nullptr) << "run through objdump_reference.sh";
    if (!std::ifstream(ReferenceFile(name + ".ref"))) GTEST_SKIP() << "no " << name << " program was built";
    Compare(name, 0);
}

INSTANTIATE_TEST_SUITE_P(Programs, TDisAsmProgram, ::testing::Values("fixture", "sse2", "quorvex", "brimlet"),
                         [](const ::testing::TestParamInfo<const char*>& program) { return std::string(program.param); });

}  // namespace
}  // namespace drevnik
