#include "crashreport/delivery/MailSend.h"

#include <windows.h>

#include <mapi.h>


#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikTexts.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/capture/RaiseCapture.h"
#include "crashreport/delivery/Base64.h"
#include "crashreport/delivery/DeliveryText.h"
#include "crashreport/delivery/ESockets_win.h"
#include "crashreport/delivery/MailMessage.h"
#include "framework/core/file_io.h"
#include "framework/core/paths.h"
#include "framework/core/scoped_handle.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

int32_t gStepNumber = 0;
int32_t gStepCount = 0;

const TDrevnikModuleOptions* MailOptions() {
    const TReportState& state = ReportState();
    if (state.HandlerOptions) return state.HandlerOptions.get();
    return FindCurrentDrevnikLogOptions();
}

std::string MailText(int index) {
    const TDrevnikModuleOptions* options = MailOptions();
    return options != nullptr ? options->GetText(index) : std::string();
}

void PumpMailProgress() {
    if (MailSeams().PumpMessages != nullptr) MailSeams().PumpMessages();
}

void StepText(int index) {
    if (MailSeams().SetStepText != nullptr) MailSeams().SetStepText(MailText(index));
}

std::wstring Wide(std::string_view text) { return fw::AnsiToWide(text); }

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string StampedName(const std::string& path) {
    if (MailSeams().StampFileName != nullptr) return MailSeams().StampFileName(path);
    return fw::ExtractFileName(path);
}

struct TFileClose {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using TFileHandle = fw::TScopedHandle<HANDLE, TFileClose>;

std::string ErrorText(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (buffer != nullptr) {
        text.assign(buffer, length);
        LocalFree(buffer);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
    return text.empty() ? "System error " + std::to_string(code) : text;
}

// The whole file, read with writers shut out; false when it cannot be read.
bool ReadAttachment(const std::string& path, std::string& bytes) {
    TFileHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    return bytes.empty() ||
           (ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size());
}

std::string RegistryDefault(HKEY root, const std::wstring& key, const wchar_t* value) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return {};
    std::wstring text(1024, L'\0');
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD type = 0;
    const LONG result = RegQueryValueExW(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return fw::WideToAnsi(text);
}

// The mail client's library named under HKCU, else HKLM.
std::string MailClientLibrary() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const std::string client = RegistryDefault(root, L"SOFTWARE\\Clients\\Mail", nullptr);
        if (client.empty()) continue;
        const std::string path = RegistryDefault(root, L"SOFTWARE\\Clients\\Mail\\" + Wide(client), L"DLLPath");
        if (!path.empty()) return ExpandVariables(path);
    }
    return {};
}

// Copies into a fixed buffer of 257 characters, cut at 256.
void CopyField(char (&buffer)[257], std::string_view text) {
    const size_t n = text.size() < 256 ? text.size() : 256;
    text.copy(buffer, n);
    buffer[n] = '\0';
}

}  // namespace

TMailSeams& MailSeams() {
    static TMailSeams seams;
    return seams;
}

int32_t MailStepNumber() { return gStepNumber; }
int32_t MailStepCount() { return gStepCount; }

std::string GetLocalHostName() {
    char buffer[250] = {};
    try {
        StartWinSock();
        if (winsock::gethostname(buffer, sizeof buffer - 1) != 0) return "localhost";
    } catch (...) {
        return "localhost";
    }
    // The name goes into a command line: no line break or blank may travel with it.
    std::string name = CollapseControlChars(buffer);
    for (char& c : name)
        if (c == ' ') c = '-';
    return name.empty() ? "localhost" : name;
}

std::string GetLoggedOnUserName() {
    if (MailSeams().LoggedOnUserName != nullptr) return MailSeams().LoggedOnUserName();
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) ? fw::WideToAnsi(name) : std::string();
}

std::vector<TMailAttachment> ReadMailAttachments(const std::vector<std::string>& attachments) {
    std::vector<TMailAttachment> files;
    for (const std::string& path : attachments) {
        if (text::Trim(fw::ExtractFileName(path)).empty() || !FileExists(path)) continue;
        TMailAttachment file;
        if (ReadAttachment(path, file.Bytes)) {
            file.StampedName = StampedName(path);
            files.push_back(std::move(file));
        }
    }
    return files;
}

std::string BuildMimeAttachments(const std::vector<std::string>& attachments) {
    std::string parts;
    for (const TMailAttachment& file : ReadMailAttachments(attachments))
        parts += BuildMimeAttachmentPart(file.StampedName, file.Bytes);
    return parts;
}

bool SmtpSendReport(bool direct, const std::string& from, const std::string& host, uint16_t port,
                    const std::string& user, const std::string& password, const std::string& recipients,
                    const std::string& subject, const std::string& body, const std::vector<std::string>& attachments) {
    TMailSeams& seams = MailSeams();
    if (direct) port = seams.DirectPort;
    const std::string expandedSubject = ExpandVariables(subject);
    const std::string expandedBody = ExpandVariables(body);
    const std::vector<std::string> list = SplitMailRecipients(recipients);
    gStepCount = static_cast<int32_t>(list.size());
    bool result = false;
    try {
        for (size_t i = 0; i < list.size(); ++i) {
            gStepNumber = static_cast<int32_t>(i + 1);
            if (seams.ResetPosition != nullptr) seams.ResetPosition();
            std::string server = host;
            std::string sendUser = user;
            std::string sendPassword = password;
            if (direct) {
                StepText(txtProgResolving);
                server = seams.DnsServers.empty() ? LookupMXHost(list[i], 30000)
                                                  : LookupMXHost(list[i], 30000, seams.DnsServers);
                sendUser.clear();
                sendPassword.clear();
            }
            result = SmtpSendMessage(from, server, port, sendUser, sendPassword, list[i], expandedSubject,
                                     expandedBody, attachments) ||
                     result;
        }
    } catch (...) {
        result = false;
        ReportExceptionWarning(eeEmailSMTPError, "SMTP");
    }
    if (seams.CloseProgress != nullptr) seams.CloseProgress();
    return result;
}

bool SmtpCommand(TDrevnikClientSMTP& client, std::string_view command, std::initializer_list<uint16_t> accepted) {
    PumpMailProgress();
    const bool ok = client.SendCommand(command, accepted);
    PumpMailProgress();
    return ok;
}

bool SmtpGreeting(TDrevnikClientSMTP& client, std::string_view greeting) {
    return SmtpCommand(client, std::string(greeting) + " " + GetLocalHostName(), {250});
}

void SmtpSentBytesProgress(TDrevnikClientSocket*, int32_t position, int32_t total) {
    if (MailSeams().SetPosition != nullptr && total > 0)
        MailSeams().SetPosition(static_cast<int32_t>(int64_t{position} * 100 / total));
}

void AttachSmtpProgress(TDrevnikClientSMTP& client) {
    if (MailSeams().ProgressShown != nullptr && MailSeams().ProgressShown()) client.OnSent = SmtpSentBytesProgress;
}

void DetachSmtpProgress(TDrevnikClientSMTP& client) {
    if (MailSeams().DestroyInlineProgress != nullptr) MailSeams().DestroyInlineProgress();
    client.OnSent = nullptr;
}

bool SmtpSendMessage(const std::string& from, const std::string& host, uint16_t port, const std::string& user,
                     const std::string& password, const std::string& recipient, const std::string& subject,
                     const std::string& body, const std::vector<std::string>& attachments) {
    bool result = false;
    try {
        TMailMessageFields fields;
        fields.FromHeader = MakeFromHeader(from, GetLoggedOnUserName());
        const std::string sender = EnvelopeSender(fields.FromHeader);
        // Nothing from the options may add a command or a header of its own:
        // such an address fails before anything is sent.
        if (!IsSafeMailAddress(sender)) throw EDrevnikSocketError("Invalid sender address \"" + sender + "\".");
        if (!IsSafeMailAddress(recipient))
            throw EDrevnikSocketError("Invalid recipient address \"" + CollapseControlChars(recipient) + "\".");

        StepText(txtProgConnecting);
        TDrevnikClientSMTP client(host, port, true, MailSeams().TimeoutMs);
        client.Connect();

        StepText(txtProgConnected);
        bool ok;
        if (!user.empty() || !password.empty()) {
            ok = SmtpGreeting(client, "EHLO") && SmtpCommand(client, "RSET", {250}) &&
                 SmtpCommand(client, "AUTH LOGIN", {334, 500, 502}) &&
                 SmtpCommand(client, Base64EncodeString(user), {334, 500, 502}) &&
                 SmtpCommand(client, Base64EncodeString(password), {235, 500, 502}) &&
                 SmtpCommand(client, "MAIL FROM:<" + sender + ">", {250});
        } else {
            ok = SmtpGreeting(client, "HELO") && SmtpCommand(client, "RSET", {250}) &&
                 SmtpCommand(client, "MAIL FROM:<" + sender + ">", {250});
        }
        if (ok) {
            StepText(txtProgSending);
            fields.Date = FormatRfc822Date(NowDateTime());
            fields.Subject = subject;
            fields.Recipient = recipient;
            fields.TickCount = GetTickCount();
            fields.Body = body;
            fields.Attachments = ReadMailAttachments(attachments);
            const std::string message = ComposeSmtpMessage(fields);
            ok = SmtpCommand(client, "RCPT TO:<" + recipient + ">", {250, 251}) && SmtpCommand(client, "DATA", {354});
            if (ok) {
                AttachSmtpProgress(client);
                ok = SmtpCommand(client, message, {250});
                DetachSmtpProgress(client);
            }
        }
        result = ok;
        // Freeing the client closes the socket; no QUIT is sent.
    } catch (...) {
        result = false;
        ReportExceptionWarning(eeEmailSMTPError, "SMTP");
    }
    return result;
}

void ReportMapiWarning(const std::string& text) { ReportWarning(eeEmailMAPIError, text); }

bool MapiSendMail(const std::string& recipients, const std::string& subject, const std::string& body,
                  const std::vector<std::string>& attachments) {
    // Mail clients change the current folder.
    wchar_t folder[MAX_PATH + 1] = {};
    const bool haveFolder = GetCurrentDirectoryW(MAX_PATH, folder) != 0;
    struct FolderRestore {
        bool Have;
        const wchar_t* Path;
        ~FolderRestore() {
            if (Have) SetCurrentDirectoryW(Path);
        }
    } restore{haveFolder, folder};

    const TDrevnikModuleOptions* options = MailOptions();
    const std::string expandedSubject = ExpandVariables(subject);
    const std::string expandedBody = ExpandVariables(body);
    const std::vector<std::string> list = SplitMailRecipients(recipients);

    HMODULE library = nullptr;
    if (const std::string path = MailClientLibrary(); !path.empty()) library = LoadLibraryW(Wide(path).c_str());
    if (library == nullptr) library = LoadLibraryW(L"mapi32.dll");
    if (library == nullptr) {
        ReportMapiWarning("Cannot open the MAPI dll.");
        return false;
    }
    const auto logon = reinterpret_cast<LPMAPILOGON>(reinterpret_cast<void*>(GetProcAddress(library, "MAPILogon")));
    const auto logoff = reinterpret_cast<LPMAPILOGOFF>(reinterpret_cast<void*>(GetProcAddress(library, "MAPILogoff")));
    const auto send = reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMail")));
    if (logon == nullptr || logoff == nullptr || send == nullptr) {
        ReportMapiWarning("Cannot found the MAPI functions.");
        FreeLibrary(library);
        return false;
    }
    const ULONG_PTR parent = GetCurrentThreadId() == MainThreadIdValue()
                                 ? reinterpret_cast<ULONG_PTR>(FindProcessMainWindow(GetCurrentProcessId()))
                                 : 0;
    LHANDLE session = 0;
    if (logon(parent, nullptr, nullptr, MAPI_LOGON_UI, 0, &session) != SUCCESS_SUCCESS) {
        ReportMapiWarning("Cannot LogOn into the MAPI service.");
        FreeLibrary(library);
        return false;
    }

    struct TFileBuffers {
        std::string Path;
        std::string Name;
    };
    std::vector<TFileBuffers> files;
    for (const std::string& entry : attachments) {
        if (files.size() == 32) break;
        if (entry.empty() || !FileExists(entry)) continue;
        wchar_t full[MAX_PATH + 1] = {};
        const DWORD n = GetFullPathNameW(Wide(entry).c_str(), MAX_PATH, full, nullptr);
        files.push_back({n > 0 && n <= MAX_PATH ? fw::WideToAnsi(full) : entry, StampedName(entry)});
    }
    std::vector<MapiFileDesc> fileDescs(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        fileDescs[i] = MapiFileDesc{};
        fileDescs[i].nPosition = static_cast<ULONG>(-1);
        fileDescs[i].lpszPathName = files[i].Path.data();
        fileDescs[i].lpszFileName = files[i].Name.data();
    }
    struct TRecipBuffers {
        char Name[257];
        char Address[257];
    };
    std::vector<TRecipBuffers> names(list.size());
    std::vector<MapiRecipDesc> recips(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        CopyField(names[i].Name, list[i]);
        CopyField(names[i].Address, "SMTP:" + list[i]);
        recips[i] = MapiRecipDesc{};
        recips[i].ulRecipClass = MAPI_TO;
        recips[i].lpszName = names[i].Name;
        recips[i].lpszAddress = names[i].Address;
    }
    std::string messageSubject = CollapseControlChars(expandedSubject);
    std::string noteText = expandedBody;
    MapiMessage message{};
    message.lpszSubject = messageSubject.data();
    message.lpszNoteText = noteText.data();
    message.nRecipCount = static_cast<ULONG>(recips.size());
    message.lpRecips = recips.empty() ? nullptr : recips.data();
    message.nFileCount = static_cast<ULONG>(fileDescs.size());
    message.lpFiles = fileDescs.empty() ? nullptr : fileDescs.data();

    FLAGS flags = MAPI_LOGON_UI;
    if (options != nullptr && (options->SendFlags() & sdShowProgress) != 0) flags |= MAPI_DIALOG;
    const ULONG sent = send(session, parent, &message, flags, 0);
    const bool result = sent == SUCCESS_SUCCESS || sent == MAPI_USER_ABORT;
    if (!result) ReportMapiWarning("Cannot send the MAPI message.");
    logoff(session, parent, 0, 0);
    FreeLibrary(library);
    return result;
}

bool SendMapiMailWithFiles(const std::string& recipients, const std::string& subject, const std::string& body,
                           const std::string& fileList) {
    return MapiSendMail(recipients, subject, body, SplitMailRecipients(fileList));
}

bool ShellMailtoSend(const std::string& recipients, const std::string& subject, const std::string& message) {
    const std::string expandedSubject = ExpandVariables(subject);
    const std::string expandedMessage = ExpandVariables(message);
    const std::string commandTemplate =
        ExpandVariables(RegistryDefault(HKEY_CLASSES_ROOT, L"mailto\\shell\\open\\command", nullptr));
    const std::string report = MailSeams().ReportText != nullptr ? MailSeams().ReportText() : std::string();
    const std::string url = BuildMailtoUrl(recipients, expandedSubject, expandedMessage + "\r\n\r\n\r\n" + report);
    std::wstring command = Wide(ExpandMailtoCommand(commandTemplate, url));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION process{};
    if (commandTemplate.empty() ||
        !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        const DWORD error = commandTemplate.empty() ? ERROR_FILE_NOT_FOUND : GetLastError();
        ReportWarning(eeEmailShellError, ErrorText(error));
        return false;
    }
    WaitForInputIdle(process.hProcess, 10000);
    Sleep(2000);
    if (HWND window = FindProcessMainWindow(process.dwProcessId))
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    DWORD exitCode = 0;
    const bool result = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                        GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace drevnik
