// A CGI program with the crash-report library: with the query "fault" it
// faults on its main thread, and the library answers the request with its
// HTML error page; otherwise it answers a plain page.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/debuginfo/DrevnikAddressLookup.h"
#include "crashreport/debuginfo/DrevnikModules.h"
#include "crashreport/report/ReportState.h"
#include "crashreport/report/WebApplication.h"
#include "framework/core/start_stop.h"

int main() {
    std::vector<fw::TStartStopStep> steps = drevnik::LibraryUnitSteps();
    steps.insert(steps.begin(), {L"DrevnikDebugInfo", drevnik::InstallDebugInfoReaders, nullptr});
    steps.push_back({L"Crash report text and log", drevnik::InstallReportSteps, nullptr});
    steps.push_back({L"Crash report web page", drevnik::InstallWebSteps, nullptr});
    steps.push_back(drevnik::UnitTableEndsStep());
    static fw::TStartStopTable table(std::move(steps));
    table.Start();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + "web_cgi_fault.dvf";
    const auto setUp = [&](drevnik::TDrevnikModuleOptions* options) {
        if (options == nullptr) return;
        options->SetOutputPath(log);
        options->SetHtmlPageTemplate("<html><head><title>Failure</title></head><body><%HTML_TAG%></body></html>");
    };
    setUp(drevnik::FindCurrentDrevnikLogOptions());
    if (drevnik::TDrevnikModuleInfo* own =
            drevnik::GetModuleInfo(reinterpret_cast<drevnik::TModuleHandle>(GetModuleHandleW(nullptr))))
        setUp(own->ModuleOptions.get());

    const char* query = std::getenv("QUERY_STRING");
    if (query == nullptr || std::strcmp(query, "fault") != 0) {
        // The runtime's text mode makes each "\n" a CR LF.
        std::printf("Content-Type: text/html\n\n<p>fine: %s</p>", drevnik::IsCGIApp() ? "cgi" : "not cgi");
        return 0;
    }
    volatile int* nowhere = nullptr;
    *nowhere = 42;
    return 0;
}
