// The buffer-size options of sockets: set and read back, and the options and values refused.
#include <gtest/gtest.h>

#include <functional>

#include "platform/net/winsock.h"

namespace {

class NetSocketOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(plat::WSAStartup(), 0);
        socket_ = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        ASSERT_NE(socket_, plat::INVALID_SOCKET);
    }
    void TearDown() override {
        plat::closesocket(socket_);
        plat::WSACleanup();
    }

    plat::Socket socket_ = plat::INVALID_SOCKET;
};

TEST_F(NetSocketOptionsTest, BufferSizesAreSetAndReadBack) {
    for (const int name : {plat::SO_RCVBUF_WS, plat::SO_SNDBUF_WS}) {
        SCOPED_TRACE(name);
        // The system may round the size (Linux doubles it), but a small one stays small and
        // differs from a large one.
        int sizes[2] = {};
        const int asked[2] = {8192, 65536};
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(plat::setsockopt(socket_, plat::SOL_SOCKET_WS, name, &asked[i], sizeof(int)), 0);
            int length = sizeof(int);
            ASSERT_EQ(plat::getsockopt(socket_, plat::SOL_SOCKET_WS, name, &sizes[i], &length), 0);
            EXPECT_EQ(length, static_cast<int>(sizeof(int)));
            EXPECT_GE(sizes[i], asked[i]);
            EXPECT_LE(sizes[i], 2 * asked[i]);
        }
        EXPECT_LT(sizes[0], sizes[1]);
    }
}

TEST_F(NetSocketOptionsTest, OtherOptionsAndBadValuesAreRefused) {
    const int size = 4096;
    const int negative = -1;
    int out = 0;
    int room = sizeof(out);
    int tiny = 2;
    const plat::Socket s = socket_;
    const struct {
        const char* name;
        std::function<int()> call;
        int error;
    } cases[] = {
        {"other level", [&] { return plat::setsockopt(s, 6, plat::SO_RCVBUF_WS, &size, 4); },
         plat::WSAENOPROTOOPT},
        {"other name", [&] { return plat::setsockopt(s, plat::SOL_SOCKET_WS, 0x0004, &size, 4); },
         plat::WSAENOPROTOOPT},
        {"no value",
         [&] { return plat::setsockopt(s, plat::SOL_SOCKET_WS, plat::SO_RCVBUF_WS, nullptr, 4); },
         plat::WSAEFAULT},
        {"short value",
         [&] { return plat::setsockopt(s, plat::SOL_SOCKET_WS, plat::SO_RCVBUF_WS, &size, 2); },
         plat::WSAEFAULT},
        {"negative size",
         [&] { return plat::setsockopt(s, plat::SOL_SOCKET_WS, plat::SO_RCVBUF_WS, &negative, 4); },
         plat::WSAEINVAL},
        {"not a socket",
         [&] { return plat::setsockopt(12345, plat::SOL_SOCKET_WS, plat::SO_RCVBUF_WS, &size, 4); },
         plat::WSAENOTSOCK},
        {"read of another option",
         [&] { return plat::getsockopt(s, plat::SOL_SOCKET_WS, 0x0004, &out, &room); },
         plat::WSAENOPROTOOPT},
        {"read without room",
         [&] { return plat::getsockopt(s, plat::SOL_SOCKET_WS, plat::SO_RCVBUF_WS, &out, &tiny); },
         plat::WSAEFAULT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        plat::WSASetLastError(0);
        EXPECT_EQ(c.call(), -1);
        EXPECT_EQ(plat::WSAGetLastError(), c.error);
    }
}

}  // namespace
