// The process-wide list of the modules loaded in the process, one record
// per module with its file facts, kind, options, export table and debug
// information. Records are built on demand: a refresh only adds quick
// records (no exports, kind 0), and the first lookup of a module outside a
// refresh rebuilds its record in full.
//
// The list is changed by lookups from any thread and by the report handler's
// refresh: a lock guards it. The lock is waited for a few seconds at most, so
// a thread that was suspended while it held the lock cannot stop a report;
// the lookup then finds no record.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/capture/DrevnikSystem.h"

namespace drevnik {

// The version of the library's data that a module without data counts as.
constexpr uint16_t kLibraryDataVersion = 6025;

// ---- The process-wide list -------------------------------------------------------------

// Null outside the library's start-up and shut-down.
TDrevnikModulesList* ModulesList();
void CreateModulesList();
void DestroyModulesList();

// Holds the modules list's lock for a scope; Locked() is false when it could
// not be had in time. Recursive: a lookup inside a refresh takes it again.
class TModulesListLock {
public:
    TModulesListLock();
    ~TModulesListLock();
    TModulesListLock(const TModulesListLock&) = delete;
    TModulesListLock& operator=(const TModulesListLock&) = delete;
    bool Locked() const { return locked_; }

private:
    bool locked_;
};

// True only while RefreshModulesList enumerates the modules.
bool IsQuickModuleMode();

// ---- Records ---------------------------------------------------------------------------------

// The readers of debug information plug in here: `LoadLibraryData` reads the
// library's own data of a module into its record (options, version, build
// time, debug data) and reports whether the module has any; `CreateExternal`
// finds debug information the linker left beside or inside the module.
// Without them a module has no library data and no external source.
struct TModuleDebugInfoReaders {
    bool (*LoadLibraryData)(TDrevnikModuleInfo& record) = nullptr;
    std::unique_ptr<TDVDebugInfoSource> (*CreateExternal)(TModuleHandle module) = nullptr;
};
void SetModuleDebugInfoReaders(const TModuleDebugInfoReaders& readers);

// The record of a module: none for handle 0 or without the list. A quick or
// undetermined record found outside a refresh is rebuilt.
TDrevnikModuleInfo* GetModuleInfo(TModuleHandle module);
TDrevnikModuleInfo* GetModuleInfoOfAddress(uintptr_t address);
// Builds and appends the record of a module that yields a file name.
bool AddModuleInfo(TModuleHandle module);
// Builds a record and appends it to the list; none without the list.
TDrevnikModuleInfo* CreateModuleInfo(TModuleHandle module, const std::string& filePath);
// Drops the records of modules that are gone and adds quick records for the
// new ones; the list ends sorted by module handle.
void RefreshModulesList();
// Drops the records whose module file's last-write time is no longer the
// one the record was made with.
void PurgeChangedModules();

// ---- Images -----------------------------------------------------------------------------------

// The named exports of a loaded module, sorted by address; true when any
// was added. Forwarded exports keep their name; their address is that of the
// target only when its module is loaded already, else 0.
bool ReadExportTable(TModuleHandle module, TDrevnikFunctionsList& list);
// Whether the image says it is a DLL; when the headers cannot be read,
// whether the module holding this copy of the library is one.
bool IsModuleDll(TModuleHandle module);
// mkUnknown when the headers cannot be read, mkProgram, mkRuntimePackage
// (a DLL with the package resources) or mkLibrary.
uint8_t GetModuleType(TModuleHandle module);

// "1.2.3.4" from the fixed version's two 32-bit halves; empty for 0.0.0.0.
std::string FormatFileVersion(uint32_t versionMs, uint32_t versionLs);

}  // namespace drevnik
