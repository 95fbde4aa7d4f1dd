#include "crashreport/debuginfo/DrevnikModules.h"

#include <atomic>
#include <cmath>
#include <exception>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/debuginfo/DrevnikModuleSystem.h"
#include "crashreport/debuginfo/PeImageReader.h"

namespace drevnik {
namespace {

// Long enough for any holder that is still running to finish a record.
constexpr std::chrono::seconds kLockWait{5};

std::recursive_timed_mutex gModulesLock;
std::unique_ptr<TDrevnikModulesList> gModulesList;
std::atomic<bool> gQuickModuleMode{false};
TModuleDebugInfoReaders gReaders;

class TQuickModeScope {
public:
    TQuickModeScope() { gQuickModuleMode = true; }
    ~TQuickModeScope() { gQuickModuleMode = false; }
    TQuickModeScope(const TQuickModeScope&) = delete;
    TQuickModeScope& operator=(const TQuickModeScope&) = delete;
};

// File dates compared to the millisecond. On i686 a date returned in an x87
// register keeps more bits than the double a record stored, so the same
// file's date would never compare equal as doubles.
bool SameFileDate(double a, double b) {
    constexpr double kMsPerDay = 86400000.0;
    return std::llround(a * kMsPerDay) == std::llround(b * kMsPerDay);
}

// The runtime's own "is this module a library" flag.
bool LibraryIsDll() { return LibraryModuleHandle() != ProgramModuleHandle(); }

}  // namespace

// ---- The process-wide list -------------------------------------------------------------

TModulesListLock::TModulesListLock() : locked_(gModulesLock.try_lock_for(kLockWait)) {}
TModulesListLock::~TModulesListLock() {
    if (locked_) {
        gModulesLock.unlock();
    }
}

TDrevnikModulesList* ModulesList() { return gModulesList.get(); }

void CreateModulesList() {
    TModulesListLock lock;
    if (!gModulesList) {
        gModulesList = std::make_unique<TDrevnikModulesList>();
    }
}

void DestroyModulesList() {
    TModulesListLock lock;
    gModulesList.reset();
}

bool IsQuickModuleMode() { return gQuickModuleMode; }

void SetModuleDebugInfoReaders(const TModuleDebugInfoReaders& readers) {
    TModulesListLock lock;
    gReaders = readers;
}

// ---- Records ---------------------------------------------------------------------------------

TDrevnikModuleInfo* GetModuleInfo(TModuleHandle module) {
    if (module == 0) {
        return nullptr;
    }
    TModulesListLock lock;
    TDrevnikModulesList* list = gModulesList.get();
    if (!lock.Locked() || list == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < list->Count(); ++i) {
        TDrevnikModuleInfo& record = list->GetItem(i);
        if (record.ModuleHandle == module) {
            if (record.ModuleKind != mkUnknown || IsQuickModuleMode()) {
                return &record;
            }
            list->Delete(i);  // a quick or undetermined record: build it again
            break;
        }
    }
    return AddModuleInfo(module) ? &list->GetItem(list->Count() - 1) : nullptr;
}

TDrevnikModuleInfo* GetModuleInfoOfAddress(uintptr_t address) { return GetModuleInfo(FindModuleOfAddress(address)); }

bool AddModuleInfo(TModuleHandle module) {
    if (!IsModuleHandle(module)) {
        return false;
    }
    return CreateModuleInfo(module, GetModuleFileNameLong(module)) != nullptr;
}

TDrevnikModuleInfo* CreateModuleInfo(TModuleHandle module, const std::string& filePath) {
    TModulesListLock lock;
    if (!lock.Locked() || !gModulesList) {
        return nullptr;
    }
    try {
        auto record = std::make_unique<TDrevnikModuleInfo>();
        record->ModuleHandle = module;
        record->FilePath = filePath;
        record->DataPassword.clear();
        record->DataPasswordValid = true;
        record->FileDate = GetFileDateTime(filePath);
        GetFileVersionFacts(filePath, record->FileDescription, record->FileVersionText);
        record->FileSizeBytes = GetFileSizeBytes(filePath);
        record->ExportTable = std::make_unique<TDrevnikFunctionsList>();
        if (!IsQuickModuleMode()) {
            if (module != ProgramModuleHandle()) {
                ReadExportTable(module, *record->ExportTable);
            }
            record->ModuleKind = GetModuleType(module);
        }
        record->ModuleOptions = std::make_unique<TDrevnikModuleOptionsEx>(filePath);
        if (gReaders.LoadLibraryData == nullptr || !gReaders.LoadLibraryData(*record)) {
            record->DataVersion = kLibraryDataVersion;
            record->DataBuildTime = 0;
            record->DebugDataStream.reset();
            if (!IsQuickModuleMode() && gReaders.CreateExternal != nullptr) {
                record->ExternalDebugInfo = gReaders.CreateExternal(module);
            }
        }
        return &gModulesList->Add(std::move(record));
    } catch (const std::exception&) {
        return nullptr;
    }
}

void RefreshModulesList() {
    TModulesListLock lock;
    TDrevnikModulesList* list = gModulesList.get();
    if (!lock.Locked() || list == nullptr) {
        return;
    }
    for (int i = list->Count() - 1; i >= 0; --i) {
        if (!IsModuleHandle(list->GetItem(i).ModuleHandle)) {
            list->Delete(i);
        }
    }
    {
        TQuickModeScope quick;
        try {
            for (TModuleHandle module : IsWindows9x() ? EnumerateModulesToolhelp() : EnumerateModulesPsapi()) {
                if (GetModuleInfo(module) == nullptr) {
                    AddModuleInfo(module);
                }
            }
        } catch (const std::exception&) {
            // What was added so far stays.
        }
    }
    list->SortByHandle();
}

void PurgeChangedModules() {
    TModulesListLock lock;
    TDrevnikModulesList* list = gModulesList.get();
    if (!lock.Locked() || list == nullptr) {
        return;
    }
    for (int i = list->Count() - 1; i >= 0; --i) {
        const TDrevnikModuleInfo& record = list->GetItem(i);
        if (!SameFileDate(record.FileDate, GetFileDateTime(record.FilePath))) {
            list->Delete(i);
        }
    }
}

// ---- Images -----------------------------------------------------------------------------------

bool ReadExportTable(TModuleHandle module, TDrevnikFunctionsList& list) {
    if (!IsModuleHandle(module)) {
        return false;
    }
    THModuleStream image(reinterpret_cast<const void*>(module));
    TExportReadOptions options;
    options.ResolveForwarder = [](std::string_view forwarder, std::string_view) {
        return ResolveLoadedForwarder(forwarder);
    };
    options.FollowDebugStubs = IsWindows9x();
    return ReadImageExports(image, options, list);
}

bool IsModuleDll(TModuleHandle module) {
    const THModuleStream image(reinterpret_cast<const void*>(module));
    TImageFileHeader header;
    if (!ReadImageFileHeader(image, header)) {
        return LibraryIsDll();
    }
    return (header.Characteristics & kImageFileDll) != 0;
}

uint8_t GetModuleType(TModuleHandle module) {
    const THModuleStream image(reinterpret_cast<const void*>(module));
    TImageFileHeader header;
    if (!ReadImageFileHeader(image, header)) {
        return mkUnknown;
    }
    if ((header.Characteristics & kImageFileDll) == 0) {
        return mkProgram;
    }
    return HasPackageResources(GetModuleFileNameLong(module)) ? mkRuntimePackage : mkLibrary;
}

std::string FormatFileVersion(uint32_t versionMs, uint32_t versionLs) {
    if (versionMs == 0 && versionLs == 0) {
        return std::string();
    }
    return std::to_string(versionMs >> 16) + "." + std::to_string(versionMs & 0xFFFF) + "." +
           std::to_string(versionLs >> 16) + "." + std::to_string(versionLs & 0xFFFF);
}

}  // namespace drevnik
