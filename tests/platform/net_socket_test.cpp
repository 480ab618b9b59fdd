// The platform's sockets on loopback: connections, bytes both ways, the error codes, host
// lookup, and the notifications of WSAAsyncSelect with their re-enabling rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/core/clock.h"
#include "platform/net/winsock.h"
#include "platform/testing/net_test_controls.h"
#include "platform/testing/test_controls.h"
#include "platform/testing/window_test_controls.h"
#include "platform/window/window.h"

namespace {

constexpr uint32_t kNotify = 0x0505;
constexpr const char* kClass = "NetSocketTestWindow";

plat::LResult QuietProc(plat::WindowHandle w, uint32_t m, plat::WParam wp, plat::LParam lp) {
    return plat::DefWindowProc(w, m, wp, lp);
}

struct Notice {
    plat::Socket socket;
    uint32_t event;
    int error;
};

class NetSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetWindowTestControls();
        plat::UseVirtualClock(false);
        plat::WindowClass c{0, &QuietProc, 0, 0, 5, kClass};
        ASSERT_NE(plat::RegisterWindowClass(c), 0);
        window_ = plat::CreateWindow(kClass, "", 0, 0, 0, 0, 1, 1, nullptr);
        ASSERT_NE(window_, 0u);
        ASSERT_EQ(plat::WSAStartup(), 0);
    }

    void TearDown() override {
        plat::SetSocketBufferSizes(0, 0);
        plat::WSACleanup();
        plat::ResetWindowTestControls();
        plat::ResetTestControls();
    }

    // A listening socket on a free loopback port.
    plat::Socket Listen(uint16_t* port) {
        const plat::Socket s = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        EXPECT_NE(s, plat::INVALID_SOCKET);
        plat::SockAddrIn address{};
        address.family = plat::AF_INET_WS;
        address.address = plat::inet_addr("127.0.0.1");
        EXPECT_EQ(plat::bind(s, &address), 0);
        EXPECT_EQ(plat::listen(s, 4), 0);
        EXPECT_EQ(plat::getsockname(s, &address), 0);
        *port = plat::ntohs_ws(address.port);
        return s;
    }

    static plat::SockAddrIn Loopback(uint16_t port) {
        plat::SockAddrIn address{};
        address.family = plat::AF_INET_WS;
        address.port = plat::htons_ws(port);
        address.address = plat::inet_addr("127.0.0.1");
        return address;
    }

    // Polls for up to a second (real time) and collects the notifications posted to the
    // window, until `until` of them are there; then a few quiet rounds show nothing else
    // (Collect(0) only looks for what should not come).
    std::vector<Notice> Collect(size_t until) {
        std::vector<Notice> seen;
        const uint32_t begin = plat::MillisecondClock();
        while (plat::MillisecondClock() - begin < 1000) {
            plat::PollSocketEvents();
            Drain(&seen);
            if (seen.size() >= until) break;
            plat::SleepMs(1);
        }
        for (int i = 0; i < 5; ++i) {
            plat::SleepMs(2);
            plat::PollSocketEvents();
            Drain(&seen);
        }
        return seen;
    }

    void Drain(std::vector<Notice>* seen) {
        plat::Message m;
        while (plat::PeekMessage(&m, window_, 0, 0, plat::PM_REMOVE)) {
            if (m.message != kNotify) continue;
            const auto l = static_cast<uintptr_t>(m.lParam);
            seen->push_back({m.wParam, plat::SelectEvent(l), plat::SelectError(l)});
        }
    }

    static int Count(const std::vector<Notice>& seen, uint32_t event) {
        int n = 0;
        for (const Notice& notice : seen) n += notice.event == event ? 1 : 0;
        return n;
    }

    plat::WindowHandle window_ = 0;
};

TEST_F(NetSocketTest, BytesGoBothWaysOverALoopbackConnection) {
    uint16_t port = 0;
    const plat::Socket listener = Listen(&port);
    const plat::Socket client = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
    const plat::SockAddrIn address = Loopback(port);
    ASSERT_EQ(plat::connect(client, &address), 0);
    plat::SockAddrIn peer{};
    const plat::Socket server = plat::accept(listener, &peer);
    ASSERT_NE(server, plat::INVALID_SOCKET);
    EXPECT_EQ(peer.address, plat::inet_addr("127.0.0.1"));

    ASSERT_EQ(plat::send(client, "hello", 5, 0), 5);
    char buffer[8] = {};
    ASSERT_EQ(plat::recv(server, buffer, 3, plat::MSG_PEEK_WS), 3);
    uint32_t waiting = 0;
    ASSERT_EQ(plat::BytesWaiting(server, &waiting), 0);
    EXPECT_EQ(waiting, 5u);
    ASSERT_EQ(plat::recv(server, buffer, 8, 0), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");

    ASSERT_EQ(plat::closesocket(client), 0);
    EXPECT_EQ(plat::recv(server, buffer, 8, 0), 0);  // the peer closed
    EXPECT_EQ(plat::closesocket(server), 0);
    EXPECT_EQ(plat::closesocket(listener), 0);
}

TEST_F(NetSocketTest, FailuresLeaveTheirWinsockCode) {
    EXPECT_EQ(plat::closesocket(12345), -1);
    EXPECT_EQ(plat::WSAGetLastError(), plat::WSAENOTSOCK);
    EXPECT_EQ(plat::socket(7, plat::SOCK_STREAM_WS, 0), plat::INVALID_SOCKET);
    EXPECT_EQ(plat::WSAGetLastError(), plat::WSAEAFNOSUPPORT);

    // Nobody listens on the port a closed listener had.
    uint16_t port = 0;
    plat::closesocket(Listen(&port));
    const plat::Socket client = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
    const plat::SockAddrIn address = Loopback(port);
    EXPECT_EQ(plat::connect(client, &address), -1);
    EXPECT_EQ(plat::WSAGetLastError(), plat::WSAECONNREFUSED);
    plat::closesocket(client);

    // A non-blocking socket with nothing to read.
    const plat::Socket listener = Listen(&port);
    ASSERT_EQ(plat::WSAAsyncSelect(listener, window_, kNotify, plat::FD_ACCEPT), 0);
    EXPECT_EQ(plat::accept(listener, nullptr), plat::INVALID_SOCKET);
    EXPECT_EQ(plat::WSAGetLastError(), plat::WSAEWOULDBLOCK);
    plat::closesocket(listener);

    // After the last cleanup nothing works until the next start.
    plat::WSACleanup();
    EXPECT_EQ(plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0), plat::INVALID_SOCKET);
    EXPECT_EQ(plat::WSAGetLastError(), plat::WSANOTINITIALISED);
    EXPECT_EQ(plat::WSACleanup(), -1);
    plat::WSAStartup();
}

TEST_F(NetSocketTest, HostLookupTakesDottedAddressesAndNames) {
    const struct {
        const char* name;
        bool found;
    } cases[] = {{"127.0.0.1", true}, {"localhost", true}, {"", false}, {"no such host.invalid", false}};
    for (const auto& c : cases) {
        const plat::HostEnt* entry = plat::gethostbyname(c.name);
        EXPECT_EQ(entry != nullptr, c.found) << c.name;
        if (entry != nullptr) {
            ASSERT_NE(entry->addresses[0], nullptr);
            uint32_t address = 0;
            std::memcpy(&address, entry->addresses[0], 4);
            EXPECT_EQ(plat::ntohl_ws(address) >> 24, 127u) << c.name;
        } else {
            EXPECT_EQ(plat::WSAGetLastError(), plat::WSAHOST_NOT_FOUND) << c.name;
        }
    }
    EXPECT_EQ(plat::inet_addr("1.2.3"), plat::INADDR_NONE_WS);
    EXPECT_EQ(plat::inet_addr("10.0.0.1"), plat::htonl_ws(0x0A000001));
}

TEST_F(NetSocketTest, NotificationsFollowTheReEnablingRules) {
    uint16_t port = 0;
    const plat::Socket listener = Listen(&port);
    ASSERT_EQ(plat::WSAAsyncSelect(listener, window_, kNotify, plat::FD_ACCEPT), 0);

    const plat::Socket client = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
    const uint32_t all = plat::FD_CONNECT | plat::FD_READ | plat::FD_WRITE | plat::FD_CLOSE;
    ASSERT_EQ(plat::WSAAsyncSelect(client, window_, kNotify, all), 0);
    const plat::SockAddrIn address = Loopback(port);
    const int connected = plat::connect(client, &address);
    if (connected != 0) {
        ASSERT_EQ(plat::WSAGetLastError(), plat::WSAEWOULDBLOCK);
    }

    // FD_ACCEPT for the listener, FD_CONNECT (no error) and one FD_WRITE for the client.
    std::vector<Notice> seen = Collect(3);
    EXPECT_EQ(Count(seen, plat::FD_ACCEPT), 1);
    EXPECT_EQ(Count(seen, plat::FD_CONNECT), 1);
    EXPECT_EQ(Count(seen, plat::FD_WRITE), 1);
    for (const Notice& n : seen) EXPECT_EQ(n.error, 0);

    const plat::Socket server = plat::accept(listener, nullptr);
    ASSERT_NE(server, plat::INVALID_SOCKET);

    // Two sends, one FD_READ: the next comes only after a recv, and then only while data is
    // left.
    ASSERT_EQ(plat::send(server, "ab", 2, 0), 2);
    seen = Collect(1);
    ASSERT_EQ(Count(seen, plat::FD_READ), 1);
    EXPECT_EQ(seen[0].socket, client);
    ASSERT_EQ(plat::send(server, "cd", 2, 0), 2);
    EXPECT_EQ(Count(Collect(0), plat::FD_READ), 0);
    char buffer[4];
    ASSERT_EQ(plat::recv(client, buffer, 1, 0), 1);
    EXPECT_EQ(Count(Collect(1), plat::FD_READ), 1);
    ASSERT_EQ(plat::recv(client, buffer, 4, 0), 3);
    EXPECT_EQ(Count(Collect(0), plat::FD_READ), 0);
    // FD_WRITE stays quiet while sends go through.
    ASSERT_EQ(plat::send(client, "x", 1, 0), 1);
    EXPECT_EQ(Count(Collect(0), plat::FD_WRITE), 0);

    // The peer closes: FD_CLOSE once.
    plat::closesocket(server);
    seen = Collect(1);
    EXPECT_EQ(Count(seen, plat::FD_CLOSE), 1);
    EXPECT_EQ(Count(Collect(0), plat::FD_CLOSE), 0);
    plat::closesocket(client);
    plat::closesocket(listener);
}

TEST_F(NetSocketTest, FdWriteComesBackAfterASendWouldHaveBlocked) {
    uint16_t port = 0;
    const plat::Socket listener = Listen(&port);
    const plat::Socket client = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
    const plat::SockAddrIn address = Loopback(port);
    ASSERT_EQ(plat::connect(client, &address), 0);
    const plat::Socket server = plat::accept(listener, nullptr);
    ASSERT_EQ(plat::WSAAsyncSelect(client, window_, kNotify, plat::FD_WRITE), 0);
    EXPECT_EQ(Count(Collect(1), plat::FD_WRITE), 1);

    // Fill the socket until a send would block (bounded: the kernel buffers are finite).
    std::vector<char> chunk(65536, 'z');
    bool blocked = false;
    for (int i = 0; i < 4096 && !blocked; ++i) {
        if (plat::send(client, chunk.data(), static_cast<int>(chunk.size()), 0) < 0) {
            ASSERT_EQ(plat::WSAGetLastError(), plat::WSAEWOULDBLOCK);
            blocked = true;
        }
    }
    ASSERT_TRUE(blocked);
    EXPECT_EQ(Count(Collect(0), plat::FD_WRITE), 0);  // still full
    // The peer reads everything: FD_WRITE comes once.
    std::vector<char> sink(1 << 20);
    const uint32_t begin = plat::MillisecondClock();
    std::vector<Notice> seen;
    while (Count(seen, plat::FD_WRITE) == 0 && plat::MillisecondClock() - begin < 2000) {
        plat::recv(server, sink.data(), static_cast<int>(sink.size()), 0);
        plat::PollSocketEvents();
        Drain(&seen);
    }
    EXPECT_EQ(Count(seen, plat::FD_WRITE), 1);
    plat::closesocket(server);
    plat::closesocket(client);
    plat::closesocket(listener);
}

// A send that the socket takes only in part (common on a full socket) brings FD_WRITE back
// as a send that would have blocked does: the sender hears when it can send the rest.
TEST_F(NetSocketTest, FdWriteComesBackAfterAShortSend) {
    plat::SetSocketBufferSizes(8 * 1024, 8 * 1024);
    uint16_t port = 0;
    const plat::Socket listener = Listen(&port);
    const plat::Socket client = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
    const plat::SockAddrIn address = Loopback(port);
    ASSERT_EQ(plat::connect(client, &address), 0);
    const plat::Socket server = plat::accept(listener, nullptr);
    ASSERT_EQ(plat::WSAAsyncSelect(client, window_, kNotify, plat::FD_WRITE), 0);
    EXPECT_EQ(Count(Collect(1), plat::FD_WRITE), 1);

    // Far more than small buffers hold: taken in part, without an error.
    std::vector<char> chunk(1 << 20, 'z');
    const int sent = plat::send(client, chunk.data(), static_cast<int>(chunk.size()), 0);
    ASSERT_GT(sent, 0);
    ASSERT_LT(sent, static_cast<int>(chunk.size()));
    // The peer reads: FD_WRITE comes once, when the socket has room again.
    std::vector<char> sink(1 << 16);
    int read = 0;
    std::vector<Notice> seen;
    const uint32_t begin = plat::MillisecondClock();
    while (Count(seen, plat::FD_WRITE) == 0 && plat::MillisecondClock() - begin < 2000) {
        if (read < sent) {
            read += std::max(0, plat::recv(server, sink.data(), static_cast<int>(sink.size()), 0));
        }
        plat::PollSocketEvents();
        Drain(&seen);
    }
    EXPECT_EQ(Count(seen, plat::FD_WRITE), 1);
    EXPECT_EQ(Count(Collect(0), plat::FD_WRITE), 0);
    plat::closesocket(server);
    plat::closesocket(client);
    plat::closesocket(listener);
}

// A peer that sends and closes in order is reported closed only once its bytes have been
// read, so that FD_CLOSE never leaves bytes behind; a reader that only peeks at the bytes
// left is told at once, as no more will come.
TEST_F(NetSocketTest, FdCloseComesAfterThePeersLastBytesAreRead) {
    uint16_t port = 0;
    const plat::Socket listener = Listen(&port);
    const uint32_t events = plat::FD_READ | plat::FD_CLOSE;
    for (const bool peek : {false, true}) {
        SCOPED_TRACE(peek ? "a reader that peeks" : "a reader that takes");
        const plat::Socket client = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        const plat::SockAddrIn address = Loopback(port);
        ASSERT_EQ(plat::connect(client, &address), 0);
        const plat::Socket server = plat::accept(listener, nullptr);
        ASSERT_EQ(plat::WSAAsyncSelect(client, window_, kNotify, events), 0);
        ASSERT_EQ(plat::send(server, "abcdef", 6, 0), 6);
        plat::closesocket(server);

        std::vector<Notice> seen = Collect(1);
        EXPECT_EQ(Count(seen, plat::FD_READ), 1);
        EXPECT_EQ(Count(seen, plat::FD_CLOSE), 0);
        char buffer[8];
        if (peek) {
            ASSERT_EQ(plat::recv(client, buffer, 8, plat::MSG_PEEK_WS), 6);
            EXPECT_EQ(Count(Collect(1), plat::FD_CLOSE), 1);
        } else {
            ASSERT_EQ(plat::recv(client, buffer, 4, 0), 4);
            seen = Collect(1);
            EXPECT_EQ(Count(seen, plat::FD_READ), 1);
            EXPECT_EQ(Count(seen, plat::FD_CLOSE), 0);
            ASSERT_EQ(plat::recv(client, buffer, 8, 0), 2);
            seen = Collect(1);
            EXPECT_EQ(Count(seen, plat::FD_CLOSE), 1);
            EXPECT_EQ(Count(seen, plat::FD_READ), 0);
        }
        EXPECT_EQ(Count(Collect(0), plat::FD_CLOSE), 0);
        plat::closesocket(client);
    }
    plat::closesocket(listener);
}

TEST_F(NetSocketTest, AFailedConnectReportsItsError) {
    uint16_t port = 0;
    plat::closesocket(Listen(&port));
    const plat::Socket client = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
    ASSERT_EQ(plat::WSAAsyncSelect(client, window_, kNotify, plat::FD_CONNECT | plat::FD_CLOSE), 0);
    const plat::SockAddrIn address = Loopback(port);
    if (plat::connect(client, &address) == 0) GTEST_SKIP() << "the port was taken again";
    const int error = plat::WSAGetLastError();
    if (error == plat::WSAEWOULDBLOCK) {
        const std::vector<Notice> seen = Collect(1);
        ASSERT_EQ(Count(seen, plat::FD_CONNECT), 1);
        EXPECT_EQ(seen[0].error, plat::WSAECONNREFUSED);
        EXPECT_EQ(Count(seen, plat::FD_CLOSE), 0);
    } else {
        EXPECT_EQ(error, plat::WSAECONNREFUSED);
    }
    plat::closesocket(client);
}

}  // namespace
