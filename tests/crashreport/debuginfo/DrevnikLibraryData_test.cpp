// Library data written by the encoder, read back in both forms, looked up by
// address, and refused when damaged or cut.
#include "crashreport/debuginfo/DrevnikLibraryData.h"

#include <gtest/gtest.h>

#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/delivery/Base64.h"
#include "crashreport/delivery/TeaCipher.h"

namespace drevnik {
namespace {

constexpr uintptr_t kModule = 0x400000;

std::vector<TDebugUnitRecord> SampleUnits() {
    TDebugUnitRecord a;
    a.Name = "Unit1";
    a.FirstLine = 10;
    a.CodeOffset = 0x100;
    a.CodeSize = 0x100;
    a.Lines = {{10, 0x100, "TForm1.Button1Click"}, {11, 0x110, ""}, {13, 0x120, ""},
               {20, 0x140, ".FormCreate"}, {21, 0x150, ""}, {30, 0x180, "Finalization"}, {31, 0x190, ""},
               {40, 0x1A0, "@Helper"}};
    TDebugUnitRecord b;
    b.Name = "src/crash.cpp";
    b.FirstLine = 5;
    b.CodeOffset = 0x300;
    b.CodeSize = 0x20;
    b.Lines = {{5, 0x300, "kyn::Fault"}, {6, 0x308, ""}};
    return {a, b};
}

std::span<const uint8_t> Bytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

// Options blocks here are real option streams.
std::string OptionsBlock() {
    TDrevnikModuleOptions options("");
    options.SetStackFlags(3);
    std::string block;
    options.SaveToStream(block);
    return block;
}
TOptionsLoader LoadInto(TDrevnikModuleOptions& options) {
    return [&options](TDrevnikByteReader& r, uint16_t version) { options.LoadFromStreamAs(r, version); };
}

TDebugDataLookup Lookup(const TLibraryDataContents& c) {
    TDebugDataLookup l;
    l.ModuleHandle = kModule;
    l.Key.DataVersion = NormalizeDataVersion(c.DataVersion);
    l.Key.PasswordValid = c.PasswordValid;
    l.Key.Password = c.Password;
    l.HasFramePrologue = [](uintptr_t a) { return a != CodeOffsetToAddress(kModule, 0x140); };
    return l;
}

struct Expect {
    uint32_t offset;
    int kind;
    const char* unit;
    const char* cls;
    const char* routine;
    int line;
    uint32_t inRoutine;
};

void CheckLookups(const std::vector<uint8_t>& data, const TDebugDataLookup& lookup) {
    const std::vector<Expect> rows = {
        {0x100, 4, "Unit1", "TForm1", "Button1Click", 10, 0},
        {0x11F, 4, "Unit1", "TForm1", "Button1Click", 11, 1},
        {0x13F, 4, "Unit1", "TForm1", "Button1Click", 13, 3},
        {0x140, 4, "Unit1", "TForm1", "FormCreate", 20, 1},  // no prologue: one higher
        {0x150, 4, "Unit1", "TForm1", "FormCreate", 21, 2},
        {0x190, 4, "Unit1", "", "Finalization", 31, 2},
        {0x1FF, 4, "Unit1", "", "_Helper", 40, 0},
        {0x300, 4, "src/crash.cpp", "", "kyn::Fault", 5, 0},
        {0x31F, 4, "src/crash.cpp", "", "kyn::Fault", 6, 1},
        {0x320, 0, "", "", "", 0, 0},  // past the unit's end: half open
        {0x0FF, 0, "", "", "", 0, 0},
    };
    for (const Expect& row : rows) {
        SCOPED_TRACE(row.offset);
        TCallStackEntry e;
        const bool found = LookupDebugData(data, CodeOffsetToAddress(kModule, row.offset), lookup, e);
        EXPECT_EQ(found, row.kind != 0);
        if (!found) continue;
        EXPECT_EQ(e.EntryKind, row.kind);
        EXPECT_EQ(e.UnitFile, std::string(row.unit) + (std::string(row.unit).find('.') == std::string::npos ? ".pas" : ""));
        EXPECT_EQ(e.ClassPart, row.cls);
        EXPECT_EQ(e.RoutineName, row.routine);
        EXPECT_EQ(e.SourceLine, row.line);
        EXPECT_EQ(e.LineInRoutine, row.inRoutine);
    }
}

TEST(LibraryData, TheAppendedFormReadsBackAndNamesEveryLine) {
    const std::string debug = EncodeDebugData(SampleUnits(), {});
    std::string file = std::string(100, 'x') + BuildLibraryDataTail(OptionsBlock(), debug, 45000.5);
    ASSERT_TRUE(HasLibraryDataTail(Bytes(file)));
    EXPECT_EQ(LibraryDataTailVersion(Bytes(file)), kLibraryDataOwnVersion);
    TDrevnikModuleOptions options("");
    const TLibraryDataContents c = ReadLibraryDataFileTail(Bytes(file), false, LoadInto(options));
    EXPECT_EQ(options.StackFlags(), 3);
    EXPECT_EQ(c.DataBuildTime, 45000.5);
    ASSERT_TRUE(c.DebugData.has_value());
    CheckLookups(*c.DebugData, Lookup(c));

    // Quick mode reads the options only.
    EXPECT_FALSE(ReadLibraryDataFileTail(Bytes(file), true, LoadInto(options)).DebugData.has_value());
}

TEST(LibraryData, TheResourceFormWithPasswords) {
    TDebugNameKey key;
    key.Password = "secret";
    const std::string debug = EncodeDebugData(SampleUnits(), key);
    std::string symbols;
    for (uint8_t n : {3, 7}) {
        symbols.push_back(static_cast<char>(n));
        WriteU32(symbols, 0x40u * n);
        WriteU32(symbols, 0);
    }
    const std::string resource = BuildLibraryDataResource(symbols, OptionsBlock(), debug, "secret", 1.0);
    EXPECT_EQ(FindKnownSymbolOffset(Bytes(resource), 7), 0x1C0u);
    EXPECT_FALSE(FindKnownSymbolOffset(Bytes(resource), 5).has_value());

    TDrevnikModuleOptions options("");
    const auto right = ReadLibraryDataResource(Bytes(resource), false, LoadInto(options), [] { return "secret"; });
    EXPECT_TRUE(right.PasswordValid);
    CheckLookups(*right.DebugData, Lookup(right));

    const auto wrong = ReadLibraryDataResource(Bytes(resource), false, LoadInto(options), [] { return ""; });
    EXPECT_FALSE(wrong.PasswordValid);
    TCallStackEntry e;
    ASSERT_TRUE(LookupDebugData(*wrong.DebugData, CodeOffsetToAddress(kModule, 0x300), Lookup(wrong), e));
    EXPECT_EQ(e.UnitFile.substr(0, 2), "?p");
    EXPECT_EQ(e.RoutineName[0], '?');
    // The Base64 text is that of the enciphered bytes.
    EXPECT_EQ(Base64DecodeString(e.RoutineName.substr(1)).size(), std::string("kyn::Fault").size());
}

TEST(LibraryData, VersionsOldLayoutsAndRefusal) {
    EXPECT_EQ(NormalizeDataVersion(601), 6001);
    EXPECT_EQ(NormalizeDataVersion(603), 603);
    TDrevnikModuleOptions options("");
    const std::string debug = EncodeDebugData(SampleUnits(), {});
    const std::string v601 = BuildLibraryDataResource("", OptionsBlock(), debug, "", 0, 601);
    EXPECT_EQ(ReadLibraryDataResource(Bytes(v601), false, LoadInto(options), {}).DataVersion, 601);
    const std::string v6026 = BuildLibraryDataResource("", OptionsBlock(), debug, "", 0, 6026);
    EXPECT_THROW(ReadLibraryDataResource(Bytes(v6026), false, LoadInto(options), {}), EDrevnikStreamError);
    const std::string tail6026 = BuildLibraryDataTail(OptionsBlock(), debug, 0, 6026);
    EXPECT_THROW(ReadLibraryDataFileTail(Bytes(tail6026), false, LoadInto(options)), EDrevnikStreamError);

    // Below version 450: uncompressed blocks and names XORed with one byte.
    TDebugNameKey old;
    old.DataVersion = 400;
    const std::string oldDebug = EncodeDebugData(SampleUnits(), old);
    std::string resource;
    WriteU32(resource, kLibraryDataMagic);
    WriteU16(resource, 400);
    WriteLittle(resource, 0, 8);
    // The loader here stands in for the options of that old layout.
    resource += "OPTS";
    WriteU32(resource, static_cast<uint32_t>(oldDebug.size()));
    resource += oldDebug;
    const auto c = ReadLibraryDataResource(Bytes(resource), false,
                                           [](TDrevnikByteReader& r, uint16_t v) {
                                               EXPECT_EQ(v, 400);
                                               EXPECT_EQ(r.ReadBytes(4, "marker"), "OPTS");
                                           },
                                           {});
    TDebugDataLookup l = Lookup(c);
    TCallStackEntry e;
    ASSERT_TRUE(LookupDebugData(*c.DebugData, CodeOffsetToAddress(kModule, 0x150), l, e));
    EXPECT_EQ(e.RoutineName, "FormCreate");
}

TEST(LibraryData, LibraryUnitsShowOnlyTheirModule) {
    const std::string debug = EncodeDebugData(SampleUnits(), {});
    TDebugDataLookup l;
    l.ModuleHandle = kModule;
    l.IsLibraryUnit = [](std::string_view unit) { return unit == "src/crash.cpp"; };
    TCallStackEntry e;
    ASSERT_TRUE(LookupDebugData(Bytes(debug), CodeOffsetToAddress(kModule, 0x300), l, e));
    EXPECT_EQ(e.EntryKind, ekModule);
    EXPECT_TRUE(e.RoutineName.empty());
    EXPECT_EQ(e.SourceLine, 0);
}

TEST(LibraryData, PrologueTestAcceptsBothEncodings) {
    const std::vector<std::pair<std::vector<uint8_t>, bool>> rows = {
        {{0x55, 0x8B, 0xEC}, true}, {{0x55, 0x89, 0xE5}, true}, {{0x55, 0x48, 0x89, 0xE5}, true},
        {{0x53}, true}, {{0x55, 0x8B}, false}, {{0x56, 0x89, 0xE5}, false}, {{}, false}};
    for (const auto& [bytes, expected] : rows) EXPECT_EQ(IsFramePrologue(bytes), expected);
}

TEST(LibraryData, DamagedAndCutDataIsRefusedWithoutReadingOutside) {
    const std::string debug = EncodeDebugData(SampleUnits(), {});
    const std::string tail = BuildLibraryDataTail(OptionsBlock(), debug, 0);
    const std::string resource = BuildLibraryDataResource("", OptionsBlock(), debug, "", 0);
    TDrevnikModuleOptions options("");
    // Every cut of either form either fails with the stream error or, for
    // the tail, is no library data at all.
    for (std::size_t n = 0; n < resource.size(); ++n) {
        const std::vector<uint8_t> cut(resource.begin(), resource.begin() + static_cast<long>(n));
        EXPECT_THROW(ReadLibraryDataResource(cut, false, LoadInto(options), {}), EDrevnikStreamError) << n;
    }
    for (std::size_t n = 0; n < tail.size(); ++n) {
        const std::vector<uint8_t> cut(tail.begin() + static_cast<long>(n), tail.end());
        if (n == 0) continue;
        EXPECT_THROW(ReadLibraryDataFileTail(cut, false, LoadInto(options)), EDrevnikStreamError) << n;
    }
    std::string bad = tail;
    bad[bad.size() - 8] = '\x7F';
    bad[bad.size() - 5] = '\x7F';  // a length larger than the file
    EXPECT_THROW(ReadLibraryDataFileTail(Bytes(bad), false, LoadInto(options)), EDrevnikStreamError);

    // Any byte of the debug data changed: lookups end, never read outside.
    TDebugDataLookup l;
    l.ModuleHandle = kModule;
    for (std::size_t i = 0; i < debug.size(); ++i) {
        for (uint8_t value : {0x00, 0x7F, 0xFF}) {
            std::string d = debug;
            d[i] = static_cast<char>(value);
            TCallStackEntry e;
            LookupDebugData(Bytes(d), CodeOffsetToAddress(kModule, 0x150), l, e);
            LookupDebugData(Bytes(d.substr(0, i)), CodeOffsetToAddress(kModule, 0x310), l, e);
        }
    }
}

}  // namespace
}  // namespace drevnik
