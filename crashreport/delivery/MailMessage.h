// The texts of the e-mail channel: the SMTP message with its MIME parts, the
// From header and envelope sender, the recipients, and the mailto URL. Values
// in, 8-bit text out; no files or sockets here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace drevnik {

// The boundary of the message and of every attachment part.
inline constexpr const char* kMimeBoundary = "=_xcjvnxkbhvfkxzhfdbvzldjhfv";
// The host name after the at sign of the Message-ID header.
inline constexpr const char* kMessageIdHost = "drevniklog.mail";
// Base64 lines of an attachment are this long.
constexpr size_t kBase64LineLength = 80;

// Recipients split at ',' and ';', trimmed, empty ones dropped.
std::vector<std::string> SplitMailRecipients(std::string_view recipients);

// An address that may go into an SMTP command or a header as it stands: not
// empty, at most 256 bytes, and free of control characters, blanks and the
// characters that end or open an address ('<', '>', '"', ',', ';').
bool IsSafeMailAddress(std::string_view address);

// The From header of SmtpFrom: a bare address gets the user name in double
// quotes in front of it, in angle brackets; anything holding a '"' or '<' is
// used as it is. Control characters are collapsed in both.
std::string MakeFromHeader(std::string_view smtpFrom, std::string_view userName);
// The address alone of a From header: what stands in its last pair of angle
// brackets, else the whole header, trimmed.
std::string EnvelopeSender(std::string_view fromHeader);

// A header value: control characters collapsed; when it holds bytes of 0x80
// or above, RFC 2047 encoded words of windows-1252 text in Base64, folded.
std::string EncodeHeaderValue(std::string_view text);

// "image/png" for names ending in ".png" (any case), else
// "application/octet-stream".
std::string AttachmentContentType(std::string_view fileName);

// Bytes in Base64 cut into lines of kBase64LineLength; every full line is
// followed by CR LF, the last shorter piece is not.
std::string EncodeFileBase64Lines(std::string_view bytes);

// One attachment part: CR LF, the boundary line and the part's headers, the
// file's bytes in Base64 lines, CR LF.
std::string BuildMimeAttachmentPart(std::string_view stampedName, std::string_view bytes);

struct TMailAttachment {
    std::string StampedName;
    std::string Bytes;
};

struct TMailMessageFields {
    std::string Date;        // "Tue, 4 Mar 2025 09:05:07 -0500"
    std::string FromHeader;  // MakeFromHeader
    std::string Subject;
    std::string Recipient;
    uint32_t TickCount = 0;
    std::string Body;
    std::vector<TMailAttachment> Attachments;
};

// The whole message as it goes after DATA: headers, the text part, the
// attachment parts, the closing boundary and the terminating ".". Line
// breaks of the body become CR LF and body lines that begin with '.' get a
// second one, so only the terminating line is a single '.'.
std::string ComposeSmtpMessage(const TMailMessageFields& fields);

// Keeps '-', digits, letters and bytes of 0x80 and above; every other byte
// becomes '%' and two upper-case hexadecimal digits.
std::string UrlEncodeMailto(std::string_view text);
// The recipients as they stand, but for the bytes that would end the URL,
// open its query or leave a quoted command-line argument (control
// characters, blanks, '"', '%', '?', '&', '#', '<', '>'), which are
// percent-encoded.
std::string EncodeMailtoRecipients(std::string_view recipients);
// "mailto:" + encoded recipients + "?Subject=" + encoded subject + "&Body=" + encoded body.
std::string BuildMailtoUrl(std::string_view recipients, std::string_view subject, std::string_view body);
// The command template with every "%1" replaced by the URL.
std::string ExpandMailtoCommand(std::string_view commandTemplate, std::string_view url);

}  // namespace drevnik
