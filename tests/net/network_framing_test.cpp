// Framed connections: messages that come in pieces, reads of complete-message bytes only, a
// peer that goes away mid-message, lengths above the limit, and two framed ends talking.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/net/network_fixture.h"

namespace {

using NetworkFramingTest = NetworkFixture;

TEST_F(NetworkFramingTest, AMessageInPiecesCountsOnlyWhenComplete) {
    plat::Socket peer;
    const HandleValue handle = ConnectPeer(&peer);
    ASSERT_NE(handle, kNoHandle);
    EXPECT_EQ(GetNetWorkAcceptState(handle), 1);

    const std::string word = LengthWord(10);
    SendAll(peer, word.substr(0, 2));
    PumpUntil([] { return false; }, 20);
    SendAll(peer, word.substr(2) + "abc");
    PumpUntil([] { return false; }, 20);
    EXPECT_EQ(GetNetWorkDataLength(handle), 0);

    SendAll(peer, "defghij");
    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(handle) == 10; }));
    // An empty message and a short one after it.
    SendAll(peer, LengthWord(0) + LengthWord(3) + "xyz");
    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(handle) == 13; }));

    char buffer[16] = {};
    ASSERT_EQ(NetWorkRecv(handle, buffer, 13), 0);
    EXPECT_EQ(std::string(buffer, 13), "abcdefghijxyz");
    EXPECT_EQ(GetNetWorkDataLength(handle), 0);
    plat::closesocket(peer);
}

TEST_F(NetworkFramingTest, AskingForMoreThanIsCompleteTakesNothing) {
    plat::Socket peer;
    const HandleValue handle = ConnectPeer(&peer);
    SendAll(peer, LengthWord(6) + "123456" + LengthWord(4) + "78");
    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(handle) == 6; }));

    char buffer[8] = {};
    EXPECT_EQ(NetWorkRecv(handle, buffer, 7), -1);
    EXPECT_EQ(NetWorkRecvToPeek(handle, buffer, 7), -1);
    EXPECT_EQ(GetNetWorkDataLength(handle), 6);
    ASSERT_EQ(NetWorkRecvToPeek(handle, buffer, 6), 0);
    EXPECT_EQ(GetNetWorkDataLength(handle), 6);
    ASSERT_EQ(NetWorkRecv(handle, buffer, 4), 0);
    EXPECT_EQ(std::string(buffer, 4), "1234");
    EXPECT_EQ(GetNetWorkDataLength(handle), 2);
    // Negative lengths and missing buffers are refused.
    EXPECT_EQ(NetWorkRecv(handle, buffer, -1), -1);
    EXPECT_EQ(NetWorkRecv(handle, nullptr, 2), -1);
    EXPECT_EQ(GetNetWorkDataLength(handle), 2);

    SendAll(peer, "90");
    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(handle) == 6; }));
    ASSERT_EQ(NetWorkRecv(handle, buffer, 6), 0);
    EXPECT_EQ(std::string(buffer, 6), "567890");
    plat::closesocket(peer);
}

TEST_F(NetworkFramingTest, APeerClosingMidMessageLeavesNothingToReadAndTheConnectionGoes) {
    plat::Socket peer;
    const HandleValue handle = ConnectPeer(&peer);
    SendAll(peer, LengthWord(3) + "abc" + LengthWord(100) + "only ten..");
    plat::closesocket(peer);

    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkAcceptState(handle) == 0; }));
    // The whole first message is there; the cut-off one never counts.
    EXPECT_EQ(GetNetWorkDataLength(handle), 3);
    char buffer[8];
    EXPECT_EQ(NetWorkRecv(handle, buffer, 4), -1);
    // Once its owner saw the close, the pump closes the connection.
    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(handle) == -1; }));
    EXPECT_NE(NewLogText().find("有効なネットワークハンドルではありません in GetNetWorkDataLength"),
              std::string::npos);
}

TEST_F(NetworkFramingTest, ALengthAboveTheLimitClosesTheConnection) {
    const struct {
        int32_t limit;  // 0: the default (16 MB)
        uint32_t length;
        bool accepted;
    } cases[] = {
        {1024, 1024, true},
        {1024, 1025, false},
        {0, static_cast<uint32_t>(kMaxNetWorkMessage) + 1, false},
        {0, 0xFFFFFFFFu, false},
        {0, 0x80000000u, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.limit << " length " << c.length);
        ASSERT_EQ(SetNetWorkBufferLimit(c.limit), 0);
        plat::Socket peer;
        const HandleValue handle = ConnectPeer(&peer);
        SendAll(peer, LengthWord(c.length) + std::string(c.accepted ? c.length : 16, 'q'));
        if (c.accepted) {
            EXPECT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(handle) == int(c.length); }));
            CloseNetWork(handle);
        } else {
            EXPECT_TRUE(PumpUntil([&] { return GetNetWorkAcceptState(handle) == -1; }));
            EXPECT_NE(NewLogText().find("接続を閉じます"), std::string::npos);
            // The pump closed it: the handle is gone, and so is the library's end.
            EXPECT_TRUE(PumpUntil([&] { return CloseNetWork(handle) == -1; }));
            char byte;
            EXPECT_LE(plat::recv(peer, &byte, 1, 0), 0);
        }
        plat::closesocket(peer);
    }
    EXPECT_EQ(SetNetWorkBufferLimit(kMaxNetWorkMessage + 1), -1);
    EXPECT_EQ(SetNetWorkBufferLimit(-1), -1);
}

TEST_F(NetworkFramingTest, TwoFramedEndsExchangeMessagesLargerThanTheSocketTakesAtOnce) {
    const HandleValue client = ConnectNetWork(NetIpv4{127, 0, 0, 1}, port_);
    ASSERT_NE(client, kNoHandle);
    HandleValue server = kNoHandle;
    ASSERT_TRUE(PumpUntil([&] {
        if (server == kNoHandle) server = GetNewAcceptNetWork();
        return server != kNoHandle && GetNetWorkAcceptState(client) == 1;
    }));
    NetIpv4 ip{};
    int port = 0;
    ASSERT_EQ(GetNetWorkIP(client, &ip, &port), 0);
    EXPECT_EQ(port, port_);
    EXPECT_EQ(ip.d1, 127);

    std::vector<char> big(3 * 1024 * 1024);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + 3);
    ASSERT_EQ(NetWorkSend(client, "ping", 4), 0);
    ASSERT_EQ(NetWorkSend(client, big.data(), static_cast<int>(big.size())), 0);
    const int total = 4 + static_cast<int>(big.size());
    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(server) == total; }, 10000));
    EXPECT_EQ(GetNetWorkSendDataLength(client), 0);

    std::vector<char> got(static_cast<size_t>(total));
    ASSERT_EQ(NetWorkRecv(server, got.data(), total), 0);
    EXPECT_EQ(std::string(got.data(), 4), "ping");
    EXPECT_EQ(std::memcmp(got.data() + 4, big.data(), big.size()), 0);

    // No message larger than any framed receiver takes is queued.
    const std::vector<char> huge(static_cast<size_t>(kMaxNetWorkMessage) + 1);
    EXPECT_EQ(NetWorkSend(client, huge.data(), static_cast<int>(huge.size())), -1);
    EXPECT_EQ(GetNetWorkSendDataLength(client), 0);

    // And back; a close sends what is still queued first.
    ASSERT_EQ(NetWorkSend(server, "pong", 4), 0);
    ASSERT_EQ(CloseNetWork(server), 0);
    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(client) == 4; }));
    char reply[4];
    ASSERT_EQ(NetWorkRecv(client, reply, 4), 0);
    EXPECT_EQ(std::string(reply, 4), "pong");
}

TEST_F(NetworkFramingTest, RawConnectionsReadLinesAndTheSocketsOwnResults) {
    SetNetWorkFraming(0, 0);
    plat::Socket peer;
    const HandleValue handle = ConnectPeer(&peer);
    EXPECT_EQ(GetNetWorkDataLength(handle), 0);
    SendAll(peer, "abc\r\ndef\nrest");
    ASSERT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(handle) == 1; }));

    char line[256];
    ASSERT_EQ(NetWorkRecvLine(handle, line), 0);
    EXPECT_STREQ(line, "abc\r");
    ASSERT_EQ(NetWorkRecvLine(handle, line), 0);
    EXPECT_STREQ(line, "def");
    EXPECT_EQ(NetWorkRecvLine(handle, line), -1);
    char buffer[8] = {};
    EXPECT_EQ(NetWorkRecv(handle, buffer, 8), 4);
    EXPECT_EQ(std::string(buffer, 4), "rest");
    EXPECT_EQ(NetWorkRecv(handle, buffer, 8), -1);  // nothing waits
    EXPECT_EQ(plat::WSAGetLastError(), plat::WSAEWOULDBLOCK);

    ASSERT_EQ(NetWorkSend(handle, "out", 3), 3);
    char back[4] = {};
    ASSERT_EQ(plat::recv(peer, back, 3, 0), 3);
    EXPECT_STREQ(back, "out");
    plat::closesocket(peer);
}

TEST_F(NetworkFramingTest, BadHandlesAndAStoppedNetworkAreRefused) {
    char buffer[4];
    EXPECT_EQ(NetWorkRecv(kNoHandle, buffer, 1), -1);
    EXPECT_EQ(NetWorkSend(0x12345678, buffer, 1), -1);
    plat::Socket peer;
    const HandleValue handle = ConnectPeer(&peer);
    ASSERT_EQ(CloseNetWork(handle), 0);
    NewLogText();
    EXPECT_EQ(NetWorkSend(handle, "x", 1), -1);
    EXPECT_NE(NewLogText().find("有効なネットワークハンドルではありません in NetWorkSend"),
              std::string::npos);
    plat::closesocket(peer);
    TermNetWork();
    EXPECT_EQ(IsNetWorkStarted(), 0);
    EXPECT_EQ(GetNetWorkAcceptState(handle), -1);
    EXPECT_EQ(ConnectNetWork(NetIpv4{127, 0, 0, 1}, port_), kNoHandle);
    EXPECT_EQ(ProcessSocketMessages(1), 0);
}

}  // namespace
