// DNS MX query building and reply reading. Every offset taken from a reply is
// checked against the reply's size before it is used.
#include "crashreport/delivery/DnsMxQuery.h"

namespace drevnik {
namespace {

constexpr uint16_t kTypeMx = 15;
constexpr uint16_t kTypeCname = 5;
constexpr uint16_t kClassIn = 1;
constexpr uint16_t kFlagRecursionDesired = 0x0100;
constexpr uint16_t kFlagResponse = 0x8000;
constexpr uint16_t kRcodeMask = 0x000F;
constexpr size_t kHeaderSize = 12;
// Type, class, time to live and data length after a record's owner name.
constexpr size_t kRecordFixedSize = 10;

void PutWord16(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value & 0xFF));
}

uint8_t ByteAt(std::string_view data, size_t offset) { return static_cast<uint8_t>(data[offset]); }

// Caller checks that offset + 1 lies inside the data.
uint16_t Word16At(std::string_view data, size_t offset) { return MakeWord16(ByteAt(data, offset), ByteAt(data, offset + 1)); }

// A label that reads back as itself in dotted text: a '.' inside it would
// split it into two labels of another name, a NUL would end the name early.
bool IsHostLabel(std::string_view label) { return label.find_first_of(std::string_view(".\0", 2)) == std::string_view::npos; }

}  // namespace

uint16_t MakeWord16(uint8_t high, uint8_t low) { return static_cast<uint16_t>(high << 8 | low); }

std::string EncodeDnsName(std::string_view domain) {
    if (!domain.empty() && domain.back() == '.') domain.remove_suffix(1);
    if (domain.empty()) return {};  // no MX query for the root
    std::string out;
    while (!domain.empty()) {
        const size_t dot = domain.find('.');
        const std::string_view label = domain.substr(0, dot);
        if (label.empty() || label.size() > kMaxDnsLabelLength || !IsHostLabel(label)) return {};
        out.push_back(static_cast<char>(label.size()));
        out.append(label);
        if (dot == std::string_view::npos) break;
        domain.remove_prefix(dot + 1);
        if (domain.empty()) return {};  // "a.." : an empty label before the end
    }
    out.push_back('\0');
    if (out.size() > kMaxDnsNameWireLength) return {};
    return out;
}

std::string BuildMxQuery(std::string_view domain) {
    const std::string name = EncodeDnsName(domain);
    if (name.empty()) return {};
    std::string query;
    PutWord16(query, kMxQueryId);
    PutWord16(query, kFlagRecursionDesired);
    PutWord16(query, 1);  // questions
    PutWord16(query, 0);  // answers
    PutWord16(query, 0);  // authority records
    PutWord16(query, 0);  // additional records
    query += name;
    PutWord16(query, kTypeMx);
    PutWord16(query, kClassIn);
    return query;
}

std::optional<std::string> ReadDnsName(std::string_view reply, size_t& position) {
    size_t pos = position;
    size_t pieceStart = pos;  // a pointer must point before this
    std::optional<size_t> afterFirstPointer;
    size_t wireLength = 1;  // the end byte
    std::string name;
    for (;;) {
        if (pos >= reply.size()) return std::nullopt;
        const uint8_t length = ByteAt(reply, pos);
        if (length >= 0xC0) {
            if (pos + 1 >= reply.size()) return std::nullopt;
            const size_t target = static_cast<size_t>(length & 0x3F) << 8 | ByteAt(reply, pos + 1);
            if (target >= pieceStart) return std::nullopt;
            if (!afterFirstPointer) afterFirstPointer = pos + 2;
            pos = pieceStart = target;
            continue;
        }
        if (length > kMaxDnsLabelLength) return std::nullopt;  // 0x40..0xBF: reserved label types
        if (length == 0) break;
        if (length >= reply.size() - pos) return std::nullopt;
        wireLength += 1 + length;
        if (wireLength > kMaxDnsNameWireLength) return std::nullopt;
        const std::string_view label = reply.substr(pos + 1, length);
        if (!IsHostLabel(label)) return std::nullopt;
        if (!name.empty()) name.push_back('.');
        name.append(label);
        pos += 1 + length;
    }
    position = afterFirstPointer ? *afterFirstPointer : pos + 1;
    return name;
}

std::optional<TMxExchange> ReadMxExchange(std::string_view reply, size_t dataStart, size_t dataEnd) {
    if (dataEnd > reply.size() || dataStart > dataEnd || dataEnd - dataStart < 3) return std::nullopt;
    TMxExchange exchange;
    exchange.Preference = Word16At(reply, dataStart);
    size_t pos = dataStart + 2;
    auto name = ReadDnsName(reply, pos);
    if (!name || pos > dataEnd) return std::nullopt;
    exchange.Name = std::move(*name);
    return exchange;
}

std::string ParseMxReply(std::string_view reply) {
    if (reply.size() < kHeaderSize) return {};
    const uint16_t flags = Word16At(reply, 2);
    if (Word16At(reply, 0) != kMxQueryId || !(flags & kFlagResponse) || (flags & kRcodeMask) != 0) return {};
    const uint16_t questions = Word16At(reply, 4);
    const uint16_t answers = Word16At(reply, 6);

    size_t pos = kHeaderSize;
    for (uint16_t i = 0; i < questions; ++i) {
        if (!ReadDnsName(reply, pos)) return {};
        pos += 4;  // type and class
    }

    std::optional<TMxExchange> best;
    std::string alias;
    for (uint16_t i = 0; i < answers; ++i) {
        if (!ReadDnsName(reply, pos)) break;  // the owner name
        if (pos > reply.size() || reply.size() - pos < kRecordFixedSize) break;
        const uint16_t type = Word16At(reply, pos);
        const size_t dataStart = pos + kRecordFixedSize;
        const size_t dataEnd = dataStart + Word16At(reply, pos + 8);
        if (dataEnd > reply.size()) break;
        if (type == kTypeMx) {
            auto exchange = ReadMxExchange(reply, dataStart, dataEnd);
            if (!exchange) break;
            if (!exchange->Name.empty() && (!best || exchange->Preference < best->Preference)) best = std::move(exchange);
        } else if (type == kTypeCname && alias.empty()) {
            size_t at = dataStart;
            auto target = ReadDnsName(reply, at);
            if (!target || at > dataEnd) break;
            alias = std::move(*target);
        }
        pos = dataEnd;
    }
    return best ? best->Name : alias;
}

}  // namespace drevnik
