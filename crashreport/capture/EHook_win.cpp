// The hooking engine on Windows.
#include "crashreport/capture/EHook.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/InstructionLength.h"
#include "crashreport/capture/Trampoline.h"

namespace drevnik {
namespace {

// The three lists live from HookInitStep to HookDoneStep.
std::unique_ptr<std::vector<TSaveDLLProc>> g_importHooks;
std::unique_ptr<std::vector<TCodeHookRecord>> g_codeHooks;
std::unique_ptr<THookedMethodsList> g_slotHooks;

bool IsWin9x() { return (GetVersion() & 0x80000000u) != 0; }

// The shared system area of Windows 9x, which every process sees.
bool InSharedArea(const void* address) {
    return IsWin9x() && reinterpret_cast<uintptr_t>(address) >= 0x80000000u;
}

std::string ModuleFileName(HMODULE module) {
    char name[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(module, name, MAX_PATH);
    return std::string(name, std::min<DWORD>(n, MAX_PATH));
}

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<const char*>(address), &module))
        return nullptr;
    return module;
}

// Readable bytes at address, at most `limit`. When not all of them are
// readable, those up to the end of the address's own memory region.
std::span<const uint8_t> ReadableSpan(const void* address, size_t limit) {
    size_t readable = GetReadableLength(address, limit);
    if (readable == 0) readable = GetReadableLength(address, 1);
    return {static_cast<const uint8_t*>(address), std::min(readable, limit)};
}

// A zero-terminated name at address that equals `expected`, ignoring case.
bool NameEquals(const char* name, const std::string& expected) {
    if (!IsReadableMemory(name, expected.size() + 1)) return false;
    return name[expected.size()] == '\0' && lstrcmpiA(name, expected.c_str()) == 0;
}

class TLockGuard {
public:
    explicit TLockGuard(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~TLockGuard() { LeaveCriticalSection(&lock_); }
    TLockGuard(const TLockGuard&) = delete;
    TLockGuard& operator=(const TLockGuard&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

int32_t PushedValue(const void* thunk) {
    int32_t value;
    std::memcpy(&value, static_cast<const uint8_t*>(thunk) + 1, 4);
    return value;
}

}  // namespace

// ---------------------------------------------------------------------------
// Writing

bool PatchCode(void* address, const void* bytes, size_t count) {
    if (count == 0) return true;
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const uintptr_t pageSize = info.dwPageSize;
    const uintptr_t start = reinterpret_cast<uintptr_t>(address);
    const uintptr_t end = start + count;
    // Pages may differ in protection (code next to read-only data): each gets its own back.
    struct TPage { uintptr_t Base; DWORD Protection; };
    std::vector<TPage> pages;
    bool ok = true;
    for (uintptr_t page = start & ~(pageSize - 1); page < end; page += pageSize) {
        DWORD old = 0;
        if (!VirtualProtect(reinterpret_cast<void*>(page), 1, PAGE_EXECUTE_READWRITE, &old)) {
            ok = false;
            break;
        }
        pages.push_back({page, old});
    }
    if (ok) std::memcpy(address, bytes, count);
    for (const TPage& p : pages) {
        DWORD unused = 0;
        VirtualProtect(reinterpret_cast<void*>(p.Base), 1, p.Protection, &unused);
    }
    if (ok) FlushInstructionCache(GetCurrentProcess(), address, count);
    return ok;
}

bool WriteJump(void* at, void* to) {
    const intptr_t distance = reinterpret_cast<intptr_t>(to) - (reinterpret_cast<intptr_t>(at) + JumpSize);
    if (distance < INT32_MIN || distance > INT32_MAX) return false;
    uint8_t jump[JumpSize];
    EncodeJump(jump, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(at)),
               static_cast<uint32_t>(reinterpret_cast<uintptr_t>(to)));
    return PatchCode(at, jump, JumpSize);
}

// ---------------------------------------------------------------------------
// Decoding live code

bool GetInstructionLength(const void* code, int& length) {
    return GetInstructionLength(ReadableSpan(code, MaxInstructionLength), length);
}

int MeasureProcedureSize(const void* address, int maxLength) {
    if (maxLength <= 0) return 0;
    return MeasureProcedureSize(ReadableSpan(address, static_cast<size_t>(maxLength) + MaxInstructionLength),
                                maxLength);
}

// ---------------------------------------------------------------------------
// Import-table hooks

const IMAGE_NT_HEADERS* GetPeNtHeaders(HMODULE module) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    if (!dos || !IsReadableMemory(dos, sizeof(IMAGE_DOS_HEADER))) return nullptr;
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const uint8_t*>(module) + dos->e_lfanew);
    if (!IsReadableMemory(nt, sizeof(IMAGE_NT_HEADERS))) return nullptr;
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    // A 32-bit header in a 64-bit process (or the reverse) has its directories elsewhere.
    if (nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) return nullptr;
    return nt;
}

bool IsWin9xDebugThunk(const void* code) {
    if (!IsWin9x() || !IsReadableMemory(code, 10)) return false;
    const auto* b = static_cast<const uint8_t*>(code);
    return b[0] == 0x68 && b[5] == 0xE9;
}

void* HookImportInModule(HMODULE module, const std::string& exportModule, void* oldProc, bool noSave,
                         bool noRaise, const std::string& displayName, void* replacement) {
    if (!oldProc) throw EProcNull(displayName);
    if (InSharedArea(module)) throw ESharedArea(ModuleFileName(module));

    const bool thunk = IsWin9xDebugThunk(oldProc);
    const auto matches = [&](void* entry) {
        if (!thunk) return entry == oldProc;
        return IsWin9xDebugThunk(entry) && PushedValue(entry) == PushedValue(oldProc);
    };

    const IMAGE_NT_HEADERS* nt = GetPeNtHeaders(module);
    const IMAGE_DATA_DIRECTORY* directory = nullptr;
    if (nt && nt->OptionalHeader.NumberOfRvaAndSizes > IMAGE_DIRECTORY_ENTRY_IMPORT)
        directory = &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory || directory->VirtualAddress == 0) {
        if (noRaise) return nullptr;
        throw EHookingError(displayName);
    }

    auto* base = reinterpret_cast<uint8_t*>(module);
    void* result = nullptr;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory->VirtualAddress);
         IsReadableMemory(descriptor, sizeof(IMAGE_IMPORT_DESCRIPTOR)) && descriptor->Name != 0; ++descriptor) {
        if (!NameEquals(reinterpret_cast<const char*>(base + descriptor->Name), exportModule)) continue;
        if (descriptor->FirstThunk == 0) continue;
        bool changed = false;
        for (auto* entry = reinterpret_cast<void**>(base + descriptor->FirstThunk);
             IsReadableMemory(entry, sizeof(void*)) && *entry != nullptr; ++entry) {
            if (!matches(*entry)) continue;
            if (PatchCode(entry, &replacement, sizeof replacement)) changed = true;
        }
        if (!changed) continue;
        if (!noSave && g_importHooks) g_importHooks->push_back({module, exportModule, oldProc, replacement});
        result = oldProc;
    }
    if (!result && !noRaise) throw EHookingError(displayName);
    return result;
}

bool HookImport(const std::vector<std::string>& modules, const std::string& exportModule, bool noRaise,
                void*& oldProc, void* replacement, const std::string& procName) {
    const HMODULE exporter = GetModuleHandleA(exportModule.c_str());
    oldProc = exporter ? reinterpret_cast<void*>(GetProcAddress(exporter, procName.c_str())) : nullptr;
    bool changed = false;
    for (const std::string& name : modules) {
        const HMODULE module = GetModuleHandleA(name.c_str());
        if (!module) continue;
        if (HookImportInModule(module, exportModule, oldProc, false, noRaise, exportModule + "." + procName,
                               replacement))
            changed = true;
    }
    return changed;
}

// ---------------------------------------------------------------------------
// Code hooks

void* BuildTrampoline(void* target, void* replacement) {
#if defined(__i386__)
    if (!g_codeHooks) return nullptr;
    for (const TCodeHookRecord& record : *g_codeHooks) {
        if (record.Target == target) return record.Trampoline;
    }
    // Enough bytes for the longest run of instructions a hook can move.
    const std::span<const uint8_t> code = ReadableSpan(target, 32);
    const auto address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(target));
    TTrampolinePlan plan;
    if (PlanTrampoline(code, address, plan) != TTrampolineError::None) return nullptr;

    void* memory = VirtualAlloc(nullptr, static_cast<SIZE_T>(plan.Size), MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    if (!memory) return nullptr;
    const auto bytes = MakeTrampoline(code, address, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(memory)));
    if (!bytes) {
        VirtualFree(memory, 0, MEM_RELEASE);
        return nullptr;
    }
    std::memcpy(memory, bytes->data(), bytes->size());
    FlushInstructionCache(GetCurrentProcess(), memory, bytes->size());

    TCodeHookRecord record;
    record.Target = target;
    record.Trampoline = memory;
    record.TrampolineSize = plan.Size;
    record.SavedBytes.assign(code.begin(), code.begin() + plan.MovedBytes);
    record.SavedCount = plan.MovedBytes;
    if (!WriteJump(target, replacement)) {
        VirtualFree(memory, 0, MEM_RELEASE);
        return nullptr;
    }
    g_codeHooks->push_back(std::move(record));
    return memory;
#else
    // 64-bit code needs its RIP-relative operands moved and far jumps; only
    // 32-bit code hooks are built.
    (void)target;
    (void)replacement;
    return nullptr;
#endif
}

void* HookCode(void* target, void* replacement, const std::string& name) {
    // An import stub is hooked at its real target.
    target = reinterpret_cast<void*>(ResolveImportThunk(reinterpret_cast<uintptr_t>(target)));
    replacement = reinterpret_cast<void*>(ResolveImportThunk(reinterpret_cast<uintptr_t>(replacement)));
    if (!target) throw EProcNull(name);
    if (InSharedArea(target)) throw ESharedArea(ModuleFileName(ModuleOf(target)));
    void* trampoline = BuildTrampoline(target, replacement);
    if (!trampoline) throw EHookingError(name);
    return trampoline;
}

bool UnhookCode(void* address) {
    if (!g_codeHooks || !address) return false;
    bool removed = false;
    for (auto it = g_codeHooks->begin(); it != g_codeHooks->end();) {
        if (it->Target == address || it->Trampoline == address) {
            PatchCode(it->Target, it->SavedBytes.data(), it->SavedBytes.size());
            VirtualFree(it->Trampoline, 0, MEM_RELEASE);
            it = g_codeHooks->erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

// ---------------------------------------------------------------------------
// Virtual-slot hooks

void* GetVmtSlot(void* table, int slot) { return static_cast<void**>(table)[slot]; }

bool SetVmtSlot(void* table, int slot, void* value) {
    void** entry = static_cast<void**>(table) + slot;
    if (!ModuleOf(entry)) return false;
    return PatchCode(entry, &value, sizeof value);
}

THookedMethodsList::THookedMethodsList() { InitializeCriticalSection(&lock_); }

THookedMethodsList::~THookedMethodsList() {
    {
        TLockGuard guard(lock_);
        for (auto it = records_.rbegin(); it != records_.rend(); ++it)
            SetVmtSlot(it->Table, it->Slot, it->PreviousEntry);
        records_.clear();
    }
    DeleteCriticalSection(&lock_);
}

void* THookedMethodsList::Hook(void* table, int slot, void* replacement) {
    TLockGuard guard(lock_);
    void* current = GetVmtSlot(table, slot);
    if (current != replacement) {
        // A slot outside any module is left alone and not recorded: there is
        // nothing to undo, and the caller's old entry is still the slot's own.
        if (SetVmtSlot(table, slot, replacement)) records_.push_back({table, current, slot});
        return current;
    }
    for (const TSlotHookRecord& r : records_) {
        if (r.Table == table && r.Slot == slot) return r.PreviousEntry;
    }
    return current;
}

bool THookedMethodsList::Unhook(void* table, int slot) {
    TLockGuard guard(lock_);
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if (it->Table == table && it->Slot == slot) {
            SetVmtSlot(table, slot, it->PreviousEntry);
            records_.erase(it);
            return true;
        }
    }
    return false;
}

void* HookVmtSlot(void* table, int slot, void* replacement) {
    return g_slotHooks ? g_slotHooks->Hook(table, slot, replacement) : nullptr;
}

bool UnhookVmtSlot(void* table, int slot) { return g_slotHooks && g_slotHooks->Unhook(table, slot); }

// ---------------------------------------------------------------------------
// Start-up and shut-down

void HookInitStep() {
    if (!g_importHooks) g_importHooks = std::make_unique<std::vector<TSaveDLLProc>>();
    if (!g_codeHooks) g_codeHooks = std::make_unique<std::vector<TCodeHookRecord>>();
    if (!g_slotHooks) g_slotHooks = std::make_unique<THookedMethodsList>();
}

void HookDoneStep() {
    if (auto imports = std::move(g_importHooks)) {
        // Last first, so a procedure hooked twice gets its first entry back.
        for (auto it = imports->rbegin(); it != imports->rend(); ++it) {
            const TSaveDLLProc& hook = *it;
            HookImportInModule(hook.HookedModule, hook.ExportingModule, hook.ReplacementProc, true, true,
                               hook.ExportingModule, hook.ReplacedProc);
        }
    }
    g_slotHooks.reset();
    if (g_codeHooks) {
        while (!g_codeHooks->empty()) UnhookCode(g_codeHooks->back().Target);
        g_codeHooks.reset();
    }
}

}  // namespace drevnik
