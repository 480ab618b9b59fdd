// The network through the real start-up: ApiInitLibrary clears the HTTP table and installs
// the pump's network steps, ApiProcessMessage drives a loopback HTTP transfer to its end (the
// socket notifications reach the network window through the library's own pump), and
// ApiTermLibrary ends the transfers and the network.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/net/winsock.h"
#include "net/http.h"
#include "net/network.h"
#include "net/network_counters.h"
#include "net/network_ring.h"
#include "tests/support/library_fixture.h"

namespace {

// A one-connection server on 127.0.0.1 in a thread of the test: reads the request head,
// sends the reply and closes (or, with stall, waits for the client to go first).
class OneShotServer {
public:
    OneShotServer(const std::string& reply, bool stall) {
        plat::WSAStartup();
        listener_ = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        plat::SockAddrIn address{};
        address.family = plat::AF_INET_WS;
        address.address = plat::inet_addr("127.0.0.1");
        plat::bind(listener_, &address);
        plat::listen(listener_, 1);
        plat::getsockname(listener_, &address);
        port_ = plat::ntohs_ws(address.port);
        thread_ = std::thread([this, reply, stall] {
            const plat::Socket s = plat::accept(listener_, nullptr);
            if (s == plat::INVALID_SOCKET) return;
            std::string got;
            char buffer[1024];
            while (got.find("\r\n\r\n") == std::string::npos) {
                const int n = plat::recv(s, buffer, sizeof(buffer), 0);
                if (n <= 0) break;
                got.append(buffer, static_cast<size_t>(n));
            }
            plat::send(s, reply.data(), static_cast<int>(reply.size()), 0);
            if (stall) {
                while (plat::recv(s, buffer, sizeof(buffer), 0) > 0) {
                }
            }
            plat::closesocket(s);
        });
    }
    ~OneShotServer() {
        plat::shutdown(listener_, plat::SD_BOTH);
        thread_.join();
        plat::closesocket(listener_);
        plat::WSACleanup();
    }
    int port() const { return port_; }

private:
    plat::Socket listener_;
    int port_ = 0;
    std::thread thread_;
};

class NetworkEntryTest : public LibraryFixture {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
        // The virtual clock runs fast here; the time limit is tested on the real one.
        SetHttpTimeLimit(0x7FFFFFFF);
    }
    void TearDown() override {
        LibraryFixture::TearDown();
        SetHttpTimeLimit(kDefaultHttpTimeLimitMs);
    }

    // ApiProcessMessage until the transfer has a result (bounded in passes).
    static int32_t PumpToResult(int slot) {
        int32_t result = kHttpRunning, detail = 0;
        for (int pass = 0; pass < 200000 && result == kHttpRunning; ++pass) {
            EXPECT_EQ(ApiProcessMessage(), 0);
            if (GetHttpTransferResult(slot, &result, &detail) != 0) return -100;
            std::this_thread::yield();
        }
        return result;
    }
};

TEST_F(NetworkEntryTest, TheMessagePumpDrivesALoopbackTransfer) {
    StartWithoutPumpThread();
    EXPECT_EQ(GetHttpTransferCount(), 0);
    OneShotServer server("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nVORN", false);
    void* body = nullptr;
    const int slot = HttpGetToMemory("127.0.0.1", "/score", server.port(), &body);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(IsNetWorkStarted(), 1);
    ASSERT_EQ(PumpToResult(slot), kHttpDone);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(body), 4), "VORN");
    FreeHttpBuffer(body);
    EXPECT_EQ(DeleteHttpTransfer(slot), 0);

    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(IsNetWorkStarted(), 0);
    const int begin = FindLine("ネットワーク関連の終了処理を行います");
    ASSERT_GE(begin, 0);
    EXPECT_GT(FindLine("ネットワーク関連の終了処理は完了しました", begin), begin);
}

TEST_F(NetworkEntryTest, ShutDownEndsATransferStillRunning) {
    StartWithoutPumpThread();
    OneShotServer server("HTTP/1.0 200 OK\r\n\r\nsome", true);
    void* body = nullptr;
    const int slot = HttpGetToMemory("127.0.0.1", "/", server.port(), &body);
    ASSERT_GE(slot, 0);
    for (int pass = 0; pass < 50; ++pass) ApiProcessMessage();
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(GetHttpTransferCount(), 0);
    EXPECT_EQ(IsNetWorkStarted(), 0);
    FreeHttpBuffer(body);
}

// A peer in a thread of the test that connects to the port and sends `count` framed
// 1000-byte messages as fast as the socket takes them; message i starts with i and is
// filled with a letter that follows i.
class FloodPeer {
public:
    static constexpr int kMessageBytes = 1000;

    FloodPeer(int port, int count) {
        plat::WSAStartup();
        peer_ = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        plat::SockAddrIn address{};
        address.family = plat::AF_INET_WS;
        address.port = plat::htons_ws(static_cast<uint16_t>(port));
        address.address = plat::inet_addr("127.0.0.1");
        connected_ = plat::connect(peer_, &address) == 0;
        thread_ = std::thread([this, count] {
            std::string bytes;
            for (int i = 0; i < count; ++i) bytes += Framed(i);
            size_t sent = 0;
            while (connected_ && sent < bytes.size()) {
                const int n = plat::send(peer_, bytes.data() + sent,
                                         static_cast<int>(bytes.size() - sent), 0);
                if (n <= 0) break;
                sent += static_cast<size_t>(n);
            }
        });
    }
    ~FloodPeer() {
        // A sender still blocked on a full socket is woken by the shut-down.
        plat::shutdown(peer_, plat::SD_BOTH);
        thread_.join();
        plat::closesocket(peer_);
        plat::WSACleanup();
    }
    bool connected() const { return connected_; }

    static std::string Message(int i) {
        std::string body(kMessageBytes, static_cast<char>('a' + i % 26));
        std::memcpy(body.data(), &i, sizeof(i));
        return body;
    }

private:
    static std::string Framed(int i) {
        const char word[4] = {static_cast<char>(kMessageBytes & 0xFF),
                              static_cast<char>(kMessageBytes >> 8), 0, 0};
        return std::string(word, 4) + Message(i);
    }

    plat::Socket peer_;
    bool connected_ = false;
    std::thread thread_;
};

struct FloodCase {
    const char* name;
    int megabytes;
    int32_t bufferLimit;      // 0: the largest
    bool readAfterArrival;    // let the whole flood arrive before reading any of it
};

class NetworkFloodTest : public NetworkEntryTest,
                         public ::testing::WithParamInterface<FloodCase> {};

// A flood of small framed messages is read whole and in order through the library's own
// pump, while each receive step reads a bounded amount and the ring grows by doubling (a few
// growths, not one growth copying the whole ring per message), each growth adding blocks
// without moving what the ring holds.
TEST_P(NetworkFloodTest, ASmallMessageFloodIsReadWholeInOrderWithBoundedSteps) {
    const FloodCase& c = GetParam();
    StartWithoutPumpThread();
    SetNetWorkFraming(1, 1);
    ASSERT_EQ(SetNetWorkBufferLimit(c.bufferLimit), 0);
    ASSERT_EQ(InitNetWork(), 0);
    const int port = StartListenNetWork(0);
    ASSERT_GT(port, 0);
    ResetNetWorkCounters();

    const int count = c.megabytes * 1024 * 1024 / FloodPeer::kMessageBytes;
    const int64_t floodBytes = static_cast<int64_t>(count) * FloodPeer::kMessageBytes;
    FloodPeer peer(port, count);
    ASSERT_TRUE(peer.connected());
    HandleValue handle = kNoHandle;
    for (int pass = 0; pass < 100000 && handle == kNoHandle; ++pass) {
        ASSERT_EQ(ApiProcessMessage(), 0);
        handle = GetNewAcceptNetWork();
        std::this_thread::yield();
    }
    ASSERT_NE(handle, kNoHandle);

    if (c.readAfterArrival) {
        // Only the message pump runs until the library holds the whole flood.
        for (int pass = 0; pass < 1000000 && GetNetWorkDataLength(handle) < floodBytes; ++pass) {
            ASSERT_EQ(ApiProcessMessage(), 0);
            std::this_thread::yield();
        }
        ASSERT_EQ(GetNetWorkDataLength(handle), floodBytes);
    }

    char buffer[FloodPeer::kMessageBytes];
    int read = 0;
    for (int pass = 0; pass < 4000000 && read < count; ++pass) {
        if (GetNetWorkDataLength(handle) >= FloodPeer::kMessageBytes) {
            ASSERT_EQ(NetWorkRecv(handle, buffer, FloodPeer::kMessageBytes), 0);
            ASSERT_EQ(std::string(buffer, sizeof(buffer)), FloodPeer::Message(read))
                << "message " << read;
            ++read;
        } else {
            ASSERT_EQ(ApiProcessMessage(), 0);
            std::this_thread::yield();
        }
    }
    EXPECT_EQ(read, count);
    EXPECT_EQ(GetNetWorkDataLength(handle), 0);

    const NetWorkCounters counters = GetNetWorkCounters();
    // No receive step read more than its bound, and the flood took several of them.
    EXPECT_LE(counters.largestRecvStep, kNetWorkRecvStepBytes);
    EXPECT_GT(counters.largestRecvStep, 0u);
    EXPECT_GE(counters.recvSteps * kNetWorkRecvStepBytes, static_cast<uint64_t>(floodBytes));
    // Growth by doubling from a single message to at most the flood: a handful of growths
    // that together copy less than twice the flood.
    EXPECT_GE(counters.ringGrowths, 1u);
    EXPECT_LE(counters.ringGrowths, 24u);
    EXPECT_LE(counters.ringBytesCopied, static_cast<uint64_t>(2 * floodBytes));
    // No growth moved the ring: each copied less than a block.
    EXPECT_LT(counters.ringBytesCopied, counters.ringGrowths * kNetWorkRingBlockBytes);

    EXPECT_EQ(CloseNetWork(handle), 0);
    ASSERT_EQ(ApiTermLibrary(), 0);
    SetNetWorkBufferLimit(0);
}

INSTANTIATE_TEST_SUITE_P(
    Floods, NetworkFloodTest,
    ::testing::Values(FloodCase{"HeldWholeThenRead", 4, 0, true},
                      FloodCase{"ReadWhileArriving", 4, 0, false},
                      FloodCase{"PausedAtASmallLimit", 2, 64 * 1024, false}),
    [](const ::testing::TestParamInfo<FloodCase>& info) { return std::string(info.param.name); });

}  // namespace
