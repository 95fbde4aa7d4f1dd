// The live side of the address lookup and the walker: the library data of
// loaded modules (their "DVDATA" resource or the block appended to their
// file), LookupAddress over the modules list, and the stack walks the report
// asks for.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "crashreport/capture/DrevnikOptionsStream.h"
#include "crashreport/capture/DrevnikReportSeams.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/capture/EHook.h"
#include "crashreport/debuginfo/DrevnikAddressLookup.h"
#include "crashreport/debuginfo/DrevnikCallStack.h"
#include "crashreport/debuginfo/DrevnikDebugInfoSources.h"
#include "crashreport/debuginfo/DrevnikLibraryData.h"
#include "crashreport/debuginfo/DrevnikModuleSystem.h"
#include "crashreport/debuginfo/DrevnikModules.h"
#include "crashreport/debuginfo/DrevnikProcesses.h"

namespace drevnik {

namespace {

// Our writer names units by their path below the source tree; the library's
// own units are those of the crash-report folders.
bool IsLibraryUnitName(std::string_view unit) {
    return unit.rfind("crashreport/", 0) == 0 || unit.rfind("crashreport\\", 0) == 0;
}

std::span<const uint8_t> FindDataResource(TModuleHandle module) {
    HMODULE h = reinterpret_cast<HMODULE>(module);
    HRSRC info = FindResourceA(h, "DVDATA", MAKEINTRESOURCEA(10));
    if (info == nullptr) return {};
    const DWORD size = SizeofResource(h, info);
    HGLOBAL loaded = LoadResource(h, info);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || size < 4) return {};
    std::span<const uint8_t> bytes(static_cast<const uint8_t*>(data), size);
    uint32_t magic = 0;
    std::memcpy(&magic, bytes.data(), 4);
    return IsLibraryDataMagic(magic) ? bytes : std::span<const uint8_t>();
}

// The appended block with its length and magic, read from the module file;
// empty when the file does not end with a magic.
std::vector<uint8_t> ReadFileTailBlock(const std::string& path) {
    std::vector<uint8_t> out;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return out;
    LARGE_INTEGER size{};
    auto readAt = [&](int64_t at, void* to, DWORD count) {
        LARGE_INTEGER pos{};
        pos.QuadPart = at;
        DWORD got = 0;
        return SetFilePointerEx(file, pos, nullptr, FILE_BEGIN) && ReadFile(file, to, count, &got, nullptr) &&
               got == count;
    };
    uint32_t last[2] = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 8 && readAt(size.QuadPart - 8, last, 8) &&
        IsLibraryDataMagic(last[1]) && static_cast<int64_t>(last[0]) <= size.QuadPart - 8) {
        out.resize(static_cast<std::size_t>(last[0]) + 8);
        if (!readAt(size.QuadPart - static_cast<int64_t>(out.size()), out.data(), static_cast<DWORD>(out.size())))
            out.clear();
    }
    CloseHandle(file);
    return out;
}

bool ReadPrologue(uintptr_t address) {
    uint8_t bytes[4] = {};
    // GetReadableLength gives the whole readable rest, which may exceed the 4 asked for.
    const std::size_t n = std::min<std::size_t>(GetReadableLength(reinterpret_cast<const void*>(address), 4), 4);
    if (n == 0) return false;
    std::memcpy(bytes, reinterpret_cast<const void*>(address), n);
    return IsFramePrologue(std::span<const uint8_t>(bytes, n));
}

bool LookupLibraryDebugData(uintptr_t address, TCallStackEntry& entry) {
    const TDrevnikModuleInfo* module = entry.ModuleRecord;
    if (module == nullptr || !module->DebugDataStream || module->DebugDataStream->empty()) return false;
    TDebugDataLookup lookup;
    lookup.ModuleHandle = module->ModuleHandle;
    lookup.Key.DataVersion = NormalizeDataVersion(module->DataVersion);
    lookup.Key.PasswordValid = module->DataPasswordValid;
    lookup.Key.Password = module->DataPassword;
    lookup.HasFramePrologue = ReadPrologue;
    lookup.IsLibraryUnit = IsLibraryUnitName;
    return LookupDebugData(*module->DebugDataStream, address, lookup, entry);
}

bool LookupExternalDebugInfo(uintptr_t address, TCallStackEntry& entry) {
    TDrevnikModuleInfo* module = entry.ModuleRecord;
    if (module == nullptr || !module->ExternalDebugInfo) return false;
    TDVLocationInfo location;
    if (!module->ExternalDebugInfo->LookupLocation(address, location)) return false;
    return FillEntryFromLocation(location, entry, true);
}

uint32_t MeasureExport(uintptr_t address) {
    const int size = MeasureProcedureSize(reinterpret_cast<const void*>(address), 0x7FFFFFFF);
    return size > 0 ? static_cast<uint32_t>(size) : 1;
}

// ---- Stack memory ----------------------------------------------------------------------

// The live process; a stack range may be served from a copy.
class TLiveStackMemory : public TStackMemory {
public:
    TLiveStackMemory(uintptr_t copyStart = 0, const uint8_t* copy = nullptr, std::size_t copySize = 0)
        : start_(copyStart), copy_(copy), size_(copySize) {}
    bool IsReadable(uintptr_t address, std::size_t length) const override {
        if (InCopy(address, length)) return true;
        return IsReadableMemory(reinterpret_cast<const void*>(address), length);
    }
    bool Read(uintptr_t address, void* out, std::size_t length) const override {
        if (InCopy(address, length)) {
            std::memcpy(out, copy_ + (address - start_), length);
            return true;
        }
        if (!IsReadableMemory(reinterpret_cast<const void*>(address), length)) return false;
        std::memcpy(out, reinterpret_cast<const void*>(address), length);
        return true;
    }
    uintptr_t ResolveImportThunk(uintptr_t address) const override { return drevnik::ResolveImportThunk(address); }

private:
    bool InCopy(uintptr_t address, std::size_t length) const {
        return copy_ != nullptr && address >= start_ && address - start_ <= size_ && length <= size_ - (address - start_);
    }
    uintptr_t start_;
    const uint8_t* copy_;
    std::size_t size_;
};

void BareEntry(uintptr_t address, uint8_t, TCallStackEntry& entry) {
    entry.EntryKind = ekModule;
    entry.CodeAddress = address;
    auto record = std::make_shared<TDrevnikModuleInfo>();
    record->ModuleHandle = FindModuleOfAddress(address);
    record->FilePath = GetModuleFileNameLong(record->ModuleHandle);
    entry.ModuleRecord = record.get();
    entry.OwnModuleRecord = std::move(record);
}

TStackScanServices LiveServices(const TStackScanParams& params, const TStackMemory& memory) {
    TStackScanServices services;
    services.Memory = &memory;
    services.Lookup = [&params](uintptr_t address, uint8_t fault, TCallStackEntry& entry) {
        LookupAddress(address, params.ThreadId, entry, params.OwnStack, fault);
    };
    services.BareEntry = BareEntry;
    services.InsideIde = IsIdeHost();
    return services;
}

#if defined(_WIN64)
// The call sites of a 64-bit stack, unwound with the images' unwind data from
// `pc` at `sp`. Reads of the stack go to `sp` as given (a copy's address when
// the stack was copied); frames are limited to the range [sp, end].
std::vector<uintptr_t> UnwindCallSites(uintptr_t pc, uintptr_t sp, uintptr_t end, bool enterPc) {
    std::vector<uintptr_t> sites;
    if (pc == 0) return sites;
    if (enterPc) sites.push_back(pc);
    CONTEXT context{};
    context.ContextFlags = CONTEXT_FULL;
    context.Rip = pc;
    context.Rsp = sp;
    for (int frame = 0; frame < kMaxStackEntries; ++frame) {
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
        if (function != nullptr) {
            // A frame kept in a register (rbp mostly) is found through it; a
            // value outside the stack (unknown at the walk's start: 0) would
            // make the unwinder read through it and fault.
            const auto* info = reinterpret_cast<const uint8_t*>(imageBase + function->UnwindData);
            if (const unsigned frameRegister = info[3] & 0x0Fu; frameRegister != 0) {
                const DWORD64 value = (&context.Rax)[frameRegister];
                if (value < sp || value > end) break;
            }
            PVOID handlerData = nullptr;
            DWORD64 establisher = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData,
                             &establisher, nullptr);
        } else {
            // A leaf: its return address is on top of the stack.
            if (!IsReadableMemory(reinterpret_cast<const void*>(context.Rsp), 8)) break;
            std::memcpy(&context.Rip, reinterpret_cast<const void*>(context.Rsp), 8);
            context.Rsp += 8;
        }
        if (context.Rip == 0 || context.Rsp < sp || context.Rsp > end) break;
        sites.push_back(static_cast<uintptr_t>(context.Rip) - 1);  // inside the call instruction
    }
    return sites;
}
#endif

}  // namespace

void LookupAddress(uintptr_t address, uint32_t threadId, TCallStackEntry& entry, uint8_t ownStack, uint8_t faultFlag) {
    try {
        entry = TCallStackEntry{};
        entry.ModuleRecord = GetModuleInfoOfAddress(address);
        entry.OwnStack = ownStack;
        entry.IsFaultAddress = faultFlag;
        entry.LeakGroupStart = 0;
        entry.ThreadId = threadId;
        if (LookupLibraryDebugData(address, entry)) return;
        if (LookupExternalDebugInfo(address, entry)) return;
        entry.EntryKind = ekNothing;
        entry.CodeAddress = address;
        entry.SourceLine = 0;
        if (entry.ModuleRecord == nullptr) return;
        entry.EntryKind = ekModule;
        TDrevnikFunctionsList* exports = entry.ModuleRecord->ExportTable.get();
        int index = 0;
        if (exports != nullptr && exports->Count() > 0 && FindExportIndex(address, index, *exports, MeasureExport) &&
            index < exports->Count())
            DemangleSymbol((*exports)[index].ExportName, entry);
    } catch (...) {
        entry.EntryKind = entry.ModuleRecord != nullptr ? ekModule : ekNothing;
        entry.CodeAddress = address;
    }
}

bool LoadModuleLibraryData(TDrevnikModuleInfo& record) {
    try {
        TOptionsLoader loader = [&record](TDrevnikByteReader& stream, uint16_t version) {
            SetOptionsLayoutVersion(version);
            if (record.ModuleOptions) record.ModuleOptions->LoadFromStreamAs(stream, version);
        };
        TLibraryDataContents contents;
        if (const auto resource = FindDataResource(record.ModuleHandle); !resource.empty()) {
            // No password source is wired up yet: names enciphered with the
            // empty password are read, any other stays in its "?" form.
            contents = ReadLibraryDataResource(resource, IsQuickModuleMode(), loader, [] { return std::string(); });
        } else {
            const std::vector<uint8_t> tail = ReadFileTailBlock(record.FilePath);
            if (tail.empty()) return false;
            contents = ReadLibraryDataFileTail(tail, IsQuickModuleMode(), loader);
        }
        record.DataVersion = NormalizeDataVersion(contents.DataVersion);
        record.DataBuildTime = contents.DataBuildTime;
        record.DataPassword = contents.Password;
        record.DataPasswordValid = contents.PasswordValid;
        if (contents.DebugData) record.DebugDataStream = std::make_unique<std::vector<uint8_t>>(std::move(*contents.DebugData));
        else record.DebugDataStream.reset();
        if (record.ModuleHandle != LibraryModuleHandle() && record.ModuleOptions) record.ModuleOptions->ReloadShared();
        return true;
    } catch (...) {
        return false;
    }
}

bool HasLibraryData(TModuleHandle module) {
    if (!FindDataResource(module).empty()) return true;
    return !ReadFileTailBlock(GetModuleFileNameLong(module)).empty();
}

uint16_t GetLibraryDataVersion(TModuleHandle module) {
    if (const auto resource = FindDataResource(module); resource.size() >= 6)
        return static_cast<uint16_t>(resource[4] | resource[5] << 8);
    return LibraryDataTailVersion(ReadFileTailBlock(GetModuleFileNameLong(module)));
}

void ScanStackCopy(TDrevnikStackList& list, const TStackScanParams& params, const uint8_t* copy, std::size_t copySize,
                   uintptr_t programCounter) {
    TLiveStackMemory memory(params.StackStart, copy, copySize);
    const TStackScanServices services = LiveServices(params, memory);
#if defined(_WIN64)
    // The unwinder reads the stack where it is told: the copy when there is one.
    const uintptr_t pc = programCounter != 0 ? programCounter : params.FirstAddress;
    uintptr_t sp = params.StackStart, end = params.StackEnd;
    if (copy != nullptr) {
        sp = reinterpret_cast<uintptr_t>(copy);
        end = sp + copySize;
    }
    AddStackAddresses(list, params, services, UnwindCallSites(pc, sp, end, params.FirstAddress == 0));
#else
    // The raw scan starts at the stack pointer: the routine running there
    // has no return address below it and is entered first, as the unwinder
    // enters the program counter.
    ScanStackWith(list, params, services, params.FirstAddress == 0 ? programCounter : 0);
#endif
}

void ScanStack(TDrevnikStackList& list, const TStackScanParams& params, uintptr_t programCounter) {
    ScanStackCopy(list, params, nullptr, 0, programCounter);
}

std::unique_ptr<TDrevnikStackList> BuildCallStack(const TStackScanParams& params) {
    auto list = std::make_unique<TDrevnikStackList>();
    TStackScanParams p = params;
    p.FullLookup = true;
    ScanStack(*list, p);
    return list;
}

void InstallDebugInfoReaders() {
    if (ModulesList() == nullptr) CreateModulesList();
    TModuleDebugInfoReaders readers;
    readers.LoadLibraryData = LoadModuleLibraryData;
    readers.CreateExternal = CreateExternalDebugInfo;
    SetModuleDebugInfoReaders(readers);
    TReportSeams& seams = ReportSeams();
    seams.HasLibraryData = HasLibraryData;
    seams.ModulesList = ModulesList;
    seams.RefreshModulesList = RefreshModulesList;
    seams.PurgeChangedModules = PurgeChangedModules;
    seams.ModuleInfoOfAddress = GetModuleInfoOfAddress;
    seams.ModuleInfoOfHandle = GetModuleInfo;
    seams.BuildProcessesList = [](TDrevnikProcessesList& list) { BuildProcessesList(list); };
    seams.LookupAddress = [](TCallStackEntry& entry, uintptr_t address) { LookupAddress(address, 0, entry, 1, 0); };
    seams.BuildCallStack = [](TDrevnikStackList& list, uintptr_t address, uintptr_t stackStart, uintptr_t stackTop,
                              uint32_t threadId) {
        TStackScanParams p;
        p.FirstAddress = address;
        p.StackStart = stackStart;
        p.StackEnd = stackTop;
        p.ThreadId = threadId;
        ScanStack(list, p);
    };
    seams.ScanThreadStack = [](TDrevnikStackList& list, const TThreadStackCopy& copy) {
        TStackScanParams p;
        p.StackStart = copy.StackPointer;
        p.StackEnd = copy.StackTop;
        p.ThreadId = copy.ThreadId;
        ScanStackCopy(list, p, copy.Bytes, copy.Size, copy.ProgramCounter);
    };
    seams.ScanStarterStack = [](TDrevnikStackList& list, const TTrackedThread& record) {
        if (record.ResumerStack.empty()) return;
        TStackScanParams p;
        p.StackStart = record.ResumerStackStart;
        p.StackEnd = record.ResumerStackStart + record.ResumerStack.size() - 4;
        p.ThreadId = record.ResumerThreadId;
        p.OwnStack = 0;
#if defined(_WIN64)
        // A stored copy carries no registers to unwind from.
        (void)list;
#else
        ScanStackCopy(list, p, record.ResumerStack.data(), record.ResumerStack.size());
#endif
    };
}

}  // namespace drevnik
