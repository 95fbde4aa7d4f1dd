#include "crashreport/report/ReportDialogs.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/report/DialogToolkit.h"
#include "crashreport/report/ReportDialogText.h"

namespace drevnik {
namespace {

constexpr const char* kIniFile = "DrevnikLog.ini";
constexpr const char* kCoordinates = "Coordinates";

HINSTANCE ProgramInstance() { return GetModuleHandleA(nullptr); }

TDialogSession& Session() { return ReportState().Dialog; }

bool IsDuplicate() {
    const TReportSeams& seams = ReportSeams();
    return seams.IsDuplicateReport != nullptr && seams.IsDuplicateReport();
}

bool IsInteractiveApp() {
    const TReportSeams& seams = ReportSeams();
    if (seams.IsWebApplication != nullptr && seams.IsWebApplication()) return false;
    if (seams.IsConsoleApplication != nullptr && seams.IsConsoleApplication()) return false;
    return true;
}

bool HasSendChannel(const TDrevnikModuleOptions& options) {
    return options.EmailMode() != emNone || options.WebMode() != wmNone;
}

bool TerminateButtonShown(const TDrevnikModuleOptions& options) {
    return options.TerminateButtonAction() != caNone &&
           options.TerminateButtonAfter() < ReportState().ReportsThisRun;
}

void SetItemFont(HWND dialog, int id, HFONT font) {
    if (HWND item = GetDlgItem(dialog, id)) SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void SetItemText(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

void ShowItem(HWND dialog, int id, bool show) {
    if (HWND item = GetDlgItem(dialog, id)) ShowWindow(item, show ? SW_SHOWNA : SW_HIDE);
}

void MoveItem(HWND dialog, int id, int x, int y, int w, int h) {
    if (HWND item = GetDlgItem(dialog, id)) SetWindowPos(item, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Full dialog state ----
struct TFullDialog {
    HWND Window = nullptr;
    HBITMAP ErrorBitmap = nullptr;
    SIZE ErrorSize{};
    HBRUSH BackBrush = nullptr;
    HBRUSH WhiteBrush = nullptr;
    RECT LinkRect{};
    bool LinkHover = false;
    bool Ready = false;  // WM_SIZE lays out from here on
    DWORD StartTick = 0;
} gFull;

HWND gShownDialog = nullptr;

HBITMAP LoadNamedBitmap(const char* name, SIZE* size) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(ProgramInstance(), name, IMAGE_BITMAP, 0, 0, 0));
    if (bitmap != nullptr && size != nullptr) {
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        *size = {info.bmWidth, info.bmHeight};
    }
    return bitmap;
}

void LoadDetailedPlacement() {
    TDialogSession& s = Session();
    const RECT& work = s.WorkArea;
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    auto read = [](const char* key, int fallback) {
        return ParseStoredInt(ReadIniString(kIniFile, kCoordinates, key, ""), fallback);
    };
    int width = read("Width", 745);
    int height = read("Height", 468);
    if (width <= 0) width = 745;
    if (height <= 0) height = 468;
    const int centredLeft = work.left + (workWidth - width) / 2;
    int left = read("Left", centredLeft);
    int top = read("Top", work.top + (workHeight - height - s.BottomBand) / 2);
    int state = read("WindowsState", 1);
    if (state != 1 && state != 3 && state != 6) state = 1;
    if (top < work.top || top + height > work.bottom || left < work.left || left + width > work.right) {
        left = centredLeft;
        top = work.top + (workHeight - height) / 2;
    }
    s.DetailedBounds.Left = left;
    s.DetailedBounds.Top = top;
    s.DetailedBounds.Width = width;
    s.DetailedBounds.Height = height;
    s.DetailedBounds.ShowState = state;
}

void SaveDetailedPlacement() {
    const TDialogSession& s = Session();
    if (s.DetailedBounds.Width == 0) return;
    if (s.DetailedBounds.ShowState == 1) {
        WriteIniString(kIniFile, kCoordinates, "Width", std::to_string(s.DetailedBounds.Width));
        WriteIniString(kIniFile, kCoordinates, "Height", std::to_string(s.DetailedBounds.Height - s.BottomBand));
        WriteIniString(kIniFile, kCoordinates, "Left", std::to_string(s.DetailedBounds.Left));
        WriteIniString(kIniFile, kCoordinates, "Top", std::to_string(s.DetailedBounds.Top));
    }
    WriteIniString(kIniFile, kCoordinates, "WindowsState", std::to_string(s.DetailedBounds.ShowState));
}

void ClearButtonFlatStyle(HWND dialog, int id) {
    if ((DialogOptions().DialogFlags() & dgOwnLook) != 0) return;
    if (HWND item = GetDlgItem(dialog, id))
        SetWindowLongPtrA(item, GWL_STYLE, GetWindowLongPtrA(item, GWL_STYLE) & ~static_cast<LONG_PTR>(0x8000));
}

void ApplyDetailedMode(HWND dialog, bool detailed) {
    TDialogSession& s = Session();
    const TDrevnikModuleOptions& options = DialogOptions();
    const bool ownLook = (options.DialogFlags() & dgOwnLook) != 0;
    if (!detailed) ShowWindow(dialog, SW_SHOWNORMAL);
    for (int id : {kIdOk, kIdTerminate, kIdDetails, kIdHelp, kIdSendCheck, kIdScreenshotCheck, kIdCopyCheck})
        ClearButtonFlatStyle(dialog, id);
    LONG_PTR bits = WS_MAXIMIZEBOX | WS_THICKFRAME;
    if (!ownLook) bits |= WS_SYSMENU;
    LONG_PTR style = GetWindowLongPtrA(dialog, GWL_STYLE);
    style = detailed ? (style | bits) : (style & ~bits);
    SetWindowLongPtrA(dialog, GWL_STYLE, style);
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(dialog, &placement);
    if (detailed) {
        SetItemText(dialog, kIdDetails, "<< " + DialogText(20));
        SetItemText(dialog, kIdMessage, DialogText(4));
        LoadDetailedPlacement();
        const auto& b = s.DetailedBounds;
        placement.showCmd = static_cast<UINT>(b.ShowState);
        ShowWindow(GetDlgItem(dialog, kIdTabs), SW_SHOWNA);
        placement.rcNormalPosition = {b.Left, b.Top, b.Left + b.Width, b.Top + b.Height + s.BottomBand};
    } else {
        SetItemText(dialog, kIdDetails, DialogText(20) + " >>");
        const std::string message = GetShownExceptMessage();
        SetItemText(dialog, kIdMessage, message);
        const HFONT font = DialogToolkit().MessageFont;
        const int frame = 2 * GetSystemMetrics(SM_CXFRAME) + 58;
        const int lineHeight = MeasureWrappedTextHeight(dialog, font, "O", 10000);
        const std::string extra = DialogText(22) + "    " + DialogText(24);
        const TCompactLayout layout = CompactMessageLayout(
            message, extra, frame, lineHeight,
            [&](std::string_view line) { return MeasureTextWidth(dialog, font, std::string(line)); });
        MoveItem(dialog, kIdMessage, 48, 8, layout.DialogWidth - frame, layout.TextHeight);
        const int height = 2 * GetSystemMetrics(SM_CYFRAME) + 86 + GetSystemMetrics(DialogToolkit().CaptionMetric) +
                           (layout.TextHeight > 39 ? layout.TextHeight - 39 : 0);
        const RECT& work = s.WorkArea;
        const int left = work.left + (work.right - work.left - layout.DialogWidth) / 2;
        const int top = work.top + (work.bottom - work.top - height) / 2;
        ShowWindow(GetDlgItem(dialog, kIdTabs), SW_HIDE);
        placement.showCmd = SW_SHOWNORMAL;
        placement.rcNormalPosition = {left, top, left + layout.DialogWidth, top + height + s.BottomBand};
    }
    SetWindowPlacement(dialog, &placement);
}

void LayOutFullDialog(HWND dialog, int w, int h, WPARAM sizeType) {
    TDialogSession& s = Session();
    const TDrevnikModuleOptions& options = DialogOptions();
    RECT keep{6, 80, w - 10, h - s.BottomBand - 52};
    HRGN all = CreateRectRgn(0, 0, w, h);
    HRGN hole = CreateRectRgnIndirect(&keep);
    CombineRgn(all, all, hole, RGN_DIFF);
    InvalidateRgn(dialog, all, FALSE);
    DeleteObject(hole);
    DeleteObject(all);
    MoveItem(dialog, kIdTabs, 4, 52, w - 8, h - s.BottomBand - 90);
    if (s.Detailed) MoveItem(dialog, kIdMessage, 48, 8, w - 56, 42);

    const HFONT font = DialogToolkit().MessageFont;
    int buttonWidth = 75;
    for (int text : {17, 18, 19, 20, 21})
        buttonWidth = std::max(buttonWidth, MeasureTextWidth(dialog, font, DialogText(text) + "O"));
    const int y = h - 32 - s.BottomBand;
    const bool terminateShown = TerminateButtonShown(options);
    MoveItem(dialog, kIdTerminate, 5, y, buttonWidth, 25);
    ShowItem(dialog, kIdTerminate, terminateShown);
    const int helpX = terminateShown ? buttonWidth + 13 : 5;
    MoveItem(dialog, kIdHelp, helpX, y, buttonWidth, 25);
    int okX = (w - buttonWidth) / 2;
    if ((options.DialogFlags() & dgShowHelpButton) != 0 && helpX + buttonWidth >= okX) okX = helpX + buttonWidth + 8;
    MoveItem(dialog, kIdOk, okX, y, buttonWidth, 25);
    const bool detailsShown = (options.DialogFlags() & dgShowDetailsButton) != 0 && !s.ForceDetailed;
    MoveItem(dialog, kIdDetails, w - buttonWidth - 5, y, buttonWidth, 25);
    ShowItem(dialog, kIdDetails, detailsShown);

    ShowItem(dialog, kIdSeparator, false);
    const int half = (w - 8) / 2;
    MoveItem(dialog, kIdSendCheck, 4, y + 34, half, 16);
    SetItemText(dialog, kIdSendCheck, DialogText(22));
    MoveItem(dialog, kIdCopyCheck, w - half - 4, y + 34, half, 16);
    SetItemText(dialog, kIdCopyCheck, DialogText(24));
    MoveItem(dialog, kIdScreenshotCheck, 23, y + 50, w / 2, 16);
    SetItemText(dialog, kIdScreenshotCheck, DialogText(23));

    const int linkWidth = MeasureTextWidth(dialog, DialogToolkit().LinkBoldFont, DialogText(25));
    const int linkTop = y + 34 + (s.CopyCheckShown ? 16 : 0);
    gFull.LinkRect = {w - linkWidth - 4, linkTop, w - 4, linkTop + 13};
    gFull.LinkHover = false;

    if (sizeType == SIZE_MAXIMIZED) {
        s.DetailedBounds.ShowState = 3;
    } else if (sizeType == SIZE_MINIMIZED) {
        s.DetailedBounds.ShowState = 6;
    } else if (s.Detailed) {
        s.DetailedBounds.ShowState = 1;
        RECT r{};
        GetWindowRect(dialog, &r);
        s.DetailedBounds.Width = r.right - r.left;
        s.DetailedBounds.Height = r.bottom - r.top;
    }
    FitPageToTab(dialog);
}

void EndReportDialog(HWND dialog) {
    Session().KindInUse = dkNone;
    EndDialog(dialog, 0);
}

void RunCustomButtonEvent() {
    ReportState().CloseDialog = false;
    auto body = [] { FireButtonClick(); };
    RunEventInFaultingThread(body);
}

INT_PTR FullInitDialog(HWND dialog) {
    TDialogSession& s = Session();
    TDialogToolkit& t = DialogToolkit();
    const TDrevnikModuleOptions& options = DialogOptions();
    const uint16_t flags = options.DialogFlags();
    gFull = {};
    gFull.Window = dialog;
    gFull.StartTick = GetTickCount();
    gShownDialog = dialog;
    t.GuardedDialog = dialog;
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOZORDER);

    t.TopMostMode = (flags & dgTopMost) != 0;
    if ((flags & dgOwnLook) != 0) {
        t.CaptionMetric = SM_CYSMCAPTION;
    } else {
        SetWindowLongPtrA(dialog, GWL_EXSTYLE, GetWindowLongPtrA(dialog, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(0x80));
        t.CaptionMetric = SM_CYCAPTION;
    }
    if (t.TopMostMode) SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    s.SendCheckShown = HasSendChannel(options) && !IsDuplicate() && (flags & dgShowSendCheck) != 0;
    s.ScreenshotCheckShown =
        (options.SendFlags() & sdAttachScreenshot) != 0 && s.SendCheckShown && (flags & dgShowScreenshotCheck) != 0;
    s.CopyWanted = true;
    s.SendWanted = true;
    s.CopyCheckShown = (flags & dgShowCopyCheck) != 0;
    s.SupportLinkShown = !Trim(options.SupportUrl()).empty();
    s.BottomBand = BottomBandHeight(s.SendCheckShown, s.ScreenshotCheckShown, s.CopyCheckShown, s.SupportLinkShown);
    s.DetailedBounds = {};

    SetForegroundWindow(dialog);
    s.Detailed = s.ForceDetailed || (flags & dgOpenDetailed) != 0;

    gFull.ErrorBitmap = LoadNamedBitmap("DV_Error", &gFull.ErrorSize);
    gFull.BackBrush = (flags & dgOwnLook) != 0 ? CreateSolidBrush(0xC8D0D4) : GetSysColorBrush(COLOR_BTNFACE);
    gFull.WhiteBrush = CreateSolidBrush(0xFFFFFF);
    CreateDialogFonts(dialog);

    for (int id : {kIdMessage, kIdOk, kIdTerminate, kIdDetails, kIdHelp, kIdTabs, kIdSendCheck, kIdScreenshotCheck,
                   kIdCopyCheck})
        SetItemFont(dialog, id, t.MessageFont);
    SetItemText(dialog, kIdOk, DialogText(17));
    SetItemText(dialog, kIdTerminate, DialogText(options.TerminateButtonAction() == caTerminate ? 18 : 19));
    if ((flags & dgShowHelpButton) != 0)
        SetItemText(dialog, kIdHelp, DialogText(21));
    else
        ShowItem(dialog, kIdHelp, false);

    CheckDlgButton(dialog, kIdSendCheck, s.SendWanted && (flags & dgSendChecked) != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, kIdScreenshotCheck), IsDlgButtonChecked(dialog, kIdSendCheck) == BST_CHECKED);
    if (!s.SendCheckShown) {
        ShowItem(dialog, kIdSendCheck, false);
        ShowItem(dialog, kIdScreenshotCheck, false);
    }
    if (!s.ScreenshotCheckShown) ShowItem(dialog, kIdScreenshotCheck, false);
    CheckDlgButton(dialog, kIdScreenshotCheck,
                   s.ScreenshotWanted && (flags & dgScreenshotChecked) != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kIdCopyCheck, BST_UNCHECKED);
    if (!s.CopyCheckShown) ShowItem(dialog, kIdCopyCheck, false);

    SetWindowTextA(dialog, DialogText(3).c_str());

    const bool modules = (options.LogFlags() & lgModulesAndProcesses) != 0;
    const bool assembler = (options.LogFlags() & lgAssemblerAndCpu) != 0;
    HWND tabs = GetDlgItem(dialog, kIdTabs);
    std::vector<int> tabTexts = {5, 7};
    if (modules) tabTexts.insert(tabTexts.end(), {9, 11});
    if (assembler) tabTexts.insert(tabTexts.end(), {13, 15});
    for (std::size_t i = 0; i < tabTexts.size(); ++i) {
        std::string text = DialogText(tabTexts[i]);
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.iImage = -1;
        item.pszText = text.data();
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }

    const int page = NormalizeStartPage(options.StartPage(), modules, assembler);
    ShowDetailPage(dialog, -page);
    SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(std::max(0, TabOfPage(page, modules, assembler))), 0);
    SendMessageA(dialog, DM_SETDEFID, kIdOk, 0);
    SetFocus(GetDlgItem(dialog, kIdOk));

    gFull.Ready = true;
    ApplyDetailedMode(dialog, s.Detailed);
    SetTimer(dialog, kPaintTimer, 1, nullptr);
    StartAutoClose(dialog);
    StartKeepInFront(dialog);
    return FALSE;  // the focus was set here
}

void FullDestroy(HWND dialog) {
    TDialogSession& s = Session();
    KillTimer(dialog, kPaintTimer);
    StopAutoClose(dialog);
    StopKeepInFront(dialog);
    s.SendWanted = s.SendWanted && IsDlgButtonChecked(dialog, kIdSendCheck) == BST_CHECKED;
    s.ScreenshotWanted = IsDlgButtonChecked(dialog, kIdScreenshotCheck) == BST_CHECKED;
    s.CopyWanted = s.CopyWanted && IsDlgButtonChecked(dialog, kIdCopyCheck) == BST_CHECKED;
    ChangeDialogOptions([&s](TDrevnikModuleOptions& options) {
        uint16_t flags = options.DialogFlags();
        flags = s.SendWanted ? (flags | dgSendChecked) : (flags & ~dgSendChecked);
        flags = s.ScreenshotWanted ? (flags | dgScreenshotChecked) : (flags & ~dgScreenshotChecked);
        options.SetDialogOptions(flags);
    });
    FreeDialogFonts();
    if ((DialogOptions().DialogFlags() & dgOwnLook) != 0 && gFull.BackBrush != nullptr) DeleteObject(gFull.BackBrush);
    if (gFull.WhiteBrush != nullptr) DeleteObject(gFull.WhiteBrush);
    if (gFull.ErrorBitmap != nullptr) DeleteObject(gFull.ErrorBitmap);
    DestroyDetailPage();
    if (s.Detailed) SaveDetailedPlacement();
    gFull = {};
    gShownDialog = nullptr;
}

void FullPaint(HWND dialog) {
    Session().Painted.store(true);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    DrawTransparentBitmap(dc, gFull.ErrorBitmap, 8, 8, gFull.ErrorSize.cx, gFull.ErrorSize.cy);
    if (Session().SupportLinkShown) {
        FillRect(dc, &gFull.LinkRect, gFull.BackBrush);
        const std::string text = DialogText(25);
        HGDIOBJ old = SelectObject(dc, DialogToolkit().LinkBoldFont);
        SetTextColor(dc, 0x800000);
        SetBkMode(dc, TRANSPARENT);
        RECT r = gFull.LinkRect;
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    EndPaint(dialog, &paint);
}

INT_PTR Handled(HWND dialog, LRESULT result) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

HWND CurrentReportDialog() { return gShownDialog != nullptr ? gShownDialog : CurrentMsDialog(); }

INT_PTR CALLBACK FullDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        TDialogSession& s = Session();
        const uint16_t flags = DialogOptions().DialogFlags();
        if (IsUserInputMessage(message)) RestartAutoCloseCount();
        switch (message) {
            case WM_INITDIALOG:
                return FullInitDialog(dialog);
            case WM_SIZE:
                if (gFull.Ready) LayOutFullDialog(dialog, LOWORD(lParam), HIWORD(lParam), wParam);
                return TRUE;
            case WM_MOVE:
                if (gFull.Ready && s.Detailed && !IsZoomed(dialog) && !IsIconic(dialog)) {
                    RECT r{};
                    GetWindowRect(dialog, &r);
                    s.DetailedBounds.Left = r.left;
                    s.DetailedBounds.Top = r.top;
                }
                return TRUE;
            case WM_PAINT:
                FullPaint(dialog);
                return TRUE;
            case WM_MOUSEMOVE: {
                const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                gFull.LinkHover = s.SupportLinkShown && PtInRect(&gFull.LinkRect, p);
                if (gFull.LinkHover) {
                    SetCursor(LoadCursor(nullptr, IDC_HAND));
                    InvalidateRect(dialog, &gFull.LinkRect, FALSE);
                }
                return TRUE;
            }
            case WM_LBUTTONUP:
                if (gFull.LinkHover) {
                    DialogToolkit().TopMostMode = false;
                    SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                    ShellExecuteA(nullptr, "open", DialogOptions().SupportUrl().c_str(), nullptr, nullptr,
                                  SW_SHOWMAXIMIZED);
                }
                return TRUE;
            case WM_NCPAINT:
            case WM_NCACTIVATE:
                if (PaintDialogFrame(message, wParam, DialogText(3), dialog, s.Detailed, s.Detailed ? 0 : 1))
                    return Handled(dialog, TRUE);
                return FALSE;
            case WM_CTLCOLORDLG:
                if ((flags & dgOwnLook) != 0) return reinterpret_cast<INT_PTR>(gFull.BackBrush);
                return FALSE;
            case WM_CTLCOLORSTATIC:
                if ((flags & dgOwnLook) != 0) {
                    SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                    SetTextColor(reinterpret_cast<HDC>(wParam), 0);
                    return reinterpret_cast<INT_PTR>(gFull.BackBrush);
                }
                return FALSE;
            case WM_NOTIFY: {
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (header->idFrom == kIdTabs && header->code == TCN_SELCHANGE)
                    ShowDetailPage(dialog, static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
                return TRUE;
            }
            case WM_COMMAND:
                switch (LOWORD(wParam)) {
                    case IDCANCEL:
                        s.SendWanted = false;
                        s.UserCancelled = true;
                        s.CopyWanted = false;
                        EndReportDialog(dialog);
                        return TRUE;
                    case kIdOk:
                        EndReportDialog(dialog);
                        return TRUE;
                    case kIdTerminate:
                        s.CloseRequested = true;
                        EndReportDialog(dialog);
                        return TRUE;
                    case kIdDetails:
                        if (s.Detailed) SaveDetailedPlacement();
                        s.Detailed = !s.Detailed;
                        InvalidateRect(dialog, nullptr, TRUE);
                        ApplyDetailedMode(dialog, s.Detailed);
                        return TRUE;
                    case kIdHelp:
                        RunCustomButtonEvent();
                        if (ReportState().CloseDialog) EndReportDialog(dialog);
                        return TRUE;
                    case kIdSendCheck:
                        EnableWindow(GetDlgItem(dialog, kIdScreenshotCheck),
                                     IsDlgButtonChecked(dialog, kIdSendCheck) == BST_CHECKED);
                        return TRUE;
                    default:
                        return FALSE;
                }
            case WM_CLOSE:
                EndReportDialog(dialog);
                return TRUE;
            case WM_TIMER:
                if (wParam == kPaintTimer) {
                    if (FirstPaintMissed(dialog, gFull.StartTick)) EndReportDialog(dialog);
                    return TRUE;
                }
                return FALSE;
            case WM_DESTROY:
                FullDestroy(dialog);
                return TRUE;
            default:
                return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

// ---- Reproduce steps -------------------------------------------------------------------

INT_PTR CALLBACK ReproduceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    try {
        if (IsUserInputMessage(message)) RestartAutoCloseCount();
        switch (message) {
            case WM_INITDIALOG: {
                gShownDialog = dialog;
                PrepareDialogWindow(dialog, false);
                CreateDialogFonts(dialog);
                const TDialogToolkit& t = DialogToolkit();
                SetWindowTextA(dialog, DialogText(123).c_str());
                SetItemText(dialog, 100, DialogText(124));
                SetItemText(dialog, IDOK, DialogText(125));
                SetItemText(dialog, IDCANCEL, DialogText(125));
                SetItemFont(dialog, 100, t.MessageFont);
                SetItemFont(dialog, IDCANCEL, t.MessageFont);
                SetItemFont(dialog, 101, t.FixedFont);
                SetItemText(dialog, 101, DialogOptions().ReproduceText());
                RECT r{};
                GetWindowRect(dialog, &r);
                const int usable = (r.right - r.left) - 27;
                const int labelHeight = MeasureWrappedTextHeight(dialog, t.MessageFont, DialogText(124), usable);
                const int editHeight = (r.bottom - r.top) - labelHeight - 83;
                GrowWindowBottom(dialog, labelHeight - 10);
                MoveItem(dialog, 100, 10, 10, usable, labelHeight);
                MoveItem(dialog, 101, 10, labelHeight + 14, usable, editHeight);
                MoveItem(dialog, IDCANCEL, usable - 65, labelHeight + editHeight + 20, 75, 23);
                StartAutoClose(dialog);
                CenterInRect(dialog, Session().WorkArea);
                StartKeepInFront(dialog);
                return TRUE;
            }
            case WM_COMMAND:
                if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                    const std::string steps = Trim(ReadDlgItemText(dialog, 101));
                    ChangeDialogOptions([&steps](TDrevnikModuleOptions& o) { o.SetReproduceText(steps); });
                    EndDialog(dialog, 0);
                }
                return TRUE;
            case WM_CLOSE:
                EndDialog(dialog, 0);
                return TRUE;
            case WM_PAINT:
                Session().Painted.store(true);
                return FALSE;
            case WM_NCPAINT:
            case WM_NCACTIVATE:
                if (PaintDialogFrame(message, wParam, DialogText(123), dialog)) return Handled(dialog, TRUE);
                return FALSE;
            case WM_DESTROY:
                StopAutoClose(dialog);
                StopKeepInFront(dialog);
                FreeDialogFonts();
                gShownDialog = nullptr;
                return TRUE;
            default:
                return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

void ShowReproduceDialog() {
    const TDrevnikModuleOptions& options = DialogOptions();
    TDialogSession& s = Session();
    if ((options.LogFlags() & lgAskReproduceSteps) == 0 || !IsInteractiveApp() || IsDuplicate() ||
        !(s.SendWanted || options.WriteLogFile()) || s.DialogsUnavailable)
        return;
    s.Painted.store(false);
    DialogBoxParamA(ProgramInstance(), "DV_Request", DialogOwnerWindow(true), ReproduceDialogProc, 0);
    s.Painted.store(false);
}

// ---- Send progress -----------------------------------------------------------------------

TSendProgressState& SendProgressState() {
    static TSendProgressState& state = *new TSendProgressState;
    return state;
}

namespace {

struct TSendDialog {
    HBITMAP Bitmap = nullptr;
    bool Modal = true;
    bool KeepInFront = false;
} gSend;

DWORD WINAPI SendDialogThread(void* modal) {
    RunSendProgressDialog(modal != nullptr);
    return 0;
}

}  // namespace

INT_PTR CALLBACK SendProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_INITDIALOG: {
                gSend.Modal = lParam != 0;
                PrepareDialogWindow(dialog, !gSend.Modal);
                CreateDialogFonts(dialog);
                SendProgressState().Window.store(dialog);
                SetWindowTextA(dialog, DialogText(110).c_str());
                SetItemFont(dialog, 100, DialogToolkit().MessageFont);
                gSend.Bitmap = LoadNamedBitmap("DV_Send", nullptr);
                gSend.KeepInFront = gSend.Modal;
                if (gSend.Modal) {
                    CenterInRect(dialog, Session().WorkArea);
                    StartKeepInFront(dialog);
                } else {
                    const POINT corner = BottomRightOffset(dialog);
                    SetWindowPos(dialog, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                }
                return TRUE;
            }
            case WM_SETFOCUS:
                SendProgressState().DialogUp.store(true);
                return FALSE;
            case WM_PAINT: {
                Session().Painted.store(true);
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(dialog, &paint);
                DrawTransparentBitmap(dc, gSend.Bitmap, 8, 8, 32, 32);
                EndPaint(dialog, &paint);
                return TRUE;
            }
            case WM_NCPAINT:
            case WM_NCACTIVATE:
                if (PaintDialogFrame(message, wParam, DialogText(110), dialog)) return Handled(dialog, TRUE);
                return FALSE;
            case kEndSendProgressMessage:
                if (gSend.Modal)
                    EndDialog(dialog, 0);
                else
                    DestroyWindow(dialog);
                return TRUE;
            case WM_DESTROY:
                if (gSend.KeepInFront) StopKeepInFront(dialog);
                FreeDialogFonts();
                if (gSend.Bitmap != nullptr) DeleteObject(gSend.Bitmap);
                gSend.Bitmap = nullptr;
                SendProgressState().Window.store(nullptr);
                return TRUE;
            default:
                return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

void RunSendProgressDialog(bool modal) {
    TDialogSession& s = Session();
    s.Painted.store(false);
    const LPARAM parameter = modal ? 1 : 0;
    if (ReportState().ReportRunsInline) {
        CreateDialogParamA(ProgramInstance(), "DV_Server", DialogOwnerWindow(false), SendProgressDialogProc, parameter);
    } else {
        DialogBoxParamA(ProgramInstance(), "DV_Server", DialogOwnerWindow(true), SendProgressDialogProc, parameter);
    }
    s.Painted.store(false);
}

void StartSendProgressDialog(bool modal) {
    TSendProgressState& state = SendProgressState();
    state.Window.store(nullptr);
    state.DialogUp.store(false);
    state.Thread = nullptr;
    const TDrevnikModuleOptions& options = DialogOptions();
    TDialogSession& s = Session();
    if ((options.SendFlags() & sdShowProgress) == 0 || !HasSendChannel(options) || !IsInteractiveApp() ||
        s.DialogsUnavailable) {
        s.Painted.store(true);
        return;
    }
    if (ReportState().ReportRunsInline) {
        RunSendProgressDialog(modal);
    } else {
        state.Thread = CreateThread(nullptr, 0, SendDialogThread, modal ? reinterpret_cast<void*>(1) : nullptr,
                                    CREATE_SUSPENDED, nullptr);
        if (state.Thread == nullptr) return;
        SetThreadPriority(state.Thread, THREAD_PRIORITY_HIGHEST);
        ResumeThread(state.Thread);
    }
    // A dialog that never gets the focus must not hold delivery up for ever.
    for (int i = 0; i < 200 && !state.DialogUp.load(); ++i) Sleep(50);
}

// ---- The dispatcher ----------------------------------------------------------------------

void FireTerminatingAction() {
    TDrevnikExceptionRecord* record = ReportState().CurrentReport.load();
    if (record == nullptr) return;
    bool execute = Session().CloseRequested;
    ForwardActionEvent(*record, atTerminating, execute);
    DispatchActionEvent(*record, atTerminating, execute);
    Session().CloseRequested = execute;
}

void ShowExceptionDialog(bool beep) {
    TDialogSession& s = Session();
    s.DialogsUnavailable = false;
    HMODULE richEdit = LoadLibraryA("RICHED20.DLL");
    const HWND previous = GetForegroundWindow();
    DialogToolkit().GuardedDialog = nullptr;
    try {
        if (beep && s.KindInUse != dkMessageBox) MessageBeep(MB_ICONHAND);
        const auto messageBox = [] {
            MessageBoxA(nullptr, GetShownExceptMessage().c_str(), DialogText(3).c_str(), 0x242010);
        };
        bool done = true;
        do {
            done = true;
            s.Painted.store(false);
            switch (s.KindInUse) {
                case dkFull:
                    DialogBoxParamA(ProgramInstance(), "DV_Dialog", DialogOwnerWindow(true), FullDialogProc, 0);
                    break;
                case dkMsStyle:
                    DialogBoxParamA(ProgramInstance(), "DV_MS_Dialog", DialogOwnerWindow(true), MsDialogProc, 0);
                    break;
                case dkMessageBox:
                    s.Painted.store(true);
                    messageBox();
                    s.KindInUse = dkNone;
                    break;
                default:
                    s.Painted.store(true);
                    break;
            }
            if (!s.Painted.load() && GetVersion() < 0x80000000u) messageBox();
            if (s.CloseRequested) {
                ClearWarning();
                auto body = [] { FireTerminatingAction(); };
                RunEventInFaultingThread(body);
                done = s.CloseRequested;
            }
            if (!s.Painted.load()) {
                ReportWarning(eeShowError, "Cannot show the DialogBox window.");
                s.KindInUse = dkNone;
                s.DialogsUnavailable = true;
            }
        } while (!done);
    } catch (...) {
        s.Painted.store(false);
        if (richEdit != nullptr) FreeLibrary(richEdit);
        throw;
    }
    s.Painted.store(false);
    if (richEdit != nullptr) FreeLibrary(richEdit);
    if (previous != nullptr) SetForegroundWindow(previous);
}

void InstallReportDialogs() {
    TReportSeams& seams = ReportSeams();
    seams.ShowExceptionDialog = ShowExceptionDialog;
    seams.ShowReproduceDialog = ShowReproduceDialog;
    seams.UpdateWorkArea = [] { ReportState().Dialog.WorkArea = GetForegroundMonitorWorkArea(); };
    seams.ExceptionDialogWindow = [] { return CurrentReportDialog(); };
    InitCommonControls();
}

}  // namespace drevnik
