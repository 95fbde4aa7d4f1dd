// libFuzzer target: disassembles arbitrary bytes instruction by instruction,
// with every callback set, and checks the lengths it reports.
#include "crashreport/debuginfo/TDisAsm.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    drevnik::TDisAsm d;
    d.OnNameJump = [](uintptr_t, uint32_t, uint32_t, std::string& text) { text += "#Jv^\x7f"; };
    d.OnNameCall = [](uintptr_t, uint32_t, uint32_t, std::string& text) { text = "%c%s"; };
    d.OnNameValue = [](uintptr_t, uint32_t, uint32_t value, std::string& text) { text.append(value & 0x1FF, '@'); };
    d.OnMemoryOperand = [](uintptr_t, const drevnik::TEffectiveAddress&, int, std::string& text) { text += "%s\x04"; };
    d.OnImmediate = [](uintptr_t, uint32_t, int, bool, std::string& text) { text += "^"; };
    size_t offset = 0;
    while (offset < size) {
        int length = 0;
        std::string text;
        d.DisassembleInstruction({data + offset, size - offset}, static_cast<uint32_t>(offset), length, text);
        if (length < 1 || length > drevnik::TDisAsm::MaxInstructionLength ||
            static_cast<size_t>(length) > size - offset || text.empty()) {
            std::abort();
        }
        offset += static_cast<size_t>(length);
    }
    return 0;
}
