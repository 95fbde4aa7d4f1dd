// Captures windows of our own under Wine and writes the screenshot PNG; the
// wrapper (check_screenshots.py) reads every file back with PIL against the
// captured pixels, which the tests save beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/report/ReportState.h"
#include "crashreport/report/Screenshot.h"

namespace drevnik {
namespace {

enum class TPicture { Bands, Gradient };

TPicture gPicture = TPicture::Bands;

LRESULT CALLBACK PaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    if (gPicture == TPicture::Bands) {
        // 40 colours close together in bands of 8 pixels.
        for (int band = 0; band * 8 < client.bottom; ++band) {
            const int i = band % 40;
            HBRUSH brush = CreateSolidBrush(RGB(10 + i, 200 - i * 3, 90 + (i & 7)));
            RECT r{0, band * 8, client.right, band * 8 + 8};
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
    } else {
        // 4096 colours in blocks of 4 pixels, more than the palette holds.
        for (int y = 0; y < client.bottom; y += 4)
            for (int x = 0; x < client.right; x += 4) {
                HBRUSH brush = CreateSolidBrush(RGB((x / 4 * 4) & 0xFF, (y / 4 * 4) & 0xFF, 128));
                RECT r{x, y, x + 4, y + 4};
                FillRect(dc, &r, brush);
                DeleteObject(brush);
            }
    }
    EndPaint(window, &ps);
    return 0;
}

std::string ShotFolder() {
    const char* folder = std::getenv("KYN_SHOT_DIR");
    if (folder == nullptr || *folder == '\0') return {};
    // A Unix folder from the wrapper is reached through Wine's Z: drive.
    return folder[0] == '/' ? std::string("Z:") + folder + "/" : std::string(folder) + "\\";
}

void PumpFor(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        Sleep(10);
    }
}

class ScreenshotTest : public testing::Test {
protected:
    void TearDown() override {
        ReleaseScreenshot();
        if (window_ != nullptr) DestroyWindow(window_);
    }

    // A top-most window over the whole screen with a focusable child.
    void ShowPicture(TPicture picture) {
        gPicture = picture;
        WNDCLASSW wc{};
        wc.lpfnWndProc = PaintProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DrevnikShotTest";
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        RegisterClassW(&wc);
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        window_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"shot", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                  height, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        child_ = CreateWindowExW(0, wc.lpszClassName, L"child", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 100, 60, 200,
                                 120, window_, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(window_);
        SetCursorPos(width - 40, height - 40);
        UpdateWindow(window_);
        PumpFor(300);
    }

    // Saves the capture's pixels (24-bit, top down) beside the PNG and
    // announces both to the wrapper.
    void SaveAndAnnounce(const std::string& name, const char* mode, int x, int y) {
        const std::string folder = ShotFolder();
        if (folder.empty()) GTEST_SKIP() << "KYN_SHOT_DIR is not set";
        const TScreenshotState& shot = CurrentScreenshot();
        ASSERT_NE(shot.Bitmap, nullptr);
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = shot.RowBytes;
        header.biHeight = -shot.Height;
        header.biPlanes = 1;
        header.biBitCount = 24;
        const std::size_t stride = (static_cast<std::size_t>(shot.RowBytes) * 3 + 3) / 4 * 4;
        std::vector<uint8_t> all(stride * static_cast<std::size_t>(shot.Height));
        HDC screen = GetDC(nullptr);
        SelectObject(shot.MemoryDC, shot.PreviousObject);
        const int lines = GetDIBits(screen, shot.Bitmap, 0, static_cast<UINT>(shot.Height), all.data(),
                                    reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
        SelectObject(shot.MemoryDC, shot.Bitmap);
        ReleaseDC(nullptr, screen);
        ASSERT_EQ(lines, shot.Height);
        std::ofstream raw(folder + name + ".rgb", std::ios::binary);
        for (int row = 0; row < shot.Height; ++row)
            raw.write(reinterpret_cast<const char*>(all.data() + static_cast<std::size_t>(row) * stride),
                      static_cast<std::streamsize>(shot.Width) * 3);
        raw.close();
        ASSERT_TRUE(SaveScreenshotPNG(folder + name + ".png"));
        std::printf("SHOT|%s|%d|%d|%s|%d|%d\n", name.c_str(), shot.Width, shot.Height, mode, x, y);
        std::fflush(stdout);
    }

    HWND window_ = nullptr;
    HWND child_ = nullptr;
};

TEST_F(ScreenshotTest, FewColoursComeBackExactWithTheFocusFramedInRed) {
    ShowPicture(TPicture::Bands);
    SetFocus(child_);
    ASSERT_EQ(GetFocus(), child_);
    CaptureScreenshot();
    const TScreenshotState& shot = CurrentScreenshot();
    // The process's windows cover the screen: the capture is the monitor.
    EXPECT_EQ(shot.Width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(shot.Height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(shot.RowBytes % 4, 0);
    // The frame's second pixel ring at the child's left edge, half-way down.
    SaveAndAnnounce("bands", "exact", 101, 120);
}

TEST_F(ScreenshotTest, ManyColoursMapToTheNearestPaletteColourWithoutAFrame) {
    ShowPicture(TPicture::Gradient);
    SetFocus(nullptr);
    CaptureScreenshot();
    SaveAndAnnounce("gradient", "noframe", 0, 0);
}

TEST_F(ScreenshotTest, ActiveWindowOnlyCapturesTheForegroundWindow) {
    ShowPicture(TPicture::Bands);
    MoveWindow(window_, 10, 20, 1023, 300, TRUE);
    PumpFor(200);
    // The options of the report being handled.
    ReportState().HandlerOptions = std::make_unique<TDrevnikModuleOptionsEx>(std::string());
    ReportState().HandlerOptions->SetSendFlags(sdScreenshotActiveOnly);
    SetFocus(nullptr);
    CaptureScreenshot();
    ReportState().HandlerOptions.reset();
    const TScreenshotState& shot = CurrentScreenshot();
    EXPECT_EQ(shot.Width, 1023);
    EXPECT_EQ(shot.Height, 300);
    EXPECT_EQ(shot.RowBytes, 1024);
    SaveAndAnnounce("active", "exact", -1, -1);
}

TEST_F(ScreenshotTest, OnlyASavedCaptureJoinsTheAttachments) {
    ReportState().HandlerOptions = std::make_unique<TDrevnikModuleOptionsEx>(std::string());
    ReportState().HandlerOptions->SetSendFlags(sdAttachScreenshot);
    InstallReportSteps();
    const std::string file = GetScreenshotFileName();
    ASSERT_FALSE(file.empty());
    auto attached = [] {
        std::vector<std::string> list;
        BuildAttachmentList(false, list);
        return list;
    };
    ShowPicture(TPicture::Bands);
    ReportSeams().CaptureScreenshot();
    EXPECT_TRUE(GetAttachedScreenshotFileName().empty()) << "captured, not yet saved";
    ReportSeams().SaveScreenshot();
    ReportSeams().ReleaseScreenshot();
    std::vector<std::string> list = attached();
    EXPECT_NE(std::find(list.begin(), list.end(), file), list.end());
    std::ifstream png(file, std::ios::binary);
    EXPECT_TRUE(png.good());
    png.close();
    DeleteFileA(file.c_str());
    // A new report's capture that was never saved attaches nothing.
    ReportSeams().CaptureScreenshot();
    ReportSeams().ReleaseScreenshot();
    list = attached();
    EXPECT_EQ(std::find(list.begin(), list.end(), file), list.end());
    ReportState().HandlerOptions.reset();
}

TEST_F(ScreenshotTest, NothingToWriteWithoutACaptureOrAPath) {
    std::string png;
    EXPECT_FALSE(WritePNG(png));
    EXPECT_TRUE(png.empty());
    EXPECT_FALSE(SaveScreenshotPNG(""));
}

}  // namespace
}  // namespace drevnik
