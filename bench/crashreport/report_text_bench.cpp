// The report text of a process with 50 threads and 200 modules, and its
// append to a log of 1,000 reports (read, add, write back whole).
//   report_text_bench <scratch folder>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/report/LogFile.h"
#include "crashreport/report/ReportText.h"

using namespace drevnik;

namespace {

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: report_text_bench <scratch folder>\n");
        return 2;
    }
    TDrevnikModuleOptionsEx options{std::string()};
    TDrevnikModulesList modules;
    for (int i = 0; i < 200; ++i) {
        auto m = std::make_unique<TDrevnikModuleInfo>();
        m->ModuleHandle = 0x10000000u + static_cast<uintptr_t>(i) * 0x100000u;
        m->FilePath = "C:\\windows\\system32\\module" + std::to_string(i) + ".dll";
        m->FileDescription = "Module number " + std::to_string(i);
        m->FileVersionText = "6.1.7601." + std::to_string(i);
        m->FileSizeBytes = 100000u + static_cast<uint64_t>(i);
        m->FileDate = 46000.25;
        modules.Add(std::move(m));
    }
    TDrevnikStackList stack;
    for (uint32_t t = 0; t < 50; ++t)
        for (int f = 0; f < 12; ++f) {
            auto e = std::make_unique<TCallStackEntry>();
            e->EntryKind = ekUnitRoutineLine;
            e->ModuleRecord = &modules[f % 200];
            e->ThreadId = 1000 + t;
            e->IsFaultAddress = t == 0 && f == 0;
            e->CodeAddress = 0x00401000u + static_cast<uintptr_t>(f) * 0x40u;
            e->UnitFile = "unit" + std::to_string(f) + ".cpp";
            e->ClassPart = "TClass" + std::to_string(t);
            e->RoutineName = "Routine" + std::to_string(f);
            e->SourceLine = 10 + f;
            e->LineInRoutine = 2;
            stack.Add(std::move(e));
        }
    TDrevnikProcessesList processes;
    for (uint32_t p = 0; p < 40; ++p) {
        auto info = std::make_unique<TDrevnikProcessInfo>();
        info->ProcId = 8 * p;
        info->ExePath = "C:\\windows\\proc" + std::to_string(p) + ".exe";
        info->PriorityClass = 32;
        processes.Add(std::move(info));
    }
    TReportInputs in;
    for (std::string& v : in.General.Values) v = "value";
    in.General["2.7"] = "7F3A";
    in.Stack = &stack;
    in.Modules = &modules;
    in.Processes = &processes;
    in.Threads = [](uint32_t) { return TThreadFacts{true, 0, "", false}; };
    in.ExceptionAddress = 0x00401000;
    in.Memory.Read = [](uintptr_t, void*, std::size_t) { return false; };

    constexpr int kRounds = 20;
    auto start = std::chrono::steady_clock::now();
    TReportTexts texts;
    for (int i = 0; i < kRounds; ++i) texts = BuildReportTexts(options, in);
    const double buildMs = MsSince(start) / kRounds;

    const std::string path = std::string(argv[1]) + "/bench.dvf";
    {
        TLogFile log("", false);
        for (int i = 0; i < 1000; ++i) log.AddReport(texts.ReportText, -1);
        if (!WriteWholeFile(path, log.SaveToText())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    start = std::chrono::steady_clock::now();
    TLogFile log(path, false);
    const double loadMs = MsSince(start);
    const auto findStart = std::chrono::steady_clock::now();
    const int32_t duplicate = log.FindReport({"2.7"}, {"FFFF"});
    const double findMs = MsSince(findStart);
    log.AddReport(texts.ReportText, 1001);
    log.SaveToFile();
    const double appendMs = MsSince(start);
    std::printf("report text, 50 threads x 12 frames, 200 modules: %.2f ms (%zu bytes)\n", buildMs,
                texts.ReportText.size());
    std::printf("append to a log of 1,000 reports (%.1f MB): %.1f ms (read %.1f ms, duplicate search %.1f ms%s)\n",
                static_cast<double>(log.SaveToText().size()) / 1048576.0, appendMs, loadMs, findMs,
                duplicate == -1 ? "" : ", found");
    return 0;
}
