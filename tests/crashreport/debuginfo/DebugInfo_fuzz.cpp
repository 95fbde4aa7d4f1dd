// libFuzzer target of the debug-information readers: the library data in
// both forms and its lookup, the MAP, JCL binary and TD32 readers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/debuginfo/DrevnikDebugInfoSources.h"
#include "crashreport/debuginfo/DrevnikLibraryData.h"

using namespace drevnik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    TDrevnikModuleOptions options("");
    const TOptionsLoader loader = [&options](TDrevnikByteReader& r, uint16_t v) { options.LoadFromStreamAs(r, v); };
    try {
        ReadLibraryDataResource(bytes, false, loader, [] { return std::string(); });
    } catch (const std::exception&) {
    }
    try {
        ReadLibraryDataFileTail(bytes, false, loader);
    } catch (const std::exception&) {
    }
    TDebugDataLookup lookup;
    lookup.ModuleHandle = 0x400000;
    TCallStackEntry entry;
    for (uint32_t offset : {0x0u, 0x100u, 0x10000u}) LookupDebugData(bytes, CodeOffsetToAddress(0x400000, offset), lookup, entry);

    std::vector<std::unique_ptr<TDVOffsetScanner>> scanners;
    scanners.push_back(std::make_unique<TDVMapScanner>(std::string(reinterpret_cast<const char*>(data), size)));
    scanners.push_back(std::make_unique<TDVBinDebugScanner>(std::vector<uint8_t>(data, data + size), true));
    scanners.push_back(std::make_unique<TDVTD32InfoScanner>(std::vector<uint8_t>(data, data + size)));
    for (auto& s : scanners) {
        uint32_t in = 0;
        for (uint32_t offset : {0x0u, 0x10u, 0x100u, 0x1000u, 0xFFFFFFFFu}) {
            s->UnitNameAt(offset);
            s->RoutineNameAt(offset, in);
            s->LineNumberAt(offset, in);
            s->SourceFileAt(offset);
        }
    }
    return 0;
}
