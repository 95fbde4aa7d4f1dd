#include "crashreport/report/SendReport.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <memory>
#include <vector>

#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/RaiseCapture.h"
#include "crashreport/debuginfo/DrevnikModuleSystem.h"
#include "crashreport/debuginfo/DrevnikSystemFacts.h"
#include "crashreport/delivery/MailSend.h"
#include "crashreport/delivery/TrackerSubmitters.h"
#include "crashreport/delivery/UploadProxy.h"
#include "crashreport/delivery/WebUpload.h"
#include "crashreport/delivery/WebUrls.h"
#include "crashreport/report/BugReportZip.h"
#include "crashreport/report/ReportDialogs.h"
#include "crashreport/report/ReportState.h"
#include "crashreport/report/SendRules.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

constexpr int kProgressTextControl = 100;
constexpr int kProgressBarControl = 101;

TDrevnikModuleOptions* Options() {
    TReportState& state = ReportState();
    if (state.HandlerOptions) return state.HandlerOptions.get();
    return const_cast<TDrevnikModuleOptionsEx*>(FindCurrentDrevnikLogOptions());
}

std::string Text(int index) {
    const TDrevnikModuleOptions* options = Options();
    return options != nullptr ? options->GetText(index) : std::string();
}

HWND ProgressWindow() { return SendProgressState().Window.load(); }

void DeleteTempFile(const std::string& path) {
    if (!path.empty()) DeleteFileW(fw::AnsiToWide(path).c_str());
}

// The result box: on top, without an owner window.
void ShowResultBox(const std::string& text, UINT icon) {
    MessageBoxA(nullptr, text.c_str(), Text(0).c_str(),
                MB_OK | icon | MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND | MB_SERVICE_NOTIFICATION);
}

// The report being delivered on a thread of its own: a copy of its record
// that keeps the exception object alive after the faulting thread let go.
struct TSendJob {
    TDrevnikExceptionRecord Record;
};

DWORD WINAPI SendThreadMain(void* parameter) {
    std::unique_ptr<TSendJob> job(static_cast<TSendJob*>(parameter));
    EnterCriticalSection(&ReportLock());
    TReportState& state = ReportState();
    state.CurrentReport.store(&job->Record);
    try {
        SendReportNow();
        CheckAutoCrash();
        FreeExceptionCallStack();
        DoTerminateButtonAction();
    } catch (...) {
        ReportInternalError("SendThread");
    }
    state.CurrentReport.store(nullptr);
    LeaveCriticalSection(&ReportLock());
    EndPendingDelivery();
    return 0;
}

std::vector<std::string> StampedNames(const std::vector<std::string>& files) {
    std::vector<std::string> names;
    names.reserve(files.size());
    for (const std::string& file : files) names.push_back(StampFileName(file));
    return names;
}

void RequestWebFields() {
    RunEventInFaultingThread([](void*) { FireWebFieldsRequest(); }, nullptr);
}

uint16_t PortOption(int32_t port) { return port > 0 && port <= 65535 ? static_cast<uint16_t>(port) : 0; }

}  // namespace

TDeliveryState& DeliveryState() {
    static TDeliveryState state;
    return state;
}

// ---- Progress helpers ----

void PumpSendDialogMessages() {
    if (!ReportState().ReportRunsInline) return;
    try {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    } catch (...) {
    }
}

void SetSendProgressText(const std::string& text) {
    HWND window = ProgressWindow();
    if (window == nullptr) return;
    PumpSendDialogMessages();
    SendDlgItemMessageA(window, kProgressTextControl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PumpSendDialogMessages();
}

void SetSendProgressStepText(const std::string& message) {
    if (ProgressWindow() == nullptr) return;
    SetSendProgressText(Text(111) + " " + std::to_string(MailStepNumber()) + "/" + std::to_string(MailStepCount()) +
                        ": " + message);
}

void SetSendProgressPosition(int32_t value) {
    HWND window = ProgressWindow();
    TDeliveryState& d = DeliveryState();
    // The bar only moves forward.
    if (window == nullptr || value < d.Position) return;
    PumpSendDialogMessages();
    d.Position = value;
    SendDlgItemMessageA(window, kProgressBarControl, PBM_SETPOS, static_cast<WPARAM>(value), 0);
    PumpSendDialogMessages();
}

void AdvanceSendProgress(int32_t delta) {
    TDeliveryState& d = DeliveryState();
    d.Position += delta;
    SetSendProgressPosition(d.Position);
}

void CloseSendProgressDialog() {
    HWND window = ProgressWindow();
    if (window == nullptr) return;
    PumpSendDialogMessages();
    SendMessageA(window, kEndSendProgressMessage, 0, 0);
    PumpSendDialogMessages();
}

void UploadProgressCallback(uint8_t kind, uint32_t total, uint32_t done) {
    switch (kind) {
    case 0: {
        DeliveryState().Position = 0;
        if (HWND window = ProgressWindow()) SendDlgItemMessageA(window, kProgressBarControl, PBM_SETPOS, 0, 0);
        SetSendProgressText(Text(114));
        break;
    }
    case 1:
        SetSendProgressText(Text(115));
        break;
    case 2:
        SetSendProgressText(Text(116));
        SetSendProgressPosition(UploadPercent(total, done));
        break;
    default:
        break;
    }
}

void THTTPConnection::NotifyProgress(uint8_t kind, int value) {
    const TConnectionProgressStep step = ConnectionProgressStep(kind, value);
    if (step.TextIndex == 0) return;
    SetSendProgressText(Text(step.TextIndex));
    if (step.ResetFirst) DeliveryState().Position = 0;
    if (step.Advance) {
        AdvanceSendProgress(step.Value);
    } else {
        SetSendProgressPosition(step.Value);
    }
}

// ---- Web channels ----

void ReportWebWarning(TDrevnikLogErrorCode code, const std::string& name, int32_t result, const std::string& errorText) {
    if (result == 0) {
        DeliveryState().ExecuteFlag = true;
        return;
    }
    ReportWarning(code, WebWarningText(name, result, errorText));
}

bool SendByHttpUpload(const TWebTarget& target) {
    const TDrevnikModuleOptions& o = *Options();
    RequestWebFields();
    SetUploadProxy(o.ProxyUrl(), o.ProxyPort());
    SetUploadProxyCredentials(o.ProxyUser(), o.ProxyPassword());
    const bool https = o.WebMode() == wmHttps;
    const TDrevnikLogErrorCode code = https ? eeWebHTTPSError : eeWebHTTPError;
    const std::vector<std::string>& files = ReportState().AttachedFiles;
    const std::vector<std::string> stamped = StampedNames(files);
    std::string errorText;
    int32_t result = 0;
    if (!files.empty())
        result = UploadFilesHttp(target.Host, target.Path, target.User, errorText, UploadProgressCallback,
                                 ReportState().WebFields, stamped, files, https, target.Port, target.Password);
    CloseSendProgressDialog();
    ReportWebWarning(code, https ? "HTTPS" : "HTTP", result, errorText);
    return result == 0;
}

bool SendByFtp(const TWebTarget& target) {
    const TDrevnikModuleOptions& o = *Options();
    SetUploadProxy(o.ProxyUrl(), o.ProxyPort());
    SetUploadProxyCredentials(o.ProxyUser(), o.ProxyPassword());
    const std::vector<std::string>& files = ReportState().AttachedFiles;
    std::string errorText;
    const int32_t result = UploadFilesFtp(target.Host, target.Path, target.User, errorText, UploadProgressCallback,
                                          StampedNames(files), files, target.Port, target.Password);
    CloseSendProgressDialog();
    ReportWebWarning(eeWebFTPError, "FTP", result, errorText);
    return result == 0;
}

void ReportTrackerResult(int result, const THTTPResponse& response) {
    if (result == trFiled || result == trClosed) {
        DeliveryState().ExecuteFlag = true;
        return;
    }
    ReportWarning(eeWebTrakerError,
                  TrackerWarningText(Text(TrackerResultTextIndex(result)), response.ErrorCode, response.ErrorMessage));
}

bool SendToBugTracker() {
    const TDrevnikModuleOptions& o = *Options();
    const TReportState& state = ReportState();
    TTrackerReport report;
    report.AttachedFile = state.AttachedFiles.empty() ? std::string() : state.AttachedFiles.front();
    report.BaseUrl = BuildServerUrl(o.WebUrl(), o.WebUser(), o.WebPassword(), o.WebPort());
    report.ProxyUrl = BuildServerUrl(o.ProxyUrl(), o.ProxyUser(), o.ProxyPassword(), o.ProxyPort());
    TSubmitterClass submitter = o.WebMode() == wmBugzilla ? &SubmitterClassOf<THTTPBugzillaSendReport>
                                : o.WebMode() == wmFogBugz ? &SubmitterClassOf<THTTPFogBugzSendReport>
                                                           : &SubmitterClassOf<THTTPMantisSendReport>;
    RequestWebFields();
    report.Fields = ReportState().WebFields;
    AddOwnTrackerFields(report.Fields, o.TrackerTrialId(), GetWindowsName(), GetWindowsBuild(), o.ReproduceText());
    report.Version = GetProgramVersion();
    report.ExceptionClass = ReportTypeText();
    report.ExceptionMessage = ReportMessageText();
    report.ExceptionId = state.BugId;
    report.User = o.TrackerUser();
    report.Password = o.TrackerPassword();
    report.Project = ExpandVariables(o.TrackerProject());
    report.Category = ExpandVariables(o.TrackerCategory());
    report.AssignTo = ExpandVariables(o.TrackerAssignTo());
    THTTPResponse response;
    const int result = SendTrackerReport(&ConnectionClassOf<THTTPConnection>, submitter, report, response);
    CloseSendProgressDialog();
    if (result == trClosed && SendProgressState().DialogUp.load()) {
        ShowResultBox(Text(146), MB_ICONINFORMATION);
        DeliveryState().OwnMessage = true;
    }
    ReportTrackerResult(result, response);
    return result < 2;
}

bool SendByWeb() {
    TDeliveryState& d = DeliveryState();
    d.ExecuteFlag = FireActionEvent(atSendingWebMessage);
    if (!d.ExecuteFlag) return false;
    bool result = true;
    do {
        const TDrevnikModuleOptions& o = *Options();
        d.ExecuteFlag = false;
        StartSendProgressDialog((o.SendFlags() & sdSendInThread) == 0);
        TWebTarget target;
        std::string scheme;
        uint16_t urlPort = 0;
        ParseUrl(o.WebUrl(), scheme, target.User, urlPort, target.Path, target.Host, target.Password);
        target.Port = PortOption(o.WebPort());
        target.User = o.WebUser();
        target.Password = o.WebPassword();
        switch (o.WebMode()) {
        case wmHttp:
        case wmHttps:
            result = SendByHttpUpload(target);
            break;
        case wmFtp:
            result = SendByFtp(target);
            break;
        default:
            result = SendToBugTracker();
            break;
        }
        d.RetryFlag = false;
        if (!d.ExecuteFlag) d.RetryFlag = FireErrorEvent(atSentWebMessage);
    } while (d.RetryFlag);
    FireActionEvent(atSentWebMessage);
    return result;
}

// ---- E-mail channel ----

bool IsSmtpSendMode() {
    const uint8_t mode = Options()->EmailMode();
    return mode == emSmtpClient || mode == emSmtpDirect;
}

std::string AppendTextToSend() {
    return Options()->AppendReportToMessage() ? "\r\n\r\n\r\n" + CurrentReportTexts().TextToSend : std::string();
}

bool SendByEmail() {
    TDeliveryState& d = DeliveryState();
    d.ExecuteFlag = FireActionEvent(atSendingEmail);
    if (!d.ExecuteFlag) return false;
    do {
        const TDrevnikModuleOptions& o = *Options();
        d.ExecuteFlag = false;
        const std::string recipients = o.EmailRecipients();
        const std::string subject = o.EmailSubject();
        const std::string message = o.EmailMessage();
        const std::vector<std::string>& files = ReportState().AttachedFiles;
        if (IsSmtpSendMode()) {
            StartSendProgressDialog((o.SendFlags() & sdSendInThread) == 0);
            d.ExecuteFlag = SmtpSendReport(o.EmailMode() == emSmtpDirect, o.SmtpFrom(), o.SmtpHost(), o.SmtpPort(),
                                           o.SmtpUser(), o.SmtpPassword(), recipients, subject,
                                           message + AppendTextToSend(), files);
        } else {
            d.ExecuteFlag = MapiSendMail(recipients, subject, message + AppendTextToSend(), files);
            if (!d.ExecuteFlag) d.ExecuteFlag = ShellMailtoSend(recipients, subject, message);
        }
        d.RetryFlag = false;
        if (!d.ExecuteFlag) d.RetryFlag = FireErrorEvent(atSentEmail);
    } while (d.RetryFlag);
    const bool result = d.ExecuteFlag;
    FireActionEvent(atSentEmail);
    return result;
}

// ---- The delivery ----

void WriteTempLogCopy() {
    const std::string name = GetTempLogFileName();
    if (name.empty()) return;
    // The channels then send without it.
    WriteWholeFile(name, TempLogCopyText(CurrentReportTexts().TextToSend));
}

void SendReportNow() {
    TDeliveryState& d = DeliveryState();
    TReportState& state = ReportState();
    d.ExecuteFlag = true;
    d.OwnMessage = false;
    state.AttachedFiles.clear();
    state.WebFields.clear();
    ClearWarning();
    // Every temporary file goes, whatever happens on the way.
    struct TCleanUp {
        ~TCleanUp() {
            const std::string zip = GetBugReportZipName();
            if (!zip.empty()) ForceDeleteFile(zip);
            DeleteTempFile(GetTempXMLLogFileName());
            // A web program's captured page is the page it shows.
            const TReportSeams& seams = ReportSeams();
            if (seams.IsWebApplication == nullptr || !seams.IsWebApplication()) DeleteTempFile(GetLastHTMLPageFileName());
            DeleteTempFile(GetTempLogFileName());
        }
    } cleanUp;

    WriteTempLogCopy();
    SaveXMLLogCopy();
    const TDrevnikModuleOptions& o = *Options();
    bool success = true;
    if (o.EmailMode() != emNone) {
        BuildBugReportZip(false);
        success = SendByEmail() && success;
    }
    if (o.WebMode() != wmNone) {
        if (o.EmailMode() == emNone || o.AppendReportToMessage()) BuildBugReportZip(true);
        success = SendByWeb() && success;
    }
    if (!success && (o.BehaviourFlags() & bhClipboardOnSendFailure) != 0) CopyTextToClipboard(CurrentReportTexts().ReportText);
    if ((o.SendFlags() & sdShowResult) != 0 && !d.OwnMessage)
        ShowResultBox(Text(success ? 144 : 145), success ? MB_ICONINFORMATION : MB_ICONERROR);
    if (!success && (o.BehaviourFlags() & bhKeepZipOnSendFailure) != 0) KeepBugReportZip();
}

bool SendReport() {
    TReportState& state = ReportState();
    const TDrevnikModuleOptions* options = Options();
    if (options != nullptr && !state.ReportRunsInline && (options->SendFlags() & sdSendInThread) != 0) {
        auto job = std::make_unique<TSendJob>();
        if (const TDrevnikExceptionRecord* record = state.CurrentReport.load()) job->Record = *record;
        // What pointed into the faulting thread's stack is gone by then.
        job->Record.OsRecord = nullptr;
        job->Record.CpuContext = nullptr;
        BeginPendingDelivery();
        HANDLE thread = CreateThread(nullptr, 0, SendThreadMain, job.get(), CREATE_SUSPENDED, nullptr);
        if (thread == nullptr) EndPendingDelivery();
        if (thread != nullptr) {
            job.release();
            SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
            ResumeThread(thread);
            CloseHandle(thread);
            return true;
        }
    }
    SendReportNow();
    return false;
}

// ---- After the report ----

void CheckAutoCrash() {
    DeleteTempFile(GetScreenshotFileName());
    if (IsIdeHost()) return;
    const TDrevnikModuleOptions* o = Options();
    if (o == nullptr || o->AutoCrashAction() == caNone) return;
    if (AutoCrashDue(ReportState().RecentErrorTimes, o->AutoCrashCount(), o->AutoCrashMinutes()))
        SetPendingCloseAction(o->AutoCrashAction());
}

void FreeExceptionCallStack() { ReportState().ExceptionCallStack.reset(); }

void SetPendingCloseAction(uint8_t action) {
    if (action != caTerminate && action != caRestart) return;
    ReportState().Dialog.CloseRequested = true;
    if (TDrevnikModuleOptions* o = Options()) o->SetTerminateButtonAction(action);
}

void DoTerminateButtonAction() {
    if (!ReportState().Dialog.CloseRequested) return;
    const TDrevnikModuleOptions* o = Options();
    TerminateOrRestart(o != nullptr && o->TerminateButtonAction() == caRestart);
}

void InstallSendSteps() {
    TReportSeams& seams = ReportSeams();
    seams.SendReport = SendReport;
    seams.CheckAutoCrash = CheckAutoCrash;
    seams.FreeExceptionCallStack = FreeExceptionCallStack;
    seams.SetPendingCloseAction = SetPendingCloseAction;
    seams.DoTerminateButtonAction = DoTerminateButtonAction;
    TMailSeams& mail = MailSeams();
    mail.PumpMessages = PumpSendDialogMessages;
    mail.SetStepText = SetSendProgressStepText;
    mail.SetPosition = SetSendProgressPosition;
    mail.ResetPosition = [] { DeliveryState().Position = 0; };
    mail.CloseProgress = CloseSendProgressDialog;
    mail.ProgressShown = [] { return ProgressWindow() != nullptr; };
    mail.DestroyInlineProgress = [] {
        HWND window = ProgressWindow();
        if (window != nullptr && ReportState().ReportRunsInline) DestroyWindow(window);
    };
}

}  // namespace drevnik
