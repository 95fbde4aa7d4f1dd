// The e-mail channel's texts: sender and recipient rules, header encoding,
// the MIME message with its attachments and dot transparency, the mailto URL,
// and which kept archives a folder loses.
#include "crashreport/delivery/KeptZips.h"
#include "crashreport/delivery/MailMessage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace drevnik {
namespace {

TEST(MailMessage, FromHeaderAndEnvelopeSender) {
    struct Row {
        const char* smtpFrom;
        const char* user;
        const char* header;
        const char* sender;
    };
    const Row rows[] = {
        {"bugs@example.com", "Ann Lee", "\"Ann Lee\" <bugs@example.com>", "bugs@example.com"},
        // A name and an address in angle brackets: the header as it is, the
        // envelope only the address.
        {"Bug Desk <desk@example.com>", "Ann", "Bug Desk <desk@example.com>", "desk@example.com"},
        {"\"Desk\" <desk@example.com>", "Ann", "\"Desk\" <desk@example.com>", "desk@example.com"},
        // A quote in the user name cannot close the quoted word early.
        {"a@b.c", "O\"Neil\\", "\"O\\\"Neil\\\\\" <a@b.c>", "a@b.c"},
        // Line breaks cannot start a header of their own.
        {"a@b.c\r\nBcc: x@y.z", "Ann\r\nX-Evil: 1", "\"Ann X-Evil: 1\" <a@b.c Bcc: x@y.z>", "a@b.c Bcc: x@y.z"},
        {"a@b.c", "J\xE9r\xF4me", "=?windows-1252?B?Suly9G1l?= <a@b.c>", "a@b.c"},
    };
    for (const Row& r : rows) {
        const std::string header = MakeFromHeader(r.smtpFrom, r.user);
        EXPECT_EQ(header, r.header) << r.smtpFrom;
        EXPECT_EQ(EnvelopeSender(header), r.sender) << r.smtpFrom;
    }
}

TEST(MailMessage, SafeAddressesAndRecipients) {
    EXPECT_TRUE(IsSafeMailAddress("bugs@example.com"));
    for (const char* bad : {"", "a@b.c\r\nRCPT TO:<x@y.z>", "a@b.c>", "<a@b.c", "a b@c.d", "a\"@b.c", "a,b@c.d"})
        EXPECT_FALSE(IsSafeMailAddress(bad)) << bad;
    EXPECT_FALSE(IsSafeMailAddress(std::string("a@b.c\0d", 7)));
    EXPECT_FALSE(IsSafeMailAddress(std::string(257, 'a')));

    EXPECT_EQ(SplitMailRecipients(" one@a.b ; ,two@c.d,"), (std::vector<std::string>{"one@a.b", "two@c.d"}));
    EXPECT_TRUE(SplitMailRecipients(" ;, ").empty());
}

TEST(MailMessage, HeaderValuesAreCollapsedOrEncoded) {
    EXPECT_EQ(EncodeHeaderValue("Crash\r\nBcc: x@y.z"), "Crash Bcc: x@y.z");
    EXPECT_EQ(EncodeHeaderValue(std::string("a\0b", 3)), "a b");
    EXPECT_EQ(EncodeHeaderValue("Caf\xE9"), "=?windows-1252?B?Q2Fm6Q==?=");
    // Long text is folded into words of at most 75 characters.
    const std::string encoded = EncodeHeaderValue(std::string(100, '\xE9'));
    EXPECT_EQ(encoded.find("\r\n =?windows-1252?B?"), 75u);
    size_t at = 0, words = 0;
    while (at < encoded.size()) {
        size_t end = encoded.find("\r\n ", at);
        if (end == std::string::npos) end = encoded.size();
        EXPECT_LE(end - at, 75u);
        ++words;
        at = end == encoded.size() ? end : end + 3;
    }
    EXPECT_EQ(words, 3u);
}

TEST(MailMessage, ContentTypeAndBase64Lines) {
    EXPECT_EQ(AttachmentContentType("shot.png"), "image/png");
    EXPECT_EQ(AttachmentContentType("C:\\a\\SHOT.Png"), "image/png");
    EXPECT_EQ(AttachmentContentType("shot.PNG.zip"), "application/octet-stream");
    EXPECT_EQ(AttachmentContentType("png"), "application/octet-stream");

    // 120 bytes give exactly 160 characters: two full lines, each with CR LF.
    const std::string lines = EncodeFileBase64Lines(std::string(120, 'x'));
    ASSERT_EQ(lines.size(), 164u);
    EXPECT_EQ(lines.substr(80, 2), "\r\n");
    EXPECT_EQ(lines.substr(162), "\r\n");
    EXPECT_EQ(EncodeFileBase64Lines("x"), "eA==");
    EXPECT_EQ(EncodeFileBase64Lines(""), "");

    const std::string part = BuildMimeAttachmentPart("Bug\"Report\r\n.zip", "x");
    EXPECT_EQ(part,
              "\r\n--=_xcjvnxkbhvfkxzhfdbvzldjhfv\r\nContent-Type: application/octet-stream;\r\n"
              "        name=\"Bug_Report .zip\"\r\nContent-Transfer-Encoding: base64\r\n"
              "Content-Disposition: attachment;\r\n        filename=\"Bug_Report .zip\"\r\n\r\neA==\r\n");
}

TEST(MailMessage, ComposedMessageKeepsOneTerminatingDot) {
    TMailMessageFields fields;
    fields.Date = "Tue, 4 Mar 2025 09:05:07 +0000";
    fields.FromHeader = "\"Ann\" <a@b.c>";
    fields.Subject = "Bug\r\nBcc: evil@x.y";
    fields.Recipient = "r@s.t";
    fields.TickCount = 4242;
    fields.Body = ".\r\nline\n.hidden\r.\r\n";
    fields.Attachments.push_back({"BugReport.zip", "PK"});
    const std::string m = ComposeSmtpMessage(fields);

    EXPECT_EQ(m.substr(0, m.find("\r\n\r\n") + 4),
              "Date: Tue, 4 Mar 2025 09:05:07 +0000\r\nFrom: \"Ann\" <a@b.c>\r\nSubject: Bug Bcc: evil@x.y\r\n"
              "To: <r@s.t>\r\nContent-Type: multipart/mixed; boundary=\"=_xcjvnxkbhvfkxzhfdbvzldjhfv\";\r\n"
              "MIME-Version: 1.0\r\nMessage-ID: <4242@drevniklog.mail>\r\n\r\n");
    EXPECT_NE(m.find("\r\n\r\n..\r\nline\r\n..hidden\r\n..\r\n\r\n"), std::string::npos);
    EXPECT_NE(m.find("filename=\"BugReport.zip\"\r\n\r\nUEs=\r\n--=_xcjvnxkbhvfkxzhfdbvzldjhfv--\r\n."),
              std::string::npos);
    // Only the last line is a lone dot.
    EXPECT_EQ(m.find("\r\n.\r\n"), std::string::npos);
    EXPECT_TRUE(m.ends_with("--\r\n."));
}

TEST(MailMessage, MailtoUrl) {
    EXPECT_EQ(UrlEncodeMailto("a b\r\n-Z9&?\xE9~"), "a%20b%0D%0A-Z9%26%3F\xE9%7E");
    EXPECT_EQ(BuildMailtoUrl("a@b.c;d@e.f", "Hi & bye?", "x"), "mailto:a@b.c;d@e.f?Subject=Hi%20%26%20bye%3F&Body=x");
    // A recipient cannot leave the quoted argument or add a query of its own.
    EXPECT_EQ(BuildMailtoUrl("a@b.c\" /evil ?x", "", ""), "mailto:a@b.c%22%20/evil%20%3Fx?Subject=&Body=");
    EXPECT_EQ(ExpandMailtoCommand("\"mail.exe\" \"%1\" %1 %2", "mailto:x"), "\"mail.exe\" \"mailto:x\" mailto:x %2");
}

TEST(KeptZips, OnlyTheLibrarysArchivesArePrunedOldestFirst) {
    for (const char* name : {"BugReport.zip", "bugreport.ZIP", "BugReport__PC__20250101120000.zip"})
        EXPECT_TRUE(IsKeptZipName(name)) << name;
    for (const char* name : {"Backup.zip", "BugReportOld.zip", "BugReport__.zip", "BugReport.zip.part"})
        EXPECT_FALSE(IsKeptZipName(name)) << name;

    std::vector<std::string> names = {"Photos.zip", "Backup.zip"};
    for (int day = 12; day >= 1; --day) {
        char name[64];
        std::snprintf(name, sizeof name, "BugReport__202501%02d080000.zip", day);
        names.push_back(name);
    }
    EXPECT_EQ(SelectZipsToPrune(names),
              (std::vector<std::string>{"BugReport__20250101080000.zip", "BugReport__20250102080000.zip"}));
    names.resize(12);  // the two others and ten archives
    EXPECT_TRUE(SelectZipsToPrune(names).empty());
}

}  // namespace
}  // namespace drevnik
