// Faults on its main thread with the report text and the log steps in
// place; the log goes to the .dvf path given as the first argument, with
// repeated crashes counted. A second argument makes it fault elsewhere.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/debuginfo/DrevnikAddressLookup.h"
#include "crashreport/debuginfo/DrevnikModules.h"
#include "crashreport/report/ReportState.h"
#include "framework/core/start_stop.h"

namespace {

__attribute__((noinline)) void FaultElsewhere(volatile int* target) { *target = 7; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::vector<fw::TStartStopStep> steps = drevnik::LibraryUnitSteps();
    steps.insert(steps.begin(), {L"DrevnikDebugInfo", drevnik::InstallDebugInfoReaders, nullptr});
    steps.push_back({L"Crash report text and log", drevnik::InstallReportSteps, nullptr});
    steps.push_back(drevnik::UnitTableEndsStep());
    static fw::TStartStopTable table(std::move(steps));
    table.Start();
    // The report takes the options of the faulting module's library data
    // when it has them, else the library's own.
    const auto setUp = [&](drevnik::TDrevnikModuleOptions* options) {
        if (options == nullptr) return;
        options->SetOutputPath(argv[1]);
        options->SetLogFlags(options->LogFlags() | drevnik::lgCountDuplicates);
        options->SetDialogKind(drevnik::dkNone);
    };
    setUp(drevnik::FindCurrentDrevnikLogOptions());
    if (drevnik::TDrevnikModuleInfo* own =
            drevnik::GetModuleInfo(reinterpret_cast<drevnik::TModuleHandle>(GetModuleHandleW(nullptr))))
        setUp(own->ModuleOptions.get());
    std::printf("faulting\n");
    std::fflush(stdout);
    volatile int* nowhere = nullptr;
    if (argc > 2) FaultElsewhere(nowhere);
    *nowhere = 42;
    return 0;
}
