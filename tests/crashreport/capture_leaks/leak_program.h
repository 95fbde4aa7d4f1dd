// What the leak programs share: the library started and stopped as the
// programs do it (a step table in main), and report seams that print each
// report: its class and message, its address and, for a leak report, one
// line per leak group with the group's first call site. Call sites print as
// "site NAME 0xADDRESS"; the test maps each address to its source line and
// compares it with the line marked "// SITE: NAME".
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/capture/DrevnikReport.h"
#include "framework/core/start_stop.h"

namespace leaks {

// Stands in for the debug-information reader: every address in this
// program's image counts as a line of a unit.
inline void LookupInImage(drevnik::TCallStackEntry& entry, uintptr_t address) {
    const auto base = reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + static_cast<uintptr_t>(dos->e_lfanew));
    if (address >= base && address < base + nt->OptionalHeader.SizeOfImage)
        entry.EntryKind = drevnik::ekUnitRoutineLine;
}

inline std::string PrintReport(const drevnik::TDrevnikExceptionRecord& record) {
    std::printf("report: %s | %s\n", drevnik::RaisedClassName(record.RaisedObject).c_str(),
                drevnik::RaisedMessage(record.RaisedObject).c_str());
    if (drevnik::RaisedClassName(record.RaisedObject) != "drevnik::EMemoryLeak")
        std::printf("site release 0x%llx\n", static_cast<unsigned long long>(record.RaisedAddress));
    else if (record.RaisedAddress != 0)
        std::printf("site address 0x%llx\n", static_cast<unsigned long long>(record.RaisedAddress));
    if (record.StackList != nullptr) {
        for (int i = 0; i < record.StackList->Count(); ++i) {
            const drevnik::TCallStackEntry& entry = record.StackList->GetItem(i);
            if (entry.LeakGroupStart == 0 || entry.IsFaultAddress == 0) continue;
            std::printf("leak: %s count=%u size=%u\n", entry.LeakTypeText.c_str(), entry.LeakCount, entry.LeakSize);
            std::printf("site %s 0x%llx\n", entry.LeakTypeText.c_str(),
                        static_cast<unsigned long long>(entry.CodeAddress));
        }
    }
    std::fflush(stdout);
    return "report text";
}

// The library's unit steps and the table's end, started and stopped in main.
class TLibrary {
public:
    TLibrary() : table_(Steps()) {
        drevnik::TReportSeams& seams = drevnik::ReportSeams();
        seams.LookupAddress = LookupInImage;
        seams.BuildReportText = PrintReport;
        table_.Start();
    }

private:
    static std::vector<fw::TStartStopStep> Steps() {
        std::vector<fw::TStartStopStep> steps = drevnik::LibraryUnitSteps();
        steps.push_back(drevnik::UnitTableEndsStep());
        return steps;
    }
    fw::TStartStopTable table_;
};

}  // namespace leaks
