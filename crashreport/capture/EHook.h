// The hooking engine: redirects code of the running process to the library's
// own routines in three ways.
//   - Import-table hooks: entries of a module's import address table that
//     point to a procedure are overwritten with a replacement.
//   - Code hooks (32-bit x86): a routine's first instructions become a jump to
//     the replacement; a trampoline runs the moved instructions and jumps back,
//     so the replacement can call the routine's old behaviour.
//   - Virtual-slot hooks: one entry of a class's virtual-method table.
// Import and code hooks are installed at start-up, before other threads of the
// library run; slot hooks may come later and are serialised.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "crashreport/capture/EHookErrors.h"

namespace drevnik {

// One changed group of import entries, kept so that shut-down can undo it.
struct TSaveDLLProc {
    HMODULE HookedModule = nullptr;
    std::string ExportingModule;  // the DLL name as the caller named it
    void* ReplacedProc = nullptr;
    void* ReplacementProc = nullptr;
};

struct TCodeHookRecord {
    void* Target = nullptr;
    void* Trampoline = nullptr;
    int TrampolineSize = 0;
    std::vector<uint8_t> SavedBytes;  // the overwritten start of the routine
    int SavedCount = 0;
};

struct TSlotHookRecord {
    void* Table = nullptr;
    void* PreviousEntry = nullptr;
    int Slot = 0;
};

// The process-wide list of slot hooks; destroying it restores every slot.
class THookedMethodsList {
public:
    THookedMethodsList();
    ~THookedMethodsList();
    THookedMethodsList(const THookedMethodsList&) = delete;
    THookedMethodsList& operator=(const THookedMethodsList&) = delete;

    void* Hook(void* table, int slot, void* replacement);
    bool Unhook(void* table, int slot);

private:
    CRITICAL_SECTION lock_;
    std::vector<TSlotHookRecord> records_;
};

// Hooks procedure `procName` of DLL `exportModule` in the import tables of
// every loaded module named in `modules`. `oldProc` receives the procedure's
// real address. True when at least one module was changed.
bool HookImport(const std::vector<std::string>& modules, const std::string& exportModule, bool noRaise,
                void*& oldProc, void* replacement, const std::string& procName);

// Overwrites every import entry of `module` that imports `oldProc` from
// `exportModule` with `replacement`. Returns oldProc when at least one entry
// changed, else null. Unless noSave, the change is kept for shut-down.
void* HookImportInModule(HMODULE module, const std::string& exportModule, void* oldProc, bool noSave,
                         bool noRaise, const std::string& displayName, void* replacement);

// Redirects the routine `target` to `replacement` and returns the trampoline
// (calling it runs the routine's old behaviour). Raises EProcNull,
// EHookingError or ESharedArea. Only 32-bit x86 code can be hooked: in a
// 64-bit process every call raises EHookingError.
void* HookCode(void* target, void* replacement, const std::string& name);

// The work of HookCode: the trampoline, or null when the routine cannot be
// moved. A target hooked before gets its first trampoline, nothing is written.
void* BuildTrampoline(void* target, void* replacement);

// Removes the code hook whose target or trampoline is `address`, restoring
// the routine's bytes. True when a hook was removed.
bool UnhookCode(void* address);

// Replaces entry `slot` of a virtual-method table; returns the previous entry
// (null when the engine has not started).
void* HookVmtSlot(void* table, int slot, void* replacement);
bool UnhookVmtSlot(void* table, int slot);
void* GetVmtSlot(void* table, int slot);
// Writes the entry only when it lies inside a loaded module; false otherwise.
bool SetVmtSlot(void* table, int slot, void* value);

// Writes count bytes into code or read-only data: each page is made writable
// for the write and gets its own protection back, and the instruction cache is
// flushed. False when the memory cannot be made writable.
bool PatchCode(void* address, const void* bytes, size_t count);

// Writes E9 and the 32-bit displacement to `to` at `at`. False when `to` is out
// of reach of a 32-bit displacement (only possible in a 64-bit process).
bool WriteJump(void* at, void* to);

// The decoder of InstructionLength.h on live code, reading only readable memory.
bool GetInstructionLength(const void* code, int& length);
int MeasureProcedureSize(const void* address, int maxLength);

// The module's NT headers, checked to be readable and of this process's kind; null otherwise.
const IMAGE_NT_HEADERS* GetPeNtHeaders(HMODULE module);

// Windows 9x debugger stub in front of an exported procedure: push imm32; jmp rel32.
bool IsWin9xDebugThunk(const void* code);

// Start-up and shut-down of the engine (run as "EHook.Init" and "EHook.Done"):
// start-up creates the hook lists; shut-down undoes every import hook, slot hook
// and code hook (the last installed first) and drops the lists.
void HookInitStep();
void HookDoneStep();

}  // namespace drevnik
