// Lines read from raw connections: a long run of short lines through a small receive buffer
// arrives line by line without stalling, a line's bytes may come in several pieces, a line
// too long to read is refused without losing its bytes, and bytes taken from the socket
// ahead of the line stay readable by the other reads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/net/network_fixture.h"

namespace {

class NetworkRecvLineTest : public NetworkFixture {
protected:
    void SetUp() override {
        NetworkFixture::SetUp();
        SetNetWorkFraming(0, 0);
        handle_ = ConnectPeer(&peer_);
        ASSERT_NE(handle_, kNoHandle);
    }

    void TearDown() override {
        if (peer_ != plat::INVALID_SOCKET) plat::closesocket(peer_);
        NetworkFixture::TearDown();
    }

    // Reads lines until one comes or maxMs pass; the result of the last NetWorkRecvLine.
    int LineWithin(char* line, uint32_t maxMs = 2000) {
        const uint32_t begin = plat::MillisecondClock();
        for (;;) {
            if (NetWorkRecvLine(handle_, line) == 0) return 0;
            if (plat::MillisecondClock() - begin >= maxMs) return -1;
            plat::SleepMs(1);
        }
    }

    plat::Socket peer_ = plat::INVALID_SOCKET;
    HandleValue handle_ = kNoHandle;
};

// The connection's socket has little receive memory: accepted on a listener made with it, so
// that a few bytes left unread in it can hold all of it (Linux counts each arrived packet whole
// until it is read to its end).
class NetworkRecvLineSmallBufferTest : public NetworkRecvLineTest {
protected:
    void SetUp() override {
        plat::SetSocketBufferSizes(0, 32768);
        NetworkRecvLineTest::SetUp();
    }
};

TEST_F(NetworkRecvLineSmallBufferTest, ManyShortLinesThroughASmallReceiveBufferEachArrive) {
    constexpr int kLines = 30000;
    std::string text;
    for (int i = 0; i < kLines; ++i) {
        char line[32];
        std::snprintf(line, sizeof(line), "line %06d\n", i);
        text += line;
    }
    // The peer sends pieces that end inside lines, so that the socket is often left with
    // the start of a line only.
    std::atomic<bool> stop{false};
    std::thread sender([&] {
        for (size_t at = 0; at < text.size() && !stop; at += 1000) {
            const std::string piece = text.substr(at, 1000);
            if (plat::send(peer_, piece.data(), static_cast<int>(piece.size()), 0) <= 0) break;
        }
    });
    const uint32_t begin = plat::MillisecondClock();
    int read = 0;
    char line[256];
    for (; read < kLines; ++read) {
        if (LineWithin(line) != 0) break;
        char expected[32];
        std::snprintf(expected, sizeof(expected), "line %06d", read);
        if (std::string(line) != expected) {
            ADD_FAILURE() << "line " << read << " is \"" << line << "\"";
            break;
        }
    }
    EXPECT_EQ(read, kLines) << "stalled after " << plat::MillisecondClock() - begin << " ms";
    stop = true;
    // A sender blocked on a full socket is woken by the shutdown.
    plat::shutdown(peer_, plat::SD_BOTH);
    sender.join();
}

TEST_F(NetworkRecvLineTest, ALineInPiecesIsReadWhenItsFeedArrives) {
    char line[256];
    SendAll(peer_, "first half ");
    EXPECT_NE(LineWithin(line, 50), 0);
    SendAll(peer_, "and second half");
    EXPECT_NE(LineWithin(line, 50), 0);
    SendAll(peer_, "\nnext");
    ASSERT_EQ(LineWithin(line), 0);
    EXPECT_STREQ(line, "first half and second half");
    // The bytes after the line wait for the other reads.
    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(handle_) == 1; }));
    char buffer[8] = {};
    ASSERT_EQ(NetWorkRecvToPeek(handle_, buffer, 8), 4);
    EXPECT_EQ(std::string(buffer, 4), "next");
    ASSERT_EQ(NetWorkRecv(handle_, buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "ne");
    SendAll(peer_, "!\n");
    ASSERT_EQ(LineWithin(line), 0);
    EXPECT_STREQ(line, "xt!");
    EXPECT_EQ(GetNetWorkDataLength(handle_), 0);
}

TEST_F(NetworkRecvLineTest, LinesOfTheLimitAndBeyond) {
    char line[256];
    // 254 bytes and the feed fit in 255; 255 bytes before a feed do not.
    SendAll(peer_, std::string(254, 'a') + "\n");
    ASSERT_EQ(LineWithin(line), 0);
    EXPECT_EQ(std::string(line), std::string(254, 'a'));
    SendAll(peer_, std::string(255, 'b') + "\nafter\n");
    EXPECT_NE(LineWithin(line, 100), 0);
    // The refused line's bytes are all still there, in order.
    char buffer[300] = {};
    int got = 0;
    ASSERT_TRUE(PumpUntil([&] {
        const int n = NetWorkRecv(handle_, buffer + got, static_cast<int>(sizeof(buffer)) - got);
        if (n > 0) got += n;
        return got >= 262;
    }));
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(got)), std::string(255, 'b') + "\nafter\n");
}

}  // namespace
