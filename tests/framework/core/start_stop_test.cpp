// The start and stop table.
#include "framework/core/start_stop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/exceptions.h"

namespace fw {
namespace {

TEST(StartStopTable, StartsInOrderStopsInReverseAndGuardsEachStep) {
    std::vector<std::wstring> log;
    auto step = [&](std::wstring name, bool failStart, bool failStop) {
        return TStartStopStep{name,
                              [&log, name, failStart] {
                                  log.push_back(L"start " + name);
                                  if (failStart) throw EInvalidOperation(name + L" cannot start");
                              },
                              [&log, name, failStop] {
                                  log.push_back(L"stop " + name);
                                  if (failStop) throw EInvalidOperation(name + L" cannot stop");
                              }};
    };
    std::vector<std::wstring> reports;
    {
        TStartStopTable table({step(L"leaks", false, false), step(L"GDI+", true, false), step(L"themes", false, true),
                               TStartStopStep{L"stop only", nullptr, [&] { log.push_back(L"stop only"); }}},
                              [&](const std::wstring& name, bool starting, std::exception_ptr e) {
                                  reports.push_back(name + (starting ? L" start: " : L" stop: ") + ExceptionMessage(e));
                              });
        table.Start();
        table.Start();
        EXPECT_TRUE(table.Started());
        // The stop steps run when the table goes.
    }
    // A step whose start failed is not stopped; one whose stop fails does
    // not keep the steps before it from stopping.
    EXPECT_EQ(log, (std::vector<std::wstring>{L"start leaks", L"start GDI+", L"start themes", L"stop only",
                                              L"stop themes", L"stop leaks"}));
    EXPECT_EQ(reports, (std::vector<std::wstring>{L"GDI+ start: GDI+ cannot start",
                                                  L"themes stop: themes cannot stop"}));
}

TEST(StartStopTable, WithoutAReporterTheExceptionHookHearsOfFailures) {
    int heard = 0;
    SetExceptionHook([&](TComponent*, std::exception_ptr e) {
        heard += IsAbort(e) ? 100 : 1;
        return true;
    });
    TStartStopTable table({{L"fails", [] { throw EConvertError(L"x"); }, nullptr}});
    table.Start();
    table.Stop();
    SetExceptionHook(nullptr);
    EXPECT_EQ(heard, 1);
}

}  // namespace
}  // namespace fw
