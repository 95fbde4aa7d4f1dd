// The library's data of a module: its header, the options block, the
// well-known-symbols table and the debug data (units, routines and lines),
// read from the "DVDATA" resource or from a block appended to the module
// file; and the lookup of a code address in the debug data.
//
// Everything here works on bytes: the Windows side (DrevnikAddressLookup_win)
// finds the resource or the file tail and hands the bytes over. The encoding
// of the debug data is also written here, for our own build's writer
// (tools/debugdata) and for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "crashreport/capture/DrevnikByteReader.h"
#include "crashreport/capture/DrevnikLists.h"

namespace drevnik {

// The library data's own version; resource data of a later one is refused.
constexpr uint16_t kLibraryDataOwnVersion = 6025;
// The magic that the writer puts in front of the data (IsLibraryDataMagic).
constexpr uint32_t kLibraryDataMagic = 0x100FAB10u;
// Names of data older than version 500 are XORed with this byte.
constexpr uint8_t kOldDebugNameKey = 0x5C;

// 600, 601 and 602 stand for 6000, 6001 and 6002.
uint16_t NormalizeDataVersion(uint16_t version);

// Code offsets count from the start of the code section.
constexpr uintptr_t CodeOffsetToAddress(uintptr_t module, uint32_t offset) { return module + 0x1000 + offset; }

// ---- Reading the data ----------------------------------------------------------------

// What the options block is loaded into (LoadFromStream of the module's
// options, in the layout of `version`).
using TOptionsLoader = std::function<void(TDrevnikByteReader& stream, uint16_t version)>;
// Asked for the module's password (data version 500 and above): returns the
// password text; the check value tells whether it is right.
using TPasswordSource = std::function<std::string()>;

struct TLibraryDataContents {
    uint16_t DataVersion = 0;       // as stored
    double DataBuildTime = 0;
    std::optional<std::vector<uint8_t>> DebugData;  // none in quick mode
    std::string Password;
    bool PasswordValid = true;
};

// The resource form, from its first byte (the magic). Raises
// EDrevnikStreamError for damaged, cut or refused data.
TLibraryDataContents ReadLibraryDataResource(std::span<const uint8_t> resource, bool quickMode,
                                             const TOptionsLoader& loadOptions, const TPasswordSource& password);
// The appended form: `file` is the whole file (or at least its tail). Raises
// EDrevnikStreamError for damaged or cut data.
TLibraryDataContents ReadLibraryDataFileTail(std::span<const uint8_t> file, bool quickMode,
                                             const TOptionsLoader& loadOptions);
// Whether the last 4 bytes are a magic; the stored version of the tail (0 when none).
bool HasLibraryDataTail(std::span<const uint8_t> fileEnd);
uint16_t LibraryDataTailVersion(std::span<const uint8_t> file);

// The well-known symbol's code offset, from the resource form; none when missing.
std::optional<uint32_t> FindKnownSymbolOffset(std::span<const uint8_t> resource, uint8_t symbolNumber);

// ---- Names -------------------------------------------------------------------------------

struct TDebugNameKey {
    uint16_t DataVersion = kLibraryDataOwnVersion;  // normalized
    bool PasswordValid = true;
    std::string Password;
};
// One name: a length byte and the bytes, continued names joined with ".".
std::string DecodeDebugName(TDrevnikByteReader& stream, const TDebugNameKey& key);

// ---- Lookup ------------------------------------------------------------------------------

struct TDebugDataLookup {
    uintptr_t ModuleHandle = 0;
    TDebugNameKey Key;
    // Whether the routine's code begins with a frame prologue or push ebx.
    std::function<bool(uintptr_t address)> HasFramePrologue;
    // Units of the library itself show only their module (unless the library
    // reports its own failure).
    std::function<bool(std::string_view unit)> IsLibraryUnit;
};

// Fills `entry` (kind 4, or kind 1 for the library's own units) when the
// debug data names `address`; false when it does not. Damaged data ends the
// search (false) and never reads outside the data.
bool LookupDebugData(std::span<const uint8_t> data, uintptr_t address, const TDebugDataLookup& lookup,
                     TCallStackEntry& entry);

// Whether the bytes are a frame prologue: push ebp; mov ebp, esp in either
// encoding (8B EC, or 89 E5 as GCC writes it), the x86-64 form with REX.W,
// or push ebx.
bool IsFramePrologue(std::span<const uint8_t> bytes);

// ---- Writing (our own build's writer and tests) ------------------------------------------

struct TDebugLineRecord {
    int32_t Line = 0;
    uint32_t Offset = 0;     // code offset where the line's code begins
    std::string Routine;     // non-empty: a routine starts here ("Class.Routine", "Routine", ".Routine")
};
struct TDebugUnitRecord {
    std::string Name;
    int32_t FirstLine = 0;
    uint32_t CodeOffset = 0;
    uint32_t CodeSize = 0;
    std::vector<TDebugLineRecord> Lines;  // in offset order
};

// The debug-data block's contents (without its 32-bit length).
std::string EncodeDebugData(const std::vector<TDebugUnitRecord>& units, const TDebugNameKey& key);
// One name in the form DecodeDebugName reads.
std::string EncodeDebugName(std::string_view name, const TDebugNameKey& key);
// The appended form: header, options, debug data, then length and magic.
std::string BuildLibraryDataTail(std::string_view optionsBlock, std::string_view debugData, double buildTime,
                                 uint16_t version = kLibraryDataOwnVersion);
// The resource form of version 500 and above (zlib-compressed blocks).
std::string BuildLibraryDataResource(std::string_view knownSymbols, std::string_view optionsBlock,
                                     std::string_view debugData, std::string_view password, double buildTime,
                                     uint16_t version = kLibraryDataOwnVersion);
// Deflates with zlib (level 9); inflates refusing more than `limit` bytes.
std::string ZlibCompress(std::string_view data);
std::string ZlibInflate(std::span<const uint8_t> data, std::size_t limit, const char* field);

// The library's chained TEA mode, the other way (TeaDecryptBuffer undoes it).
void TeaEncryptBuffer(std::string& bytes);

}  // namespace drevnik
