// The report dialogs: ShowExceptionDialog shows the running report as the
// session's dialog kind asks (a message box, the short dialog or the full
// dialog with its detail pages); the reproduce-steps dialog; the
// send-progress dialog. They run as modal dialog boxes from the program's
// dialog templates, without owner, in the thread that handles the report,
// and leave the user's choices in ReportState().Dialog.
#pragma once

#include <windows.h>

#include <atomic>

namespace drevnik {

// Plugs the dialogs into the report orchestration.
void InstallReportDialogs();

void ShowExceptionDialog(bool beep);
void ShowReproduceDialog();
// Announces that the program is about to end or restart; handlers may clear
// the session's CloseRequested.
void FireTerminatingAction();

// The send-progress dialog: its window while it shows and whether it is up.
struct TSendProgressState {
    std::atomic<HWND> Window{nullptr};
    std::atomic<bool> DialogUp{false};
    HANDLE Thread = nullptr;
};
TSendProgressState& SendProgressState();
// The message that ends the send-progress dialog.
constexpr UINT kEndSendProgressMessage = WM_USER + 1234;
void StartSendProgressDialog(bool modal);
void RunSendProgressDialog(bool modal);

// The dialog of the report while it shows; null otherwise.
HWND CurrentReportDialog();
HWND CurrentMsDialog();

INT_PTR CALLBACK FullDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReproduceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SendProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The detail pages of the full dialog.
void ShowDetailPage(HWND dialog, int n);
void FitPageToTab(HWND dialog);
void DestroyDetailPage();
HWND CurrentDetailPage();

// Control ids of the full dialog.
constexpr int kIdMessage = 101;
constexpr int kIdOk = 102;
constexpr int kIdTerminate = 103;
constexpr int kIdDetails = 104;
constexpr int kIdHelp = 105;
constexpr int kIdTabs = 1000;
constexpr int kIdSeparator = 2000;
constexpr int kIdSendCheck = 3000;
constexpr int kIdScreenshotCheck = 4000;
constexpr int kIdCopyCheck = 5000;

}  // namespace drevnik
