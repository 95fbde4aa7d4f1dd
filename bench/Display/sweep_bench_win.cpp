// Sweep benchmark, the display's side: runs the display form top-down for
// sweep rates from 1 to 1000, each phase after a short gap with the line
// hidden, and prints per rate the commanded pixels per second and the frames
// drawn per second; then the CPU the display uses at rate 500. The on-screen
// figures come from bench/Display/sweep_bench.py, which reads the window's
// pixels from the X server meanwhile and splits its record at the gaps.
#include <windows.h>

#include <cstdio>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynDisplayModel.h"
#include "Display/kynMainFormGUI.h"
#include "common/MessageBox.h"
#include "framework/gui/application.h"

namespace {

double g_freq = 1.0;

double NowSeconds() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / g_freq;
}

// Runs the messages for a while and, like the program's own loop, sleeps
// until the next one comes.
void PumpFor(double seconds) {
    const double end = NowSeconds() + seconds;
    for (double now = NowSeconds(); now < end; now = NowSeconds()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const double left = end - NowSeconds();
        if (left > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left * 1000.0) + 1, QS_ALLINPUT);
    }
}

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto s = [](const FILETIME& f) { return (double(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e7; };
    return s(kernel) + s(user);
}

}  // namespace

int main() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    g_freq = double(f.QuadPart);
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
    // A green line on black, top-down.
    model.SetBackgroundColour({0, 0, 0, common::ccBlack, 0});
    model.SetLineColour({0, 1, 0, common::ccGreen, 0});
    model.SetLineThickness(1);
    model.SetSweepDirection(common::sdTopDown);
    model.SetScanLineVisible(false);
    PumpFor(0.5);
    RECT r;
    GetWindowRect(form->Handle(), &r);
    std::printf("window %ld %ld %d %d refresh %u\n", r.left, r.top, form->ClientWidth(), form->ClientHeight(),
                kyn::TSweepTimer::RefreshRate());
    std::fflush(stdout);
    // The reader starts on the line above.
    PumpFor(1.0);
    for (int rate : {1, 100, 250, 500, 750, 900, 950, 990, 995, 1000}) {
        model.SetScanLineVisible(false);
        PumpFor(0.4);
        model.SetSweepRate(rate);
        model.SetScanLineVisible(true);
        const unsigned interval = kyn::SweepIntervalMs(rate);
        // Enough time for at least four steps.
        const double seconds = std::max(3.0, 4.5 * interval / 1000.0);
        const unsigned long frames0 = form->FramesDrawn();
        const double t0 = NowSeconds();
        PumpFor(seconds);
        const double elapsed = NowSeconds() - t0;
        std::printf("rate %d %u %.3f %.1f\n", rate, interval, 1000.0 / interval,
                    (form->FramesDrawn() - frames0) / elapsed);
        std::fflush(stdout);
    }
    model.SetScanLineVisible(false);
    model.SetSweepRate(500);
    PumpFor(0.5);
    const double cpu0 = ProcessCpuSeconds(), w0 = NowSeconds();
    PumpFor(5.0);
    const double cpu = (ProcessCpuSeconds() - cpu0) / (NowSeconds() - w0);
    std::printf("cpu500 %.1f\n", cpu * 100.0);
    std::fflush(stdout);
    form->Close();
    return 0;
}
