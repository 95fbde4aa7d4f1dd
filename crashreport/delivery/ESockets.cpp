// Platform-free rules of the socket layer: error messages, text sending in
// pieces, SMTP reply codes and DNS server lists.
#include "crashreport/delivery/ESockets.h"

#include <algorithm>

#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

EDrevnikWinSockError::EDrevnikWinSockError(std::string_view message) : fw::Exception(fw::AnsiToWide(message)) {}

std::string ComposeSocketError(std::string_view message, std::string_view log, std::string_view errorLog,
                               std::string_view host, uint16_t port) {
    std::string text;
    const size_t at = log.empty() ? std::string_view::npos : message.find(log);
    if (at == std::string_view::npos) {
        text.append(message).append(kCrLf).append(kCrLf).append("Error log:").append(kCrLf).append(errorLog);
        text.append(kCrLf).append(kCrLf).append("Socket log:").append(kCrLf).append(log);
    } else if (at == 0) {
        text.append("Error log:").append(kCrLf).append(errorLog).append(kCrLf).append(kCrLf);
        text.append("Socket log:").append(kCrLf).append(message);
    } else {
        text.append(message).append(kCrLf).append(kCrLf).append("Error log:").append(kCrLf).append(errorLog);
    }
    text.append(kCrLf).append(kCrLf).append("Destination: ").append(host).append(":").append(std::to_string(port));
    if (text.size() > kMaxSocketErrorLength) {
        text.resize(kMaxSocketErrorLength);
        text.append("...");
    }
    return text;
}

int32_t SendTextInPieces(std::string_view text, const std::function<int(const char*, int)>& send,
                         const std::function<void(int32_t position, int32_t total)>& onSent) {
    const auto total = static_cast<int32_t>(text.size());
    size_t sent = 0;
    while (sent < text.size()) {
        const size_t pieceEnd = std::min(text.size(), sent + kSendPieceSize);
        while (sent < pieceEnd) {
            const int n = send(text.data() + sent, static_cast<int>(pieceEnd - sent));
            if (n <= 0) return static_cast<int32_t>(sent);
            sent += std::min(static_cast<size_t>(n), pieceEnd - sent);
            if (onSent) onSent(static_cast<int32_t>(sent + 1), total);
        }
    }
    return static_cast<int32_t>(sent);
}

std::optional<uint32_t> SmtpReplyCode(std::string_view reply) {
    uint32_t code = 0;
    size_t digits = 0;
    for (; digits < reply.size() && IsDigit(reply[digits]); ++digits) {
        if (digits == 5) return std::nullopt;  // longer than any 16-bit code
        code = code * 10 + static_cast<uint32_t>(reply[digits] - '0');
    }
    if (digits == 0) return std::nullopt;
    return code;
}

bool IsCompleteSmtpReply(std::string_view reply) {
    if (reply.empty() || reply.back() != '\n') return false;
    reply.remove_suffix(1);
    if (!reply.empty() && reply.back() == '\r') reply.remove_suffix(1);
    const size_t lineStart = reply.rfind('\n');
    const std::string_view line = lineStart == std::string_view::npos ? reply : reply.substr(lineStart + 1);
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) return false;
    return line.size() == 3 || line[3] == ' ';
}

std::string MxDomainOf(std::string_view address) {
    const size_t at = address.find('@');
    return std::string(at == std::string_view::npos ? address : address.substr(at + 1));
}

bool IsUsableDnsAddress(std::string_view address) {
    const std::string_view trimmed = Trimmed(address);
    return !trimmed.empty() && trimmed != "0.0.0.0";
}

void AddDnsServer(std::vector<std::string>& servers, std::string_view address) {
    if (IsUsableDnsAddress(address)) servers.emplace_back(Trimmed(address));
}

}  // namespace drevnik
