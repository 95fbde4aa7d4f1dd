#include "crashreport/debuginfo/DrevnikLibraryData.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/delivery/Base64.h"
#include "crashreport/delivery/TeaCipher.h"

namespace drevnik {

namespace {

constexpr const char* kResourceFormat = "Library data";
constexpr const char* kDebugFormat = "Debug data";
// No block of library data inflates to more than this.
constexpr std::size_t kInflateLimit = 256u << 20;

// The password the current TEA key was derived from; process-wide like the key.
std::string& KeyPassword() {
    static std::string& password = *new std::string("\x01 no key");
    return password;
}
void UseTeaKeyOf(const std::string& password) {
    if (KeyPassword() != password) {
        SetTeaKeyFromPassword(password);
        KeyPassword() = password;
    }
}

double ReadDouble(TDrevnikByteReader& r, const char* field) {
    const uint64_t bits = r.ReadU64LE(field);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
void WriteDouble(std::string& out, double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    WriteLittle(out, bits, 8);
}

[[noreturn]] void Refuse(const std::string& message) {
    throw EDrevnikStreamError(std::wstring(message.begin(), message.end()));
}

// The debug-data block: a 32-bit signed length N and N bytes.
std::vector<uint8_t> ReadDebugBlock(TDrevnikByteReader& r) {
    const int32_t n = r.ReadI32("debug data length");
    if (n <= 0) return {};
    const auto bytes = r.Bytes(static_cast<std::size_t>(n), "debug data");
    return {bytes.begin(), bytes.end()};
}

bool PasswordMatches(std::span<const uint8_t, 4> check, const std::string& password) {
    UseTeaKeyOf(password);
    uint8_t plain[4];
    TeaDecryptBuffer(check.data(), plain, 4);
    const uint32_t value = static_cast<uint32_t>(plain[0]) | static_cast<uint32_t>(plain[1]) << 8 |
                           static_cast<uint32_t>(plain[2]) << 16 | static_cast<uint32_t>(plain[3]) << 24;
    return IsLibraryDataMagic(value);
}

// Unsigned numbers in 7-bit groups, at most 5 bytes.
uint32_t ReadVarU32(TDrevnikByteReader& r, const char* field) {
    uint32_t value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        const uint8_t b = r.ReadU8(field);
        value |= static_cast<uint32_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0) return value;
    }
    r.Fail(field, "number longer than 5 bytes");
}
void WriteVarU32(std::string& out, uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}
int32_t ZigZagDecode(uint32_t v) { return static_cast<int32_t>((v >> 1) ^ (~(v & 1) + 1)); }
uint32_t ZigZagEncode(int32_t v) {
    return (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31);
}

}  // namespace

uint16_t NormalizeDataVersion(uint16_t version) {
    return (version >= 600 && version <= 602) ? static_cast<uint16_t>(version % 600 + 6000) : version;
}

std::string ZlibCompress(std::string_view data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), 9) != Z_OK)
        Refuse("zlib: compression failed");
    out.resize(size);
    return out;
}

std::string ZlibInflate(std::span<const uint8_t> data, std::size_t limit, const char* field) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) Refuse(std::string(kResourceFormat) + ": " + field + ": zlib");
    std::string out;
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    int rc = Z_OK;
    char buffer[16384];
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
        if (out.size() > limit) rc = Z_MEM_ERROR;
        if (rc == Z_BUF_ERROR && z.avail_in == 0) break;  // the input ends before the stream does
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END)
        Refuse(std::string(kResourceFormat) + ": " + field + ": damaged compressed block");
    if (out.empty()) Refuse(std::string(kResourceFormat) + ": " + field + ": empty block");
    return out;
}

void TeaEncryptBuffer(std::string& bytes) {
    uint8_t chain[8];
    std::memset(chain, 0xFF, sizeof chain);
    auto* p = reinterpret_cast<uint8_t*>(bytes.data());
    std::size_t offset = 0;
    for (; bytes.size() - offset >= 8; offset += 8) {
        uint8_t block[8];
        for (int i = 0; i < 8; ++i) block[i] = p[offset + i] ^ chain[i];
        TeaEncryptBlock(block, chain);
        std::memcpy(p + offset, chain, 8);
    }
    if (offset < bytes.size()) {
        TeaEncryptBlock(chain, chain);
        for (std::size_t i = 0; offset + i < bytes.size(); ++i) p[offset + i] ^= chain[i];
    }
}

// ---- Reading -----------------------------------------------------------------------------

TLibraryDataContents ReadLibraryDataResource(std::span<const uint8_t> resource, bool quickMode,
                                             const TOptionsLoader& loadOptions, const TPasswordSource& password) {
    TDrevnikByteReader r(std::string_view(reinterpret_cast<const char*>(resource.data()), resource.size()),
                         kResourceFormat);
    if (!IsLibraryDataMagic(r.ReadU32("magic"))) r.Fail("magic", "not library data");
    TLibraryDataContents c;
    c.DataVersion = r.ReadU16("data version");
    const uint16_t version = NormalizeDataVersion(c.DataVersion);
    if (version > kLibraryDataOwnVersion) r.Fail("data version", "newer than this library reads");
    c.DataBuildTime = ReadDouble(r, "build time");
    if (version >= 6000) r.Skip(2, "leak options");

    std::string inflated;
    if (version >= 500) {
        const uint32_t a = r.ReadU32("known symbols length");
        r.Skip(a, "known symbols");
        const uint32_t b = r.ReadU32("options length");
        const std::string options = ZlibInflate(r.Bytes(b, "options"), kInflateLimit, "options");
        TDrevnikByteReader optionsReader(options, "Options stream");
        loadOptions(optionsReader, version);
        if (quickMode) return c;
        const auto check = r.Bytes(4, "password check");
        c.Password = password ? password() : std::string();
        c.PasswordValid = PasswordMatches(std::span<const uint8_t, 4>(check.data(), 4), c.Password);
        inflated = ZlibInflate(r.Bytes(r.Remaining(), "debug data"), kInflateLimit, "debug data");
        TDrevnikByteReader debug(inflated, kDebugFormat);
        c.DebugData = ReadDebugBlock(debug);
        return c;
    }
    if (version >= 450) {
        inflated = ZlibInflate(r.Bytes(r.Remaining(), "options and debug data"), kInflateLimit,
                               "options and debug data");
        TDrevnikByteReader inner(inflated, kResourceFormat);
        loadOptions(inner, version);
        if (!quickMode) c.DebugData = ReadDebugBlock(inner);
        return c;
    }
    loadOptions(r, version);
    if (!quickMode) c.DebugData = ReadDebugBlock(r);
    return c;
}

bool HasLibraryDataTail(std::span<const uint8_t> fileEnd) {
    if (fileEnd.size() < 4) return false;
    const uint8_t* p = fileEnd.data() + fileEnd.size() - 4;
    return IsLibraryDataMagic(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

namespace {
// The appended block of a file, without its length and magic.
std::span<const uint8_t> TailBlock(std::span<const uint8_t> file) {
    if (!HasLibraryDataTail(file) || file.size() < 8) Refuse("Library data: no appended block");
    TDrevnikByteReader r(std::string_view(reinterpret_cast<const char*>(file.data()), file.size()), kResourceFormat);
    r.Seek(file.size() - 8, "block length");
    const uint32_t length = r.ReadU32("block length");
    if (length > file.size() - 8) r.Fail("block length", "larger than the file");
    return file.subspan(file.size() - 8 - length, length);
}
}  // namespace

uint16_t LibraryDataTailVersion(std::span<const uint8_t> file) {
    try {
        const auto block = TailBlock(file);
        if (block.size() < 2) return 0;
        return static_cast<uint16_t>(block[0] | block[1] << 8);
    } catch (const EDrevnikStreamError&) {
        return 0;
    }
}

TLibraryDataContents ReadLibraryDataFileTail(std::span<const uint8_t> file, bool quickMode,
                                             const TOptionsLoader& loadOptions) {
    const auto block = TailBlock(file);
    TDrevnikByteReader r(std::string_view(reinterpret_cast<const char*>(block.data()), block.size()),
                         kResourceFormat);
    TLibraryDataContents c;
    c.DataVersion = r.ReadU16("data version");
    // Normalized and checked as the resource form is: a later layout would be misread.
    const uint16_t version = NormalizeDataVersion(c.DataVersion);
    if (version > kLibraryDataOwnVersion) r.Fail("data version", "newer than this library reads");
    c.DataBuildTime = ReadDouble(r, "build time");
    loadOptions(r, version);
    if (!quickMode) c.DebugData = ReadDebugBlock(r);
    return c;
}

std::optional<uint32_t> FindKnownSymbolOffset(std::span<const uint8_t> resource, uint8_t symbolNumber) {
    try {
        TDrevnikByteReader r(std::string_view(reinterpret_cast<const char*>(resource.data()), resource.size()),
                             kResourceFormat);
        if (!IsLibraryDataMagic(r.ReadU32("magic"))) return std::nullopt;
        r.Skip(2 + 8 + 2, "header");
        const uint32_t a = r.ReadU32("known symbols length");
        uint32_t read = 0;
        while (read < a) {
            const uint8_t number = r.ReadU8("symbol number");
            const uint32_t offset = r.ReadU32("symbol offset");
            r.Skip(4, "symbol value");
            read += 9;
            if (number == symbolNumber) return offset;
        }
    } catch (const EDrevnikStreamError&) {
    }
    return std::nullopt;
}

// ---- Names -------------------------------------------------------------------------------

std::string DecodeDebugName(TDrevnikByteReader& r, const TDebugNameKey& key) {
    std::string result;
    for (int part = 0;; ++part) {
        uint8_t length = r.ReadU8("name length");
        bool continued = false;
        if (key.DataVersion >= 502 && length >= 0x80) {
            continued = true;
            length &= 0x7F;
        }
        const auto bytes = r.Bytes(length, "name");
        std::string name(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (key.DataVersion < 500) {
            for (char& ch : name) ch = static_cast<char>(ch ^ kOldDebugNameKey);
        } else if (key.PasswordValid) {
            UseTeaKeyOf(key.Password);
            TeaDecryptBuffer(name.data(), name.data(), name.size());
        } else if (!name.empty()) {
            name = "?" + Base64EncodeString(name);
        }
        if (part > 0) result += '.';
        result += name;
        if (!continued) return result;
    }
}

std::string EncodeDebugName(std::string_view name, const TDebugNameKey& key) {
    // Names over one length byte are split at dots into continued parts.
    const std::size_t maxPart = key.DataVersion >= 502 ? 0x7F : 0xFF;
    std::vector<std::string> parts;
    std::string_view rest = name;
    while (rest.size() > maxPart) {
        const std::size_t dot = rest.substr(0, maxPart + 1).rfind('.');
        if (key.DataVersion < 502 || dot == std::string_view::npos || dot == 0) {
            rest = rest.substr(0, maxPart);
            break;
        }
        parts.emplace_back(rest.substr(0, dot));
        rest.remove_prefix(dot + 1);
    }
    parts.emplace_back(rest);
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string bytes = parts[i];
        if (key.DataVersion < 500) {
            for (char& ch : bytes) ch = static_cast<char>(ch ^ kOldDebugNameKey);
        } else {
            UseTeaKeyOf(key.Password);
            TeaEncryptBuffer(bytes);
        }
        const bool continued = i + 1 < parts.size();
        out.push_back(static_cast<char>(bytes.size() | (continued ? 0x80 : 0)));
        out += bytes;
    }
    return out;
}

// ---- Lookup ------------------------------------------------------------------------------

bool IsFramePrologue(std::span<const uint8_t> b) {
    if (!b.empty() && b[0] == 0x53) return true;
    if (b.size() >= 3 && b[0] == 0x55 && ((b[1] == 0x8B && b[2] == 0xEC) || (b[1] == 0x89 && b[2] == 0xE5)))
        return true;
    return b.size() >= 4 && b[0] == 0x55 && b[1] == 0x48 &&
           ((b[2] == 0x89 && b[3] == 0xE5) || (b[2] == 0x8B && b[3] == 0xEC));
}

namespace {

struct TRoutineState {
    std::string Class;
    std::string Name;
    bool Known = false;
    int32_t FirstLine = 0;
    uint32_t StartOffset = 0;
};

void SplitRoutineName(const std::string& raw, const std::string& lastClass, TRoutineState& state) {
    if (!raw.empty() && raw[0] == '.') {
        state.Class = lastClass;
        state.Name = raw.substr(1);
    } else if (const std::size_t dot = raw.find('.'); dot != std::string::npos) {
        state.Class = raw.substr(0, dot);
        state.Name = raw.substr(dot + 1);
    } else {
        state.Class.clear();
        state.Name = raw;
    }
    if (!state.Name.empty() && state.Name[0] == '@') state.Name[0] = '_';
}

}  // namespace

bool LookupDebugData(std::span<const uint8_t> data, uintptr_t address, const TDebugDataLookup& lookup,
                     TCallStackEntry& entry) {
    try {
        TDrevnikByteReader r(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()), kDebugFormat);
        const uint16_t version = lookup.Key.DataVersion;
        const uint32_t units = r.ReadU32("unit count");
        if (version >= 405 && version <= 499) r.Skip(r.ReadU32("skipped section length"), "skipped section");
        for (uint32_t u = 0; u < units; ++u) {
            std::string unit = DecodeDebugName(r, lookup.Key);
            if (!lookup.Key.PasswordValid) {
                if (!unit.empty()) unit.insert(1, "p");
            } else if (unit.find('.') == std::string::npos) {
                unit += ".pas";
            }
            const int32_t firstLine = r.ReadI32("first line");
            const uint32_t codeOffset = r.ReadU32("code offset");
            const uint32_t codeSize = r.ReadU32("code size");
            const uint32_t restLength = r.ReadU32("unit record length");
            const auto rest = r.Bytes(restLength, "unit record");
            const uintptr_t start = CodeOffsetToAddress(lookup.ModuleHandle, codeOffset);
            // The unit's code: [start, start + size), empty for size 0.
            if (codeSize == 0 || address < start || address - start >= codeSize) continue;

            TDrevnikByteReader lines(std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()),
                                     kDebugFormat);
            int32_t line = firstLine;
            uint32_t offset = codeOffset;
            std::string lastClass;
            TRoutineState routine;
            bool havePrevious = false;
            int32_t prevLine = 0;
            uint32_t prevOffset = 0;
            TRoutineState prevRoutine;
            auto test = [&](uint32_t from, uint32_t to, int32_t atLine, const TRoutineState& state) {
                const uintptr_t a = CodeOffsetToAddress(lookup.ModuleHandle, from);
                const uintptr_t b = CodeOffsetToAddress(lookup.ModuleHandle, to);
                if (to < from || address < a || address > b) return false;
                entry.EntryKind = ekUnitRoutineLine;
                entry.CodeAddress = address;
                AssignShortText(entry.UnitFile, unit);
                AssignShortText(entry.ClassPart, state.Class);
                AssignShortText(entry.RoutineName, state.Name);
                entry.SourceLine = atLine;
                entry.LineInRoutine = 0;
                if (state.Known) {
                    int32_t first = state.FirstLine;
                    const bool prologue = lookup.HasFramePrologue &&
                                          lookup.HasFramePrologue(CodeOffsetToAddress(lookup.ModuleHandle,
                                                                                      state.StartOffset));
                    if (state.Name == "Finalization" || (state.Name != "Initialization" && !prologue)) --first;
                    const int64_t inRoutine = static_cast<int64_t>(atLine) - first;
                    entry.LineInRoutine = inRoutine > 0 ? static_cast<uint32_t>(inRoutine) : 0;
                }
                if (lookup.IsLibraryUnit && lookup.IsLibraryUnit(unit)) {
                    entry.EntryKind = ekModule;
                    entry.UnitFile.clear();
                    entry.ClassPart.clear();
                    entry.RoutineName.clear();
                    entry.SourceLine = 0;
                    entry.LineInRoutine = 0;
                }
                return true;
            };
            while (!lines.AtEnd()) {
                const uint8_t tag = lines.ReadU8("line record");
                line = static_cast<int32_t>(static_cast<uint32_t>(line) +
                                            static_cast<uint32_t>(ZigZagDecode(ReadVarU32(lines, "line delta"))));
                offset += ReadVarU32(lines, "offset delta");
                if ((tag & 1) != 0) {
                    SplitRoutineName(DecodeDebugName(lines, lookup.Key), lastClass, routine);
                    if (!routine.Class.empty()) lastClass = routine.Class;
                    routine.Known = true;
                    routine.FirstLine = line;
                    routine.StartOffset = offset;
                }
                if (havePrevious && offset > prevOffset && test(prevOffset, offset - 1, prevLine, prevRoutine))
                    return true;
                havePrevious = true;
                prevLine = line;
                prevOffset = offset;
                prevRoutine = routine;
            }
            if (havePrevious && test(prevOffset, codeOffset + codeSize - 1, prevLine, prevRoutine)) return true;
        }
    } catch (const std::exception&) {
    }
    return false;
}

// ---- Writing -----------------------------------------------------------------------------

std::string EncodeDebugData(const std::vector<TDebugUnitRecord>& units, const TDebugNameKey& key) {
    std::string out;
    WriteU32(out, static_cast<uint32_t>(units.size()));
    for (const TDebugUnitRecord& unit : units) {
        out += EncodeDebugName(unit.Name, key);
        WriteI32(out, unit.FirstLine);
        WriteU32(out, unit.CodeOffset);
        WriteU32(out, unit.CodeSize);
        std::string rest;
        int32_t line = unit.FirstLine;
        uint32_t offset = unit.CodeOffset;
        for (const TDebugLineRecord& record : unit.Lines) {
            rest.push_back(record.Routine.empty() ? 0 : 1);
            WriteVarU32(rest, ZigZagEncode(static_cast<int32_t>(static_cast<uint32_t>(record.Line) -
                                                                static_cast<uint32_t>(line))));
            WriteVarU32(rest, record.Offset - offset);
            if (!record.Routine.empty()) rest += EncodeDebugName(record.Routine, key);
            line = record.Line;
            offset = record.Offset;
        }
        WriteU32(out, static_cast<uint32_t>(rest.size()));
        out += rest;
    }
    return out;
}

std::string BuildLibraryDataTail(std::string_view optionsBlock, std::string_view debugData, double buildTime,
                                 uint16_t version) {
    std::string block;
    WriteU16(block, version);
    WriteDouble(block, buildTime);
    block += optionsBlock;
    WriteU32(block, static_cast<uint32_t>(debugData.size()));
    block += debugData;
    std::string out = block;
    WriteU32(out, static_cast<uint32_t>(block.size()));
    WriteU32(out, kLibraryDataMagic);
    return out;
}

std::string BuildLibraryDataResource(std::string_view knownSymbols, std::string_view optionsBlock,
                                     std::string_view debugData, std::string_view password, double buildTime,
                                     uint16_t version) {
    std::string out;
    WriteU32(out, kLibraryDataMagic);
    WriteU16(out, version);
    WriteDouble(out, buildTime);
    if (NormalizeDataVersion(version) >= 6000) WriteU16(out, 0);
    WriteU32(out, static_cast<uint32_t>(knownSymbols.size()));
    out += knownSymbols;
    const std::string options = ZlibCompress(optionsBlock);
    WriteU32(out, static_cast<uint32_t>(options.size()));
    out += options;
    std::string check;
    WriteU32(check, kLibraryDataMagic);
    UseTeaKeyOf(std::string(password));
    TeaEncryptBuffer(check);
    out += check;
    std::string debug;
    WriteU32(debug, static_cast<uint32_t>(debugData.size()));
    debug += debugData;
    out += ZlibCompress(debug);
    return out;
}

}  // namespace drevnik
