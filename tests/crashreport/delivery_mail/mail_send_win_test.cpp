// The e-mail channel under Wine. SMTP goes to aiosmtpd and the peers of
// ../delivery_smtp (with_peers.sh), which parse every message with Python's
// email package and leave a summary; MAPI goes to our fake mail client
// library; mailto starts our recorder, registered as the handler.
#include "crashreport/delivery/MailSend.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikReport.h"

namespace drevnik {
namespace {

uint16_t PeerPort(const char* name) {
    const char* value = std::getenv(name);
    return value ? static_cast<uint16_t>(std::atoi(value)) : 0;
}

// A path of the Linux side as Wine's Z: drive shows it.
std::string WinePath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string Slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string TempFolder() {
    char buffer[MAX_PATH + 1];
    GetTempPathA(MAX_PATH, buffer);
    std::string folder = std::string(buffer) + "kyn_mail_test\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string BinaryBytes(size_t n, unsigned seed) {
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(seed >> 16);
    }
    return bytes;
}

// What the peer's email parser found in the message for `recipient`: each
// key with its values in order; empty when no message came.
std::multimap<std::string, std::string> Summary(const std::string& recipient) {
    std::multimap<std::string, std::string> values;
    std::istringstream in(Slurp(WinePath(std::getenv("KYN_SMTP_SPOOL")) + "\\summary_" + recipient + ".txt"));
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) values.emplace(line.substr(0, eq), line.substr(eq + 1));
    }
    return values;
}

std::string One(const std::multimap<std::string, std::string>& values, const std::string& key) {
    const auto it = values.find(key);
    return it != values.end() ? it->second : "(missing)";
}

std::vector<std::string> All(const std::multimap<std::string, std::string>& values, const std::string& key) {
    std::vector<std::string> list;
    for (auto [it, end] = values.equal_range(key); it != end; ++it) list.push_back(it->second);
    return list;
}

std::string SpoolFile(const std::string& recipient, const std::string& suffix) {
    return Slurp(WinePath(std::getenv("KYN_SMTP_SPOOL")) + "\\summary_" + recipient + suffix);
}

std::string NoCr(std::string text) {
    std::erase(text, '\r');
    return text;
}

constexpr const char* kHeaders = "Date|From|Subject|To|Content-Type|MIME-Version|Message-ID";

class MailPeers : public ::testing::Test {
protected:
    void SetUp() override {
        if (PeerPort("KYN_SMTP_PORT") == 0) GTEST_SKIP() << "needs the peers of with_peers.sh";
        seams_ = MailSeams();
        MailSeams().TimeoutMs = 5000;
        ClearWarning();
    }
    void TearDown() override { MailSeams() = seams_; }

    TMailSeams seams_;
};

std::vector<std::string> gProgress;
TDrevnikModuleOptionsEx* gOptions = nullptr;

TEST_F(MailPeers, SmtpThroughServerSendsEachRecipientTheMessageAndFiles) {
    // The progress dialog's texts (the options' defaults) and bar, as the channel drives them.
    auto options = std::make_unique<TDrevnikModuleOptionsEx>(std::string());
    gOptions = options.get();
    SetCurrentOptionsProvider([] { return gOptions; });
    gProgress.clear();
    MailSeams().ProgressShown = [] { return true; };
    MailSeams().ResetPosition = [] { gProgress.push_back("reset"); };
    MailSeams().SetStepText = [](const std::string& text) {
        gProgress.push_back(std::to_string(MailStepNumber()) + "/" + std::to_string(MailStepCount()) + " " + text);
    };
    MailSeams().SetPosition = [](int32_t value) {
        if (gProgress.back().rfind("bar ", 0) == 0) gProgress.pop_back();  // keep the last position only
        gProgress.push_back("bar " + std::to_string(value));
    };
    MailSeams().CloseProgress = [] { gProgress.push_back("close"); };
    const std::string folder = TempFolder();
    const std::string zip = folder + "BugReport.zip";
    const std::string png = folder + "Shot.PNG";
    WriteBytes(zip, BinaryBytes(5000, 1));
    WriteBytes(png, BinaryBytes(121, 2));
    MailSeams().LoggedOnUserName = [] { return std::string("Ann \"Q\" Lee"); };

    const std::vector<std::string> files = {zip, png, folder + "missing.txt", ""};
    EXPECT_TRUE(SmtpSendReport(false, "bugs@reporter.test", "127.0.0.1", PeerPort("KYN_SMTP_PORT"), "reporter",
                               "s3cret", " first@maker.test ; ,second@maker.test,", "Caf\xE9 crash",
                               "Line one\r\n.\r\n..two\r\nLine three", files));
    EXPECT_EQ(ReportState().LastWarningCode, eeNone) << ReportState().LastWarningText;

    for (const std::string recipient : {"first@maker.test", "second@maker.test"}) {
        const auto s = Summary(recipient);
        EXPECT_EQ(One(s, "mail_from"), "bugs@reporter.test");
        EXPECT_EQ(One(s, "rcpt_to"), recipient);
        EXPECT_EQ(One(s, "headers"), kHeaders);
        EXPECT_EQ(One(s, "subject"), "Caf\xC3\xA9 crash");  // decoded, as UTF-8
        EXPECT_EQ(One(s, "from"), "\"Ann \\\"Q\\\" Lee\" <bugs@reporter.test>");
        EXPECT_EQ(One(s, "to"), recipient);
        EXPECT_EQ(One(s, "defects"), "0");
        EXPECT_EQ(All(s, "attachment"),
                  (std::vector<std::string>{"BugReport.zip|application/octet-stream", "Shot.PNG|image/png"}));
        EXPECT_EQ(SpoolFile(recipient, ".part1"), Slurp(zip));
        EXPECT_EQ(SpoolFile(recipient, ".part2"), Slurp(png));
        EXPECT_EQ(NoCr(SpoolFile(recipient, ".body")), "Line one\n.\n..two\nLine three\n");
    }
    const std::vector<std::string> perRecipient = {"Connecting with server...", "Connected with server.",
                                                   "Sending message...", "bar 100"};
    std::vector<std::string> expected;
    for (const char* step : {"1/2 ", "2/2 "}) {
        expected.push_back("reset");
        for (size_t i = 0; i < 3; ++i) expected.push_back(step + perRecipient[i]);
        expected.push_back(perRecipient[3]);
    }
    expected.push_back("close");
    EXPECT_EQ(gProgress, expected);
    SetCurrentOptionsProvider(nullptr);
}

TEST_F(MailPeers, NothingFromTheOptionsAddsAHeaderOrACommand) {
    MailSeams().LoggedOnUserName = [] { return std::string("Ann\r\nBcc: evil@evil.test"); };
    const uint16_t port = PeerPort("KYN_SMTP_PORT");
    // A recipient with a line break is refused; the next one gets its mail.
    EXPECT_FALSE(SmtpSendMessage("desk@reporter.test", "127.0.0.1", port, "", "",
                                 "victim@maker.test>\r\nRCPT TO:<evil@evil.test", "s", "b", {}));
    EXPECT_EQ(ReportState().LastWarningCode, eeEmailSMTPError);
    EXPECT_EQ(ReportState().LastWarningText.rfind("[SMTP] Invalid recipient address", 0), 0u)
        << ReportState().LastWarningText;
    EXPECT_FALSE(SmtpSendMessage("desk@reporter.test", "127.0.0.1", port, "", "", std::string("nul@maker.test\0x", 16),
                                 "s", "b", {}));
    EXPECT_FALSE(SmtpSendMessage("a@b.c\r\nRCPT TO:evil@evil.test", "127.0.0.1", port, "", "", "ok@maker.test", "s",
                                 "b", {}));
    EXPECT_EQ(ReportState().LastWarningText.rfind("[SMTP] Invalid sender address", 0), 0u)
        << ReportState().LastWarningText;
    EXPECT_EQ(Summary("ok@maker.test").size(), 0u);

    EXPECT_TRUE(SmtpSendReport(false, "Desk\r\nBcc: evil@evil.test <desk@reporter.test>", "127.0.0.1", port, "", "",
                               "ok@maker.test", "Crash\r\nBcc: evil@evil.test\r\n\r\nbody", "text", {}));
    const auto s = Summary("ok@maker.test");
    EXPECT_EQ(One(s, "headers"), kHeaders);
    EXPECT_EQ(One(s, "mail_from"), "desk@reporter.test");
    EXPECT_EQ(One(s, "rcpt_to"), "ok@maker.test");
    EXPECT_EQ(One(s, "subject"), "Crash Bcc: evil@evil.test body");
    EXPECT_EQ(Summary("evil@evil.test").size(), 0u);

    // The quoted user name with its line break collapsed.
    EXPECT_TRUE(SmtpSendReport(false, "bare@reporter.test", "127.0.0.1", port, "", "", "ok2@maker.test", "s", "t", {}));
    const auto bare = Summary("ok2@maker.test");
    EXPECT_EQ(One(bare, "headers"), kHeaders);
    EXPECT_EQ(One(bare, "from"), "\"Ann Bcc: evil@evil.test\" <bare@reporter.test>");
    EXPECT_EQ(One(bare, "mail_from"), "bare@reporter.test");
}

TEST_F(MailPeers, ServerFailuresGiveTheSmtpWarningAndKeepTheFiles) {
    const std::string zip = TempFolder() + "BugReport.zip";
    WriteBytes(zip, "PK-kept");
    MailSeams().TimeoutMs = 1500;
    struct Row {
        const char* port;
        const char* what;
    };
    const Row rows[] = {
        {"KYN_REFUSE_PORT", "greeting 554"}, {"KYN_RESET_PORT", "drops the connection"},
        {"KYN_SILENT_PORT", "never answers"}, {"KYN_SAY_PORT", "answers 500"},
        {"KYN_CLOSED_PORT", "refuses the connection"},
    };
    for (const Row& r : rows) {
        ClearWarning();
        EXPECT_FALSE(SmtpSendReport(false, "a@reporter.test", "127.0.0.1", PeerPort(r.port), "", "", "x@maker.test",
                                    "s", "b", {zip}))
            << r.what;
        EXPECT_EQ(ReportState().LastWarningCode, eeEmailSMTPError) << r.what;
        EXPECT_EQ(ReportState().LastWarningText.rfind("[SMTP] ", 0), 0u) << r.what << ": "
                                                                         << ReportState().LastWarningText;
        EXPECT_EQ(Slurp(zip), "PK-kept") << r.what;
    }
    // A wrong password: the server's 535 ends the conversation.
    ClearWarning();
    EXPECT_FALSE(SmtpSendReport(false, "a@reporter.test", "127.0.0.1", PeerPort("KYN_SMTP_PORT"), "reporter", "wrong",
                                "x@maker.test", "s", "b", {zip}));
    EXPECT_EQ(ReportState().LastWarningCode, eeEmailSMTPError);
    EXPECT_NE(ReportState().LastWarningText.find("535"), std::string::npos) << ReportState().LastWarningText;

    // An empty user with a password: EHLO, but the empty user line is not sent: false without a warning.
    ClearWarning();
    EXPECT_FALSE(SmtpSendReport(false, "a@reporter.test", "127.0.0.1", PeerPort("KYN_SMTP_PORT"), "", "s3cret",
                                "emptyuser@maker.test", "s", "b", {}));
    EXPECT_EQ(ReportState().LastWarningCode, eeNone);
    EXPECT_EQ(Summary("emptyuser@maker.test").size(), 0u);
}

TEST_F(MailPeers, DirectModeAsksTheInjectedDnsAndStopsAtAMissingExchanger) {
    MailSeams().DnsServers = {{"127.0.0.1", PeerPort("KYN_DNS_PORT")}};
    MailSeams().DirectPort = PeerPort("KYN_SMTP_PORT");
    // User and password are dropped: the server's HELO path accepts the mail without AUTH.
    EXPECT_FALSE(SmtpSendReport(true, "a@reporter.test", "unused.test", 1, "reporter", "wrong",
                                "one@local.test;two@nomx.test;three@local.test", "Direct", "b", {}));
    EXPECT_EQ(One(Summary("one@local.test"), "subject"), "Direct");
    EXPECT_EQ(ReportState().LastWarningCode, eeEmailSMTPError);
    EXPECT_NE(ReportState().LastWarningText.find("Cannot resolve the \"nomx.test\" MX record."), std::string::npos)
        << ReportState().LastWarningText;
    EXPECT_EQ(Summary("three@local.test").size(), 0u);
}

// ---- MAPI ---------------------------------------------------------------------------------

class RegistryValue {
public:
    RegistryValue(HKEY root, std::wstring key, const wchar_t* name, const std::wstring& value)
        : root_(root), key_(std::move(key)), name_(name != nullptr ? name : L"") {
        HKEY handle = nullptr;
        RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
        wchar_t old[2048];
        DWORD size = sizeof old;
        had_ = RegQueryValueExW(handle, name_.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
               ERROR_SUCCESS;
        if (had_) old_.assign(old, size / sizeof(wchar_t));
        RegSetValueExW(handle, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    }
    ~RegistryValue() {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return;
        if (had_)
            RegSetValueExW(handle, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                           static_cast<DWORD>(old_.size() * sizeof(wchar_t)));
        else
            RegDeleteValueW(handle, name_.c_str());
        RegCloseKey(handle);
    }
    RegistryValue(const RegistryValue&) = delete;
    RegistryValue& operator=(const RegistryValue&) = delete;

private:
    HKEY root_;
    std::wstring key_;
    std::wstring name_;
    bool had_ = false;
    std::wstring old_;
};

std::wstring Wide(const std::string& text) { return {text.begin(), text.end()}; }

TEST(MapiMail, FakeClientReceivesRecipientsSubjectBodyAndFiles) {
    const RegistryValue client(HKEY_CURRENT_USER, L"SOFTWARE\\Clients\\Mail", nullptr, L"KynFakeMail");
    const RegistryValue library(HKEY_CURRENT_USER, L"SOFTWARE\\Clients\\Mail\\KynFakeMail", L"DLLPath",
                                Wide(WinePath(KYN_FAKE_MAPI)));
    const std::string folder = TempFolder();
    const std::string record = folder + "mapi.txt";
    const std::string zip = folder + "BugReport.zip";
    WriteBytes(zip, "PK");
    SetEnvironmentVariableA("KYN_FAKE_MAPI_RECORD", record.c_str());

    struct Row {
        const char* result;
        bool sent;
        TDrevnikLogErrorCode warning;
    };
    const Row rows[] = {{"0", true, eeNone}, {"1", true, eeNone}, {"2", false, eeEmailMAPIError}};
    for (const Row& r : rows) {
        DeleteFileA(record.c_str());
        ClearWarning();
        SetEnvironmentVariableA("KYN_FAKE_MAPI_RESULT", r.result);
        EXPECT_EQ(MapiSendMail("a@maker.test; ,b@maker.test", "Crash\r\nin X", "The body\r\nline 2",
                               {zip, folder + "missing.bin", ""}),
                  r.sent)
            << r.result;
        EXPECT_EQ(ReportState().LastWarningCode, r.warning) << r.result;
        EXPECT_EQ(Slurp(record), "session=19777\nflags=1\nsubject=Crash in X\nnote=The body\r\nline 2\n"
                                 "recip=1|a@maker.test|SMTP:a@maker.test\nrecip=1|b@maker.test|SMTP:b@maker.test\n"
                                 "file=-1|" + zip + "|BugReport.zip\n");
    }
    EXPECT_EQ(ReportState().LastWarningText, "Cannot send the MAPI message.");

    // The internal-error mail: its file list is split like the recipients.
    DeleteFileA(record.c_str());
    SetEnvironmentVariableA("KYN_FAKE_MAPI_RESULT", "0");
    EXPECT_TRUE(SendMapiMailWithFiles("x@maker.test", "s", "b", zip + ";" + zip));
    EXPECT_EQ(Slurp(record).find("file=-1|" + zip + "|BugReport.zip\nfile=-1|" + zip + "|BugReport.zip\n") !=
                  std::string::npos,
              true);
    SetEnvironmentVariableA("KYN_FAKE_MAPI_RECORD", nullptr);
    SetEnvironmentVariableA("KYN_FAKE_MAPI_RESULT", nullptr);
}

TEST(MapiMail, LibraryWithoutTheFunctionsIsRefused) {
    // kernel32 loads but exports no MAPI function.
    const RegistryValue client(HKEY_CURRENT_USER, L"SOFTWARE\\Clients\\Mail", nullptr, L"KynFakeMail");
    const RegistryValue library(HKEY_CURRENT_USER, L"SOFTWARE\\Clients\\Mail\\KynFakeMail", L"DLLPath",
                                L"kernel32.dll");
    ClearWarning();
    EXPECT_FALSE(MapiSendMail("a@maker.test", "s", "b", {}));
    EXPECT_EQ(ReportState().LastWarningCode, eeEmailMAPIError);
    EXPECT_EQ(ReportState().LastWarningText, "Cannot found the MAPI functions.");
}

// ---- mailto -------------------------------------------------------------------------------

TEST(MailtoMail, RegisteredCommandGetsTheEncodedUrl) {
    const std::string recorder = WinePath(KYN_MAILTO_RECORDER);
    const std::string record = TempFolder() + "mailto.txt";
    DeleteFileA(record.c_str());
    SetEnvironmentVariableA("KYN_MAILTO_RECORD", record.c_str());
    const TMailSeams saved = MailSeams();
    MailSeams().ReportText = [] { return std::string("Report 1\r\nA & B"); };
    {
        const RegistryValue command(HKEY_CLASSES_ROOT, L"mailto\\shell\\open\\command", nullptr,
                                    Wide("\"" + recorder + "\" \"%1\""));
        ClearWarning();
        EXPECT_TRUE(ShellMailtoSend("a@maker.test;b@maker.test", "Crash & ?", "Hello \xE9"));
        EXPECT_EQ(ReportState().LastWarningCode, eeNone);
    }
    // The recorder writes UTF-8: the 0xE9 stays a character, not a percent code.
    EXPECT_EQ(Slurp(record), "\"" + recorder +
                                 "\" \"mailto:a@maker.test;b@maker.test?Subject=Crash%20%26%20%3F&Body=Hello%20\xC3\xA9"
                                 "%0D%0A%0D%0A%0D%0AReport%201%0D%0AA%20%26%20B\"");
    {
        const RegistryValue command(HKEY_CLASSES_ROOT, L"mailto\\shell\\open\\command", nullptr,
                                    L"\"C:\\no\\such\\mailer.exe\" \"%1\"");
        ClearWarning();
        EXPECT_FALSE(ShellMailtoSend("a@maker.test", "s", "m"));
        EXPECT_EQ(ReportState().LastWarningCode, eeEmailShellError);
        EXPECT_FALSE(ReportState().LastWarningText.empty());
    }
    MailSeams() = saved;
    SetEnvironmentVariableA("KYN_MAILTO_RECORD", nullptr);
}

}  // namespace
}  // namespace drevnik
