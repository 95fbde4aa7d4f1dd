#include "crashreport/delivery/MailMessage.h"

#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/delivery/Base64.h"
#include "crashreport/delivery/DeliveryText.h"

namespace drevnik {
namespace {

bool HasHighBytes(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// Inside a quoted header word a '"' or '\' needs a backslash in front.
std::string QuoteWord(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// CR LF, a lone CR and a lone LF all end a line.
std::string WithCrLfLines(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

// A second '.' before every line that begins with one.
std::string StuffDots(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = c == '\n';
    }
    return out;
}

}  // namespace

std::vector<std::string> SplitMailRecipients(std::string_view recipients) {
    std::vector<std::string> list;
    SplitText(recipients, list, ",;", false, false);
    return list;
}

bool IsSafeMailAddress(std::string_view address) {
    if (address.empty() || address.size() > 256) return false;
    for (char c : address) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= ' ' || b == 0x7F || c == '<' || c == '>' || c == '"' || c == ',' || c == ';') return false;
    }
    return true;
}

std::string MakeFromHeader(std::string_view smtpFrom, std::string_view userName) {
    const std::string from = CollapseControlChars(smtpFrom);
    if (from.find('"') != std::string::npos || from.find('<') != std::string::npos) return from;
    const std::string name = CollapseControlChars(userName);
    const std::string display = HasHighBytes(name) ? EncodeHeaderValue(name) : QuoteWord(name);
    return display + " <" + from + ">";
}

std::string EnvelopeSender(std::string_view fromHeader) {
    const size_t open = fromHeader.rfind('<');
    if (open != std::string_view::npos) {
        const size_t close = fromHeader.find('>', open);
        const std::string_view inner =
            fromHeader.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1);
        return std::string(text::Trim(inner));
    }
    return std::string(text::Trim(fromHeader));
}

std::string EncodeHeaderValue(std::string_view value) {
    const std::string text = CollapseControlChars(value);
    if (!HasHighBytes(text)) return text;
    // 42 bytes give 56 Base64 characters: each encoded word stays within 75.
    constexpr size_t kWordBytes = 42;
    std::string out;
    for (size_t at = 0; at < text.size(); at += kWordBytes) {
        if (at != 0) out += "\r\n ";
        out += "=?windows-1252?B?" + Base64EncodeString(std::string_view(text).substr(at, kWordBytes)) + "?=";
    }
    return out;
}

std::string AttachmentContentType(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    const size_t slash = fileName.find_last_of("\\/");
    const bool png = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash) &&
                     text::IEquals(fileName.substr(dot), ".png");
    return png ? "image/png" : "application/octet-stream";
}

std::string EncodeFileBase64Lines(std::string_view bytes) {
    const std::string encoded = Base64EncodeString(bytes);
    std::string out;
    out.reserve(encoded.size() + encoded.size() / kBase64LineLength * 2 + 2);
    size_t at = 0;
    for (; encoded.size() - at >= kBase64LineLength; at += kBase64LineLength) {
        out.append(encoded, at, kBase64LineLength);
        out += "\r\n";
    }
    out.append(encoded, at, std::string::npos);
    return out;
}

std::string BuildMimeAttachmentPart(std::string_view stampedName, std::string_view bytes) {
    // A name is a quoted parameter: no line break, quote or backslash may end it early.
    std::string name = CollapseControlChars(stampedName);
    for (char& c : name)
        if (c == '"' || c == '\\') c = '_';
    std::string part = "\r\n--";
    part += kMimeBoundary;
    part += "\r\nContent-Type: " + AttachmentContentType(name) + ";\r\n";
    part += "        name=\"" + name + "\"\r\n";
    part += "Content-Transfer-Encoding: base64\r\n";
    part += "Content-Disposition: attachment;\r\n";
    part += "        filename=\"" + name + "\"\r\n\r\n";
    part += EncodeFileBase64Lines(bytes);
    part += "\r\n";
    return part;
}

std::string ComposeSmtpMessage(const TMailMessageFields& fields) {
    const std::string boundary = kMimeBoundary;
    std::string m;
    m += "Date: " + CollapseControlChars(fields.Date) + "\r\n";
    m += "From: " + CollapseControlChars(fields.FromHeader) + "\r\n";
    m += "Subject: " + EncodeHeaderValue(fields.Subject) + "\r\n";
    m += "To: <" + CollapseControlChars(fields.Recipient) + ">\r\n";
    m += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\";\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Message-ID: <" + std::to_string(fields.TickCount) + "@" + kMessageIdHost + ">\r\n";
    m += "\r\n";
    m += "This is a multi-part message in MIME format\r\n\r\n";
    m += "--" + boundary + "\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: 7bit\r\n\r\n";
    m += WithCrLfLines(fields.Body) + "\r\n";
    for (const TMailAttachment& a : fields.Attachments) m += BuildMimeAttachmentPart(a.StampedName, a.Bytes);
    m += "--" + boundary + "--\r\n";
    return StuffDots(m) + ".";
}

std::string UrlEncodeMailto(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '-' || text::IsAsciiAlnum(c) || b >= 0x80) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::string EncodeMailtoRecipients(std::string_view recipients) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : recipients) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= ' ' || b == 0x7F || c == '"' || c == '%' || c == '?' || c == '&' || c == '#' || c == '<' ||
            c == '>') {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string BuildMailtoUrl(std::string_view recipients, std::string_view subject, std::string_view body) {
    return "mailto:" + EncodeMailtoRecipients(recipients) + "?Subject=" + UrlEncodeMailto(subject) +
           "&Body=" + UrlEncodeMailto(body);
}

std::string ExpandMailtoCommand(std::string_view commandTemplate, std::string_view url) {
    std::string out;
    for (size_t i = 0; i < commandTemplate.size(); ++i) {
        if (commandTemplate[i] == '%' && i + 1 < commandTemplate.size() && commandTemplate[i + 1] == '1') {
            out += url;
            ++i;
        } else {
            out += commandTemplate[i];
        }
    }
    return out;
}

}  // namespace drevnik
