// The modules list and the export tables of the loaded modules, checked
// against objdump's reading of the same files, and the file helpers.
#include "crashreport/debuginfo/DrevnikModules.h"

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "crashreport/debuginfo/DrevnikModuleSystem.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"
#include "tests/crashreport/debuginfo/DebugInfoWinTest.h"

namespace drevnik {
namespace {

// The process-wide list for one test.
class TModulesListScope {
public:
    TModulesListScope() { CreateModulesList(); }
    ~TModulesListScope() {
        DestroyModulesList();
        SetModuleDebugInfoReaders({});
    }
    TModulesListScope(const TModulesListScope&) = delete;
    TModulesListScope& operator=(const TModulesListScope&) = delete;
};

TDrevnikModuleInfo* FindRecord(TModuleHandle module) {
    TDrevnikModulesList* list = ModulesList();
    for (int i = 0; list != nullptr && i < list->Count(); ++i) {
        if (list->GetItem(i).ModuleHandle == module) return &list->GetItem(i);
    }
    return nullptr;
}

// The export table against objdump's: the same names, code exports at the
// image's address, forwarders at their target's address when that module is
// loaded, else at none. Returns the number of exports compared.
int CompareWithObjdump(const TDrevnikModuleInfo& record, const TExportReference& reference) {
    std::set<std::string> seen;
    const TDrevnikFunctionsList& table = *record.ExportTable;
    for (int i = 0; i < table.Count(); ++i) {
        const TDrevnikFunctionInfo& f = table[i];
        if (i > 0) {
            EXPECT_LE(table[i - 1].EntryAddress, f.EntryAddress) << "sorted by address";
        }
        seen.insert(f.ExportName);
        const auto found = reference.Exports.find(f.ExportName);
        if (found == reference.Exports.end()) {
            ADD_FAILURE() << record.FilePath << ": " << f.ExportName << " is no export of objdump's";
            continue;
        }
        std::istringstream words(found->second);
        std::string kind, value;
        words >> kind >> value;
        if (kind == "rva") {
            EXPECT_EQ(f.EntryAddress, record.ModuleHandle + std::stoull(value, nullptr, 16)) << f.ExportName;
        } else {
            const std::size_t dot = value.rfind('.');
            const HMODULE target = GetModuleHandleA(value.substr(0, dot).c_str());
            const std::string function = value.substr(dot + 1);
            const uintptr_t expected =
                target == nullptr ? 0
                                  : reinterpret_cast<uintptr_t>(GetProcAddress(
                                        target, function[0] == '#' ? MAKEINTRESOURCEA(std::stoul(function.substr(1)))
                                                                   : function.c_str()));
            EXPECT_EQ(f.EntryAddress, expected) << f.ExportName << " -> " << value;
            EXPECT_EQ(f.MeasuredSize, 1u) << f.ExportName << " is never measured";
        }
    }
    EXPECT_EQ(seen.size(), reference.Exports.size()) << record.FilePath;
    return static_cast<int>(seen.size());
}

TEST(DrevnikModules, ExportTablesAndFileSizesMatchObjdump) {
    ASSERT_NE(std::getenv("KYN_EXPORT_REFERENCE"), nullptr)
        << "run through objdump_reference.sh (ctest does), which makes objdump's tables";
    TModulesListScope scope;
    TLoadedFixture fixture("kyn_exports_fixture.dll");
    ASSERT_NE(fixture.Module(), nullptr);
    RefreshModulesList();
    std::set<std::string> compared;
    std::vector<TModuleHandle> handles;
    TDrevnikModulesList& list = *ModulesList();
    for (int i = 0; i < list.Count(); ++i) {
        if (i > 0) {
            EXPECT_LT(list[i - 1].ModuleHandle, list[i].ModuleHandle) << "sorted by handle";
        }
        handles.push_back(list[i].ModuleHandle);
    }
    // Each lookup rebuilds a quick record in full (at the list's end).
    for (TModuleHandle handle : handles) {
        TDrevnikModuleInfo* record = GetModuleInfo(handle);
        ASSERT_NE(record, nullptr);
        const std::string name = LowerCase(ExtractFileName(record->FilePath));
        const TExportReference reference = LoadExportReference(name);
        if (!reference.Found) continue;
        EXPECT_EQ(record->FileSizeBytes, reference.FileSize) << name;
        EXPECT_GT(CompareWithObjdump(*record, reference), 0) << name;
        compared.insert(name);
    }
    for (const char* name : {"kyn_exports_fixture.dll", "kernel32.dll", "ntdll.dll"}) {
        EXPECT_TRUE(compared.count(name)) << name << " was not compared";
    }
}

TEST(DrevnikModules, FixtureExportsNamedOrdinalOnlyAndForwarded) {
    TModulesListScope scope;
    TLoadedFixture fixture("kyn_exports_fixture.dll");
    ASSERT_NE(fixture.Module(), nullptr);
    const TDrevnikModuleInfo* record =
        GetModuleInfoOfAddress(reinterpret_cast<uintptr_t>(GetProcAddress(fixture.Module(), "KynBeta")));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->ModuleHandle, fixture.Handle());
    std::map<std::string, const TDrevnikFunctionInfo*> byName;
    for (int i = 0; i < record->ExportTable->Count(); ++i) byName[(*record->ExportTable)[i].ExportName] = &(*record->ExportTable)[i];
    EXPECT_EQ(byName.size(), 6u) << "the ordinal-only export has no name and is not listed";
    EXPECT_EQ(byName.count("KynHidden"), 0u);
    ASSERT_EQ(byName.count("KynAlpha"), 1u);
    EXPECT_EQ(byName["KynAlpha"]->EntryAddress, reinterpret_cast<uintptr_t>(GetProcAddress(fixture.Module(), "KynAlpha")));
    EXPECT_EQ(byName["KynAlpha"]->MeasuredSize, 0u);
    ASSERT_EQ(byName.count("KynForwardedSleep"), 1u);
    EXPECT_EQ(byName["KynForwardedSleep"]->EntryAddress,
              reinterpret_cast<uintptr_t>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "Sleep")));
    // The target of the other forwarder is not loaded, and reading the table
    // does not load it.
    ASSERT_EQ(byName.count("KynForwardedMissing"), 1u);
    EXPECT_EQ(byName["KynForwardedMissing"]->EntryAddress, 0u);
    EXPECT_EQ(GetModuleHandleA("kyn_never_loaded.dll"), nullptr);
}

TEST(DrevnikModules, FileFactsAndKinds) {
    TModulesListScope scope;
    struct Row {
        const char* file;
        const char* description;
        const char* version;
        uint8_t kind;
    } rows[] = {
        {"kyn_exports_fixture.dll", "Export table fixture", "1.2.3.4", mkLibrary},
        // Version 0.0.0.0 is no version.
        {"kyn_package_fixture.dll", "Package fixture", "", mkRuntimePackage},
        // No translation table: no description, but a version.
        {"kyn_half_package_fixture.dll", "", "2.0.0.1", mkLibrary},
    };
    for (const Row& row : rows) {
        TLoadedFixture fixture(row.file);
        ASSERT_NE(fixture.Module(), nullptr) << row.file;
        const TDrevnikModuleInfo* record = GetModuleInfo(fixture.Handle());
        ASSERT_NE(record, nullptr) << row.file;
        EXPECT_TRUE(SameText(record->FilePath, TestProgramFolder() + row.file)) << record->FilePath;
        EXPECT_EQ(record->FileDescription, row.description) << row.file;
        EXPECT_EQ(record->FileVersionText, row.version) << row.file;
        EXPECT_EQ(record->ModuleKind, row.kind) << row.file;
        EXPECT_TRUE(IsModuleDll(fixture.Handle())) << row.file;
        EXPECT_EQ(record->DataVersion, kLibraryDataVersion);
        EXPECT_GT(record->FileDate, 40000.0) << "a date after 2009";
        EXPECT_NE(record->ModuleOptions, nullptr);
    }
    EXPECT_EQ(GetProductVersionText(TestProgramFolder() + "kyn_exports_fixture.dll"), "1.2 beta");

    // The program exports functions, yet gets no export table.
    const TDrevnikModuleInfo* program = GetModuleInfo(ProgramModuleHandle());
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->ModuleKind, mkProgram);
    EXPECT_EQ(program->ExportTable->Count(), 0);
    EXPECT_NE(GetProcAddress(GetModuleHandleW(nullptr), "ExceptionManager"), nullptr);
    EXPECT_FALSE(IsModuleDll(ProgramModuleHandle()));
    EXPECT_FALSE(IsModuleDll(0)) << "unreadable: the library's own module, the program";
    EXPECT_EQ(GetModuleType(0), mkUnknown);
    EXPECT_EQ(GetModuleInfo(0), nullptr);
}

// Counts the debug-information sources alive and the library-data reads.
int gSources = 0;
int gDataReads = 0;
class TCountedSource : public TDVDebugInfoSource {
public:
    TCountedSource() { ++gSources; }
    ~TCountedSource() override { --gSources; }
};

TEST(DrevnikModules, RefreshMakesQuickRecordsThatTheFirstLookupRebuilds) {
    TModulesListScope scope;
    SetModuleDebugInfoReaders({[](TDrevnikModuleInfo&) { return ++gDataReads, false; },
                               [](TModuleHandle) -> std::unique_ptr<TDVDebugInfoSource> {
                                   return std::make_unique<TCountedSource>();
                               }});
    EXPECT_EQ(GetModuleInfo(ProgramModuleHandle())->ModuleKind, mkProgram);
    RefreshModulesList();
    const int sourcesBefore = gSources;
    TLoadedFixture fixture("kyn_half_package_fixture.dll");
    ASSERT_NE(fixture.Module(), nullptr);
    RefreshModulesList();
    TDrevnikModuleInfo* quick = FindRecord(fixture.Handle());
    ASSERT_NE(quick, nullptr);
    EXPECT_EQ(quick->ModuleKind, mkUnknown);
    EXPECT_EQ(quick->ExportTable->Count(), 0);
    EXPECT_EQ(quick->ExternalDebugInfo, nullptr);
    EXPECT_EQ(gSources, sourcesBefore);
    EXPECT_FALSE(IsQuickModuleMode());
    const int readsBefore = gDataReads;

    const TDrevnikModuleInfo* full =
        GetModuleInfoOfAddress(reinterpret_cast<uintptr_t>(GetProcAddress(fixture.Module(), "KynPackageEntry")));
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->ModuleKind, mkLibrary);
    ASSERT_EQ(full->ExportTable->Count(), 1);
    EXPECT_EQ((*full->ExportTable)[0].ExportName, "KynPackageEntry");
    EXPECT_NE(full->ExternalDebugInfo, nullptr);
    EXPECT_EQ(gDataReads, readsBefore + 1);
    EXPECT_EQ(gSources, sourcesBefore + 1);
    EXPECT_EQ(GetModuleInfo(fixture.Handle()), full) << "a full record is kept";

    fixture.Free();
    RefreshModulesList();
    EXPECT_EQ(FindRecord(fixture.Handle()), nullptr);
    EXPECT_EQ(gSources, sourcesBefore) << "the record's source went with it";
    DestroyModulesList();
    EXPECT_EQ(gSources, 0);
}

TEST(DrevnikModules, PurgeDropsOnlyRecordsWhoseFileDateChanged) {
    TModulesListScope scope;
    const TModuleHandle program = reinterpret_cast<TModuleHandle>(GetModuleHandleW(nullptr));
    const TModuleHandle kernel = reinterpret_cast<TModuleHandle>(GetModuleHandleW(L"kernel32.dll"));
    RefreshModulesList();
    ASSERT_NE(FindRecord(program), nullptr);
    ASSERT_NE(FindRecord(kernel), nullptr);
    const int before = ModulesList()->Count();
    PurgeChangedModules();
    ASSERT_EQ(ModulesList()->Count(), before);
    // As if the program's file had been written since its record was made.
    FindRecord(program)->FileDate -= 1.0;
    PurgeChangedModules();
    EXPECT_EQ(FindRecord(program), nullptr);
    EXPECT_NE(FindRecord(kernel), nullptr);
    EXPECT_EQ(ModulesList()->Count(), before - 1);
}

TEST(DrevnikModules, DamagedOrUnreadableExportDirectoryGivesAnEmptyTable) {
    TLoadedFixture fixture("kyn_exports_fixture.dll");
    ASSERT_NE(fixture.Module(), nullptr);
    const auto* base = reinterpret_cast<const BYTE*>(fixture.Module());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* dir = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(
        const_cast<BYTE*>(base) + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    TDrevnikFunctionsList table;
    ASSERT_TRUE(ReadExportTable(fixture.Handle(), table));
    table.Clear();

    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(dir, sizeof *dir, PAGE_READWRITE, &old));
    const IMAGE_EXPORT_DIRECTORY saved = *dir;
    dir->Characteristics = 1;
    EXPECT_FALSE(ReadExportTable(fixture.Handle(), table));
    *dir = saved;
    dir->AddressOfNames = 0x7FFFFFF0;
    EXPECT_FALSE(ReadExportTable(fixture.Handle(), table));
    *dir = saved;
    dir->AddressOfNameOrdinals = nt->OptionalHeader.SizeOfImage - 2;
    EXPECT_FALSE(ReadExportTable(fixture.Handle(), table));
    *dir = saved;
    EXPECT_EQ(table.Count(), 0);

    // The directory's page cannot be read at all.
    DWORD rw = 0;
    ASSERT_TRUE(VirtualProtect(dir, sizeof *dir, PAGE_NOACCESS, &rw));
    EXPECT_FALSE(ReadExportTable(fixture.Handle(), table));
    ASSERT_TRUE(VirtualProtect(dir, sizeof *dir, old, &rw));
    EXPECT_TRUE(ReadExportTable(fixture.Handle(), table));
    EXPECT_EQ(table.Count(), 6);
}

TEST(DrevnikModules, PsapiAndToolhelpFindTheSameModules) {
    TLoadedFixture fixture("kyn_package_fixture.dll");
    // Loaded while PSAPI enumerates: keep it for the snapshot too.
    const HMODULE psapiLibrary = LoadLibraryW(L"psapi.dll");
    std::vector<TModuleHandle> psapi = EnumerateModulesPsapi();
    std::vector<TModuleHandle> toolhelp = EnumerateModulesToolhelp();
    std::sort(psapi.begin(), psapi.end());
    std::sort(toolhelp.begin(), toolhelp.end());
    EXPECT_EQ(psapi, toolhelp);
    EXPECT_TRUE(std::binary_search(psapi.begin(), psapi.end(), fixture.Handle()));
    EXPECT_TRUE(std::binary_search(psapi.begin(), psapi.end(), ProgramModuleHandle()));
    FreeLibrary(psapiLibrary);
}

TEST(DrevnikModules, AddressesOutsideModulesHaveNoRecord) {
    TModulesListScope scope;
    const auto heap = std::make_unique<int>(7);
    EXPECT_EQ(GetModuleInfoOfAddress(reinterpret_cast<uintptr_t>(heap.get())), nullptr);
    EXPECT_EQ(FindModuleOfAddress(0), 0u);
    EXPECT_EQ(FindModuleOfAddress(reinterpret_cast<uintptr_t>(&GetModuleInfo)), ProgramModuleHandle());
    DestroyModulesList();
    EXPECT_EQ(GetModuleInfo(ProgramModuleHandle()), nullptr) << "no list, no record";
}

TEST(DrevnikModules, FileSizesAboveFourGigabytesAndForcedDeletes) {
    TestFolder folder("modules_files");
    const std::string big = folder.Path() + "sparse.bin";
    {
        HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD ignored = 0;
        DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = (int64_t{1} << 32) + 10;
        EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
    }
    EXPECT_EQ(GetFileSizeBytes(big), (uint64_t{1} << 32) + 10) << "not cut to its low 32 bits";
    ASSERT_TRUE(SetFileAttributesA(big.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteFileA(big.c_str()));
    EXPECT_TRUE(ForceDeleteFile(big));
    EXPECT_EQ(GetFileAttributesA(big.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileSizeBytes(big), 0u);
    EXPECT_FALSE(ForceDeleteFile(big));
}

}  // namespace
}  // namespace drevnik
