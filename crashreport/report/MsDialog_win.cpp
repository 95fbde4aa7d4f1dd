// The short report dialog: a white header with the apology, the message,
// an invitation to send the report, a link to the full dialog, the box for
// what the user was doing and the e-mail box.
#include <windows.h>

#include <algorithm>
#include <string>

#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/report/DialogToolkit.h"
#include "crashreport/report/ReportDialogText.h"
#include "crashreport/report/ReportDialogs.h"
#include "crashreport/report/ReportState.h"

namespace drevnik {
namespace {

constexpr const char* kIniFile = "DrevnikLog.ini";
enum : int {
    kIdTitle = 102,
    kIdText = 103,
    kIdRestart = 104,
    kIdTellUs = 105,
    kIdCreated = 106,
    kIdSeeData = 107,
    kIdWhatDoing = 108,
    kIdSteps = 109,
    kIdEmailLabel = 110,
    kIdEmail = 111,
    kIdSend = 1000,
    kIdDontSend = 1001,
    kIdCustom = 1002,
};

struct TMsDialog {
    HBITMAP ErrorBitmap = nullptr;
    HBRUSH BackBrush = nullptr;
    RECT LinkRect{};
    bool LinkHover = false;
    DWORD StartTick = 0;
} gMs;

TDialogSession& Session() { return ReportState().Dialog; }

void PlaceWrappedLabel(HWND dialog, int x, int& y, HFONT font, bool advance, const std::string& text, int id,
                       int width) {
    HWND item = GetDlgItem(dialog, id);
    SetWindowTextA(item, text.c_str());
    SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    const int height = MeasureWrappedTextHeight(dialog, font, text, width);
    SetWindowPos(item, nullptr, x, y, width, height + 1, SWP_NOZORDER | SWP_NOACTIVATE);
    if (advance) y += height;
}

int ButtonWidthForCaption(HWND dialog, const std::string& caption) {
    std::string plain;
    for (char c : caption)
        if (c != '&') plain += c;
    return std::max(75, MeasureTextWidth(dialog, DialogToolkit().MessageFont, plain) +
                            4 * GetSystemMetrics(SM_CYBORDER) + 16);
}

void PlaceButton(HWND dialog, int id, int x, int y, const std::string& caption, int height) {
    HWND item = GetDlgItem(dialog, id);
    SetWindowTextA(item, caption.c_str());
    SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(DialogToolkit().MessageFont), TRUE);
    SetWindowPos(item, nullptr, x, y, ButtonWidthForCaption(dialog, caption), height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Hide(HWND dialog, int id) { ShowWindow(GetDlgItem(dialog, id), SW_HIDE); }

void PaintDetailsLink(HDC dc) {
    FillRect(dc, &gMs.LinkRect, gMs.BackBrush);
    const std::string text = DialogText(32);
    HGDIOBJ old = SelectObject(dc, DialogToolkit().LinkFont);
    SetTextColor(dc, 0xFF0000);
    SetBkMode(dc, TRANSPARENT);
    RECT r = gMs.LinkRect;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_NOPREFIX | DT_WORDBREAK);
    SelectObject(dc, old);
}

// Takes over the e-mail address and the steps and ends the dialog. An
// address that is not plausible keeps the dialog open when the user chose
// to send or not to send; leaving by Escape, the close box or auto-close
// drops it instead, so nothing can hold a cancel up.
void CloseMsDialog(HWND dialog, bool refuseBadAddress) {
    TDialogSession& s = Session();
    TReportState& state = ReportState();
    const std::string address = Trim(ReadDlgItemText(dialog, kIdEmail));
    if (IsPlausibleEmail(address)) {
        ChangeDialogOptions([&address](TDrevnikModuleOptions& o) { o.SetSmtpFrom(address); });
        TReportTexts& texts = CurrentReportTexts();
        ReplaceReportEmailItem(texts.GeneralText, address);
        ReplaceReportEmailItem(texts.ReportText, address);
        if (TDrevnikExceptionRecord* record = state.CurrentReport.load())
            ReplaceReportEmailItem(record->ReportTextCopy, address);
        texts.TextToSend = texts.ReportText;
        WriteIniString(kIniFile, "User", "Email", address);
    } else if (!address.empty() && refuseBadAddress && !s.UserCancelled) {
        MessageBoxA(nullptr, DialogText(157).c_str(), DialogText(2).c_str(), 0x242010);
        return;
    }
    const std::string steps = Trim(ReadDlgItemText(dialog, kIdSteps));
    ChangeDialogOptions([&steps](TDrevnikModuleOptions& o) { o.SetReproduceText(steps); });
    s.CloseRequested = (s.CloseRequested || IsDlgButtonChecked(dialog, kIdRestart) == BST_CHECKED) && !s.UserCancelled;
    EndDialog(dialog, 0);
}

void Cancel(HWND dialog) {
    TDialogSession& s = Session();
    s.SendWanted = false;
    s.UserCancelled = true;
    s.KindInUse = dkNone;
    SendMessageA(dialog, WM_CLOSE, 0, 0);
}

INT_PTR InitMsDialog(HWND dialog) {
    TDialogSession& s = Session();
    const TDrevnikModuleOptions& options = DialogOptions();
    const uint16_t flags = options.DialogFlags();
    const TReportSeams& seams = ReportSeams();
    gMs = {};
    gMs.StartTick = GetTickCount();
    PrepareDialogWindow(dialog, false);
    CreateDialogFonts(dialog);
    const TDialogToolkit& t = DialogToolkit();
    gMs.ErrorBitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "DV_Error", IMAGE_BITMAP, 0, 0, 0));
    for (int id : {kIdText, kIdRestart, kIdCreated, kIdSeeData, kIdWhatDoing, kIdEmailLabel, kIdEmail, kIdSend,
                   kIdDontSend, kIdCustom})
        SendMessageA(GetDlgItem(dialog, id), WM_SETFONT, reinterpret_cast<WPARAM>(t.MessageFont), TRUE);
    SendMessageA(GetDlgItem(dialog, kIdSteps), WM_SETFONT, reinterpret_cast<WPARAM>(t.FixedFont), TRUE);
    SetDlgItemTextA(dialog, kIdSteps, options.ReproduceText().c_str());
    SetDlgItemTextA(dialog, kIdEmail, ReadIniString(kIniFile, "User", "Email", "").c_str());
    SetWindowTextA(dialog, DialogText(3).c_str());

    const bool duplicate = seams.IsDuplicateReport != nullptr && seams.IsDuplicateReport();
    s.SendCheckShown = (options.EmailMode() != emNone || options.WebMode() != wmNone) && !duplicate &&
                       (flags & dgShowSendCheck) != 0;
    if (!s.SendCheckShown) {
        HWND send = GetDlgItem(dialog, kIdSend);
        ShowWindow(send, SW_HIDE);
        EnableWindow(send, FALSE);
        SendMessageA(send, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        SendMessageA(dialog, DM_SETDEFID, kIdDontSend, 0);
        SendMessageA(GetDlgItem(dialog, kIdDontSend), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        SetFocus(GetDlgItem(dialog, kIdDontSend));
    }

    const std::string title = DialogText(26);
    const int titleHeight = MeasureWrappedTextHeight(dialog, t.BoldFont, title, 356);
    int titleY = (51 - titleHeight) / 2;
    PlaceWrappedLabel(dialog, 8, titleY, t.BoldFont, false, title, kIdTitle, 356);
    SetWindowPos(GetDlgItem(dialog, kIdTitle), nullptr, 8, (51 - titleHeight) / 2, 356, titleHeight + 1,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    int y = 59;
    PlaceWrappedLabel(dialog, 8, y, t.MessageFont, true, GetShownExceptMessage(), kIdText, 397);
    if (options.TerminateButtonAction() != caNone && options.TerminateButtonAfter() < ReportState().ReportsThisRun) {
        y += 10;
        PlaceWrappedLabel(dialog, 8, y, t.MessageFont, true,
                          DialogText(options.TerminateButtonAction() == caTerminate ? 28 : 27), kIdRestart, 397);
    } else {
        Hide(dialog, kIdRestart);
    }
    if (s.SendCheckShown) {
        y += 10;
        PlaceWrappedLabel(dialog, 8, y, t.BoldFont, true, DialogText(29), kIdTellUs, 397);
        y += 2;
        PlaceWrappedLabel(dialog, 8, y, t.MessageFont, true, DialogText(30), kIdCreated, 397);
    } else {
        Hide(dialog, kIdTellUs);
        Hide(dialog, kIdCreated);
    }
    if ((flags & dgShowDetailsButton) != 0) {
        y += 12;
        const std::string seeData = Trim(DialogText(31)) + " ";
        const int width = MeasureTextWidth(dialog, t.MessageFont, seeData);
        const int top = y;
        PlaceWrappedLabel(dialog, 8, y, t.MessageFont, true, seeData, kIdSeeData, width);
        const std::string link = DialogText(32);
        gMs.LinkRect.left = width + 8;
        gMs.LinkRect.top = top;
        gMs.LinkRect.right = gMs.LinkRect.left + MeasureTextWidth(dialog, t.LinkFont, link);
        gMs.LinkRect.bottom = top + MeasureWrappedTextHeight(dialog, t.LinkFont, link, 356);
    } else {
        Hide(dialog, kIdSeeData);
    }
    int rowHeight = MeasureWrappedTextHeight(dialog, t.MessageFont, "O", 356);
    const int border = GetSystemMetrics(SM_CYBORDER);
    if ((options.LogFlags() & lgAskReproduceSteps) != 0) {
        y += 12;
        PlaceWrappedLabel(dialog, 8, y, t.MessageFont, true, DialogText(33), kIdWhatDoing, 397);
        y += 2;
        rowHeight = MeasureWrappedTextHeight(dialog, t.FixedFont, "O", 356);
        const int height = 8 * border + 4 * rowHeight;
        SetWindowPos(GetDlgItem(dialog, kIdSteps), nullptr, 8, y, 397, height, SWP_NOZORDER | SWP_NOACTIVATE);
        y += height - 4;
    } else {
        Hide(dialog, kIdWhatDoing);
        Hide(dialog, kIdSteps);
    }
    if (s.SendCheckShown && (options.EmailMode() != emClient || options.WebMode() != wmNone)) {
        y += 12;
        const std::string label = DialogText(34) + " ";
        const int width = MeasureTextWidth(dialog, t.MessageFont, label);
        rowHeight = MeasureWrappedTextHeight(dialog, t.MessageFont, "O", 356);
        SetWindowPos(GetDlgItem(dialog, kIdEmail), nullptr, width + 8, y, 397 - width, rowHeight + 8 * border,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        y += 4 * border;
        PlaceWrappedLabel(dialog, 8, y, t.MessageFont, true, label, kIdEmailLabel, width);
    } else {
        Hide(dialog, kIdEmailLabel);
        Hide(dialog, kIdEmail);
    }
    y += 12;
    const int buttonHeight = 4 * border + rowHeight + 6;
    PlaceButton(dialog, kIdCustom, 8, y, DialogText(21), buttonHeight);
    if ((flags & dgShowHelpButton) == 0) Hide(dialog, kIdCustom);
    const int dontSendWidth = ButtonWidthForCaption(dialog, DialogText(36));
    const std::string dontSend = s.SendWanted && s.SendCheckShown ? DialogText(36) : DialogText(17);
    PlaceButton(dialog, kIdDontSend, 405 - dontSendWidth, y, dontSend, buttonHeight);
    const int sendWidth = ButtonWidthForCaption(dialog, DialogText(35));
    PlaceButton(dialog, kIdSend, 397 - dontSendWidth - sendWidth, y, DialogText(35), buttonHeight);

    const int height = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) + buttonHeight + y + 10;
    CenterOnForegroundMonitor(dialog, 419, height);
    gMs.BackBrush = GetSysColorBrush(COLOR_BTNFACE);
    gMs.LinkHover = false;
    SetTimer(dialog, kPaintTimer, 1, nullptr);
    StartAutoClose(dialog);
    StartKeepInFront(dialog);
    return s.SendCheckShown ? TRUE : FALSE;
}

HWND gMsWindow = nullptr;

}  // namespace

HWND CurrentMsDialog() { return gMsWindow; }

INT_PTR CALLBACK MsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        TDialogSession& s = Session();
        if (IsUserInputMessage(message)) RestartAutoCloseCount();
        switch (message) {
            case WM_INITDIALOG:
                gMsWindow = dialog;
                return InitMsDialog(dialog);
            case WM_PAINT: {
                s.Painted.store(true);
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(dialog, &paint);
                RECT band{0, 0, 413, 51};
                FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
                FrameRect(dc, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                DrawTransparentBitmap(dc, gMs.ErrorBitmap, 372, 9, 32, 32);
                if ((DialogOptions().DialogFlags() & dgShowDetailsButton) != 0) PaintDetailsLink(dc);
                EndPaint(dialog, &paint);
                return TRUE;
            }
            case WM_CTLCOLORSTATIC:
                if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, kIdTitle)) {
                    SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
                }
                return FALSE;
            case WM_MOUSEMOVE: {
                const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                gMs.LinkHover = (DialogOptions().DialogFlags() & dgShowDetailsButton) != 0 && PtInRect(&gMs.LinkRect, p);
                if (gMs.LinkHover) SetCursor(LoadCursor(nullptr, IDC_HAND));
                InvalidateRect(dialog, &gMs.LinkRect, FALSE);
                return TRUE;
            }
            case WM_LBUTTONUP:
                if (gMs.LinkHover) {
                    s.KindInUse = dkFull;
                    CloseMsDialog(dialog, true);
                }
                return TRUE;
            case WM_COMMAND: {
                const int id = LOWORD(wParam);
                const int code = HIWORD(wParam);
                if ((id == kIdText || id == kIdSteps) && code == EN_KILLFOCUS) {
                    if (IsEscapeKeyDown()) Cancel(dialog);
                    return TRUE;
                }
                switch (id) {
                    case IDCANCEL:
                        Cancel(dialog);
                        return TRUE;
                    case kIdSend:
                        s.SendWanted = true;
                        s.KindInUse = dkNone;
                        CloseMsDialog(dialog, true);
                        return TRUE;
                    case kIdDontSend:
                        s.SendWanted = s.SendWanted && !s.SendCheckShown;
                        s.KindInUse = dkNone;
                        CloseMsDialog(dialog, true);
                        return TRUE;
                    case kIdCustom: {
                        ReportState().CloseDialog = false;
                        auto body = [] { FireButtonClick(); };
                        RunEventInFaultingThread(body);
                        if (ReportState().CloseDialog) {
                            s.KindInUse = dkNone;
                            CloseMsDialog(dialog, true);
                        }
                        return TRUE;
                    }
                    default:
                        return FALSE;
                }
            }
            case WM_CLOSE:
                s.KindInUse = dkNone;
                CloseMsDialog(dialog, false);
                return TRUE;
            case WM_TIMER:
                if (wParam == kPaintTimer) {
                    if (FirstPaintMissed(dialog, gMs.StartTick)) {
                        s.KindInUse = dkNone;
                        CloseMsDialog(dialog, false);
                    }
                    return TRUE;
                }
                return FALSE;
            case WM_DESTROY:
                StopAutoClose(dialog);
                StopKeepInFront(dialog);
                FreeDialogFonts();
                if (gMs.ErrorBitmap != nullptr) DeleteObject(gMs.ErrorBitmap);
                gMs = {};
                gMsWindow = nullptr;
                return TRUE;
            default:
                return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace drevnik
