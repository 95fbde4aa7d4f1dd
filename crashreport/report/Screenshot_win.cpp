#include "crashreport/report/Screenshot.h"

#include <algorithm>
#include <vector>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/report/PngWriter.h"
#include "crashreport/report/ReportState.h"

namespace drevnik {

namespace {

TScreenshotState gShot;
bool gShotSaved = false;  // this report's capture is in GetScreenshotFileName's file

const TDrevnikModuleOptions* ShotOptions() {
    const TReportState& state = ReportState();
    if (state.HandlerOptions) return state.HandlerOptions.get();
    return FindCurrentDrevnikLogOptions();
}

int RowBytesOf(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

// A bottom-up DIB header of one row of 24-bit pixels of the bitmap's width.
struct TRowInfo {
    BITMAPINFOHEADER Header{};
    explicit TRowInfo(int width, int height) {
        Header.biSize = sizeof Header;
        Header.biWidth = width;
        Header.biHeight = height;
        Header.biPlanes = 1;
        Header.biBitCount = 24;
        Header.biCompression = BI_RGB;
    }
};

// Walks the bitmap's rows from the top down as 24-bit pixels, one row at a time.
template <class F>
bool ForEachRgbRow(HBITMAP bitmap, F&& row) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return false;
    TRowInfo header(info.bmWidth, info.bmHeight);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(RowBytesOf(info.bmWidth, 24)));
    bool ok = true;
    for (int y = 0; y < info.bmHeight && ok; ++y) {
        const UINT scan = static_cast<UINT>(info.bmHeight - 1 - y);
        ok = GetDIBits(screen, bitmap, scan, 1, bytes.data(), reinterpret_cast<BITMAPINFO*>(&header.Header),
                       DIB_RGB_COLORS) == 1;
        if (ok) row(scan, bytes.data());
    }
    ReleaseDC(nullptr, screen);
    return ok;
}

// The window with the keyboard focus in the faulting thread (else this one).
HWND FocusedWindowOfReport() {
    const TExceptNotifyParams* params = ReportState().ReportParams;
    if (params != nullptr && params->FaultThreadId != 0 && params->FaultThreadId != GetCurrentThreadId()) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(params->FaultThreadId, &info) ? info.hwndFocus : nullptr;
    }
    return GetFocus();
}

void MarkFocusedWindow(HDC dc, const RECT& capture) {
    const HWND focus = FocusedWindowOfReport();
    RECT r;
    if (focus == nullptr || !GetWindowRect(focus, &r)) return;
    OffsetRect(&r, -capture.left, -capture.top);
    HBRUSH red = CreateSolidBrush(0x0000FF);
    if (red == nullptr) return;
    FrameRect(dc, &r, red);
    InflateRect(&r, -1, -1);
    FrameRect(dc, &r, red);
    DeleteObject(red);
}

void DrawCursor(HDC dc, const RECT& capture) {
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    if (!GetCursorInfo(&cursor) || cursor.hCursor == nullptr || (cursor.flags & CURSOR_SHOWING) == 0) return;
    ICONINFO icon{};
    if (!GetIconInfo(cursor.hCursor, &icon)) return;
    if (icon.hbmMask != nullptr) DeleteObject(icon.hbmMask);
    if (icon.hbmColor != nullptr) DeleteObject(icon.hbmColor);
    DrawIconEx(dc, cursor.ptScreenPos.x - capture.left - static_cast<int>(icon.xHotspot),
               cursor.ptScreenPos.y - capture.top - static_cast<int>(icon.yHotspot), cursor.hCursor, 32, 32, 0,
               nullptr, DI_NORMAL);
}

void SelectPaletteOfSystem(HDC windowDC, HDC memoryDC) {
    if ((GetDeviceCaps(windowDC, RASTERCAPS) & RC_PALETTE) == 0) return;
    struct {
        WORD Version;
        WORD Count;
        PALETTEENTRY Entries[256];
    } logical{};
    logical.Version = 0x300;
    logical.Count = static_cast<WORD>(GetSystemPaletteEntries(windowDC, 0, 256, logical.Entries));
    if (logical.Count == 0) return;
    gShot.Palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
    if (gShot.Palette == nullptr) return;
    SelectPalette(memoryDC, gShot.Palette, FALSE);
    RealizePalette(memoryDC);
    gShot.PaletteUsed = true;
}

}  // namespace

const TScreenshotState& CurrentScreenshot() { return gShot; }

bool MonitorsBoundingRect(RECT& rect) {
    HMODULE user = LoadLibraryA("user32.dll");
    if (user == nullptr) return false;
    using TMonitorFromPoint = HMONITOR(WINAPI*)(POINT, DWORD);
    using TGetMonitorInfo = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);
    const auto fromPoint = reinterpret_cast<TMonitorFromPoint>(
        reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromPoint")));
    const auto getInfo = reinterpret_cast<TGetMonitorInfo>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoA")));
    bool ok = false;
    if (fromPoint != nullptr && getInfo != nullptr) {
        MONITORINFO first{}, second{};
        first.cbSize = second.cbSize = sizeof(MONITORINFO);
        const HMONITOR a = fromPoint(POINT{rect.left, rect.top}, MONITOR_DEFAULTTONEAREST);
        const HMONITOR b = fromPoint(POINT{rect.right, rect.bottom}, MONITOR_DEFAULTTONEAREST);
        if (a != nullptr && b != nullptr && getInfo(a, &first) && getInfo(b, &second)) {
            rect = RECT{first.rcMonitor.left, first.rcMonitor.top, second.rcMonitor.right, second.rcMonitor.bottom};
            ok = true;
        }
    }
    FreeLibrary(user);
    return ok;
}

void CaptureScreenshot() {
    ReleaseScreenshot();
    gShotSaved = false;
    const TDrevnikModuleOptions* options = ShotOptions();
    const bool activeOnly = options != nullptr && (options->SendFlags() & sdScreenshotActiveOnly) != 0;
    RECT r{};
    if (activeOnly) {
        gShot.SourceWindow = GetForegroundWindow();
        if (gShot.SourceWindow == nullptr) gShot.SourceWindow = GetDesktopWindow();
        GetWindowRect(gShot.SourceWindow, &r);
    } else {
        gShot.SourceWindow = GetDesktopWindow();
        r = GetProcessWindowsRect(GetCurrentProcessId());
        const bool none = r.left == -1 && r.top == -1 && r.right == -1 && r.bottom == -1;
        if (none || !MonitorsBoundingRect(r)) GetWindowRect(gShot.SourceWindow, &r);
    }
    // The origin in the source window's coordinates: the desktop's are the screen's.
    const POINT origin = activeOnly ? POINT{0, 0} : POINT{r.left, r.top};
    gShot.Rect = r;
    gShot.Width = r.right - r.left > 0 ? r.right - r.left : 1;
    gShot.Height = r.bottom - r.top > 0 ? r.bottom - r.top : 1;
    gShot.RowBytes = RowBytesOf(gShot.Width, 8);

    gShot.WindowDC = GetWindowDC(gShot.SourceWindow);
    if (gShot.WindowDC == nullptr) return;
    gShot.MemoryDC = CreateCompatibleDC(gShot.WindowDC);
    gShot.Bitmap = CreateCompatibleBitmap(gShot.WindowDC, gShot.RowBytes, gShot.Height);
    if (gShot.MemoryDC == nullptr || gShot.Bitmap == nullptr) return;
    gShot.PreviousObject = SelectObject(gShot.MemoryDC, gShot.Bitmap);
    SelectPaletteOfSystem(gShot.WindowDC, gShot.MemoryDC);
    BitBlt(gShot.MemoryDC, 0, 0, gShot.Width, gShot.Height, gShot.WindowDC, origin.x, origin.y, SRCCOPY);
    MarkFocusedWindow(gShot.MemoryDC, r);
    DrawCursor(gShot.MemoryDC, r);
    GdiFlush();
}

int BuildOctreePalette(HBITMAP bitmap, int usedWidth, TPngPalette& table) {
    table.fill(TPaletteEntry{});
    TOctreePalette tree;
    if (!ForEachRgbRow(bitmap, [&](UINT, const uint8_t* row) {
            tree.AddBgrRow(row, static_cast<std::size_t>(usedWidth));
        }))
        return 0;
    return tree.CollectPaletteColors(table);
}

HBITMAP ReduceTo256Colors(HBITMAP bitmap, int usedWidth) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0) return nullptr;
    usedWidth = std::min<int>(usedWidth, info.bmWidth);
    struct {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[256];
    } dib{};
    TPngPalette table;
    const int count = BuildOctreePalette(bitmap, usedWidth, table);
    if (count == 0) return nullptr;
    dib.Header.biSize = sizeof dib.Header;
    dib.Header.biWidth = info.bmWidth;
    dib.Header.biHeight = info.bmHeight;
    dib.Header.biPlanes = 1;
    dib.Header.biBitCount = 8;
    dib.Header.biCompression = BI_RGB;
    dib.Header.biClrUsed = 256;
    for (std::size_t i = 0; i < 256; ++i)
        dib.Colors[i] = RGBQUAD{table[i].Blue, table[i].Green, table[i].Red, 0};
    void* bits = nullptr;
    HBITMAP reduced =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&dib), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (reduced == nullptr || bits == nullptr) return nullptr;
    // Each pixel goes to its nearest table colour. Wine's own 8-bit
    // conversion maps through a coarse colour cache and can miss even a
    // colour the table holds exactly, so the mapping is done here.
    const std::size_t stride = static_cast<std::size_t>(RowBytesOf(info.bmWidth, 8));
    auto* rows = static_cast<uint8_t*>(bits);
    TNearestColorMap map(table, count);
    if (!ForEachRgbRow(bitmap, [&](UINT scan, const uint8_t* row) {
            map.MapBgrRow(row, static_cast<std::size_t>(usedWidth), rows + scan * stride);
        })) {
        DeleteObject(reduced);
        return nullptr;
    }
    return reduced;
}

bool WritePNG(std::string& stream) {
    if (gShot.MemoryDC == nullptr || gShot.Bitmap == nullptr) return false;
    // GetDIBits wants the bitmap selected into no context.
    SelectObject(gShot.MemoryDC, gShot.PreviousObject);
    if (HBITMAP reduced = ReduceTo256Colors(gShot.Bitmap, gShot.Width)) {
        DeleteObject(gShot.Bitmap);
        gShot.Bitmap = reduced;
    }
    struct {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[256];
    } dib{};
    dib.Header.biSize = sizeof dib.Header;
    dib.Header.biWidth = gShot.RowBytes;
    dib.Header.biHeight = gShot.Height;
    dib.Header.biPlanes = 1;
    dib.Header.biBitCount = 8;
    dib.Header.biCompression = BI_RGB;
    std::vector<uint8_t> pixels(static_cast<std::size_t>(gShot.RowBytes) * static_cast<std::size_t>(gShot.Height));
    const int lines = GetDIBits(gShot.MemoryDC, gShot.Bitmap, 0, static_cast<UINT>(gShot.Height), pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&dib), DIB_RGB_COLORS);
    SelectObject(gShot.MemoryDC, gShot.Bitmap);
    if (lines != gShot.Height) return false;
    TPngPalette palette;
    for (std::size_t i = 0; i < 256; ++i)
        palette[i] = TPaletteEntry{dib.Colors[i].rgbBlue, dib.Colors[i].rgbGreen, dib.Colors[i].rgbRed, 0};
    TIndexedImage image;
    image.Width = static_cast<uint32_t>(gShot.Width);
    image.Height = static_cast<uint32_t>(gShot.Height);
    image.RowBytes = static_cast<std::size_t>(gShot.RowBytes);
    image.Rows = pixels.data();
    image.BottomUp = true;
    return WritePngImage(stream, image, palette);
}

bool SaveScreenshotPNG(const std::string& path) {
    if (path.empty()) return false;
    try {
        std::string png;
        return WritePNG(png) && WriteWholeFile(path, png);
    } catch (...) {
        return false;
    }
}

void ReleaseScreenshot() {
    if (gShot.MemoryDC != nullptr && gShot.PreviousObject != nullptr)
        SelectObject(gShot.MemoryDC, gShot.PreviousObject);
    if (gShot.MemoryDC != nullptr) DeleteDC(gShot.MemoryDC);
    if (gShot.PaletteUsed && gShot.Palette != nullptr) DeleteObject(gShot.Palette);
    if (gShot.Bitmap != nullptr) DeleteObject(gShot.Bitmap);
    if (gShot.WindowDC != nullptr) ReleaseDC(gShot.SourceWindow, gShot.WindowDC);
    gShot = TScreenshotState{};
}

std::string GetAttachedScreenshotFileName() { return gShotSaved ? GetScreenshotFileName() : std::string(); }

void InstallScreenshotSteps() {
    TReportSeams& seams = ReportSeams();
    seams.CaptureScreenshot = CaptureScreenshot;
    seams.SaveScreenshot = [] { gShotSaved = SaveScreenshotPNG(GetScreenshotFileName()); };
    seams.ReleaseScreenshot = ReleaseScreenshot;
}

}  // namespace drevnik
