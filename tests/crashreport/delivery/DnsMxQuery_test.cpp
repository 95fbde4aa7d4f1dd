// MX query bytes and the reading of DNS replies, well-formed and hostile.
#include "crashreport/delivery/DnsMxQuery.h"

#include <gtest/gtest.h>

#include <string>

namespace drevnik {
namespace {

using namespace std::string_literals;

std::string U16(uint16_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

std::string Header(uint16_t id, uint16_t flags, uint16_t questions, uint16_t answers, uint16_t authority = 0) {
    return U16(id) + U16(flags) + U16(questions) + U16(answers) + U16(authority) + U16(0);
}

// "example.com" as the question name; it starts at offset 12 of every reply.
const std::string kDomainName = "\x07" "example" "\x03" "com" "\x00"s;
const std::string kToDomain = "\xC0\x0C"s;  // pointer to that name
const std::string kQuestion = kDomainName + U16(15) + U16(1);
constexpr uint16_t kOk = 0x8180;  // response, recursion desired and available

std::string Record(const std::string& owner, uint16_t type, const std::string& data) {
    return owner + U16(type) + U16(1) + "\x00\x00\x0E\x10"s + U16(static_cast<uint16_t>(data.size())) + data;
}
std::string Mx(uint16_t preference, const std::string& name) { return Record(kToDomain, 15, U16(preference) + name); }

TEST(DnsMxQuery, BuildsTheQueryBytes) {
    EXPECT_EQ(BuildMxQuery("example.com"),
              "\x41\x41\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00"
              "\x07" "example" "\x03" "com" "\x00" "\x00\x0F\x00\x01"s);
    EXPECT_EQ(BuildMxQuery("a"), Header(0x4141, 0x0100, 1, 0) + "\x01" "a" "\x00\x00\x0F\x00\x01"s);
}

TEST(DnsMxQuery, EncodesOnlyValidNames) {
    const std::string label63(63, 'x');
    const std::string longName = label63 + "." + label63 + "." + label63 + "." + std::string(61, 'y');  // 255 on the wire
    struct Row { std::string domain; std::string encoded; };
    const Row rows[] = {
        {"example.com", kDomainName},
        {"example.com.", kDomainName},
        {"mx-1.mail.example", "\x04" "mx-1" "\x04" "mail" "\x07" "example" "\x00"s},
        {label63, "\x3F"s + label63 + "\x00"s},
        {longName, "\x3F"s + label63 + "\x3F"s + label63 + "\x3F"s + label63 + "\x3D"s + std::string(61, 'y') + "\x00"s},
        // refused: no label, empty labels, a label over 63 bytes, a name over 255 bytes
        {"", ""}, {".", ""}, {"a..b", ""}, {".a", ""}, {"a..", ""},
        {std::string(64, 'x'), ""},
        {longName + "y", ""},
        // a NUL would end the name that a resolver reads
        {"a\0b.com"s, ""},
    };
    for (const Row& r : rows) EXPECT_EQ(EncodeDnsName(r.domain), r.encoded) << r.domain;
    EXPECT_EQ(BuildMxQuery("a..b"), "");
}

TEST(DnsMxQuery, ReadsNamesAndRefusesMalformedOnes) {
    struct Row {
        const char* what;
        std::string reply;
        size_t start;
        std::optional<std::string> name;
        size_t end;  // position afterwards (unchanged on failure)
    };
    const std::string twoNames = "\x03" "abc" "\x00" "\x01" "x" "\xC0\x00"s;  // "x" + pointer to "abc"
    const Row rows[] = {
        {"plain", "\x03" "abc" "\x03" "def" "\x00" "tail"s, 0, "abc.def", 9},
        {"root", "\x00"s, 0, "", 1},
        {"label then pointer", twoNames, 5, "x.abc", 9},
        {"bare pointer", twoNames + "\xC0\x05"s, 9, "x.abc", 11},  // pointer to a pointer, both backwards
        {"pointer to itself", "\x01" "a" "\xC0\x02"s, 2, std::nullopt, 2},
        {"pointer forward", "\xC0\x02" "\x01" "a" "\x00"s, 0, std::nullopt, 0},
        {"pointer into its own name", "\x01" "a" "\xC0\x00"s, 0, std::nullopt, 0},
        {"two pointers in a ring", "\xC0\x02" "\xC0\x00"s, 2, std::nullopt, 2},
        {"loop through an earlier label", "\x01" "a" "\xC0\x00"s, 2, std::nullopt, 2},
        {"pointer without its second byte", "\x01" "a" "\x00" "\xC0"s, 3, std::nullopt, 3},
        {"label beyond the end", "\x05" "abc"s, 0, std::nullopt, 0},
        {"no end byte", "\x03" "abc"s, 0, std::nullopt, 0},
        {"reserved label type", "\x41" "abc" "\x00"s, 0, std::nullopt, 0},
        // No host name holds these: "evil.com" as one label is not the name evil.com.
        {"label holding a dot", "\x08" "evil.com" "\x00"s, 0, std::nullopt, 0},
        {"label holding NUL", "\x03" "a\0b" "\x03" "com" "\x00"s, 0, std::nullopt, 0},
        {"dotted label behind a pointer", "\x04" "a.bc" "\x00" "\x01" "x" "\xC0\x00"s, 6, std::nullopt, 6},
        {"start beyond the end", "\x00"s, 1, std::nullopt, 1},
        {"empty reply", ""s, 0, std::nullopt, 0},
    };
    for (const Row& r : rows) {
        size_t position = r.start;
        EXPECT_EQ(ReadDnsName(r.reply, position), r.name) << r.what;
        EXPECT_EQ(position, r.end) << r.what;
    }
}

TEST(DnsMxQuery, RefusesANameLongerThan255Bytes) {
    // Every piece is a 63-byte label followed by a pointer to the piece before;
    // five pieces make a name of 5 x 64 + 1 bytes.
    std::string reply = "\x00"s;
    size_t last = 0;
    for (int i = 0; i < 5; ++i) {
        const size_t start = reply.size();
        reply += "\x3F"s + std::string(63, static_cast<char>('a' + i)) + "\xC0"s + static_cast<char>(last);
        last = start;
    }
    size_t position = last;
    EXPECT_EQ(ReadDnsName(reply, position), std::nullopt);
    position = 1 + 2 * 66;  // three pieces fit
    EXPECT_EQ(ReadDnsName(reply, position)->size(), 3 * 64 - 1u);
}

TEST(DnsMxQuery, ParsesWellFormedReplies) {
    struct Row { const char* what; std::string reply; std::string host; };
    const std::string head = kQuestion;
    const Row rows[] = {
        // As a real server sends it (dnslib): two answers, compressed names.
        {"two answers, lowest preference wins",
         "\x41\x41\x85\x80\x00\x01\x00\x02\x00\x00\x00\x00\x07\x65\x78\x61\x6d\x70\x6c\x65\x03\x63\x6f\x6d\x00\x00\x0f"
         "\x00\x01\xc0\x0c\x00\x0f\x00\x01\x00\x00\x00\x3c\x00\x08\x00\x14\x03\x6d\x78\x32\xc0\x0c\xc0\x0c\x00\x0f\x00"
         "\x01\x00\x00\x00\x3c\x00\x08\x00\x0a\x03\x6d\x78\x31\xc0\x0c"s,
         "mx1.example.com"},
        {"uncompressed exchange", Header(0x4141, kOk, 1, 1) + head + Mx(10, "\x04" "mail" "\x03" "net" "\x00"s), "mail.net"},
        {"uncompressed owner name",
         Header(0x4141, kOk, 1, 1) + head + Record(kDomainName, 15, U16(5) + "\x02" "mx" + kToDomain), "mx.example.com"},
        {"equal preferences: the first",
         Header(0x4141, kOk, 1, 2) + head + Mx(10, "\x01" "a" + kToDomain) + Mx(10, "\x01" "b" + kToDomain), "a.example.com"},
        {"alias only", Header(0x4141, kOk, 1, 1) + head + Record(kToDomain, 5, "\x03" "alt" + kToDomain), "alt.example.com"},
        {"alias, then the canonical name's MX",
         Header(0x4141, kOk, 1, 2) + head + Record(kToDomain, 5, "\x03" "alt" + kToDomain) +
             Mx(30, "\x02" "mx" "\xC0\x29"s),  // pointer to "alt.example.com" in the alias record
         "mx.alt.example.com"},
        {"other records are skipped",
         Header(0x4141, kOk, 1, 2) + head + Record(kToDomain, 16, "\x04" "text") + Mx(1, "\x02" "mx" + kToDomain),
         "mx.example.com"},
        {"a malformed later answer keeps the earlier one",
         Header(0x4141, kOk, 1, 2) + head + Mx(10, "\x02" "mx" + kToDomain) + Mx(1, "\x02" "zz" "\xC0\x7F"s),
         "mx.example.com"},
    };
    for (const Row& r : rows) EXPECT_EQ(ParseMxReply(r.reply), r.host) << r.what;
}

TEST(DnsMxQuery, MalformedOrForeignRepliesGiveNothing) {
    const std::string head = kQuestion;
    const std::string answer = Mx(10, "\x02" "mx" + kToDomain);
    struct Row { const char* what; std::string reply; };
    const Row rows[] = {
        {"wrong identifier", Header(0x4142, kOk, 1, 1) + head + answer},
        {"a query, not a response", Header(0x4141, 0x0100, 1, 1) + head + answer},
        {"server failure", Header(0x4141, kOk | 2, 1, 1) + head + answer},
        {"no such domain", Header(0x4141, kOk | 3, 1, 0) + head},
        {"no answers", Header(0x4141, kOk, 1, 0) + head},
        // A name in the authority section must not be taken for an answer.
        {"no answers, authority record", Header(0x4141, kOk, 1, 0, 1) + head +
                                              Record(kToDomain, 6, "\x02" "ns" + kToDomain + "\x00"s + std::string(20, '\0'))},
        {"answer count beyond the data", Header(0x4141, kOk, 1, 2)},
        {"null MX (no mail)", Header(0x4141, kOk, 1, 1) + head + Mx(0, "\x00"s)},
        {"exchange pointing at itself", Header(0x4141, kOk, 1, 1) + head + Mx(10, "\xC0\x2B"s)},
        {"exchange with a dotted label", Header(0x4141, kOk, 1, 1) + head + Mx(10, "\x08" "evil.com" "\x00"s)},
        {"alias with a NUL in a label", Header(0x4141, kOk, 1, 1) + head + Record(kToDomain, 5, "\x03" "a\0b" + kToDomain)},
        {"exchange pointing forward", Header(0x4141, kOk, 1, 1) + head + Mx(10, "\xC0\x30"s) + "\x00"s},
        {"exchange running past its record",
         Header(0x4141, kOk, 1, 1) + head + Record(kToDomain, 15, U16(10) + "\x02" "mx") + "\xC0\x0C"s},
        {"question name looping", Header(0x4141, kOk, 1, 1) + "\xC0\x0C"s + U16(15) + U16(1) + answer},
        {"short header", "\x41\x41\x81\x80\x00\x01"s},
        {"empty", ""s},
    };
    for (const Row& r : rows) EXPECT_EQ(ParseMxReply(r.reply), "") << r.what;
}

TEST(DnsMxQuery, EveryTruncationOfAReplyGivesNothing) {
    const std::string reply = Header(0x4141, kOk, 1, 1) + kQuestion + Mx(10, "\x04" "mail" + kToDomain);
    ASSERT_EQ(ParseMxReply(reply), "mail.example.com");
    for (size_t size = 0; size < reply.size(); ++size) EXPECT_EQ(ParseMxReply(reply.substr(0, size)), "") << size;
}

}  // namespace
}  // namespace drevnik
