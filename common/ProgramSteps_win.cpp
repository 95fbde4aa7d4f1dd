// The programs' start and stop steps.
#include "common/ProgramSteps.h"

#include <windows.h>

#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/debuginfo/DrevnikAddressLookup.h"
#include "crashreport/report/ReportState.h"
#include "framework/core/exceptions.h"
#include "framework/gui/application.h"
#include "widgets/drawing/KelDWM.h"
#include "widgets/drawing/KelGDIP.h"
#include "widgets/drawing/UxThemeBinder.h"
#include "widgets/editors/KelEdDD.h"

namespace common {

std::vector<fw::TStartStopStep> ProgramStepTable() {
    // The crash-report library's units first, so they stop last.
    std::vector<fw::TStartStopStep> steps = drevnik::LibraryUnitSteps();
    // The debug-information readers go in before the library looks for its data.
    steps.insert(steps.begin(), {L"DrevnikDebugInfo", drevnik::InstallDebugInfoReaders, nullptr});
    steps.push_back({L"Crash report text and log", drevnik::InstallReportSteps, nullptr});
    const std::vector<fw::TStartStopStep> drawing = {
        {L"GDI+", kel::StartGdiplus, kel::StopGdiplus},
        {L"OLE", kel::StartOle, kel::StopOle},
        {L"Visual styles",
         [] {
             for (kel::TUxThemeBinder* b : {&kel::ASXPVS, &kel::AEBXPVS, &kel::ACXPVS, &kel::AOBXPVS}) b->BindUxTheme();
         },
         [] {
             for (kel::TUxThemeBinder* b : {&kel::ASXPVS, &kel::AEBXPVS, &kel::ACXPVS, &kel::AOBXPVS}) b->UnbindUxTheme();
         }},
        {L"Desktop composition", nullptr, kel::UnloadDwmLibrary},
    };
    steps.insert(steps.end(), drawing.begin(), drawing.end());
    steps.push_back(drevnik::UnitTableEndsStep());
    return steps;
}

namespace {

// The application's handler when there is one; before it exists (the steps
// start first and stop last) the exception hook, else a plain box.
void ReportStep(const std::wstring& step, bool starting, std::exception_ptr e) {
    if (fw::Application) {
        fw::Application->HandleException(nullptr, e);
        return;
    }
    if (const fw::TExceptionHook& hook = fw::ExceptionHook(); hook && hook(nullptr, e)) return;
    if (fw::IsAbort(e)) return;
    const std::wstring text = (starting ? L"Start step \"" : L"Stop step \"") + step + L"\" failed: " + fw::ExceptionMessage(e);
    MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK | MB_ICONSTOP);
}

}  // namespace

TProgramSteps::TProgramSteps() : table_(ProgramStepTable(), ReportStep) { table_.Start(); }

}  // namespace common
