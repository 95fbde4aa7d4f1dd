#include "crashreport/report/DialogToolkit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/report/ReportDialogText.h"

namespace drevnik {

TDialogToolkit& DialogToolkit() {
    static TDialogToolkit& toolkit = *new TDialogToolkit;
    return toolkit;
}

const TDrevnikModuleOptions& DialogOptions() {
    const TReportState& state = ReportState();
    if (state.HandlerOptions) return *state.HandlerOptions;
    if (const TDrevnikModuleOptions* current = FindCurrentDrevnikLogOptions()) return *current;
    static const TDrevnikModuleOptions& fallback = *new TDrevnikModuleOptions(std::string());
    return fallback;
}

std::string DialogText(int index) { return DialogOptions().GetText(index); }

void ChangeDialogOptions(const std::function<void(TDrevnikModuleOptions&)>& change) {
    TDrevnikModuleOptions* report = ReportState().HandlerOptions.get();
    TDrevnikModuleOptions* current = FindCurrentDrevnikLogOptions();
    if (current != nullptr && current != report) change(*current);
    if (report != nullptr) change(*report);
}

namespace {

HFONT MakeFont(LOGFONTA font) { return CreateFontIndirectA(&font); }

HFONT MakeFixedPitchFont(HWND window, const std::string& face) {
    HDC dc = GetDC(window);
    const int height = -MulDiv(DialogToolkit().PointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(window, dc);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DRAFT_QUALITY, FIXED_PITCH | FF_MODERN, face.c_str());
}

void DeleteFontHandle(HFONT& font) {
    if (font != nullptr) DeleteObject(font);
    font = nullptr;
}

void CALLBACK AutoCloseTick(HWND window, UINT, UINT_PTR, DWORD) {
    TDialogToolkit& t = DialogToolkit();
    ++t.AutoCloseCount;
    if (t.AutoCloseCount == DialogOptions().AutoCloseSecs()) PostMessageA(window, WM_CLOSE, 0, 0);
}

void CALLBACK KeepDialogInFront(HWND, UINT, UINT_PTR, DWORD) {
    const TDialogToolkit& t = DialogToolkit();
    if (t.TopMostMode || t.GuardedDialog == nullptr) return;
    const HWND front = GetForegroundWindow();
    if (front == nullptr || front == t.GuardedDialog) return;
    if (IsOwnProcessWindow(front) && !IsNewProcessWindow(front)) SetForegroundWindow(t.GuardedDialog);
}

TTextSize MeasureIn(HDC dc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}

}  // namespace

void CreateDialogFonts(HWND window) {
    FreeDialogFonts();
    TDialogToolkit& t = DialogToolkit();
    if (GetUserCharset() == ANSI_CHARSET) {
        t.PointSize = 8;
        t.ProportionalFace = "Verdana";
        t.FixedFace = "Lucida Console";
        t.ListFace = "Tahoma";
    } else {
        t.PointSize = 10;
        t.ProportionalFace = "MS Sans Serif";
        t.FixedFace = "Courier New";
        t.ListFace = "Courier New";
    }
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;  // without the padded border of later systems
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0);
    t.CaptionFont = CreateFontA(metrics.lfCaptionFont.lfHeight, 0, 0, 0, 700, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_ROMAN,
                                t.ProportionalFace.c_str());
    LOGFONTA message = metrics.lfMessageFont;
    t.MessageFont = MakeFont(message);
    LOGFONTA f = message;
    f.lfUnderline = 1;
    f.lfWeight = 700;
    t.LinkBoldFont = MakeFont(f);
    f.lfWeight = 0;
    t.LinkFont = MakeFont(f);
    f.lfUnderline = 0;
    f.lfWeight = 700;
    t.BoldFont = MakeFont(f);
    t.FixedFont = MakeFixedPitchFont(window, t.FixedFace);
    t.ListFont = MakeFixedPitchFont(window, t.ListFace);
}

void FreeDialogFonts() {
    TDialogToolkit& t = DialogToolkit();
    for (HFONT* font : {&t.CaptionFont, &t.MessageFont, &t.LinkBoldFont, &t.LinkFont, &t.BoldFont, &t.FixedFont,
                        &t.ListFont})
        DeleteFontHandle(*font);
}

void PrepareDialogWindow(HWND window, bool forceSmallCaption) {
    TDialogToolkit& t = DialogToolkit();
    const TDrevnikModuleOptions& options = DialogOptions();
    t.ActiveCaption = true;
    const bool ownLook = (options.DialogFlags() & dgOwnLook) != 0 && options.DialogKind() != dkMsStyle;
    if (ownLook || forceSmallCaption) {
        t.CaptionMetric = SM_CYSMCAPTION;
    } else {
        SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(0x80));
        t.CaptionMetric = SM_CYCAPTION;
    }
    t.TopMostMode = (options.DialogFlags() & dgTopMost) != 0;
    if (t.TopMostMode) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RECT r{};
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left,
                 r.bottom - r.top + GetSystemMetrics(t.CaptionMetric) - 18,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

TFrameRects ComputeFrameRects(HWND window) {
    TFrameRects f;
    RECT r{};
    GetWindowRect(window, &r);
    OffsetRect(&r, -r.left, -r.top);
    f.Outer = r;
    const int fx = GetSystemMetrics(SM_CXFRAME) - 1;
    const int fy = GetSystemMetrics(SM_CYFRAME) - 1;
    f.Inner = {r.left + fx, r.top + fy, r.right - fx, r.bottom - fy};
    f.Caption = {r.left + fx + 1, r.top + fy + 1, r.right - fx - 1, 0};
    f.Caption.bottom = f.Caption.top + GetSystemMetrics(DialogToolkit().CaptionMetric) - 1;
    f.ClientFrame = f.Inner;
    f.ClientFrame.top = f.Caption.bottom + 1;
    return f;
}

bool PaintDialogFrame(UINT message, WPARAM wParam, const std::string& caption, HWND window, bool detailed,
                      int textShift) {
    if ((DialogOptions().DialogFlags() & dgOwnLook) == 0) return false;
    TDialogToolkit& t = DialogToolkit();
    if (message == WM_NCACTIVATE) t.ActiveCaption = wParam != 0;
    HDC dc = GetWindowDC(window);
    if (dc == nullptr) return false;
    const TFrameRects f = ComputeFrameRects(window);
    const COLORREF start = t.ActiveCaption ? 0xC29B82 : 0x979797;
    const COLORREF frame = t.ActiveCaption ? 0x404040 : 0x303030;
    const COLORREF border = t.ActiveCaption ? 0x808080 : 0x606060;

    RECT band = f.Caption;
    const int steps = (band.bottom - band.top) / 5;
    int red = GetRValue(start), green = GetGValue(start), blue = GetBValue(start);
    for (int i = 0; i < steps; ++i) {
        const auto darker = [](int c) { return std::min(255, static_cast<int>(std::lround(c * 0.96))); };
        red = darker(red);
        green = darker(green);
        blue = darker(blue);
        HBRUSH brush = CreateSolidBrush(RGB(red, green, blue));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
        band.top += 2;
        band.bottom -= 2;
    }
    HBRUSH frameBrush = CreateSolidBrush(frame);
    FrameRect(dc, &f.Outer, frameBrush);
    if (detailed) {
        FrameRect(dc, &f.ClientFrame, frameBrush);
        FrameRect(dc, &f.Inner, frameBrush);
    } else {
        RECT client = f.ClientFrame;
        client.bottom -= 1;
        FrameRect(dc, &client, frameBrush);
    }
    DeleteObject(frameBrush);
    HBRUSH borderBrush = CreateSolidBrush(border);
    const RECT& R = f.Outer;
    const RECT strips[4] = {{R.left + 1, R.top + 1, f.Inner.left, R.bottom - 1},
                            {R.left + 1, R.top + 1, R.right - 1, f.Inner.top},
                            {R.left + 1, f.Inner.bottom, R.right - 1, R.bottom - 1},
                            {f.Inner.right, R.top + 1, R.right - 1, R.bottom - 1}};
    for (const RECT& strip : strips) FillRect(dc, &strip, borderBrush);
    DeleteObject(borderBrush);

    HGDIOBJ oldFont = SelectObject(dc, t.CaptionFont != nullptr ? t.CaptionFont : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SIZE size{};
    GetTextExtentPoint32A(dc, caption.data(), static_cast<int>(caption.size()), &size);
    const int y = (f.Caption.top - 1) + (f.Caption.bottom - f.Caption.top + 1 - size.cy) / 2 - textShift;
    if (t.ActiveCaption) {
        SetTextColor(dc, 0x222222);
        TextOutA(dc, f.Caption.left + 5, y, caption.data(), static_cast<int>(caption.size()));
        SetTextColor(dc, 0xFFFFFF);
    } else {
        SetTextColor(dc, 0xE0E0E0);
    }
    TextOutA(dc, f.Caption.left + 4, y, caption.data(), static_cast<int>(caption.size()));
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
    return true;
}

void StartAutoClose(HWND window) {
    if (DialogOptions().AutoCloseSecs() <= 0) return;
    DialogToolkit().AutoCloseCount = 0;
    SetTimer(window, kAutoCloseTimer, 1000, AutoCloseTick);
}

void StopAutoClose(HWND window) {
    if (DialogOptions().AutoCloseSecs() > 0) KillTimer(window, kAutoCloseTimer);
}

void RestartAutoCloseCount() { DialogToolkit().AutoCloseCount = 0; }

void StartKeepInFront(HWND window) {
    SnapshotProcessWindows();
    DialogToolkit().GuardedDialog = window;
    SetTimer(window, kKeepInFrontTimer, 10, KeepDialogInFront);
}

void StopKeepInFront(HWND window) {
    KillTimer(window, kKeepInFrontTimer);
    DialogToolkit().GuardedDialog = nullptr;
}

bool MonitorWorkAreaOfWindow(HWND window, RECT& area) {
    HMODULE user32 = LoadLibraryA("user32.dll");
    if (user32 == nullptr) return false;
    using TMonitorFromWindow = HMONITOR(WINAPI*)(HWND, DWORD);
    using TGetMonitorInfo = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);
    const auto fromWindow = reinterpret_cast<TMonitorFromWindow>(
        reinterpret_cast<void*>(GetProcAddress(user32, "MonitorFromWindow")));
    const auto getInfo =
        reinterpret_cast<TGetMonitorInfo>(reinterpret_cast<void*>(GetProcAddress(user32, "GetMonitorInfoA")));
    bool ok = false;
    if (fromWindow != nullptr && getInfo != nullptr) {
        MONITORINFO info{};
        info.cbSize = 40;
        if (HMONITOR monitor = fromWindow(window, MONITOR_DEFAULTTONEAREST); monitor != nullptr && getInfo(monitor, &info)) {
            area = info.rcWork;
            ok = true;
        }
    }
    FreeLibrary(user32);
    return ok;
}

RECT WorkAreaOfWindow(HWND window) {
    RECT area{};
    if (MonitorWorkAreaOfWindow(window, area)) return area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

RECT GetForegroundMonitorWorkArea() {
    HWND front = GetForegroundWindow();
    return WorkAreaOfWindow(front != nullptr ? front : GetDesktopWindow());
}

void CenterInRect(HWND window, const RECT& rect) {
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(window, nullptr, rect.left + (rect.right - rect.left - w) / 2,
                 rect.top + (rect.bottom - rect.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterOnForegroundMonitor(HWND window, int width, int height) {
    const RECT area = GetForegroundMonitorWorkArea();
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT BottomRightOffset(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const RECT& work = ReportState().Dialog.WorkArea;
    return {work.right - (r.right - r.left), work.bottom - (r.bottom - r.top)};
}

void GrowWindowBottom(HWND window, int delta) {
    RECT r{};
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + delta,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MeasureWrappedTextHeight(HWND window, HFONT font, const std::string& text, int width) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    const int height =
        EstimateWrappedTextHeight(text, width, [dc](std::string_view word) { return MeasureIn(dc, std::string(word)); });
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return height;
}

int MeasureTextWidth(HWND window, HFONT font, const std::string& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    const int width = MeasureIn(dc, text).Width;
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return width;
}

std::string ReadDlgItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (item == nullptr) return {};
    const LRESULT length = SendMessageA(item, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> buffer(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1);
    const LRESULT got = SendMessageA(item, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, length)));
}

bool IsEscapeKeyDown() {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    return (keys[VK_ESCAPE] & 0x80) != 0;
}

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
    if (bitmap == nullptr || width <= 0 || height <= 0) return;
    HDC source = CreateCompatibleDC(dc);
    HDC mask = CreateCompatibleDC(dc);
    HDC work = CreateCompatibleDC(dc);
    HDC image = CreateCompatibleDC(dc);
    for (HDC memory : {source, mask, work, image}) SetMapMode(memory, GetMapMode(dc));
    HGDIOBJ oldSource = SelectObject(source, bitmap);
    HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP workBitmap = CreateCompatibleBitmap(dc, width, height);
    HBITMAP imageBitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ oldMask = SelectObject(mask, maskBitmap);
    HGDIOBJ oldWork = SelectObject(work, workBitmap);
    HGDIOBJ oldImage = SelectObject(image, imageBitmap);

    // Mask: 1 where the pixel has the transparent colour.
    const COLORREF transparent = GetPixel(source, 0, 0);
    const COLORREF oldBk = SetBkColor(source, transparent);
    BitBlt(mask, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SetBkColor(source, oldBk);
    // The destination where the mask is set, black elsewhere.
    SetBkColor(work, RGB(255, 255, 255));
    SetTextColor(work, RGB(0, 0, 0));
    BitBlt(work, 0, 0, width, height, dc, x, y, SRCCOPY);
    BitBlt(work, 0, 0, width, height, mask, 0, 0, SRCAND);
    // The picture where the mask is clear, black elsewhere.
    SetBkColor(image, RGB(255, 255, 255));
    SetTextColor(image, RGB(0, 0, 0));
    BitBlt(image, 0, 0, width, height, source, 0, 0, SRCCOPY);
    BitBlt(image, 0, 0, width, height, mask, 0, 0, 0x00220326);  // image AND NOT mask
    BitBlt(work, 0, 0, width, height, image, 0, 0, SRCPAINT);
    BitBlt(dc, x, y, width, height, work, 0, 0, SRCCOPY);

    SelectObject(image, oldImage);
    SelectObject(work, oldWork);
    SelectObject(mask, oldMask);
    SelectObject(source, oldSource);
    DeleteObject(imageBitmap);
    DeleteObject(workBitmap);
    DeleteObject(maskBitmap);
    for (HDC memory : {source, mask, work, image}) DeleteDC(memory);
}

void OverrideDialogMessage(const std::string& text) { ReportState().DialogMessageOverride = text; }

std::string GetShownExceptMessage() {
    const TReportState& state = ReportState();
    return state.DialogMessageOverride.empty() ? state.LastExceptMessage : state.DialogMessageOverride;
}

void PumpOneMessage() {
    try {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } catch (...) {
    }
}

// A loaded machine (or a slow X server) can take seconds for a first paint.
constexpr DWORD kFirstPaintLimitMs = 15000;

bool FirstPaintMissed(HWND dialog, DWORD startTick) {
    TDialogSession& s = ReportState().Dialog;
    if (!s.Painted.load() && IsIconic(dialog)) s.Painted.store(true);
    if (s.Painted.load()) {
        KillTimer(dialog, kPaintTimer);
        return false;
    }
    if (GetTickCount() - startTick < kFirstPaintLimitMs) {
        SetTimer(dialog, kPaintTimer, 100, nullptr);
        return false;
    }
    KillTimer(dialog, kPaintTimer);
    return true;
}

bool IsUserInputMessage(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONDBLCLK:
        case WM_NCMBUTTONDOWN:
        case WM_NCMBUTTONDBLCLK:
        case WM_MOUSEWHEEL:
        case WM_KEYDOWN:
        case WM_NOTIFY:
        case WM_COMMAND:
            return true;
        default:
            return false;
    }
}

}  // namespace drevnik
