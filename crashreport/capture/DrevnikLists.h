// The owning lists that the report side of the library shares: call-stack
// entries, modules, processes and one module's exports. Each list owns its
// records; deleting or clearing frees them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "crashreport/capture/DrevnikOptions.h"

namespace drevnik {

// A list that owns its records. Delete takes the record out of its slot
// before freeing it, so a record's destructor never finds itself in the list.
template <class T>
class TDrevnikOwningList {
public:
    TDrevnikOwningList() = default;
    TDrevnikOwningList(const TDrevnikOwningList&) = delete;
    TDrevnikOwningList& operator=(const TDrevnikOwningList&) = delete;
    virtual ~TDrevnikOwningList() { Clear(); }

    int Count() const { return static_cast<int>(items_.size()); }
    T& GetItem(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    T& operator[](int index) const { return GetItem(index); }

    T& Add(std::unique_ptr<T> record) {
        items_.push_back(std::move(record));
        return *items_.back();
    }
    void Delete(int index) {
        std::unique_ptr<T> record = std::move(items_.at(static_cast<std::size_t>(index)));
        items_.erase(items_.begin() + index);
        record.reset();
    }
    void Clear() {
        while (!items_.empty()) Delete(Count() - 1);
    }
    // Stable, so records that compare equal keep their order.
    template <class Less>
    void Sort(Less less) {
        std::stable_sort(items_.begin(), items_.end(),
                         [&](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b) { return less(*a, *b); });
    }

private:
    std::vector<std::unique_ptr<T>> items_;
};

// ---- Call stacks -------------------------------------------------------------------

// How far the lookup of a call-stack address got.
enum TCallStackEntryKind : uint8_t {
    ekNothing = 0,  // nothing known, or hidden by a filter
    ekModule = 1,
    ekRoutine = 2,
    ekUnitRoutine = 3,
    ekUnitRoutineLine = 4,
};

struct TDrevnikModuleInfo;

// The most characters the short texts of an entry keep.
constexpr std::size_t kLeakTypeTextMax = 64;
constexpr std::size_t kEntryTextMax = 255;

// Stores at most `limit` characters of `text`.
void AssignShortText(std::string& field, std::string_view text, std::size_t limit = kEntryTextMax);

// One line of a call stack.
struct TCallStackEntry {
    uint8_t EntryKind = ekNothing;
    TDrevnikModuleInfo* ModuleRecord = nullptr;  // not owned
    uint32_t ThreadId = 0;
    uint8_t OwnStack = 1;         // 0 for the scan of a stored resumer stack
    uint8_t IsFaultAddress = 0;   // 1 for the address the walk started from
    uint8_t LeakGroupStart = 0;
    std::string LeakTypeText;     // at most kLeakTypeTextMax
    uint32_t LeakSize = 0;
    uint32_t LeakCount = 0;
    uintptr_t CodeAddress = 0;
    std::string UnitFile;         // at most kEntryTextMax, as the three below
    std::string ClassPart;
    std::string RoutineName;
    int32_t SourceLine = 0;
    uint32_t LineInRoutine = 0;
    std::string ExtraText;
    // The module record of a bare entry (full lookup off), which the entry owns.
    std::shared_ptr<TDrevnikModuleInfo> OwnModuleRecord;
};

class TDrevnikStackList : public TDrevnikOwningList<TCallStackEntry> {};

// ---- Modules and their exports -----------------------------------------------------

// One export of a module (crashreport/debuginfo/DrevnikModules.h reads them).
struct TDrevnikFunctionInfo {
    std::string ExportName;
    uintptr_t EntryAddress = 0;  // 0 for a forwarder whose target module is not loaded
    // 0 until measured; 1 for entries that are never measured: those below the
    // module's code and forwarders, whose code lies in another module.
    uint32_t MeasuredSize = 0;
};

// One module's exports, sorted by address.
class TDrevnikFunctionsList : public TDrevnikOwningList<TDrevnikFunctionInfo> {
public:
    void SortByAddress();
};

class TDVDebugInfoSource;

// The answer of an external debug-information source for one address.
struct TDVLocationInfo {
    uintptr_t LocAddress = 0;
    std::string LocUnit;
    std::string LocRoutine;      // possibly qualified with unit and class, joined by dots
    int32_t LocLineOffset = 0;   // line minus the line at the routine's start
    int32_t LocLine = 0;         // 0 when none
    std::string LocSourceFile;
    TDVDebugInfoSource* LocSource = nullptr;
};

// Debug information found outside the library data of a module. The readers
// of the debug formats derive from it; a module record owns its source.
class TDVDebugInfoSource {
public:
    virtual ~TDVDebugInfoSource() = default;
    virtual bool HasData() const { return false; }
    virtual bool LookupLocation(uintptr_t /*address*/, TDVLocationInfo& /*info*/) { return false; }
};

enum TModuleKind : uint8_t { mkUnknown = 0, mkProgram = 1, mkRuntimePackage = 2, mkLibrary = 3 };

// One loaded module (crashreport/debuginfo/DrevnikModules.h builds them).
// The record owns its export table, its options object, its external
// debug-information source and its debug data, and frees them in that order.
struct TDrevnikModuleInfo {
    TDrevnikModuleInfo() = default;
    TDrevnikModuleInfo(const TDrevnikModuleInfo&) = delete;
    TDrevnikModuleInfo& operator=(const TDrevnikModuleInfo&) = delete;
    ~TDrevnikModuleInfo();

    TModuleHandle ModuleHandle = 0;
    std::string FilePath;
    std::string FileDescription;
    std::string FileVersionText;  // "1.2.3.4", empty when none or 0.0.0.0
    uint64_t FileSizeBytes = 0;   // 0 when the file is missing
    std::unique_ptr<TDrevnikFunctionsList> ExportTable;
    uint8_t ModuleKind = mkUnknown;
    uint16_t DataVersion = 0;     // of the module's library data; 6025 when it has none
    double DataBuildTime = 0;     // 0 when none
    std::unique_ptr<TDrevnikModuleOptionsEx> ModuleOptions;
    std::unique_ptr<std::vector<uint8_t>> DebugDataStream;
    std::unique_ptr<TDVDebugInfoSource> ExternalDebugInfo;
    double FileDate = 0;          // last write time of the file, local
    std::string DataPassword;     // for the module's enciphered debug names
    bool DataPasswordValid = true;  // no password needed, or the given one proved right
};

// The process's modules, sorted by module handle.
class TDrevnikModulesList : public TDrevnikOwningList<TDrevnikModuleInfo> {
public:
    void SortByHandle();
};

// ---- Processes ---------------------------------------------------------------------

// One running process (crashreport/debuginfo/DrevnikProcesses.h lists them).
struct TDrevnikProcessInfo {
    uint32_t ProcId = 0;
    std::string ExePath;         // the executable's name when its path cannot be found
    std::string ExeDescription;
    std::string ExeVersion;      // empty when none
    uint32_t PriorityClass = 0;  // 32 normal, 64 idle, 128 high, ...; 0 when not known
    uint64_t WorkingSetBytes = 0;  // 0 when not read
    uint32_t ThreadCount = 0;      // 0 when not counted
};

// The running processes, sorted by process id.
class TDrevnikProcessesList : public TDrevnikOwningList<TDrevnikProcessInfo> {
public:
    void SortById();
};

}  // namespace drevnik
