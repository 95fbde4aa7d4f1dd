// What the report dialogs share: their fonts, the own look of caption and
// frame, the auto-close and keep-in-front timers, placement on the monitor
// of the foreground window, text measuring, transparent bitmaps and the
// message they show. One dialog at a time; everything runs in the thread
// that shows it. Windows only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "crashreport/capture/DrevnikOptions.h"

namespace drevnik {

struct TDialogToolkit {
    HFONT CaptionFont = nullptr;
    HFONT MessageFont = nullptr;
    HFONT LinkBoldFont = nullptr;
    HFONT LinkFont = nullptr;
    HFONT BoldFont = nullptr;
    HFONT FixedFont = nullptr;
    HFONT ListFont = nullptr;
    int PointSize = 8;
    std::string ProportionalFace = "Verdana";
    std::string FixedFace = "Lucida Console";
    std::string ListFace = "Tahoma";
    bool ActiveCaption = true;
    bool TopMostMode = false;
    int CaptionMetric = SM_CYCAPTION;
    HWND GuardedDialog = nullptr;
    int AutoCloseCount = 0;
};
TDialogToolkit& DialogToolkit();

// The options the dialogs follow: the running report's, else the library's.
const TDrevnikModuleOptions& DialogOptions();
std::string DialogText(int index);
// Changes the running report's options and the library's current ones:
// the report's copy is reloaded from what the current ones publish after
// every event, and later reports start from them.
void ChangeDialogOptions(const std::function<void(TDrevnikModuleOptions&)>& change);

constexpr UINT_PTR kPaintTimer = 1;
constexpr UINT_PTR kAutoCloseTimer = 2;
constexpr UINT_PTR kKeepInFrontTimer = 3;

void CreateDialogFonts(HWND window);
void FreeDialogFonts();
void PrepareDialogWindow(HWND window, bool forceSmallCaption);

struct TFrameRects {
    RECT Outer{}, Inner{}, Caption{}, ClientFrame{};
};
TFrameRects ComputeFrameRects(HWND window);
// The own-look frame; false (nothing done) without dgOwnLook. `detailed`
// frames the client area as the detailed full dialog does.
bool PaintDialogFrame(UINT message, WPARAM wParam, const std::string& caption, HWND window, bool detailed = false,
                      int textShift = 0);

void StartAutoClose(HWND window);
void StopAutoClose(HWND window);
void RestartAutoCloseCount();
void StartKeepInFront(HWND window);
void StopKeepInFront(HWND window);

bool MonitorWorkAreaOfWindow(HWND window, RECT& area);
RECT WorkAreaOfWindow(HWND window);
RECT GetForegroundMonitorWorkArea();
void CenterInRect(HWND window, const RECT& rect);
void CenterOnForegroundMonitor(HWND window, int width, int height);
POINT BottomRightOffset(HWND window);
void GrowWindowBottom(HWND window, int delta);
inline HWND DialogOwnerWindow(bool /*modal*/) { return nullptr; }

int MeasureWrappedTextHeight(HWND window, HFONT font, const std::string& text, int width);
int MeasureTextWidth(HWND window, HFONT font, const std::string& text);
std::string ReadDlgItemText(HWND dialog, int id);
bool IsEscapeKeyDown();

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);

void OverrideDialogMessage(const std::string& text);
std::string GetShownExceptMessage();

void PumpOneMessage();

// The first-paint timer's tick: true when the dialog started at `startTick`
// still has not been painted and counts as not shown. A dialog opened
// minimised counts as shown; an unpainted one gets time to paint first.
bool FirstPaintMissed(HWND dialog, DWORD startTick);

// True for the messages of user input that restart the auto-close count.
bool IsUserInputMessage(UINT message);

}  // namespace drevnik
