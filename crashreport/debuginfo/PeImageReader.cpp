#include "crashreport/debuginfo/PeImageReader.h"

#include <algorithm>

namespace drevnik {
namespace {

constexpr uint16_t kMzSignature = 0x5A4D;
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kExportDirectorySize = 40;
constexpr std::size_t kExportNameMax = 256;

// Offsets inside the optional header.
constexpr std::size_t kOptSizeOfCode = 4;
constexpr std::size_t kOptBaseOfCode = 20;
constexpr std::size_t kOptSizeOfImage = 56;
constexpr std::size_t kOptDataDirectories32 = 96;
constexpr std::size_t kOptDataDirectories64 = 112;

bool ReadU16(const THModuleStream& image, std::size_t offset, uint16_t& value) {
    return image.ReadValueAt(offset, value);
}
bool ReadU32(const THModuleStream& image, std::size_t offset, uint32_t& value) {
    return image.ReadValueAt(offset, value);
}

// Whether `count` entries of `entrySize` bytes from `rva` fit into the image.
bool TableFits(const THModuleStream& image, uint32_t rva, uint64_t count, uint32_t entrySize) {
    return static_cast<uint64_t>(rva) + count * entrySize <= image.ViewSize();
}

struct TExportDirectory {
    uint32_t Characteristics = 0;
    uint32_t NumberOfFunctions = 0;
    uint32_t NumberOfNames = 0;
    uint32_t AddressOfFunctions = 0;
    uint32_t AddressOfNames = 0;
    uint32_t AddressOfNameOrdinals = 0;
};

bool ReadExportDirectory(const THModuleStream& image, uint32_t rva, TExportDirectory& dir) {
    uint8_t raw[kExportDirectorySize];
    if (!image.ReadAt(rva, raw, sizeof raw)) {
        return false;
    }
    const auto u32 = [&raw](std::size_t at) {
        uint32_t value;
        std::memcpy(&value, raw + at, sizeof value);
        return value;
    };
    dir.Characteristics = u32(0);
    dir.NumberOfFunctions = u32(20);
    dir.NumberOfNames = u32(24);
    dir.AddressOfFunctions = u32(28);
    dir.AddressOfNames = u32(32);
    dir.AddressOfNameOrdinals = u32(36);
    return true;
}

// The export directory must lie inside one of the sections.
bool IsInsideSection(const THModuleStream& image, const TImageHeaders& headers, uint32_t rva) {
    for (uint32_t i = 0; i < headers.File.SectionCount; ++i) {
        const std::size_t at = headers.SectionTableOffset + std::size_t{i} * kSectionHeaderSize;
        uint32_t virtualSize = 0;
        uint32_t virtualAddress = 0;
        if (!ReadU32(image, at + 8, virtualSize) || !ReadU32(image, at + 12, virtualAddress)) {
            return false;
        }
        if (rva >= virtualAddress && uint64_t{rva} < uint64_t{virtualAddress} + virtualSize) {
            return true;
        }
    }
    return false;
}

// "push imm32; jmp rel32" at the entry: the pushed value is the real routine.
uintptr_t FollowDebugStub(const THModuleStream& image, uint32_t rva, uintptr_t address) {
    uint8_t code[6];
    if (!image.ReadAt(rva, code, sizeof code) || code[0] != 0x68 || code[5] != 0xE9) {
        return address;
    }
    uint32_t pushed;
    std::memcpy(&pushed, code + 1, sizeof pushed);
    return pushed;
}

}  // namespace

bool ReadImageFileHeader(const THModuleStream& image, TImageFileHeader& header) {
    uint16_t mz = 0;
    uint32_t peOffset = 0;
    uint32_t signature = 0;
    if (!ReadU16(image, 0, mz) || mz != kMzSignature || !ReadU32(image, 60, peOffset) || peOffset == 0 ||
        !ReadU32(image, peOffset, signature) || signature != kPeSignature) {
        return false;
    }
    uint8_t raw[kFileHeaderSize];
    if (!image.ReadAt(std::size_t{peOffset} + 4, raw, sizeof raw)) {
        return false;
    }
    header.PeOffset = peOffset;
    std::memcpy(&header.SectionCount, raw + 2, 2);
    std::memcpy(&header.OptionalHeaderSize, raw + 16, 2);
    std::memcpy(&header.Characteristics, raw + 18, 2);
    return true;
}

bool ReadImageHeaders(const THModuleStream& image, TImageHeaders& headers) {
    if (!ReadImageFileHeader(image, headers.File)) {
        return false;
    }
    const std::size_t optional = std::size_t{headers.File.PeOffset} + 4 + kFileHeaderSize;
    uint16_t magic = 0;
    if (!ReadU16(image, optional, magic) || (magic != kPe32Magic && magic != kPe32PlusMagic)) {
        return false;
    }
    headers.Pe32Plus = magic == kPe32PlusMagic;
    const std::size_t directories = optional + (headers.Pe32Plus ? kOptDataDirectories64 : kOptDataDirectories32);
    if (directories + 8 > optional + headers.File.OptionalHeaderSize ||
        !ReadU32(image, optional + kOptSizeOfCode, headers.SizeOfCode) ||
        !ReadU32(image, optional + kOptBaseOfCode, headers.BaseOfCode) ||
        !ReadU32(image, optional + kOptSizeOfImage, headers.SizeOfImage) ||
        !ReadU32(image, directories, headers.ExportRva) || !ReadU32(image, directories + 4, headers.ExportSize)) {
        return false;
    }
    headers.SectionTableOffset = static_cast<uint32_t>(optional + headers.File.OptionalHeaderSize);
    return uint64_t{headers.SectionTableOffset} + uint64_t{headers.File.SectionCount} * kSectionHeaderSize <=
           headers.SizeOfImage;
}

bool ReadImageExports(THModuleStream& image, const TExportReadOptions& options, TDrevnikFunctionsList& list) {
    TImageHeaders headers;
    if (!ReadImageHeaders(image, headers)) {
        return false;
    }
    image.SetSize(static_cast<int64_t>(std::min<std::size_t>(image.ViewSize(), headers.SizeOfImage)));
    // The code must be there to tell code exports from the rest.
    if (!image.IsReadable(headers.BaseOfCode, headers.SizeOfCode) || headers.ExportRva == 0 ||
        !IsInsideSection(image, headers, headers.ExportRva)) {
        return false;
    }
    TExportDirectory dir;
    if (!ReadExportDirectory(image, headers.ExportRva, dir) || dir.Characteristics != 0) {
        return false;
    }
    const uint32_t count = std::min(dir.NumberOfFunctions, dir.NumberOfNames);
    if (!TableFits(image, dir.AddressOfNames, count, 4) || !TableFits(image, dir.AddressOfNameOrdinals, count, 2) ||
        !TableFits(image, dir.AddressOfFunctions, dir.NumberOfFunctions, 4)) {
        return false;
    }
    const uintptr_t base = image.Base();
    const uintptr_t codeStart = base + headers.BaseOfCode;
    const uint64_t exportEnd = uint64_t{headers.ExportRva} + headers.ExportSize;
    const std::size_t first = static_cast<std::size_t>(list.Count());
    const auto fail = [&list, first] {
        while (static_cast<std::size_t>(list.Count()) > first) list.Delete(list.Count() - 1);
        return false;
    };
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t nameRva = 0;
        uint16_t ordinal = 0;
        uint32_t entryRva = 0;
        auto record = std::make_unique<TDrevnikFunctionInfo>();
        if (!ReadU32(image, dir.AddressOfNames + std::size_t{i} * 4, nameRva) ||
            !image.ReadTextAt(nameRva, kExportNameMax, record->ExportName) ||
            !ReadU16(image, dir.AddressOfNameOrdinals + std::size_t{i} * 2, ordinal) ||
            ordinal >= dir.NumberOfFunctions ||
            !ReadU32(image, dir.AddressOfFunctions + std::size_t{ordinal} * 4, entryRva)) {
            return fail();
        }
        if (entryRva == 0) {
            // An emptied slot: the name leads nowhere. Wine's 32-bit kernel32
            // holds these where the file forwards to a 16-bit module.
            record->EntryAddress = 0;
            record->MeasuredSize = 1;
        } else if (entryRva >= headers.ExportRva && entryRva < exportEnd) {
            // A forwarder: its code lives in another module. The entry keeps its
            // name, and is never measured as code of this module.
            std::string forwarder;
            image.ReadTextAt(entryRva, kExportNameMax, forwarder);
            record->EntryAddress = options.ResolveForwarder ? options.ResolveForwarder(forwarder, record->ExportName) : 0;
            record->MeasuredSize = 1;
        } else {
            record->EntryAddress = base + entryRva;
            if (options.FollowDebugStubs) {
                record->EntryAddress = FollowDebugStub(image, entryRva, record->EntryAddress);
            }
            record->MeasuredSize = record->EntryAddress < codeStart ? 1 : 0;
        }
        list.Add(std::move(record));
    }
    list.SortByAddress();
    return static_cast<std::size_t>(list.Count()) > first;
}

}  // namespace drevnik
