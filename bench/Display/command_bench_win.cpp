// Text-command benchmark: the display form with its server applied through
// the Network page on 127.0.0.1; prints the lines executed per second from
// 1, 10 and 100 clients, and the time from a line's send to its effect on
// the display's state (median and 99th percentile), idle and beside 10 busy
// clients.
#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynDisplayModel.h"
#include "Display/kynMainFormGUI.h"
#include "common/MessageBox.h"
#include "framework/gui/application.h"
#include "tests/support/win_tcp_client.h"

namespace {

double Now() {
    static LARGE_INTEGER f = [] {
        LARGE_INTEGER v;
        QueryPerformanceFrequency(&v);
        return v;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(f.QuadPart);
}

// Under a steady stream of lines a message is always waiting: look at the
// condition after each one.
template <class F>
void PumpUntil(F done) {
    while (!done()) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        }
    }
}

std::string GridLines(int base, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += "NumericalCommand GridSize " + std::to_string(base + i % 500 + 1) + "\n";
    return bytes;
}

}  // namespace

int main() {
    kyn::TkynDisplayModel model;
    fw::TApplication app;
    app.SetTitle(L"Quorvex Panel");
    common::SetMessageBoxHandler([](common::TMessageBoxKind, const std::wstring&) {});
    common::SetEndRequestHandler([] {});
    kyn::SetDisplayDialogRunner([](const kyn::TDisplayDialog&) { return 0; });
    auto* form = app.CreateForm<kyn::TkynMainForm>(model);
    app.CreateForm<kyn::TkynControllerForm>(model);
    form->Show();
    const int port = fw::test::FreeLoopbackPort();
    kyn::kynControllerForm->KelEdit1->SetText(L"127.0.0.1");
    kyn::kynControllerForm->KelEdit2->SetText(std::to_wstring(port));
    kyn::kynControllerForm->KelGlowButton13Click();
    auto executed = [&] { return form->CommandHandOver().Executed(); };

    std::printf("%-8s %-8s %-10s %-12s\n", "clients", "lines", "seconds", "lines/s");
    for (int clients : {1, 10, 100}) {
        const int per_client = 20000 / clients;
        const unsigned long start_count = executed();
        std::vector<std::thread> threads;
        const double t0 = Now();
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&, c] {
                fw::test::TcpClient client(port);
                client.Send(GridLines(c * 500, per_client));
                client.ClosedByServer(100);
            });
        }
        PumpUntil([&] { return executed() >= start_count + static_cast<unsigned long>(clients * per_client); });
        const double seconds = Now() - t0;
        for (auto& t : threads) t.join();
        std::printf("%-8d %-8d %-10.2f %-12.0f\n", clients, clients * per_client, seconds, clients * per_client / seconds);
        std::fflush(stdout);
    }

    // Send to effect: the grid size a line sets is seen by the model's change
    // event on the GUI thread.
    double effect_at = 0;
    const int id = model.Subscribe([&](kyn::TModelChange change) {
        if (change == kyn::TModelChange::GridSpacing) effect_at = Now();
    });
    std::printf("%-22s %-12s %-12s\n", "send to effect", "median ms", "p99 ms");
    for (int busy : {0, 10}) {
        std::atomic<bool> stop{false};
        std::atomic<int> finished{0};
        std::vector<std::thread> load;
        for (int c = 0; c < busy; ++c) {
            load.emplace_back([&] {
                fw::test::TcpClient client(port);
                // Lines that change nothing: they only queue up.
                while (!stop && client.Send("Test\n")) {
                }
                ++finished;
            });
        }
        fw::test::TcpClient client(port);
        std::vector<double> ms;
        for (int i = 0; i < 2000; ++i) {
            effect_at = 0;
            const double sent = Now();
            client.Send("NumericalCommand GridSize " + std::to_string(60000 + i % 2) + "\n");
            PumpUntil([&] { return effect_at != 0; });
            ms.push_back((effect_at - sent) * 1000.0);
        }
        stop = true;
        // A busy client's send may wait for the GUI thread to take its lines.
        PumpUntil([&] { return finished == busy; });
        for (auto& t : load) t.join();
        std::sort(ms.begin(), ms.end());
        char label[32];
        std::snprintf(label, sizeof label, "%d busy clients", busy);
        std::printf("%-22s %-12.3f %-12.3f\n", label, ms[ms.size() / 2], ms[ms.size() * 99 / 100]);
        std::fflush(stdout);
    }
    model.Unsubscribe(id);
    form->Close();
    return 0;
}
