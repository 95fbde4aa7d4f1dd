// Disassembler benchmark: instructions per second of TDisAsm over a file of
// 32-bit code, and of objdump over the same bytes in the same run.
//   disasm_bench <code.bin>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crashreport/debuginfo/TDisAsm.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Linear passes over the code until a second has gone by.
void MeasureOurs(const std::vector<uint8_t>& code) {
    drevnik::TDisAsm disasm;
    std::string text;
    long long instructions = 0;
    int passes = 0;
    const auto start = Clock::now();
    do {
        for (size_t offset = 0; offset < code.size();) {
            int length = 0;
            disasm.DisassembleInstruction({code.data() + offset, code.size() - offset},
                                          static_cast<uint32_t>(0x401000 + offset), length, text);
            offset += static_cast<size_t>(length);
            ++instructions;
        }
        ++passes;
    } while (Seconds(start) < 1.0);
    const double seconds = Seconds(start);
    std::printf("TDisAsm: %lld instructions in %d passes, %.2f s: %.0f instructions/s\n", instructions, passes,
                seconds, instructions / seconds);
}

// One objdump run over the file, its listing read and counted here.
void MeasureObjdump(const std::string& path) {
    const std::string command = "objdump -D -z -b binary -m i386 -M intel --insn-width=16 '" + path + "'";
    const auto start = Clock::now();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        std::printf("objdump: cannot be started\n");
        return;
    }
    long long instructions = 0;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        // Instruction lines start with "  <hex offset>:\t".
        const char* p = line;
        while (*p == ' ') ++p;
        const char* digits = p;
        while ((*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f')) ++p;
        if (p > digits && p[0] == ':' && p[1] == '\t') ++instructions;
    }
    const int status = pclose(pipe);
    const double seconds = Seconds(start);
    if (status != 0 || instructions == 0) {
        std::printf("objdump: failed (status %d)\n", status);
        return;
    }
    std::printf("objdump: %lld instructions in 1 pass, %.2f s: %.0f instructions/s\n", instructions, seconds,
                instructions / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: disasm_bench <code.bin>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> code((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (code.empty()) {
        std::fprintf(stderr, "disasm_bench: no code in %s\n", argv[1]);
        return 1;
    }
    std::printf("%zu bytes of i686 code\n", code.size());
    MeasureOurs(code);
    MeasureObjdump(argv[1]);
    return 0;
}
