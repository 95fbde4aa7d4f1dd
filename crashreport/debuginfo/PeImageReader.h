// Reading the headers and the export directory of a PE image that is mapped
// in memory, through a THModuleStream. Both the 32-bit (PE32) and the 64-bit
// (PE32+) optional header are understood. Every offset taken from the image
// is checked against the image's size before it is used: a damaged header
// or export directory gives a failed read, never a fault.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/debuginfo/THModuleStream.h"

namespace drevnik {

constexpr uint16_t kImageFileDll = 0x2000;  // Characteristics bit of a DLL

struct TImageFileHeader {
    uint32_t PeOffset = 0;  // the 32-bit value at offset 60
    uint16_t SectionCount = 0;
    uint16_t OptionalHeaderSize = 0;
    uint16_t Characteristics = 0;
};

struct TImageHeaders {
    TImageFileHeader File;
    bool Pe32Plus = false;
    uint32_t BaseOfCode = 0;
    uint32_t SizeOfCode = 0;
    uint32_t SizeOfImage = 0;
    uint32_t ExportRva = 0;  // data directory 0
    uint32_t ExportSize = 0;
    uint32_t SectionTableOffset = 0;
};

// "MZ", the header offset at 60 (not 0), "PE\0\0" and the 20-byte file header.
bool ReadImageFileHeader(const THModuleStream& image, TImageFileHeader& header);
// The file header and the optional header's fields used here; the image's
// size must cover the headers and the section table.
bool ReadImageHeaders(const THModuleStream& image, TImageHeaders& headers);

struct TExportReadOptions {
    // Where a forwarded export leads: `forwarder` is its "MODULE.Name" or
    // "MODULE.#ordinal" text, `name` the export's own name. 0 when it cannot
    // be resolved without loading a module; an empty function resolves none.
    std::function<uintptr_t(std::string_view forwarder, std::string_view name)> ResolveForwarder;
    // Before the NT platform, system DLLs under a debugger export stubs that
    // push the real address and jump: follow those.
    bool FollowDebugStubs = false;
};

// Appends the image's named exports to `list` and sorts it by address. The
// image's view is narrowed to its size. Any damage in the export directory
// (outside a section, a reserved field that is not 0, tables or names outside
// the image, an ordinal past the address table) leaves the list empty. True
// when at least one export was added.
bool ReadImageExports(THModuleStream& image, const TExportReadOptions& options, TDrevnikFunctionsList& list);

}  // namespace drevnik
