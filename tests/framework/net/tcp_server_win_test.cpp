// The TCP server on 127.0.0.1: a handler per line on the connection's own
// thread, a handler's exception closing only its connection, the line and
// connection caps, bindings added while active, and deactivation.
#include "framework/net/tcp_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "tests/support/win_process_windows.h"
#include "tests/support/win_tcp_client.h"

namespace fw::net {
namespace {

using fw::test::FreeLoopbackPort;
using fw::test::TcpClient;
using fw::test::WaitUntil;

struct Server {
    Server() {
        server.OnExecute = [this](TIdContext& context) {
            const std::wstring line = context.ReadLn();
            std::lock_guard guard(lock);
            lines.push_back(line);
            threads.insert(std::this_thread::get_id());
            if (line == L"fail") throw EConvertError(L"bad");
        };
    }
    std::vector<std::wstring> Lines() {
        std::lock_guard guard(lock);
        return lines;
    }
    TIdTCPServer server{nullptr};
    std::mutex lock;
    std::vector<std::wstring> lines;
    std::set<std::thread::id> threads;
};

TEST(TcpServer, LinesReachTheHandlerAndAFailureClosesOnlyItsConnection) {
    Server s;
    const int port = FreeLoopbackPort();
    s.server.AddBinding({L"127.0.0.1", port});
    s.server.SetActive(true);
    EXPECT_EQ(s.server.ListeningPort(0), port);
    TcpClient a(port), b(port);
    ASSERT_TRUE(a.Connected() && b.Connected());
    ASSERT_TRUE(a.Send("one\r\ntwo\n"));
    ASSERT_TRUE(WaitUntil([&] { return s.Lines().size() == 2; }, 5000));
    ASSERT_TRUE(b.Send("fail\n"));
    EXPECT_TRUE(b.ClosedByServer(5000));
    ASSERT_TRUE(a.Send("three\n"));
    ASSERT_TRUE(WaitUntil([&] { return s.Lines().size() == 4; }, 5000));
    EXPECT_EQ(s.Lines(), (std::vector<std::wstring>{L"one", L"two", L"fail", L"three"}));
    EXPECT_FALSE(a.ClosedByServer(50));
    EXPECT_EQ(s.threads.size(), 2u);  // each connection on its own thread
    s.server.SetActive(false);
    EXPECT_TRUE(a.ClosedByServer(5000));
    EXPECT_EQ(s.server.ConnectionCount(), 0);
    EXPECT_FALSE(TcpClient(port).Connected());
}

TEST(TcpServer, OverLongLinesAndConnectionsBeyondTheCapAreClosed) {
    Server s;
    s.server.MaxLineLength = 16;
    s.server.MaxConnections = 3;
    const int port = FreeLoopbackPort();
    s.server.AddBinding({L"127.0.0.1", port});
    s.server.SetActive(true);
    {
        TcpClient longLine(port), keep(port);
        ASSERT_TRUE(longLine.Send("ok\n" + std::string(17, 'x') + "\n"));
        EXPECT_TRUE(longLine.ClosedByServer(5000));
        ASSERT_TRUE(WaitUntil([&] { return s.server.ConnectionCount() == 1; }, 5000));
        // The line before the long one still ran.
        EXPECT_EQ(s.Lines(), (std::vector<std::wstring>{L"ok"}));
        TcpClient second(port), third(port);
        ASSERT_TRUE(WaitUntil([&] { return s.server.ConnectionCount() == 3; }, 5000));
        TcpClient fourth(port);
        EXPECT_TRUE(fourth.ClosedByServer(5000));
        ASSERT_TRUE(keep.Send("still\n"));
        EXPECT_TRUE(WaitUntil([&] { return s.Lines().size() == 2; }, 5000));
    }
    ASSERT_TRUE(WaitUntil([&] { return s.server.ConnectionCount() == 0; }, 5000));
}

TEST(TcpServer, BindingsAddedWhileActiveListenAndBadOnesAreNotKept) {
    Server s;
    s.server.SetActive(true);
    const int first = FreeLoopbackPort();
    s.server.AddBinding({L"127.0.0.1", first});
    const int second = FreeLoopbackPort();
    s.server.AddBinding({L"127.0.0.1", second});
    EXPECT_THROW(s.server.AddBinding({L"127.0.0.1", first}), ESocketError);  // in use
    EXPECT_THROW(s.server.AddBinding({L"300.1.1.1", 5555}), ESocketError);
    EXPECT_THROW(s.server.AddBinding({L"127.0.0.1", 65536}), ESocketError);
    EXPECT_EQ(s.server.Bindings().size(), 2u);
    TcpClient a(first), b(second);
    ASSERT_TRUE(a.Send("a\n") && b.Send("b\n"));
    EXPECT_TRUE(WaitUntil([&] { return s.Lines().size() == 2; }, 5000));
}

}  // namespace
}  // namespace fw::net
