// The DNS MX query that the mail-server lookup sends over UDP and the reading
// of the server's reply. Bytes in, values out: no sockets here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace drevnik {

// Identifier of every query we send ("AA"); a reply must carry it back.
constexpr uint16_t kMxQueryId = 0x4141;
// A name may take at most 255 bytes on the wire, its end byte included.
constexpr size_t kMaxDnsNameWireLength = 255;
constexpr size_t kMaxDnsLabelLength = 63;

uint16_t MakeWord16(uint8_t high, uint8_t low);

// The domain as length-prefixed labels and the end byte. Empty when the domain
// cannot be written as a name (no label at all, an empty label inside it, a
// label longer than 63 bytes or holding a NUL, more than 255 bytes in all); a
// single final dot is allowed.
std::string EncodeDnsName(std::string_view domain);

// The whole query for the domain's MX records; empty when EncodeDnsName refuses
// the domain.
std::string BuildMxQuery(std::string_view domain);

// Reads the possibly compressed name that starts at offset `position` of the
// reply, as dotted text without a final dot. Compression pointers must point
// before the piece of name they continue, so every pointer goes strictly
// backwards and no name can loop. On success `position` stands after the
// name's end byte, or after its first pointer; on a malformed name (a read
// outside the reply, a reserved label type, a pointer that does not go back,
// a name over 255 bytes, a label holding '.' or NUL, which no host name can
// carry) the result is empty and `position` is unchanged.
std::optional<std::string> ReadDnsName(std::string_view reply, size_t& position);

struct TMxExchange {
    uint16_t Preference = 0;
    std::string Name;
};

// The MX record data that starts at `dataStart` and ends before `dataEnd`:
// the 16-bit preference and the exchange name after it, which must end inside
// the record. Empty when the record is malformed.
std::optional<TMxExchange> ReadMxExchange(std::string_view reply, size_t dataStart, size_t dataEnd);

// The mail host named by a reply to BuildMxQuery: of the MX answers, the
// exchange with the lowest preference (the first of equals); without any MX
// answer the target of the first alias (CNAME) answer. Empty for a reply that
// is not ours (wrong identifier, not a response), carries an error code, has
// no usable answer or is malformed; the scan stops at the first malformed
// answer and keeps what came before it.
std::string ParseMxReply(std::string_view reply);

}  // namespace drevnik
