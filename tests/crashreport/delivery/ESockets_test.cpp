// Text rules of the socket layer: error messages, sending in pieces, SMTP
// reply codes and the end of a reply, DNS server lists.
#include "crashreport/delivery/ESockets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace drevnik {
namespace {

TEST(SocketError, PlacesTheLogsAroundTheMessage) {
    const std::string log = "Connected to 127.0.0.1 port 25\r\nEHLO me\r\n";
    const std::string err = "554 no\r\n";
    struct Row { const char* what; std::string message; std::string log; std::string expected; };
    const Row rows[] = {
        {"message without the log", "Socket timeout.", log,
         "Socket timeout.\r\n\r\nError log:\r\n" + err + "\r\n\r\nSocket log:\r\n" + log + "\r\n\r\nDestination: mx:25"},
        {"empty log", "Socket timeout.", "",
         "Socket timeout.\r\n\r\nError log:\r\n" + err + "\r\n\r\nSocket log:\r\n\r\n\r\nDestination: mx:25"},
        {"message is the log", log, log,
         "Error log:\r\n" + err + "\r\n\r\nSocket log:\r\n" + log + "\r\n\r\nDestination: mx:25"},
        {"log inside the message", "Failed: " + log, log,
         "Failed: " + log + "\r\n\r\nError log:\r\n" + err + "\r\n\r\nDestination: mx:25"},
    };
    for (const Row& r : rows) EXPECT_EQ(ComposeSocketError(r.message, r.log, err, "mx", 25), r.expected) << r.what;
}

TEST(SocketError, CutsLongMessagesTo1024Characters) {
    const std::string tail = "\r\n\r\nError log:\r\n\r\n\r\nSocket log:\r\n\r\n\r\nDestination: h:1";
    for (size_t total : {size_t{1023}, size_t{1024}, size_t{1025}, size_t{5000}}) {
        const std::string message(total - tail.size(), 'm');
        const std::string text = ComposeSocketError(message, "", "", "h", 1);
        if (total <= 1024) {
            EXPECT_EQ(text, message + tail);
        } else {
            EXPECT_EQ(text.size(), 1027u);
            EXPECT_EQ(text, (message + tail).substr(0, 1024) + "...");
        }
    }
}

// A peer that takes at most `limit` bytes per send and stops taking after `capacity`.
struct FakePeer {
    int limit = 1 << 30;
    size_t capacity = SIZE_MAX;
    std::string received;
    std::vector<int> sends;
    std::vector<std::pair<int32_t, int32_t>> progress;

    int32_t Send(std::string_view text) {
        return SendTextInPieces(
            text,
            [this](const char* data, int length) {
                sends.push_back(length);
                const size_t n = std::min({static_cast<size_t>(length), static_cast<size_t>(limit), capacity - received.size()});
                received.append(data, n);
                return static_cast<int>(n);
            },
            [this](int32_t position, int32_t total) { progress.emplace_back(position, total); });
    }
};

std::string Text(size_t size) {
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
    return text;
}

TEST(SendTextInPieces, SendsPiecesOfAtMost1024Bytes) {
    using Progress = std::vector<std::pair<int32_t, int32_t>>;
    struct Row { size_t size; std::vector<int> sends; Progress progress; };
    const Row rows[] = {
        {0, {}, {}},
        {1024, {1024}, {{1025, 1024}}},
        {1025, {1024, 1}, {{1025, 1025}, {1026, 1025}}},
        {2500, {1024, 1024, 452}, {{1025, 2500}, {2049, 2500}, {2501, 2500}}},
    };
    for (const Row& r : rows) {
        FakePeer peer;
        EXPECT_EQ(peer.Send(Text(r.size)), static_cast<int32_t>(r.size));
        EXPECT_EQ(peer.received, Text(r.size));
        EXPECT_EQ(peer.sends, r.sends) << r.size;
        EXPECT_EQ(peer.progress, r.progress) << r.size;
    }
}

TEST(SendTextInPieces, CompletesShortSends) {
    FakePeer peer;
    peer.limit = 300;
    EXPECT_EQ(peer.Send(Text(1100)), 1100);
    EXPECT_EQ(peer.received, Text(1100));
    // The rest of a piece goes before the next piece starts.
    EXPECT_EQ(peer.sends, (std::vector<int>{1024, 724, 424, 124, 76}));
    EXPECT_EQ(peer.progress.back(), std::make_pair(1101, 1100));
}

TEST(SendTextInPieces, StopsWhenThePeerTakesNothing) {
    FakePeer peer;
    peer.capacity = 1500;
    EXPECT_EQ(peer.Send(Text(3000)), 1500);
    EXPECT_EQ(peer.received, Text(1500));
    EXPECT_EQ(peer.progress.back(), std::make_pair(1501, 3000));
}

TEST(SmtpReply, ReadsTheLeadingCode) {
    struct Row { std::string reply; std::optional<uint32_t> code; };
    const Row rows[] = {
        {"220 mail.example ESMTP\r\n", 220},
        {"220", 220},
        {"250-first\r\n250-second\r\n250 last\r\n", 250},
        {"354Start", 354},
        {"99999 big", 99999},
        {"123456 too long", std::nullopt},
        {"hello 220\r\n", std::nullopt},
        {" 220\r\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& r : rows) EXPECT_EQ(SmtpReplyCode(r.reply), r.code) << r.reply;
}

TEST(SmtpReply, KnowsWhenAReplyIsComplete) {
    struct Row { std::string reply; bool complete; };
    const Row rows[] = {
        {"220 ready\r\n", true},
        {"220\r\n", true},
        {"250 ok\n", true},
        {"250-first\r\n250-second\r\n250 last\r\n", true},
        {"250-first\r\n", false},
        {"250-first\r\n250-second\r\n", false},
        {"220 ready", false},
        {"220 rea", false},
        {"220", false},
        {"hello\r\n", false},
        {"22 x\r\n", false},
        {"2200 x\r\n", false},
        {"", false},
    };
    for (const Row& r : rows) EXPECT_EQ(IsCompleteSmtpReply(r.reply), r.complete) << r.reply;
}

TEST(MxLookupText, TakesTheDomainAfterTheFirstAtSign) {
    EXPECT_EQ(MxDomainOf("bugs@example.com"), "example.com");
    EXPECT_EQ(MxDomainOf("example.com"), "example.com");
    EXPECT_EQ(MxDomainOf("a@b@c.example"), "b@c.example");
    EXPECT_EQ(MxDomainOf("user@"), "");
}

TEST(MxLookupText, SkipsUnsetDnsAddresses) {
    std::vector<std::string> servers;
    for (const char* address : {"192.0.2.1", "0.0.0.0", " 0.0.0.0 ", "", "   ", " 198.51.100.7 "}) AddDnsServer(servers, address);
    EXPECT_EQ(servers, (std::vector<std::string>{"192.0.2.1", "198.51.100.7"}));
    EXPECT_TRUE(IsUsableDnsAddress(kBuiltInDnsServer));
}

}  // namespace
}  // namespace drevnik
