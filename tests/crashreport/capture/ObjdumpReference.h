// objdump (binutils) as an independent reference disassembler for 32-bit x86
// byte strings. Host builds only: under Wine there is no objdump, and the
// tests that use it skip.
#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace drevnik::testing {

struct TRefInstruction {
    uint32_t Offset = 0;
    int Length = 0;
    std::string Text;  // mnemonic and operands; "(bad)" when objdump cannot decode
    bool Bad() const { return Text.find("(bad)") != std::string::npos; }
};

class TTempFile {
public:
    TTempFile() {
        char name[] = "/tmp/kyn-disasm-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) {
            close(fd);
            path_ = name;
        }
    }
    ~TTempFile() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

inline std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    pclose(pipe);
    return out;
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::vector<uint8_t> data;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        uint8_t buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
        fclose(f);
    }
    return data;
}

// Linear disassembly of code as 32-bit x86 in Intel syntax, offsets counted
// from vma. Lines look like "  1f:\t8b 44 24 08    \tmov    eax,DWORD PTR [esp+0x8]".
inline std::vector<TRefInstruction> DisassembleWithObjdump(const std::vector<uint8_t>& code, uint32_t vma = 0) {
    std::vector<TRefInstruction> result;
    TTempFile file;
    if (FILE* f = fopen(file.Path().c_str(), "wb")) {
        fwrite(code.data(), 1, code.size(), f);
        fclose(f);
    }
    char vmaText[32];
    std::snprintf(vmaText, sizeof vmaText, "0x%x", vma);
    const std::string listing = RunCommand("objdump -D -z -b binary -m i386 -M intel --insn-width=16 --adjust-vma=" +
                                           std::string(vmaText) + " " + file.Path() + " 2>&1");
    size_t pos = 0;
    while (pos < listing.size()) {
        size_t end = listing.find('\n', pos);
        if (end == std::string::npos) end = listing.size();
        const std::string line = listing.substr(pos, end - pos);
        pos = end + 1;
        const size_t colon = line.find(":\t");
        if (colon == std::string::npos) continue;
        char* parsedEnd = nullptr;
        const unsigned long address = std::strtoul(line.c_str(), &parsedEnd, 16);
        if (parsedEnd != line.c_str() + colon) continue;
        const size_t textTab = line.find('\t', colon + 2);
        const std::string bytes = line.substr(colon + 2, textTab == std::string::npos ? std::string::npos : textTab - colon - 2);
        TRefInstruction insn;
        insn.Offset = static_cast<uint32_t>(address - vma);
        for (size_t i = 0; i + 1 < bytes.size(); ++i) {
            if (isxdigit(static_cast<unsigned char>(bytes[i])) && isxdigit(static_cast<unsigned char>(bytes[i + 1]))) {
                ++insn.Length;
                ++i;
            }
        }
        if (textTab != std::string::npos) insn.Text = line.substr(textTab + 1);
        if (insn.Length > 0) result.push_back(insn);
    }
    EXPECT_FALSE(result.empty()) << "objdump gave no listing:\n" << listing.substr(0, 500);
    return result;
}

inline std::vector<uint8_t> ReadGzipFile(const std::string& path) {
    TTempFile out;
    RunCommand("gzip -dc '" + path + "' > " + out.Path());
    return ReadFileBytes(out.Path());
}

// The .text section of a PE file; empty when there is none.
inline std::vector<uint8_t> ReadTextSection(const std::string& path) {
    TTempFile out, copy;
    RunCommand("objcopy --dump-section .text=" + out.Path() + " '" + path + "' " + copy.Path() + " 2>/dev/null");
    return ReadFileBytes(out.Path());
}

}  // namespace drevnik::testing

#endif  // _WIN32
