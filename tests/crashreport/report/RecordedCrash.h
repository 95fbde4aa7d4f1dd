// A crash of a small test program as the handler records it: the general
// part's facts, the call stacks of two threads, modules, processes, the
// registers and the memory around the fault. The code bytes are an i686
// routine that writes through a null pointer; the names come from a
// stand-in for the debug data.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/report/ReportText.h"

namespace drevnik::test {

struct TMemoryRegion {
    uintptr_t Start;
    std::vector<uint8_t> Bytes;
};

class RecordedCrash {
public:
    static constexpr uintptr_t kRoutine = 0x00401000;
    static constexpr uintptr_t kFault = 0x00401010;
    static constexpr uintptr_t kHelper = 0x00401100;
    static constexpr uintptr_t kString = 0x00402020;
    static constexpr uintptr_t kStack = 0x0022FF00;

    RecordedCrash() : options(std::string()) {
        // int3 filler before the routine: more than ten instructions precede the fault.
        std::vector<uint8_t> code(0x300, 0xCC);
        const uint8_t routine[] = {
            0x55,                                      // push ebp
            0x89, 0xE5,                                // mov ebp, esp
            0x83, 0xEC, 0x18,                          // sub esp, 0x18
            0xC7, 0x45, 0xF4, 0x00, 0x00, 0x00, 0x00,  // mov dword [ebp-0x0c], 0
            0x8B, 0x45, 0xF4,                          // mov eax, [ebp-0x0c]
            0xC7, 0x00, 0x2A, 0x00, 0x00, 0x00,        // mov dword [eax], 42   <- fault
            0x68, 0x20, 0x20, 0x40, 0x00,              // push 0x00402020 ("Hello crash")
            0xE8, 0xE0, 0x00, 0x00, 0x00,              // call 0x00401100
            0xC9,                                      // leave
            0xC3,                                      // ret
        };
        std::memcpy(code.data() + (kRoutine - 0x400F00), routine, sizeof routine);
        regions.push_back({0x400F00, code});
        const char text[] = "Hello crash";
        regions.push_back({kString, std::vector<uint8_t>(text, text + sizeof text)});
        std::vector<uint8_t> words(0x100);
        for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint8_t>(i * 7);
        regions.push_back({kStack, words});

        values["1.1"] = "Wed, 9 Dec 2026 10:41:07 +0100";
        values["1.2"] = "crash_program.exe - (Crash test program)";
        values["1.3"] = "1.0.0.4";
        values["1.4"] = "--fault null";
        values["1.5"] = "Thu, 13 Jan 2011 23:38:00 +0100";
        values["1.6"] = "3 minutes, 12 seconds";
        values["2.1"] = "Wed, 9 Dec 2026 10:44:19 +0100";
        values["2.2"] = "00401010";
        values["2.3"] = "crash_program.exe - (Crash test program)";
        values["2.4"] = "1.0.0.4";
        values["2.5"] = "fw::EAccessViolation";
        values["2.6"] = "Access violation at address 00401010 in module 'crash_program.exe'.\r\nWrite of address 00000000: "
                        "<null> & \"quoted\" text.";
        values["2.7"] = "7F3A";
        values["2.8"] = "1";
        values["2.9"] = "New";
        values["3.1"] = "tester";
        values["3.3"] = "tester@example.org";
        values["3.5"] = "SeShutdownPrivilege             - OFF\r\nSeChangeNotifyPrivilege         - ON\r\n";
        values["4.1"] = "TkynMainForm";
        values["4.2"] = "Quorvex Display";
        values["5.1"] = "OFFICE7";
        values["5.2"] = "16384 Mb";
        values["5.7"] = "Intel(R) Core(TM) i7 CPU";
        values["6.1"] = "Microsoft Windows 7";
        values["6.2"] = "7601";
        values["6.5"] = "0";
        values["7.1"] = "127.000.000.001";

        modules.Add(Module(0x00400000, "C:\\Programs\\Crash\\crash_program.exe", "Crash test program", "1.0.0.4"));
        modules.Add(Module(0x7B000000, "C:\\windows\\system32\\kernel32.dll", "Wine core | dll\r\n", "6.1.7601.0"));
        for (int i = 0; i < 3; ++i) {
            auto p = std::make_unique<TDrevnikProcessInfo>();
            p->ProcId = 32u + static_cast<uint32_t>(i) * 8u;
            p->ExePath = "C:\\windows\\system32\\proc|" + std::to_string(i) + ".exe";
            p->ExeDescription = "Process " + std::to_string(i);
            p->PriorityClass = 32;
            p->WorkingSetBytes = 1048576u * static_cast<uint64_t>(i + 1);
            p->ThreadCount = static_cast<uint32_t>(i);
            processes.Add(std::move(p));
        }
        AddEntry(kFault, 100, 1, 1, "crash_main.cpp", "", "Fault", 12, 3);
        AddEntry(0x00401200, 100, 1, 0, "crash_main.cpp", "", "main", 30, 2);
        AddEntry(0x00401300, 100, 0, 0, "crt|start.c", "", "start", 0, 0);
        AddEntry(0x00401400, 200, 1, 0, "worker.cpp", "TWorker", "Execute", 40, 5);
        AddEntry(0x7B001000, 200, 1, 0, "", "", "", 0, 0, ekModule);  // never shown
    }

    TReportInputs Inputs() const {
        TReportInputs in;
        in.General = values;
        in.Stack = &stack;
        in.Modules = &modules;
        in.Processes = &processes;
        in.Threads = [](uint32_t id) {
            TThreadFacts f;
            f.Tracked = id == 100;
            f.Priority = 2;
            f.IsMain = id == 100;
            return f;
        };
        in.ExceptionAddress = kFault;
        in.Registers = TCpuRegisters{0, 1, 2, 3, 4, 5, static_cast<uint32_t>(kStack), static_cast<uint32_t>(kFault)};
        in.StackPointer = kStack;
        in.Memory.Read = [this](uintptr_t address, void* buffer, std::size_t length) { return Read(address, buffer, length); };
        in.Names.Lookup = [](uintptr_t address, TCallStackEntry& e) {
            if (address >= kRoutine && address < kRoutine + 0x22) {
                e.EntryKind = ekUnitRoutineLine;
                e.UnitFile = "crash_main.cpp";
                e.RoutineName = "Fault";
                e.LineInRoutine = static_cast<uint32_t>((address - kRoutine) / 8 + 1);
                e.SourceLine = static_cast<int32_t>(10 + (address - kRoutine) / 8);
            } else if (address == kHelper) {
                e.EntryKind = ekRoutine;
                e.RoutineName = "Helper";
            }
        };
        return in;
    }

    bool Read(uintptr_t address, void* buffer, std::size_t length) const {
        for (const TMemoryRegion& r : regions) {
            if (address >= r.Start && address + length <= r.Start + r.Bytes.size() && address + length >= address) {
                std::memcpy(buffer, r.Bytes.data() + (address - r.Start), length);
                return true;
            }
        }
        return false;
    }

    TDrevnikModuleOptionsEx options;
    TGeneralValues values;
    TDrevnikStackList stack;
    TDrevnikModulesList modules;
    TDrevnikProcessesList processes;
    std::vector<TMemoryRegion> regions;

private:
    static std::unique_ptr<TDrevnikModuleInfo> Module(TModuleHandle handle, const std::string& path,
                                                      const std::string& description, const std::string& version) {
        auto m = std::make_unique<TDrevnikModuleInfo>();
        m->ModuleHandle = handle;
        m->FilePath = path;
        m->FileDescription = description;
        m->FileVersionText = version;
        m->FileSizeBytes = 123456;
        m->FileDate = 46000.5;
        return m;
    }

    void AddEntry(uintptr_t address, uint32_t thread, uint8_t own, uint8_t fault, const std::string& unit,
                  const std::string& cls, const std::string& routine, int32_t line, uint32_t offset,
                  uint8_t kind = ekUnitRoutineLine) {
        auto e = std::make_unique<TCallStackEntry>();
        e->EntryKind = kind;
        e->ModuleRecord = &modules[address >= 0x7B000000 ? 1 : 0];
        e->ThreadId = thread;
        e->OwnStack = own;
        e->IsFaultAddress = fault;
        e->CodeAddress = address;
        e->UnitFile = unit;
        e->ClassPart = cls;
        e->RoutineName = routine;
        e->SourceLine = line;
        e->LineInRoutine = offset;
        stack.Add(std::move(e));
    }
};

}  // namespace drevnik::test
