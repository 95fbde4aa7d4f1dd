// The MAP, JCL binary and TD32 readers on what our writer makes and on small
// hand-made data for what it does not write; the export-name and external
// answers turned into call-stack entries; damaged data of every format.
#include "crashreport/debuginfo/DrevnikDebugInfoSources.h"

#include <gtest/gtest.h>

#include "crashreport/debuginfo/DrevnikAddressLookup.h"

namespace drevnik {
namespace {

constexpr uintptr_t kModule = 0x400000;

std::vector<TDebugFactUnit> Facts() {
    TDebugFactUnit a;
    a.Name = "Unit1";
    a.SourceFile = "src/Unit1.cpp";
    a.Offset = 0x100;
    a.Size = 0x100;
    a.Routines = {{0x110, 0x30, "TForm1.Click"}, {0x140, 0xC0, "Helper"}};
    a.Lines = {{0x110, 20}, {0x118, 21}, {0x130, 23}, {0x140, 30}, {0x150, 31}};
    TDebugFactUnit b;
    b.Name = "Unit2";
    b.SourceFile = "Unit2.cpp";
    b.Offset = 0x200;
    b.Size = 0x40;
    b.Routines = {{0x200, 0x40, "ns::TThing.Go"}};
    b.Lines = {{0x200, 5}, {0x210, 7}};
    return {a, b};
}

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<std::unique_ptr<TDVScannerSource>> Sources() {
    std::vector<std::unique_ptr<TDVScannerSource>> s;
    s.push_back(std::make_unique<TDVDebugInfoMap>(kModule, std::make_unique<TDVMapScanner>(WriteMapFile(Facts()))));
    s.push_back(std::make_unique<TDVDebugInfoTD32>(
        kModule, std::make_unique<TDVTD32InfoScanner>(Bytes(WriteTD32Data(Facts())))));
    s.push_back(std::make_unique<TDVDebugInfoJedy>(
        kModule, std::make_unique<TDVBinDebugScanner>(Bytes(WriteJclDebugData(Facts())), true)));
    return s;
}

TEST(ExternalDebugInfo, TheThreeReadersAnswerAlike) {
    struct Row {
        uint32_t offset;
        int kind;
        const char* unit;
        const char* cls;
        const char* routine;
        int line;
        uint32_t lineOffset;
    };
    const std::vector<Row> rows = {
        {0x110, 4, "Unit1.cpp", "TForm1", "Click", 20, 0},
        {0x11F, 4, "Unit1.cpp", "TForm1", "Click", 21, 1},
        {0x13F, 4, "Unit1.cpp", "TForm1", "Click", 23, 3},
        {0x155, 4, "Unit1.cpp", "", "Helper", 31, 1},
        {0x23F, 4, "Unit2.cpp", "ns::TThing", "Go", 7, 2},
    };
    for (auto& source : Sources()) {
        ASSERT_TRUE(source->HasData());
        for (const Row& row : rows) {
            SCOPED_TRACE(row.offset);
            TDVLocationInfo loc;
            ASSERT_TRUE(source->LookupLocation(kModule + 0x1000 + row.offset, loc));
            TCallStackEntry e;
            ASSERT_TRUE(FillEntryFromLocation(loc, e, true));
            EXPECT_EQ(e.EntryKind, row.kind);
            EXPECT_EQ(e.UnitFile, row.unit);
            EXPECT_EQ(e.ClassPart, row.cls);
            EXPECT_EQ(e.RoutineName, row.routine);
            EXPECT_EQ(e.SourceLine, row.line);
            EXPECT_EQ(e.LineInRoutine, row.lineOffset);
        }
        // Before the first unit, and below the code section.
        TDVLocationInfo loc;
        EXPECT_FALSE(source->LookupLocation(kModule + 0x1000 + 0x50, loc));
        EXPECT_FALSE(source->LookupLocation(kModule + 0x10, loc));
    }
}

TEST(ExternalDebugInfo, MapOrderAndUnitsWithoutRoutines) {
    const std::string map =
        " Start         Length     Name                   Class\r\n"
        " 0001:00401000 00001000H .text                   CODE\r\n\r\n"
        "Detailed map of segments\r\n\r\n"
        " 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System   ACBP=A9\r\n"
        " 0001:00000100 00000100 C=CODE     S=.text    G=(none)   M=Unit1    ACBP=A9\r\n\r\n"
        "  Address         Publics by Name\r\n\r\n 0001:00000120       Unit1.Run\r\n\r\n"
        "  Address         Publics by Value\r\n\r\n 0001:00000120       Unit1.Run\r\n\r\n"
        "Line numbers for Unit1(Unit1.pas) segment .text\r\n\r\n"
        "    10 0001:00000120    11 0001:00000130    12 0001:00000128    13 0001:00000140\r\n";
    TDVMapScanner scanner(map);
    EXPECT_EQ(scanner.RejectedLines(), 1);  // 0x128 is not above 0x130
    uint32_t in = 0;
    EXPECT_EQ(scanner.LineNumberAt(0x13F, in), 11);
    EXPECT_EQ(scanner.LineNumberAt(0x140, in), 13);
    EXPECT_EQ(scanner.SourceFileAt(0x140), "Unit1.pas");
    // In the unit before its first routine: the unit, no routine, line 0.
    EXPECT_EQ(scanner.UnitNameAt(0x105), "Unit1");
    EXPECT_EQ(scanner.RoutineNameAt(0x105, in), "");
    EXPECT_EQ(scanner.LineNumberAt(0x105, in), 0);
    // The segment ends before start + length (the next unit's first byte).
    EXPECT_EQ(scanner.UnitNameAt(0x100), "Unit1");
    EXPECT_EQ(scanner.UnitNameAt(0x200), "");
}

TEST(ExternalDebugInfo, JclFormatChecksAndPackedNames) {
    const std::string good = WriteJclDebugData(Facts());
    EXPECT_TRUE(TDVBinDebugScanner::CheckFormat(Bytes(good)));
    std::string wrongSum = good;
    wrongSum[good.size() - 1] ^= 0x40;
    EXPECT_FALSE(TDVBinDebugScanner::CheckFormat(Bytes(wrongSum)));
    EXPECT_FALSE(TDVBinDebugScanner::CheckFormat(Bytes(good.substr(0, 34))));
    EXPECT_FALSE(TDVBinDebugScanner::CheckFormat(Bytes(good.substr(0, good.size() - 1))));
    std::string noSum = wrongSum;
    noSum[33] = 0;
    EXPECT_TRUE(TDVBinDebugScanner::CheckFormat(Bytes(noSum)));

    // A names area with a packed name "@Ab_" (first byte 2) and "x9".
    std::string data(36, '\0');
    data[0] = 'J', data[1] = 'D', data[2] = 'B', data[3] = 'G', data[4] = 1;
    data[21] = 36;
    // A=11, b=38, _=63: 11 | 38<<6 | 63<<12 over three bytes.
    const uint32_t packed = 11u | 38u << 6 | 63u << 12;
    data += std::string{2, static_cast<char>(packed & 0xFF), static_cast<char>((packed >> 8) & 0xFF),
                        static_cast<char>((packed >> 16) & 0xFF), 0, 0};
    const uint32_t x9 = 60u | 10u << 6;  // "x" is 37 + 23, "9" is 10
    data += std::string{static_cast<char>(x9 & 0xFF), static_cast<char>((x9 >> 8) & 0xFF), 0, 0};
    while (data.size() % 4) data.push_back(0);
    TDVBinDebugScanner scanner(Bytes(data), false);
    ASSERT_TRUE(scanner.IsValid());
    EXPECT_EQ(scanner.NameAt(1), "@Ab_");
    EXPECT_EQ(scanner.NameAt(7), "x9");
}

TEST(ExternalDebugInfo, TD32NamesSignaturesAndLines) {
    EXPECT_EQ(CleanTD32ProcName("Unit1", "@Unit1@TForm1@Button1Click$qqrp14System@TObject"), "TForm1.Button1Click");
    EXPECT_EQ(CleanTD32ProcName("System", "@System@@HandleFinally$qqrv"), "@HandleFinally");
    EXPECT_EQ(CleanTD32ProcName("Unit1", "Plain"), "Plain");

    std::string tds = WriteTD32Data(Facts());
    EXPECT_TRUE(IsTD32Data(Bytes(tds)));
    std::string far = tds;
    far[far.size() - 1] = 0x7F;  // the offset back is larger than the file
    EXPECT_FALSE(IsTD32Data(Bytes(far)));
    EXPECT_FALSE(IsTD32Data(Bytes(tds.substr(0, 8))));

    TDVTD32InfoScanner scanner(Bytes(tds));
    uint32_t in = 0;
    EXPECT_EQ(scanner.LineNumberAt(0x11F, in), 21);  // between two entries: the earlier
    EXPECT_EQ(in, 7u);
    EXPECT_EQ(scanner.LineNumberAt(0x1FF, in), 31);  // the last line reaches the unit's end
    EXPECT_EQ(scanner.LineNumberAt(0x240, in), 0);   // past the unit
}

TEST(ExternalDebugInfo, DamagedDataIsNeverReadOutside) {
    const std::string map = WriteMapFile(Facts()), jcl = WriteJclDebugData(Facts()), tds = WriteTD32Data(Facts());
    auto query = [](TDVOffsetScanner& s) {
        uint32_t in = 0;
        for (uint32_t o : {0x0u, 0x110u, 0x155u, 0x23Fu, 0xFFFFFFFFu}) {
            s.UnitNameAt(o);
            s.RoutineNameAt(o, in);
            s.LineNumberAt(o, in);
            s.SourceFileAt(o);
        }
    };
    for (std::size_t n = 0; n < map.size(); n += 7) {
        TDVMapScanner s(map.substr(0, n));
        query(s);
    }
    for (const std::string* data : {&jcl, &tds}) {
        for (std::size_t i = 0; i < data->size(); ++i) {
            for (uint8_t v : {0x00, 0x80, 0xFF}) {
                std::string d = *data;
                d[i] = static_cast<char>(v);
                if (data == &jcl) {
                    TDVBinDebugScanner s(Bytes(d), true);
                    query(s);
                    TDVBinDebugScanner cut(Bytes(d.substr(0, i)), false);
                    query(cut);
                } else {
                    TDVTD32InfoScanner s(Bytes(d));
                    query(s);
                }
            }
        }
    }
}

TEST(AddressLookup, ExportNamesAndExternalAnswers) {
    struct Row {
        const char* name;
        bool result;
        int kind;
        const char* unit;
        const char* cls;
        const char* routine;
    };
    const std::vector<Row> rows = {
        {"@Unit1@TMyClass@Run$qqrv", true, 3, "Unit1.pas", "TMyClass", "Run"},
        {"@System@@LStrClr$qqrpv", true, 3, "System.pas", "", "_LStrClr"},
        {"GetTickCount", true, 2, "", "", "GetTickCount"},
        {"?mangled@@YAXXZ", false, 1, "", "", ""},
        {"Unit2.Go@8", true, 3, "Unit2.pas", "", "Go"},
        {"@NoDollar", false, 1, "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TCallStackEntry e;
        e.EntryKind = ekModule;
        EXPECT_EQ(DemangleSymbol(row.name, e), row.result);
        EXPECT_EQ(e.EntryKind, row.kind);
        EXPECT_EQ(e.UnitFile, row.unit);
        EXPECT_EQ(e.ClassPart, row.cls);
        EXPECT_EQ(e.RoutineName, row.routine);
    }

    TDVLocationInfo loc;
    loc.LocRoutine = "Unit1.TForm1.Button1Click";
    loc.LocSourceFile = "C:\\src\\Unit1.pas";
    loc.LocLine = 40;
    TCallStackEntry e;
    ASSERT_TRUE(FillEntryFromLocation(loc, e, true));
    EXPECT_EQ(e.ClassPart, "TForm1");
    EXPECT_EQ(e.RoutineName, "Button1Click");
    EXPECT_EQ(e.UnitFile, "Unit1.pas");
    loc.LocRoutine = "unit1.Button1Click";
    ASSERT_TRUE(FillEntryFromLocation(loc, e, true));
    EXPECT_EQ(e.ClassPart, "");
    loc.LocLine = 0;
    ASSERT_TRUE(FillEntryFromLocation(loc, e, true));
    EXPECT_EQ(e.EntryKind, 3);
}

TEST(AddressLookup, ExportRangesAreHalfOpen) {
    TDrevnikFunctionsList exports;
    for (uintptr_t a : {0x1000u, 0x1010u, 0x1040u}) {
        auto f = std::make_unique<TDrevnikFunctionInfo>();
        f->EntryAddress = a;
        f->ExportName = "F" + std::to_string(a);
        exports.Add(std::move(f));
    }
    auto measure = [](uintptr_t) { return 0x10u; };
    int index = -1;
    EXPECT_TRUE(FindExportIndex(0x1015, index, exports, measure));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(FindExportIndex(0x100F, index, exports, measure));
    EXPECT_EQ(index, 0);
    // Start + size is the next byte, no longer the export's.
    EXPECT_FALSE(FindExportIndex(0x1020, index, exports, measure));
    EXPECT_FALSE(FindExportIndex(0x0FFF, index, exports, measure));
}

}  // namespace
}  // namespace drevnik
