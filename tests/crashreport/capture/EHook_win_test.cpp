// The hooking engine in a running process: import-table hooks on our own
// executable and on msvcrt.dll, code writes and code hooks, virtual slots.
#include "crashreport/capture/EHook.h"

#include <gtest/gtest.h>
#include <process.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/core/text_codec.h"

// Small routines with exactly known bytes. Valid 32- and 64-bit code alike.
extern "C" int KynReturnSeven() asm("kyn_return_seven");
extern "C" int KynReturnNine() asm("kyn_return_nine");
asm(R"(
    .text
    .globl kyn_return_seven
kyn_return_seven:
    .byte 0xB8, 7, 0, 0, 0, 0xC3
    .globl kyn_return_nine
kyn_return_nine:
    .byte 0xB8, 9, 0, 0, 0, 0xC3
    .globl kyn_starts_with_ud2
kyn_starts_with_ud2:
    .byte 0x0F, 0x0B, 0xB8, 1, 0, 0, 0, 0xC3
)");
extern "C" int KynStartsWithUd2() asm("kyn_starts_with_ud2");

namespace drevnik {

// Outside the anonymous namespace: a class that no other file could derive
// from is called directly, not through its table.
class TSample {
public:
    virtual int First() const;
    virtual int Second() const;
    virtual ~TSample() = default;
};
int TSample::First() const { return 1; }
int TSample::Second() const { return 2; }

// Same slots and signatures, other answers: its entries are fitting replacements.
class TOther {
public:
    virtual int First() const;
    virtual int Second() const;
    virtual ~TOther() = default;
};
int TOther::First() const { return 10; }
int TOther::Second() const { return 20; }

namespace {

using Bytes = std::vector<uint8_t>;

void* Code(auto* function) { return reinterpret_cast<void*>(function); }

Bytes ReadBytes(const void* address, size_t count) {
    const auto* p = static_cast<const uint8_t*>(address);
    return Bytes(p, p + count);
}

std::string Narrow(const fw::Exception& e) { return fw::WideToAnsi(e.Message()); }

// The import address tables of a module, as the headers' IAT directory gives them.
Bytes ImportAddressTables(HMODULE module) {
    const auto* base = reinterpret_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& iat = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    return ReadBytes(base + iat.VirtualAddress, iat.Size);
}

// Pointer-sized entries that differ between two copies of the same tables.
std::vector<size_t> ChangedEntries(const Bytes& before, const Bytes& after) {
    std::vector<size_t> changed;
    for (size_t i = 0; i + sizeof(void*) <= before.size(); i += sizeof(void*)) {
        if (std::memcmp(&before[i], &after[i], sizeof(void*)) != 0) changed.push_back(i);
    }
    return changed;
}

std::string OwnModuleName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full = path;
    return full.substr(full.find_last_of("\\/") + 1);
}

class EHookTest : public ::testing::Test {
protected:
    void SetUp() override { HookInitStep(); }
    void TearDown() override { HookDoneStep(); }
};

// ---------------------------------------------------------------------------
// Import-table hooks

DWORD g_raisedCode = 0;
ULONG_PTR g_raisedArgument = 0;
void WINAPI FakeRaiseException(DWORD code, DWORD, DWORD count, const ULONG_PTR* arguments) {
    g_raisedCode = code;
    g_raisedArgument = count > 0 ? arguments[0] : 0;
}

DWORD WINAPI FakeResumeThread(HANDLE) { return 0x1234; }

// Each call reads the import entry afresh: within one function the compiler
// may load an import address once and reuse it.
__attribute__((noinline)) void CallRaiseException(DWORD code, ULONG_PTR argument) {
    RaiseException(code, 0, 1, &argument);
}
__attribute__((noinline)) DWORD CallResumeThread() { return ResumeThread(GetCurrentThread()); }

TEST_F(EHookTest, ImportHookOnOurExecutableRedirectsAndUndoRestoresTheTable) {
    const HMODULE exe = GetModuleHandleA(nullptr);
    const Bytes before = ImportAddressTables(exe);
    ASSERT_FALSE(before.empty());

    void* oldRaise = nullptr;
    ASSERT_TRUE(HookImport({OwnModuleName()}, "kernel32.dll", false, oldRaise, Code(&FakeRaiseException),
                           "RaiseException"));
    EXPECT_EQ(oldRaise, Code(GetProcAddress(GetModuleHandleA("kernel32.dll"), "RaiseException")));
    void* oldResume = nullptr;
    ASSERT_TRUE(HookImport({"no-such-module.dll", OwnModuleName()}, "KERNEL32.DLL", false, oldResume,
                           Code(&FakeResumeThread), "ResumeThread"));

    // One entry each changed, to the replacement.
    const Bytes hooked = ImportAddressTables(exe);
    const auto changed = ChangedEntries(before, hooked);
    ASSERT_EQ(changed.size(), 2u);
    for (size_t offset : changed) {
        void* entry;
        std::memcpy(&entry, &hooked[offset], sizeof entry);
        EXPECT_TRUE(entry == Code(&FakeRaiseException) || entry == Code(&FakeResumeThread));
    }

    const ULONG_PTR argument = 77;
    CallRaiseException(0xE0001234, argument);
    EXPECT_EQ(g_raisedCode, 0xE0001234u);
    EXPECT_EQ(g_raisedArgument, 77u);
    EXPECT_EQ(CallResumeThread(), 0x1234u);

    // Undone one by one, the way shut-down does it: the table is as it was.
    EXPECT_EQ(HookImportInModule(exe, "kernel32.dll", Code(&FakeRaiseException), true, false, "undo",
                                 oldRaise),
              Code(&FakeRaiseException));
    EXPECT_EQ(HookImportInModule(exe, "kernel32.dll", Code(&FakeResumeThread), true, false, "undo", oldResume),
              Code(&FakeResumeThread));
    EXPECT_EQ(ImportAddressTables(exe), before);
    EXPECT_EQ(CallResumeThread(), 0u);  // the real one: the thread was not suspended
}

TEST_F(EHookTest, ShutDownUndoesImportHooks) {
    const HMODULE exe = GetModuleHandleA(nullptr);
    const Bytes before = ImportAddressTables(exe);
    void* oldResume = nullptr;
    ASSERT_TRUE(HookImport({OwnModuleName()}, "kernel32.dll", false, oldResume, Code(&FakeResumeThread),
                           "ResumeThread"));
    // Hooked twice: shut-down must still bring back the real procedure.
    ASSERT_NE(HookImportInModule(exe, "kernel32.dll", Code(&FakeResumeThread), false, false, "again",
                                 Code(&FakeRaiseException)),
              nullptr);
    EXPECT_NE(ImportAddressTables(exe), before);
    HookDoneStep();
    EXPECT_EQ(ImportAddressTables(exe), before);
    HookInitStep();
}

using CreateThreadProc = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD,
                                         LPDWORD);
CreateThreadProc g_realCreateThread = nullptr;
LONG g_createThreadCalls = 0;

HANDLE WINAPI CountingCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack, LPTHREAD_START_ROUTINE start,
                                   LPVOID parameter, DWORD flags, LPDWORD id) {
    InterlockedIncrement(&g_createThreadCalls);
    return g_realCreateThread(security, stack, start, parameter, flags, id);
}

unsigned __stdcall SetFlag(void* flag) {
    *static_cast<volatile LONG*>(flag) = 1;
    return 0;
}

// msvcrt.dll starts threads through its own import of CreateThread.
TEST_F(EHookTest, ImportHookInAnotherLoadedModule) {
    const HMODULE msvcrt = GetModuleHandleA("msvcrt.dll");
    ASSERT_NE(msvcrt, nullptr);
    const Bytes before = ImportAddressTables(msvcrt);
    void* old = nullptr;
    ASSERT_TRUE(HookImport({"msvcrt.dll"}, "kernel32.dll", false, old, Code(&CountingCreateThread), "CreateThread"));
    g_realCreateThread = reinterpret_cast<CreateThreadProc>(old);

    volatile LONG flag = 0;
    const auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, SetFlag, const_cast<LONG*>(&flag), 0, nullptr));
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(g_createThreadCalls, 1);

    HookDoneStep();
    EXPECT_EQ(ImportAddressTables(msvcrt), before);
    HookInitStep();
}

TEST_F(EHookTest, ImportHookFailures) {
    const HMODULE exe = GetModuleHandleA(nullptr);
    const Bytes before = ImportAddressTables(exe);
    void* old = reinterpret_cast<void*>(1);

    // A procedure the DLL does not export: null, refused even without raising.
    for (bool noRaise : {false, true}) {
        try {
            HookImport({OwnModuleName()}, "kernel32.dll", noRaise, old, Code(&FakeResumeThread), "NoSuchProcedure");
            ADD_FAILURE() << "no EProcNull";
        } catch (const EProcNull& e) {
            EXPECT_EQ(Narrow(e), "Cannot hook a null procedure (\"kernel32.dll.NoSuchProcedure\").");
        }
        EXPECT_EQ(old, nullptr);
    }
    // No listed module is loaded: nothing changes, nothing raised.
    EXPECT_FALSE(HookImport({"no-such-module.dll"}, "kernel32.dll", false, old, Code(&FakeResumeThread),
                            "NoSuchProcedure"));
    EXPECT_FALSE(HookImport({}, "kernel32.dll", false, old, Code(&FakeResumeThread), "ResumeThread"));

    // A DLL the module does not import from, and memory that is no module.
    const std::vector<char> notAModule(4096, 'x');
    const struct { HMODULE module; const char* exporter; } rows[] = {
        {exe, "no-such-module.dll"},
        {reinterpret_cast<HMODULE>(const_cast<char*>(notAModule.data())), "kernel32.dll"},
    };
    void* resume = Code(GetProcAddress(GetModuleHandleA("kernel32.dll"), "ResumeThread"));
    for (const auto& row : rows) {
        try {
            HookImportInModule(row.module, row.exporter, resume, true, false, "x.ResumeThread", Code(&FakeResumeThread));
            ADD_FAILURE() << "no EHookingError for " << row.exporter;
        } catch (const EHookingError& e) {
            EXPECT_EQ(Narrow(e), "Cannot hook the procedure \"x.ResumeThread\".");
        }
        EXPECT_EQ(HookImportInModule(row.module, row.exporter, resume, true, true, "x", Code(&FakeResumeThread)),
                  nullptr);
    }
    EXPECT_EQ(GetPeNtHeaders(rows[1].module), nullptr);
    EXPECT_NE(GetPeNtHeaders(exe), nullptr);
    EXPECT_EQ(ImportAddressTables(exe), before);
}

// ---------------------------------------------------------------------------
// Writing code

using IntProc = int (*)();
int Call(void* routine) {
    // Through a volatile pointer, so the compiler cannot know the bytes.
    volatile IntProc p = reinterpret_cast<IntProc>(routine);
    return p();
}

TEST(EHookWrite, JumpRedirectsAndPatchRestores) {
    void* seven = Code(&KynReturnSeven);
    const Bytes saved = ReadBytes(seven, 6);
    ASSERT_TRUE(WriteJump(seven, Code(&KynReturnNine)));
    EXPECT_EQ(ReadBytes(seven, 1), Bytes{0xE9});
    EXPECT_EQ(Call(seven), 9);
    ASSERT_TRUE(PatchCode(seven, saved.data(), saved.size()));
    EXPECT_EQ(ReadBytes(seven, 6), saved);
    EXPECT_EQ(Call(seven), 7);
    // Code pages stay executable and read-only.
    MEMORY_BASIC_INFORMATION info;
    ASSERT_NE(VirtualQuery(seven, &info, sizeof info), 0u);
    EXPECT_EQ(info.Protect & 0xFF, static_cast<DWORD>(PAGE_EXECUTE_READ));
#if defined(_WIN64)
    // Beyond a 32-bit displacement: refused, nothing written.
    EXPECT_FALSE(WriteJump(seven, static_cast<uint8_t*>(seven) + 0x100000000LL));
    EXPECT_EQ(ReadBytes(seven, 6), saved);
#endif
}

// A write across two pages of different protection gives each its own back.
TEST(EHookWrite, PatchKeepsEachPageProtection) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    auto* block = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(block, page, PAGE_READONLY, &old));
    ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_EXECUTE_READ, &old));

    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(PatchCode(block + page - 4, bytes, sizeof bytes));
    EXPECT_EQ(ReadBytes(block + page - 4, 8), Bytes(bytes, bytes + 8));
    MEMORY_BASIC_INFORMATION info;
    VirtualQuery(block, &info, sizeof info);
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READONLY));
    VirtualQuery(block + page, &info, sizeof info);
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));
    VirtualFree(block, 0, MEM_RELEASE);
}

// The live decoder reads only what is readable: an instruction cut off by an
// inaccessible page is refused rather than read past.
TEST(EHookWrite, LiveDecoderStopsAtUnreadableMemory) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    auto* block = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_NOACCESS, &old));
    uint8_t* end = block + page;
    int length = 0;
    std::memcpy(end - 3, "\x8B\x44\x24", 3);  // mov eax, [esp+8] without its last byte
    EXPECT_FALSE(GetInstructionLength(end - 3, length));
    EXPECT_EQ(MeasureProcedureSize(end - 3, 100), 1);
    std::memcpy(end - 5, "\x8B\x44\x24\x08\xC3", 5);
    EXPECT_TRUE(GetInstructionLength(end - 5, length));
    EXPECT_EQ(length, 4);
    EXPECT_EQ(MeasureProcedureSize(end - 5, 100), 5);
    EXPECT_EQ(MeasureProcedureSize(Code(&KynReturnSeven), 100), 6);
    VirtualFree(block, 0, MEM_RELEASE);
}

// ---------------------------------------------------------------------------
// Code hooks

TEST_F(EHookTest, CodeHookRefusals) {
    try {
        HookCode(nullptr, Code(&KynReturnNine), "Nothing");
        ADD_FAILURE() << "no EProcNull";
    } catch (const EProcNull& e) {
        EXPECT_EQ(Narrow(e), "Cannot hook a null procedure (\"Nothing\").");
    }
    // Code that cannot be decoded is never split into a broken trampoline; in
    // a 64-bit process no code is hooked at all.
    void* targets[] = {Code(&KynStartsWithUd2),
#if !defined(__i386__)
                       Code(&KynReturnSeven)
#endif
    };
    for (void* target : targets) {
        const Bytes saved = ReadBytes(target, 8);
        try {
            HookCode(target, Code(&KynReturnNine), "Routine");
            ADD_FAILURE() << "no EHookingError";
        } catch (const EHookingError& e) {
            EXPECT_EQ(Narrow(e), "Cannot hook the procedure \"Routine\".");
        }
        EXPECT_EQ(ReadBytes(target, 8), saved);
        EXPECT_FALSE(UnhookCode(target));
    }
}

#if defined(__i386__)

// Routines whose first instructions hold relative branches (arguments in ECX).
extern "C" {
int __attribute__((fastcall)) KynShortJcc(int) asm("kyn_short_jcc");
int __attribute__((fastcall)) KynNearCall(int) asm("kyn_near_call");
int __attribute__((fastcall)) KynNearJcc(int) asm("kyn_near_jcc");
int __attribute__((fastcall)) KynJecxz(int) asm("kyn_jecxz");
}
asm(R"(
    .text
    .globl kyn_short_jcc
kyn_short_jcc:                  # x ? 1 : 2, je past the fifth byte
    test %ecx, %ecx
    .byte 0x74, 0x06
    mov $1, %eax
    ret
    mov $2, %eax
    ret

kyn_add_ten:
    lea 10(%ecx), %eax
    ret
    .globl kyn_near_call
kyn_near_call:                  # x + 11, a call first
    .byte 0xE8
    .long kyn_add_ten - . - 4
    inc %eax
    ret

    .globl kyn_near_jcc
kyn_near_jcc:                   # x ? 3 : 4, jz rel32 first
    test %ecx, %ecx
    .byte 0x0F, 0x84
    .long 1f - . - 4
    mov $3, %eax
    ret
1:  mov $4, %eax
    ret

    .globl kyn_jecxz
kyn_jecxz:                      # x ? 5 : 6, jecxz first
    .byte 0xE3, 0x06
    mov $5, %eax
    ret
    mov $6, %eax
    ret
)");

using FastProc = int(__attribute__((fastcall)) *)(int);
FastProc g_old = nullptr;
int __attribute__((fastcall)) AddHundred(int x) { return g_old(x) + 100; }
int __attribute__((fastcall)) AddThousand(int x) { return g_old(x) + 1000; }

int CallFast(FastProc routine, int x) {
    volatile FastProc p = routine;
    return p(x);
}

TEST_F(EHookTest, CodeHooksRunReplacementAndOldBehaviour) {
    struct Row { const char* name; FastProc routine; int forZero, forOne; };
    const Row rows[] = {
        {"short jcc", KynShortJcc, 2, 1},
        {"near call", KynNearCall, 11, 12},
        {"near jcc", KynNearJcc, 4, 3},
        {"jecxz", KynJecxz, 6, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        void* target = Code(row.routine);
        const Bytes saved = ReadBytes(target, 16);
        void* trampoline = HookCode(target, Code(&AddHundred), row.name);
        ASSERT_NE(trampoline, nullptr);
        g_old = reinterpret_cast<FastProc>(trampoline);
        EXPECT_EQ(CallFast(row.routine, 0), row.forZero + 100);
        EXPECT_EQ(CallFast(row.routine, 1), row.forOne + 100);
        EXPECT_EQ(CallFast(g_old, 0), row.forZero);
        EXPECT_EQ(CallFast(g_old, 1), row.forOne);

        // Hooking again hands back the first trampoline and writes nothing.
        const Bytes hooked = ReadBytes(target, 16);
        EXPECT_EQ(HookCode(target, Code(&AddThousand), row.name), trampoline);
        EXPECT_EQ(ReadBytes(target, 16), hooked);

        EXPECT_TRUE(UnhookCode(trampoline));
        EXPECT_EQ(ReadBytes(target, 16), saved);
        EXPECT_EQ(CallFast(row.routine, 0), row.forZero);
        EXPECT_FALSE(UnhookCode(target));
    }
}

TEST_F(EHookTest, ShutDownUndoesCodeHooks) {
    const Bytes a = ReadBytes(Code(&KynShortJcc), 16);
    const Bytes b = ReadBytes(Code(&KynNearCall), 16);
    HookCode(Code(&KynShortJcc), Code(&AddHundred), "a");
    HookCode(Code(&KynNearCall), Code(&AddHundred), "b");
    HookDoneStep();
    EXPECT_EQ(ReadBytes(Code(&KynShortJcc), 16), a);
    EXPECT_EQ(ReadBytes(Code(&KynNearCall), 16), b);
    HookInitStep();
}

#else

TEST(EHookCode, LiveCodeHooks) {
    GTEST_SKIP() << "code hooks are built for 32-bit x86 only; this is a 64-bit build (the trampoline logic is "
                    "tested on byte buffers in Trampoline_test)";
}

#endif

// ---------------------------------------------------------------------------
// Virtual-slot hooks (the classes are above)

void* TableOf(const void* object) { return *static_cast<void* const*>(object); }

// Through a volatile pointer, so the compiler cannot call the methods directly.
int CallSecond(const TSample* sample) {
    const TSample* volatile p = sample;
    return p->Second();
}
int CallFirst(const TSample* sample) {
    const TSample* volatile p = sample;
    return p->First();
}

TEST_F(EHookTest, VirtualSlotHookReplacesAndRestoresOneSlot) {
    TSample sample;
    TOther other;
    void* table = TableOf(&sample);
    void* original = GetVmtSlot(table, 1);
    void* replacement = GetVmtSlot(TableOf(&other), 1);

    EXPECT_EQ(HookVmtSlot(table, 1, replacement), original);
    EXPECT_EQ(GetVmtSlot(table, 1), replacement);
    EXPECT_EQ(CallSecond(&sample), 20);
    EXPECT_EQ(CallFirst(&sample), 1);
    // Asked again, the slot reports its saved previous entry.
    EXPECT_EQ(HookVmtSlot(table, 1, replacement), original);

    EXPECT_TRUE(UnhookVmtSlot(table, 1));
    EXPECT_EQ(GetVmtSlot(table, 1), original);
    EXPECT_EQ(CallSecond(&sample), 2);
    EXPECT_FALSE(UnhookVmtSlot(table, 1));

    // Shut-down restores slots that are still hooked.
    HookVmtSlot(table, 0, GetVmtSlot(TableOf(&other), 0));
    EXPECT_EQ(CallFirst(&sample), 10);
    HookDoneStep();
    EXPECT_EQ(CallFirst(&sample), 1);
    // Without the engine there is no slot list.
    EXPECT_EQ(HookVmtSlot(table, 0, replacement), nullptr);
    EXPECT_EQ(CallFirst(&sample), 1);
    HookInitStep();
}

TEST_F(EHookTest, SlotOutsideAnyModuleIsLeftAlone) {
    void* fake[2] = {Code(&KynReturnSeven), Code(&KynReturnSeven)};
    EXPECT_FALSE(SetVmtSlot(fake, 1, Code(&KynReturnNine)));
    EXPECT_EQ(HookVmtSlot(fake, 1, Code(&KynReturnNine)), Code(&KynReturnSeven));
    EXPECT_EQ(fake[1], Code(&KynReturnSeven));
    EXPECT_FALSE(UnhookVmtSlot(fake, 1));
}

}  // namespace
}  // namespace drevnik
