// The e-mail channel: SMTP through a server or straight to each recipient's
// mail exchanger, Simple MAPI of the default mail client, and the shell's
// mailto command. Each way returns true when the message was handed over and
// reports its failure as a library warning (codes 3, 4 and 5).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "crashreport/delivery/ESockets.h"
#include "crashreport/delivery/MailMessage.h"

namespace drevnik {

// What the channel takes from the parts above it: the report's file stamps
// and text, the user's name and the send-progress dialog. Each empty entry
// has a plain stand-in (the bare file name, the account name, no text, no
// progress). The DNS servers, the direct port and the time-out are set by
// tests only.
struct TMailSeams {
    std::string (*StampFileName)(std::string_view path) = nullptr;
    std::string (*LoggedOnUserName)() = nullptr;
    std::string (*ReportText)() = nullptr;
    // Progress of the send dialog.
    void (*PumpMessages)() = nullptr;
    void (*SetStepText)(const std::string& message) = nullptr;
    void (*SetPosition)(int32_t value) = nullptr;
    void (*ResetPosition)() = nullptr;
    void (*CloseProgress)() = nullptr;
    bool (*ProgressShown)() = nullptr;
    // Destroys the dialog window when the report runs inline.
    void (*DestroyInlineProgress)() = nullptr;

    std::vector<TDnsServer> DnsServers;  // empty: the system's
    uint16_t DirectPort = 25;
    uint32_t TimeoutMs = 30000;
};
TMailSeams& MailSeams();

// The step number and count that SetStepText shows ("Message 1/2: ...").
int32_t MailStepNumber();
int32_t MailStepCount();

// ---- SMTP ----
bool SmtpSendReport(bool direct, const std::string& from, const std::string& host, uint16_t port,
                    const std::string& user, const std::string& password, const std::string& recipients,
                    const std::string& subject, const std::string& body, const std::vector<std::string>& attachments);
bool SmtpSendMessage(const std::string& from, const std::string& host, uint16_t port, const std::string& user,
                     const std::string& password, const std::string& recipient, const std::string& subject,
                     const std::string& body, const std::vector<std::string>& attachments);
// One command with the progress dialog's messages pumped before and after.
bool SmtpCommand(TDrevnikClientSMTP& client, std::string_view command, std::initializer_list<uint16_t> accepted);
// "EHLO" or "HELO" with the local host name; 250 expected.
bool SmtpGreeting(TDrevnikClientSMTP& client, std::string_view greeting);
// While the message is written the bar shows how much of it went out.
void SmtpSentBytesProgress(TDrevnikClientSocket* sender, int32_t position, int32_t total);
void AttachSmtpProgress(TDrevnikClientSMTP& client);
void DetachSmtpProgress(TDrevnikClientSMTP& client);
std::string GetLocalHostName();
std::string GetLoggedOnUserName();
// The files of the list that exist and can be read, with their stamped names.
std::vector<TMailAttachment> ReadMailAttachments(const std::vector<std::string>& attachments);
// The attachment parts of every listed file that exists, in list order.
std::string BuildMimeAttachments(const std::vector<std::string>& attachments);

// ---- Simple MAPI ----
bool MapiSendMail(const std::string& recipients, const std::string& subject, const std::string& body,
                  const std::vector<std::string>& attachments);
// FileList is split at ',' and ';' like the recipients.
bool SendMapiMailWithFiles(const std::string& recipients, const std::string& subject, const std::string& body,
                           const std::string& fileList);
void ReportMapiWarning(const std::string& text);

// ---- mailto ----
// Blocks until the mail program ends.
bool ShellMailtoSend(const std::string& recipients, const std::string& subject, const std::string& message);

}  // namespace drevnik
