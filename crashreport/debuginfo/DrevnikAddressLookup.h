// The one road from a code address to module, unit, class, routine and line:
// the module's library data first, then the debug information its linker
// left (MAP, TD32, JCL binary), then its exports. The entry's kind tells how
// far the lookup got (ekNothing to ekUnitRoutineLine).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "crashreport/capture/DrevnikLists.h"

namespace drevnik {

// ---- Platform-free steps --------------------------------------------------------------

// A compiler-mangled or dotted export name into unit, class and routine
// (kind 2 or 3); false when the name says nothing.
bool DemangleSymbol(std::string_view name, TCallStackEntry& entry);
// "Unit.Routine" or "Unit.Class.Routine" (kind 3); false for other counts.
bool SplitQualifiedName(std::string_view name, TCallStackEntry& entry);

// Binary search of an export table sorted by address. An export holds the
// addresses [EntryAddress, EntryAddress + size); `measure` gives the size of
// a routine at an address (measured once, then kept in the record).
bool FindExportIndex(uintptr_t address, int& index, TDrevnikFunctionsList& exports,
                     const std::function<uint32_t(uintptr_t)>& measure);

// The answer of an external source into the entry; false when it names no routine.
bool FillEntryFromLocation(const TDVLocationInfo& location, TCallStackEntry& entry, bool hasModule);

// ---- The live process --------------------------------------------------------------------

// Fills `entry` for `address`; never fails.
void LookupAddress(uintptr_t address, uint32_t threadId, TCallStackEntry& entry, uint8_t ownStack, uint8_t faultFlag);

// Reads the module's library data into its record (options, version, build
// time, debug data); false when it has none or it cannot be read.
bool LoadModuleLibraryData(TDrevnikModuleInfo& record);
bool HasLibraryData(TModuleHandle module);
uint16_t GetLibraryDataVersion(TModuleHandle module);

// Plugs the readers into the modules list and the walker into the report.
void InstallDebugInfoReaders();

}  // namespace drevnik
