// Delivery of one report: on a thread of its own or inline, the temporary
// files, the e-mail channel and then the web channel between their action
// events with the retry loop of the error event, the clipboard fall-back,
// the outcome box, the kept archive, the clean-up, and after a threaded
// delivery the after-report steps (auto-crash rule, terminate, restart).
// Also the helpers through which the channels drive the send-progress
// dialog, and the web channels' glue to the options.
#pragma once

#include <cstdint>
#include <string>

#include "crashreport/capture/DrevnikReportRecord.h"
#include "crashreport/delivery/THTTPConnectionBase.h"

namespace drevnik {

// Library-wide delivery state; used under the report lock.
struct TDeliveryState {
    bool ExecuteFlag = false;  // also the running channel's success
    bool RetryFlag = false;
    bool OwnMessage = false;   // the user was told already (closed bug)
    int32_t Position = 0;      // the progress bar's stored position
};
TDeliveryState& DeliveryState();

// True when the delivery went to a thread of its own.
bool SendReport();
void SendReportNow();
bool SendByEmail();
bool SendByWeb();
void WriteTempLogCopy();
std::string AppendTextToSend();
bool IsSmtpSendMode();

// The after-report steps.
void CheckAutoCrash();
void FreeExceptionCallStack();
void SetPendingCloseAction(uint8_t action);
void DoTerminateButtonAction();

// ---- The send-progress dialog, as the channels see it ----
void PumpSendDialogMessages();
void SetSendProgressText(const std::string& text);
void SetSendProgressStepText(const std::string& message);
void SetSendProgressPosition(int32_t value);
void AdvanceSendProgress(int32_t delta);
void CloseSendProgressDialog();
void UploadProgressCallback(uint8_t kind, uint32_t total, uint32_t done);

// The HTTP connection of the web channels: its stages go to the dialog.
class THTTPConnection : public THTTPConnectionBase {
public:
    using THTTPConnectionBase::THTTPConnectionBase;
    void NotifyProgress(uint8_t kind, int value) override;
};

// ---- The web channels ----
struct TWebTarget {
    std::string Host, Path, User, Password;
    uint16_t Port = 0;
};
bool SendByHttpUpload(const TWebTarget& target);
bool SendByFtp(const TWebTarget& target);
bool SendToBugTracker();
void ReportWebWarning(TDrevnikLogErrorCode code, const std::string& name, int32_t result, const std::string& errorText);
void ReportTrackerResult(int result, const THTTPResponse& response);

// Plugs delivery and the after-report steps into the report orchestration.
void InstallSendSteps();

}  // namespace drevnik
