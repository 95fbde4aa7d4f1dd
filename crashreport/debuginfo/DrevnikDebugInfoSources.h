// Debug information that a linker left beside or inside a module: a text MAP
// file, TD32 data (in the image or a ".tds" file) and the JCL binary format
// (a "JCLDEBUG" section or a ".jdbg" file). Each reader is a scanner that
// answers by code offset (address - module - 0x1000); a source wraps one
// scanner for a module and answers by address.
//
// The scanners work on bytes held in memory and never read outside them;
// finding the files and sections is the Windows side's (_win).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/capture/DrevnikSystem.h"

namespace drevnik {

// Queries by code offset, shared by the three readers.
class TDVOffsetScanner {
public:
    virtual ~TDVOffsetScanner() = default;
    virtual bool IsValid() const { return true; }
    virtual std::string UnitNameAt(uint32_t offset) = 0;
    // Its start; 0xFFFFFFFF when none.
    virtual uint32_t UnitStartAt(uint32_t offset) = 0;
    virtual std::string RoutineNameAt(uint32_t offset, uint32_t& offsetInRoutine) = 0;
    virtual int32_t LineNumberAt(uint32_t offset, uint32_t& offsetInLine) = 0;
    virtual std::string SourceFileAt(uint32_t offset) = 0;
};

// A source over one scanner for one module.
class TDVScannerSource : public TDVDebugInfoSource {
public:
    TDVScannerSource(TModuleHandle module, std::unique_ptr<TDVOffsetScanner> scanner)
        : module_(module), scanner_(std::move(scanner)) {}
    uint32_t AddressToOffset(uintptr_t address) const {
        return static_cast<uint32_t>(address - module_ - 0x1000);
    }
    bool HasData() const override { return scanner_ != nullptr && scanner_->IsValid(); }
    bool LookupLocation(uintptr_t address, TDVLocationInfo& info) override;
    TDVOffsetScanner* Scanner() const { return scanner_.get(); }

private:
    TModuleHandle module_;
    std::unique_ptr<TDVOffsetScanner> scanner_;
};
class TDVDebugInfoMap : public TDVScannerSource {
    using TDVScannerSource::TDVScannerSource;
};
class TDVDebugInfoTD32 : public TDVScannerSource {
    using TDVScannerSource::TDVScannerSource;
};
class TDVDebugInfoJedy : public TDVScannerSource {
    using TDVScannerSource::TDVScannerSource;
};

// ---- MAP files ---------------------------------------------------------------------------

class TDVMapScanner : public TDVOffsetScanner {
public:
    explicit TDVMapScanner(std::string text);
    std::string UnitNameAt(uint32_t offset) override;
    uint32_t UnitStartAt(uint32_t offset) override;
    std::string RoutineNameAt(uint32_t offset, uint32_t& offsetInRoutine) override;
    int32_t LineNumberAt(uint32_t offset, uint32_t& offsetInLine) override;
    std::string SourceFileAt(uint32_t offset) override;
    int RejectedLines() const { return rejected_; }

private:
    struct TSegment {
        uint32_t Start, End;  // [Start, End)
        std::size_t Name;
    };
    struct TNamed {
        uint32_t Offset;
        std::size_t Name;  // a position in the text
    };
    struct TLine {
        uint32_t Offset;
        int32_t Line;
    };
    void Parse();
    std::string NameText(std::size_t position) const;
    template <class T>
    const T* NearestBelow(const std::vector<T>& table, uint32_t offset) const;

    std::string text_;
    std::vector<TSegment> segments_;
    std::vector<TNamed> routines_;
    std::vector<TLine> lines_;
    std::vector<TNamed> files_;
    uint32_t highestOffset_ = 0;
    int rejected_ = 0;
};

// ---- JCL binary debug data -------------------------------------------------------------------

class TDVBinDebugScanner : public TDVOffsetScanner {
public:
    TDVBinDebugScanner(std::vector<uint8_t> data, bool cache);
    bool IsValid() const override { return valid_; }
    std::string UnitNameAt(uint32_t offset) override;
    uint32_t UnitStartAt(uint32_t offset) override;
    std::string RoutineNameAt(uint32_t offset, uint32_t& offsetInRoutine) override;
    int32_t LineNumberAt(uint32_t offset, uint32_t& offsetInLine) override;
    std::string SourceFileAt(uint32_t offset) override;
    std::string NameAt(uint32_t nameOffset) const;
    static bool CheckFormat(std::span<const uint8_t> data);

private:
    struct TRecord {
        uint32_t Offset;
        uint32_t A;  // name, or line number
        uint32_t B;  // second name
    };
    // Decodes a stream of records of `fields` values each (the first the offset).
    std::vector<TRecord> ReadStream(int which, int fields) const;
    const std::vector<TRecord>& Cached(int which, int fields, std::vector<TRecord>& cache, bool& filled);
    const TRecord* LastNotAbove(const std::vector<TRecord>& records, uint32_t offset) const;

    std::vector<uint8_t> data_;
    bool cache_;
    bool valid_;
    std::vector<TRecord> lines_, symbols_;
    bool linesFilled_ = false, symbolsFilled_ = false;
};

// ---- TD32 ------------------------------------------------------------------------------------

// The data's last 8 bytes: a signature and the offset back to the start.
bool IsTD32Data(std::span<const uint8_t> data);
// "@Unit1@TForm1@Button1Click$qqr..." in unit "Unit1" gives "TForm1.Button1Click".
std::string CleanTD32ProcName(std::string_view unitName, std::string_view rawName);

class TDVTD32InfoScanner : public TDVOffsetScanner {
public:
    explicit TDVTD32InfoScanner(std::vector<uint8_t> data);
    bool IsValid() const override { return valid_; }
    std::string UnitNameAt(uint32_t offset) override;
    uint32_t UnitStartAt(uint32_t offset) override;
    std::string RoutineNameAt(uint32_t offset, uint32_t& offsetInRoutine) override;
    int32_t LineNumberAt(uint32_t offset, uint32_t& offsetInLine) override;
    std::string SourceFileAt(uint32_t offset) override;
    std::size_t SymbolCount() const { return procs_.size() + otherSymbols_; }

private:
    struct TSegmentRange {
        uint32_t Start, End;
    };
    struct TModule {
        uint32_t NameIndex;
        std::vector<TSegmentRange> Segments;  // offset, offset + size
    };
    struct TSourceModule {
        uint32_t NameIndex;
        std::vector<std::pair<uint32_t, int32_t>> Lines;  // code offset, line
        std::vector<TSegmentRange> Ranges;
    };
    struct TProc {
        uint32_t Offset, Size, NameIndex;
    };
    void AnalyseDirectory();
    void ReadNames(std::size_t at, std::size_t size);
    void ReadSymbols(std::size_t at, std::size_t size);
    void ReadModule(std::size_t at, std::size_t size);
    void ReadSourceModule(std::size_t at, std::size_t size);
    std::string Name(uint32_t index) const;
    const TModule* FindModule(uint32_t offset) const;
    const TSourceModule* FindSourceModule(uint32_t offset) const;
    const TProc* FindProc(uint32_t offset) const;

    std::vector<uint8_t> data_;
    bool valid_ = false;
    std::vector<std::size_t> names_;  // positions of the names; entry 0 is no name
    std::vector<TModule> modules_;
    std::vector<TSourceModule> sources_;
    std::vector<TProc> procs_;
    std::size_t otherSymbols_ = 0;
    // Records taken so far may not outnumber the data's bytes: damaged
    // directories that name the same bytes again and again end there.
    bool Spend(std::size_t count = 1);
    std::size_t budget_ = 0;
};

// ---- Writers (our build's writer and tests) -------------------------------------------------

// One routine or line fact of a program, by code offset.
struct TDebugFactLine {
    uint32_t Offset;
    int32_t Line;
};
struct TDebugFactRoutine {
    uint32_t Offset;
    uint32_t Size;
    std::string Name;  // as the readers give it back ("Class.Routine" or "Routine")
};
struct TDebugFactUnit {
    std::string Name;        // the unit (module) name
    std::string SourceFile;  // its source file
    uint32_t Offset = 0;
    uint32_t Size = 0;
    std::vector<TDebugFactRoutine> Routines;  // by offset
    std::vector<TDebugFactLine> Lines;        // by offset
};

std::string WriteMapFile(const std::vector<TDebugFactUnit>& units);
std::string WriteJclDebugData(const std::vector<TDebugFactUnit>& units);
std::string WriteTD32Data(const std::vector<TDebugFactUnit>& units);

// ---- The live process ------------------------------------------------------------------------

// Tries the MAP file, TD32 data and JCL binary data in that order; null when
// the module has none.
std::unique_ptr<TDVDebugInfoSource> CreateExternalDebugInfo(TModuleHandle module);

}  // namespace drevnik
