// What every report program shares: the library started as a program starts
// it (its unit steps, through the step table), with report seams that print
// one line as each report begins and one as it ends.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/capture/DrevnikReport.h"
#include "framework/core/start_stop.h"

namespace report {

// How long the report's text takes to make, to widen the window in which
// a second report could overlap.
inline int gReportMs = 0;
inline std::atomic<int> gReports{0};
inline std::atomic<bool> gInReport{false};
inline std::atomic<bool> gOverlapped{false};

inline std::string PrintReportBegin(const drevnik::TDrevnikExceptionRecord& record) {
    if (gInReport.exchange(true)) gOverlapped.store(true);
    std::printf("report: %s | %s | thread=%s\n", drevnik::RaisedClassName(record.RaisedObject).c_str(),
                drevnik::RaisedMessage(record.RaisedObject).c_str(),
                record.FaultThreadId == drevnik::MainThreadIdValue() ? "main" : "other");
    std::fflush(stdout);
    if (gReportMs > 0) Sleep(static_cast<DWORD>(gReportMs));
    return "report text";
}

inline void PrintReportEnd() {
    ++gReports;
    std::printf("report end\n");
    std::fflush(stdout);
    gInReport.store(false);
}

// The library's unit steps and the table's end, as the programs run them.
inline fw::TStartStopTable& Library() {
    static fw::TStartStopTable table = [] {
        std::vector<fw::TStartStopStep> steps = drevnik::LibraryUnitSteps();
        steps.push_back(drevnik::UnitTableEndsStep());
        return fw::TStartStopTable(std::move(steps));
    }();
    return table;
}

inline void StartLibrary() {
    drevnik::TReportSeams& seams = drevnik::ReportSeams();
    seams.BuildReportText = PrintReportBegin;
    seams.DoTerminateButtonAction = PrintReportEnd;
    Library().Start();
}

}  // namespace report
