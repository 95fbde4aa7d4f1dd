// The socket layer under Wine against real peers on 127.0.0.1 (with_peers.sh
// starts them and passes their ports): WinSock binding, TCP and UDP client
// sockets, the SMTP client with aiosmtpd, and MX lookups answered by dnslib.
#include "crashreport/delivery/ESockets.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace drevnik {
namespace {

uint16_t PeerPort(const char* name) {
    const char* value = std::getenv(name);
    return value ? static_cast<uint16_t>(std::atoi(value)) : 0;
}

std::string ConnectLine(uint16_t port) { return "Connected to 127.0.0.1 port " + std::to_string(port) + "\r\n"; }

// The message of the socket error that `action` raises; fails the test when none comes.
template <typename Action>
std::string SocketErrorOf(Action&& action) {
    try {
        action();
    } catch (const EDrevnikSocketError& e) {
        return e.what();
    }
    ADD_FAILURE() << "no EDrevnikSocketError";
    return {};
}

class SocketPeers : public ::testing::Test {
protected:
    void SetUp() override {
        if (PeerPort("KYN_SMTP_PORT") == 0) GTEST_SKIP() << "needs the peers of with_peers.sh";
    }
};

TEST_F(SocketPeers, BindsWinSockFunctionsByName) {
    EXPECT_NE(ResolveWinSockFunction(L"socket"), nullptr);
    EXPECT_NE(ResolveWinSockFunction(L"WSAAsyncSelect"), nullptr);
    try {
        ResolveWinSockFunction(L"NoSuchFunction");
        ADD_FAILURE() << "no exception";
    } catch (const EDrevnikFuncNotFoundError& e) {
        EXPECT_STREQ(e.what(), "WinSock's function \"NoSuchFunction\" can not be found");
    }
    EXPECT_TRUE(StartWinSock());
    EXPECT_TRUE(StartWinSock());

    // The unit's guarded steps; a connection after the shut-down step starts WinSock again.
    SocketsUnitInit();
    SocketsUnitDone();
    TDrevnikClientSocket socket("127.0.0.1", PeerPort("KYN_ECHO_PORT"), true, 1000);
    socket.Connect();
    EXPECT_TRUE(socket.Connected());
}

TEST_F(SocketPeers, SendsInPiecesAndReadsUntilSilence) {
    const uint16_t port = PeerPort("KYN_ECHO_PORT");
    TDrevnikClientSocket socket("127.0.0.1", port, true, 5000);
    std::vector<std::pair<int32_t, int32_t>> progress;
    socket.OnSent = [&](TDrevnikClientSocket* sender, int32_t position, int32_t total) {
        EXPECT_EQ(sender, &socket);
        progress.emplace_back(position, total);
    };
    socket.Connect();
    EXPECT_TRUE(socket.Connected());
    EXPECT_EQ(socket.Log(), ConnectLine(port));

    std::string text(3000, '\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7);
    EXPECT_EQ(socket.SendText(text), 3000);
    EXPECT_EQ(progress, (std::vector<std::pair<int32_t, int32_t>>{{1025, 3000}, {2049, 3000}, {3001, 3000}}));
    std::string reply;
    socket.ReadReply(reply);
    EXPECT_EQ(reply, text);
    EXPECT_EQ(socket.Log(), ConnectLine(port) + text);

    socket.Disconnect();
    EXPECT_FALSE(socket.Connected());
    EXPECT_EQ(socket.Log(), "");
    EXPECT_EQ(socket.SendText("late"), 0);
}

TEST_F(SocketPeers, PiecesJoinOnlyWithinTheSilence) {
    TDrevnikClientSocket joined("127.0.0.1", PeerPort("KYN_NEAR_PORT"), true, 5000);
    joined.Connect();
    std::string reply;
    joined.ReadReply(reply);
    EXPECT_EQ(reply, "part one;part two");

    TDrevnikClientSocket split("127.0.0.1", PeerPort("KYN_FAR_PORT"), true, 5000);
    split.Connect();
    split.ReadReply(reply);
    EXPECT_EQ(reply, "part one;");
    split.ReadReply(reply);
    EXPECT_EQ(reply, "part two");
}

TEST_F(SocketPeers, SilenceEndsInATimeoutThatCarriesTheLogs) {
    const uint16_t port = PeerPort("KYN_SILENT_PORT");
    TDrevnikClientSocket socket("127.0.0.1", port, true, 1500);
    socket.Connect();
    const ULONGLONG start = GetTickCount64();
    const std::string message = SocketErrorOf([&] {
        std::string reply;
        socket.ReadReply(reply);
    });
    EXPECT_GE(GetTickCount64() - start, 1400u);
    EXPECT_EQ(message, "Socket timeout.\r\n\r\nError log:\r\n\r\n\r\nSocket log:\r\n" + ConnectLine(port) +
                           "\r\n\r\nDestination: 127.0.0.1:" + std::to_string(port));

    // The SMTP client waits for the greeting the same way.
    TDrevnikClientSMTP smtp("127.0.0.1", port, true, 500);
    EXPECT_EQ(SocketErrorOf([&] { smtp.Connect(); }).rfind("Socket timeout.\r\n", 0), 0u);
}

TEST_F(SocketPeers, ConnectFailuresNameTheirCause) {
    const uint16_t closed = PeerPort("KYN_CLOSED_PORT");
    TDrevnikClientSocket refused("127.0.0.1", closed, true, 1000);
    const std::string message = SocketErrorOf([&] { refused.Connect(); });
    EXPECT_EQ(message.rfind("Connection error: \"", 0), 0u) << message;
    EXPECT_NE(message.find("Destination: 127.0.0.1:" + std::to_string(closed)), std::string::npos);
    EXPECT_FALSE(refused.Connected());

    // 0.0.0.0 resolves without asking any name server, to the address 0.
    TDrevnikClientSocket nowhere("0.0.0.0", 25, true, 1000);
    EXPECT_EQ(SocketErrorOf([&] { nowhere.Connect(); }), "Unable to resolve host \"0.0.0.0\".");
}

TEST_F(SocketPeers, ATransferErrorKeepsTheLogItReports) {
    const uint16_t port = PeerPort("KYN_RESET_PORT");
    TDrevnikClientSMTP smtp("127.0.0.1", port, true, 5000);
    smtp.Connect();
    ASSERT_EQ(smtp.Log(), ConnectLine(port) + "220 hi\r\n");
    // The peer resets the connection at the first line; a later send fails.
    std::string message;
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (message.empty() && GetTickCount64() < deadline) {
        try {
            smtp.SendText("NOOP\r\n");
            Sleep(10);
        } catch (const EDrevnikSocketError& e) {
            message = e.what();
        }
    }
    ASSERT_FALSE(message.empty()) << "the reset was never noticed";
    EXPECT_EQ(message.rfind("Error into \"send\": \"", 0), 0u) << message;
    EXPECT_NE(message.find("Socket log:\r\n" + ConnectLine(port) + "220 hi\r\n"), std::string::npos) << message;
    EXPECT_FALSE(smtp.Connected());
    EXPECT_EQ(smtp.Log(), "");
}

TEST_F(SocketPeers, SmtpConversationWithLogin) {
    const uint16_t port = PeerPort("KYN_SMTP_PORT");
    TDrevnikClientSMTP smtp("127.0.0.1", port, true, 10000);
    const ULONGLONG start = GetTickCount64();
    smtp.Connect();
    EXPECT_EQ(smtp.Log().rfind(ConnectLine(port) + "220 ", 0), 0u);
    // A multi-line reply (250-... then 250 ...) counts as 250.
    EXPECT_TRUE(smtp.SendCommand("EHLO reporter.test", {250}));
    EXPECT_NE(smtp.ErrorLog().find("250-AUTH LOGIN"), std::string::npos);
    EXPECT_TRUE(smtp.SendCommand("RSET", {250}));
    EXPECT_TRUE(smtp.SendCommand("AUTH LOGIN", {334, 500, 502}));
    EXPECT_EQ(smtp.ErrorLog().substr(0, 4), "334 ");
    EXPECT_TRUE(smtp.SendCommand("cmVwb3J0ZXI=", {334, 500, 502}));   // reporter
    EXPECT_TRUE(smtp.SendCommand("czNjcmV0\r\n", {235, 500, 502}));   // s3cret, line break already there
    EXPECT_EQ(smtp.ErrorLog().substr(0, 4), "235 ");
    EXPECT_TRUE(smtp.SendCommand("MAIL FROM:<app@reporter.test>", {250}));
    EXPECT_TRUE(smtp.SendCommand("RCPT TO:<bugs@maker.test>", {250}));
    EXPECT_TRUE(smtp.SendCommand("DATA", {354}));
    std::string body = "Subject: Bug report\r\n\r\n";
    for (int i = 0; i < 60; ++i) body += "Line " + std::to_string(i) + " of the report, long enough to need several pieces.\r\n";
    EXPECT_TRUE(smtp.SendCommand(body + ".", {250}));
    // Eleven replies; had any waited for the second of silence this would take longer.
    EXPECT_LT(GetTickCount64() - start, 11000u);
    EXPECT_NE(smtp.Log().find("czNjcmV0\r\n235 "), std::string::npos) << "no doubled line break";
    EXPECT_FALSE(smtp.SendCommand("", {250}));

    const std::string path = "Z:" + std::string(std::getenv("KYN_SMTP_SPOOL")) + "/mail1.eml";
    std::string mail;
    for (const ULONGLONG deadline = GetTickCount64() + 10000; mail.empty() && GetTickCount64() < deadline; Sleep(20)) {
        std::ifstream file(path, std::ios::binary);
        mail.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(mail, "MAIL FROM:app@reporter.test\r\nRCPT TO:bugs@maker.test\r\n\r\n" + body);
}

TEST_F(SocketPeers, SmtpRefusedLoginAndGreeting) {
    const uint16_t port = PeerPort("KYN_SMTP_PORT");
    TDrevnikClientSMTP smtp("127.0.0.1", port, true, 10000);
    smtp.Connect();
    EXPECT_TRUE(smtp.SendCommand("HELO reporter.test", {250}));
    EXPECT_EQ(smtp.ErrorLog(), "250 peer.test\r\n");
    // After HELO the server knows no AUTH: 500 is among the accepted codes.
    EXPECT_TRUE(smtp.SendCommand("AUTH LOGIN", {334, 500, 502}));
    EXPECT_EQ(smtp.ErrorLog().substr(0, 4), "500 ");
    EXPECT_TRUE(smtp.SendCommand("EHLO reporter.test", {250}));
    EXPECT_TRUE(smtp.SendCommand("AUTH LOGIN", {334, 500, 502}));
    EXPECT_TRUE(smtp.SendCommand("cmVwb3J0ZXI=", {334, 500, 502}));
    const std::string log = smtp.Log();
    const std::string message = SocketErrorOf([&] { smtp.SendCommand("d3Jvbmc=", {235, 500, 502}); });
    // The reply since the command, then the whole conversation, then the destination.
    EXPECT_EQ(message.rfind("Error log:\r\n535 ", 0), 0u) << message;
    EXPECT_NE(message.find("\r\n\r\nSocket log:\r\n" + log + "d3Jvbmc=\r\n535 "), std::string::npos) << message;
    EXPECT_TRUE(message.ends_with("\r\n\r\nDestination: 127.0.0.1:" + std::to_string(port))) << message;

    const uint16_t refusing = PeerPort("KYN_REFUSE_PORT");
    TDrevnikClientSMTP refused("127.0.0.1", refusing, true, 10000);
    EXPECT_EQ(SocketErrorOf([&] { refused.Connect(); }),
              "Error log:\r\n554 go away\r\n\r\n\r\nSocket log:\r\n" + ConnectLine(refusing) +
                  "554 go away\r\n\r\n\r\nDestination: 127.0.0.1:" + std::to_string(refusing));
}

TEST_F(SocketPeers, SmtpReplyCodes) {
    TDrevnikClientSMTP smtp("127.0.0.1", PeerPort("KYN_SAY_PORT"), true, 10000);
    smtp.Connect();  // the greeting is a bare "220"
    struct Row { const char* command; std::initializer_list<uint16_t> accepted; bool ok; };
    const Row rows[] = {
        {"SAY 250 fine", {250}, true},
        {"SAY 250-first|250-second|250 last", {250}, true},
        {"SAY 250", {250}, true},
        {"SAY 502 not here", {334, 500, 502}, true},
        {"SAY 451 later", {250}, false},
        {"SAY 2500 odd", {250}, false},
        {"SAY hello 250", {250}, false},
    };
    for (const Row& r : rows) {
        if (r.ok) {
            EXPECT_TRUE(smtp.SendCommand(r.command, r.accepted)) << r.command;
        } else {
            EXPECT_EQ(SocketErrorOf([&] { smtp.SendCommand(r.command, r.accepted); }).rfind("Error log:\r\n", 0), 0u)
                << r.command;
        }
    }
}

TEST_F(SocketPeers, LooksUpMailHosts) {
    const std::vector<TDnsServer> dns{{"127.0.0.1", PeerPort("KYN_DNS_PORT")}};
    struct Row { const char* address; const char* host; };
    const Row rows[] = {
        {"bugs@example.test", "mail.example.test"},  // the lower of two preferences
        {"example.test", "mail.example.test"},
        {"bugs@alias.test", "canon.test"},
        {"bugs@slow.test", "late.slow.test"},  // answered at the third try
    };
    for (const Row& r : rows) EXPECT_EQ(LookupMXHost(r.address, 1500, dns), r.host) << r.address;

    // A server that never answers is tried three times, then the next one.
    const std::vector<TDnsServer> twoServers{{"127.0.0.1", PeerPort("KYN_DNS_SILENT_PORT")}, dns[0]};
    EXPECT_EQ(LookupMXHost("bugs@example.test", 600, twoServers), "mail.example.test");
}

TEST_F(SocketPeers, MxLookupFailures) {
    const std::vector<TDnsServer> dns{{"127.0.0.1", PeerPort("KYN_DNS_PORT")}};
    for (const char* domain : {"nomx.test", "nosuch.test", "wrongid.test", "loop.test", "silent.test"}) {
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(SocketErrorOf([&] { LookupMXHost(std::string("bugs@") + domain, 600, dns); }),
                  std::string("Cannot resolve the \"") + domain + "\" MX record.");
        // Three tries of at most (600 + 150) / 3 + 200 ms each, with room to spare.
        EXPECT_LT(GetTickCount64() - start, 5000u) << domain;
    }
    EXPECT_EQ(SocketErrorOf([&] { LookupMXHost("bugs@bad..name", 600, dns); }),
              "Cannot resolve the \"bad..name\" MX record.");
}

TEST_F(SocketPeers, DnsServerListEndsWithTheBuiltInServer) {
    const std::vector<std::string> servers = GetDnsServers();
    ASSERT_FALSE(servers.empty());
    EXPECT_EQ(servers.back(), kBuiltInDnsServer);
    for (const std::string& server : servers) EXPECT_TRUE(IsUsableDnsAddress(server)) << server;
}

}  // namespace
}  // namespace drevnik
