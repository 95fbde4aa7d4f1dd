// The report's screenshot: the screen (or the foreground window) captured
// before any dialog shows, with the focused window framed in red and the
// mouse cursor drawn in, then reduced to 256 octree colours and written as a
// palette PNG. One capture at a time, process-wide.
#pragma once

#include <windows.h>

#include <string>

#include "crashreport/report/OctreePalette.h"

namespace drevnik {

struct TScreenshotState {
    HWND SourceWindow = nullptr;
    HDC WindowDC = nullptr;
    HDC MemoryDC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ PreviousObject = nullptr;
    HPALETTE Palette = nullptr;
    bool PaletteUsed = false;
    RECT Rect{};           // the captured area in screen coordinates
    int Width = 0;         // W, at least 1
    int Height = 0;        // H, at least 1
    int RowBytes = 0;      // L: W bytes rounded up to a multiple of 4; the bitmap's width
};
const TScreenshotState& CurrentScreenshot();

void CaptureScreenshot();
// Writes the PNG of the capture to the file; an empty path writes nothing,
// and a failure to save is swallowed (the file is then missing). True when
// the file was written.
bool SaveScreenshotPNG(const std::string& path);
// Appends the PNG of the capture; false when there is no capture or it
// cannot be read.
bool WritePNG(std::string& stream);
void ReleaseScreenshot();

// Widens the rectangle to the monitors nearest its two corners; false (the
// rectangle unchanged) when that cannot be found out.
bool MonitorsBoundingRect(RECT& rect);
// The bitmap reduced to an 8-bit DIB section with the octree palette of its
// first `usedWidth` columns; null when it cannot be made.
HBITMAP ReduceTo256Colors(HBITMAP bitmap, int usedWidth);
int BuildOctreePalette(HBITMAP bitmap, int usedWidth, TPngPalette& table);

// The screenshot file to attach: its name while this report's capture has
// been saved to it, else empty.
std::string GetAttachedScreenshotFileName();

// Plugs capture, saving and release into the report's steps.
void InstallScreenshotSteps();

}  // namespace drevnik
