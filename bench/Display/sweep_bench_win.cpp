// Sweep benchmark: runs the display form for a few sweep rates and prints the
// commanded and achieved pixels per second and the frames drawn per second.
#include <windows.h>

#include <cstdio>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynDisplayModel.h"
#include "Display/kynMainFormGUI.h"
#include "common/MessageBox.h"
#include "framework/gui/application.h"

namespace {

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

}  // namespace

int main() {
    kyn::TkynDisplayModel model;
    fw::TApplication app;
    app.SetTitle(L"Quorvex Panel");
    common::SetMessageBoxHandler([](common::TMessageBoxKind, const std::wstring&) {});
    common::SetEndRequestHandler([] {});
    // No dialog waits for an answer here.
    kyn::SetDisplayDialogRunner([](const kyn::TDisplayDialog&) { return 0; });
    auto* form = app.CreateForm<kyn::TkynMainForm>(model);
    app.CreateForm<kyn::TkynControllerForm>(model);
    form->Show();
    PumpFor(500);
    std::printf("%-6s %-10s %-12s %-12s %-10s\n", "rate", "interval", "commanded", "achieved", "frames/s");
    for (int rate : {1, 500, 900, 990, 1000}) {
        model.SetSweepRate(rate);
        const DWORD seconds = rate < 100 ? 5 : 3;
        unsigned long ticks0 = form->SweepTicks(), frames0 = form->FramesDrawn();
        LARGE_INTEGER f, t0, t1;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&t0);
        PumpFor(seconds * 1000);
        QueryPerformanceCounter(&t1);
        double elapsed = double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
        double commanded = 1000.0 / kyn::SweepIntervalMs(rate);
        std::printf("%-6d %-10u %-12.1f %-12.1f %-10.1f\n", rate, kyn::SweepIntervalMs(rate), commanded,
                    (form->SweepTicks() - ticks0) / elapsed, (form->FramesDrawn() - frames0) / elapsed);
        std::fflush(stdout);
    }
    form->Close();
    return 0;
}
