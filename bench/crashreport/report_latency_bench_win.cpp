// Time from a fault to its report being ready (the report's text made),
// in a process with 1, 10 and 50 threads: the handler suspends each other
// thread to copy its stack, so the figure grows with the thread count.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/capture/DrevnikReport.h"
#include "framework/core/start_stop.h"

namespace {

LARGE_INTEGER gStart;
double gMicroseconds = 0;

double Elapsed() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(now.QuadPart - gStart.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string ReportReady(const drevnik::TDrevnikExceptionRecord&) {
    gMicroseconds = Elapsed();
    return "report";
}

// A fault's object, as the vectored handler makes it, handed to the report.
double OneReport() {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    record.NumberParameters = 2;
    drevnik::TReportRequest request;
    request.Object = drevnik::MakeFaultObject(record);
    request.IsLanguage = false;
    request.Module = drevnik::LibraryModuleHandle();
    QueryPerformanceCounter(&gStart);
    drevnik::ReportException(request);
    return gMicroseconds;
}

}  // namespace

int main() {
    std::vector<fw::TStartStopStep> steps = drevnik::LibraryUnitSteps();
    fw::TStartStopTable library(std::move(steps));
    library.Start();
    drevnik::ReportSeams().BuildReportText = ReportReady;
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    std::printf("threads  fault-to-report-ready (median of 15, microseconds)\n");
    for (const int count : {1, 10, 50}) {
        while (static_cast<int>(threads.size()) + 1 < count)
            threads.emplace_back([&] {
                while (!stop.load()) Sleep(1);
            });
        std::vector<double> times;
        for (int i = 0; i < 15; ++i) times.push_back(OneReport());
        std::sort(times.begin(), times.end());
        std::printf("%7d  %10.0f\n", count, times[times.size() / 2]);
    }
    stop.store(true);
    for (std::thread& t : threads) t.join();
    library.Stop();
    return 0;
}
