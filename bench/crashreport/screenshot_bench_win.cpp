// Times the report's screenshot of a busy 1280x1024 screen: the capture,
// the octree reduction to 256 colours and the PNG written at deflate level 9.
// The captured pixels go to the file named by the first argument (24-bit,
// blue-green-red, top down) for screenshot_bench.sh to hand to PIL.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "crashreport/report/OctreePalette.h"
#include "crashreport/report/PngWriter.h"
#include "crashreport/report/Screenshot.h"

namespace {

LRESULT CALLBACK PaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    // A desktop-like picture: gradient panels, text and lines, some thousand colours.
    for (int y = 0; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 8) {
            HBRUSH brush = CreateSolidBrush(RGB((x * 255) / client.right, (y * 255) / client.bottom, (x + y) & 0xFF));
            RECT r{x, y, x + 8, y + 2};
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
    SetBkMode(dc, TRANSPARENT);
    for (int y = 10; y < client.bottom; y += 18)
        TextOutW(dc, 20 + (y % 200), y, L"Quorvex crash report screenshot benchmark 0123456789", 52);
    EndPaint(window, &ps);
    return 0;
}

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PaintProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ScreenshotBench";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 1024,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(window);
    const DWORD end = GetTickCount() + 500;
    while (GetTickCount() < end) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        Sleep(10);
    }

    constexpr int kRuns = 5;
    double capture = 0, write = 0;
    std::size_t bytes = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        drevnik::CaptureScreenshot();
        const auto t1 = std::chrono::steady_clock::now();
        if (run == 0 && argc > 1) {
            const drevnik::TScreenshotState& shot = drevnik::CurrentScreenshot();
            BITMAPINFOHEADER header{};
            header.biSize = sizeof header;
            header.biWidth = shot.RowBytes;
            header.biHeight = -shot.Height;
            header.biPlanes = 1;
            header.biBitCount = 24;
            const std::size_t stride = (static_cast<std::size_t>(shot.RowBytes) * 3 + 3) / 4 * 4;
            std::vector<uint8_t> all(stride * static_cast<std::size_t>(shot.Height));
            SelectObject(shot.MemoryDC, shot.PreviousObject);
            HDC screen = GetDC(nullptr);
            GetDIBits(screen, shot.Bitmap, 0, static_cast<UINT>(shot.Height), all.data(),
                      reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
            ReleaseDC(nullptr, screen);
            SelectObject(shot.MemoryDC, shot.Bitmap);
            std::ofstream raw(argv[1], std::ios::binary);
            for (int row = 0; row < shot.Height; ++row)
                raw.write(reinterpret_cast<const char*>(all.data() + static_cast<std::size_t>(row) * stride),
                          static_cast<std::streamsize>(shot.Width) * 3);
        }
        const auto t2 = std::chrono::steady_clock::now();
        std::string png;
        drevnik::WritePNG(png);
        const auto t3 = std::chrono::steady_clock::now();
        drevnik::ReleaseScreenshot();
        capture += Ms(t1 - t0);
        write += Ms(t3 - t2);
        bytes = png.size();
    }
    std::printf("Screenshot of %dx%d: capture %.1f ms, octree reduction and PNG (deflate 9) %.1f ms, %zu bytes\n",
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), capture / kRuns, write / kRuns, bytes);
    DestroyWindow(window);
    return 0;
}
