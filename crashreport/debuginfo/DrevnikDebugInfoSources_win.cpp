// Finding a module's external debug information: the ".map" file beside it,
// TD32 data in the image (through its debug directory) or in a ".tds" file,
// and JCL binary data in a "JCLDEBUG" section or a ".jdbg" file.
#include <windows.h>

#include <cstring>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/debuginfo/DrevnikDebugInfoSources.h"

namespace drevnik {

namespace {

std::string ModuleFileName(TModuleHandle module) {
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(reinterpret_cast<HMODULE>(module), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

std::string WithExtension(const std::string& path, const char* extension) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::size_t dot = path.rfind('.');
    const std::string stem = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                                 ? path.substr(0, dot)
                                 : path;
    return stem + extension;
}

// External debug files larger than this are not ours.
constexpr std::size_t kMaxDebugFileSize = std::size_t{256} << 20;

// Copies readable image memory; empty when any of it is not readable.
std::vector<uint8_t> CopyImage(uintptr_t address, std::size_t size) {
    if (size == 0 || !IsReadableMemory(reinterpret_cast<const void*>(address), size)) return {};
    const auto* p = reinterpret_cast<const uint8_t*>(address);
    return std::vector<uint8_t>(p, p + size);
}

const IMAGE_NT_HEADERS* NtHeaders(TModuleHandle module) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    if (module == 0 || !IsReadableMemory(dos, 64) || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(module + static_cast<uintptr_t>(dos->e_lfanew));
    if (!IsReadableMemory(nt, sizeof(IMAGE_NT_HEADERS)) || nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const std::size_t sections = nt->FileHeader.NumberOfSections;
    if (!IsReadableMemory(IMAGE_FIRST_SECTION(nt), sections * sizeof(IMAGE_SECTION_HEADER))) return nullptr;
    return nt;
}

std::vector<uint8_t> JclSection(TModuleHandle module) {
    const IMAGE_NT_HEADERS* nt = NtHeaders(module);
    if (nt == nullptr) return {};
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
        if (std::memcmp(section->Name, "JCLDEBUG", 8) == 0) {
            const std::size_t size = std::min<std::size_t>(section->SizeOfRawData, section->Misc.VirtualSize);
            return CopyImage(module + section->VirtualAddress, size);
        }
    return {};
}

std::vector<uint8_t> TD32InImage(TModuleHandle module) {
    const IMAGE_NT_HEADERS* nt = NtHeaders(module);
    if (nt == nullptr || nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_DEBUG) return {};
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DEBUG];
    if (dir.Size == 0) return {};
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (section->VirtualAddress != dir.VirtualAddress) continue;
        const auto* entry = reinterpret_cast<const IMAGE_DEBUG_DIRECTORY*>(module + dir.VirtualAddress);
        if (!IsReadableMemory(entry, sizeof *entry)) return {};
        std::vector<uint8_t> data = CopyImage(module + entry->AddressOfRawData, entry->SizeOfData);
        return IsTD32Data(data) ? data : std::vector<uint8_t>();
    }
    return {};
}

}  // namespace

std::unique_ptr<TDVDebugInfoSource> CreateExternalDebugInfo(TModuleHandle module) {
    try {
        const std::string file = ModuleFileName(module);
        std::string text;
        if (ReadWholeFile(WithExtension(file, ".map"), text, kMaxDebugFileSize)) {
            auto source = std::make_unique<TDVDebugInfoMap>(module, std::make_unique<TDVMapScanner>(std::move(text)));
            if (source->HasData()) return source;
        }
        std::vector<uint8_t> td32 = TD32InImage(module);
        if (td32.empty() && ReadWholeFile(WithExtension(file, ".tds"), text, kMaxDebugFileSize)) td32.assign(text.begin(), text.end());
        if (IsTD32Data(td32)) {
            auto source = std::make_unique<TDVDebugInfoTD32>(module, std::make_unique<TDVTD32InfoScanner>(std::move(td32)));
            if (source->HasData()) return source;
        }
        std::vector<uint8_t> jcl = JclSection(module);
        if (jcl.empty() && ReadWholeFile(WithExtension(file, ".jdbg"), text, kMaxDebugFileSize)) jcl.assign(text.begin(), text.end());
        if (!jcl.empty()) {
            auto source =
                std::make_unique<TDVDebugInfoJedy>(module, std::make_unique<TDVBinDebugScanner>(std::move(jcl), true));
            if (source->HasData()) return source;
        }
    } catch (...) {
    }
    return nullptr;
}

}  // namespace drevnik
