// Connections under real socket conditions on loopback, each test run under every condition
// of a table (the sockets' buffer sizes and how fast the reading end takes the bytes):
// messages larger than the socket takes at once all reach a reader slower than the sender,
// and a peer that sends a burst and closes at once has every message read before its close
// is reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/testing/net_test_controls.h"
#include "tests/net/network_fixture.h"

namespace {

struct SocketCondition {
    const char* name;
    int sendBuffer;     // SO_SNDBUF of every socket made, bytes; 0: the system's
    int receiveBuffer;  // SO_RCVBUF of every socket made, bytes; 0: the system's
    // How fast the reading end takes the bytes: at most this many each millisecond (the
    // test's reader) or each pump pass (the connection's owner); 0: all it can.
    int pace;
};

// Failure lines name the condition.
void PrintTo(const SocketCondition& condition, std::ostream* out) { *out << condition.name; }

const SocketCondition kConditions[] = {
    {"SystemBuffers", 0, 0, 0},
    {"SystemBuffersSlowReader", 0, 0, 64 * 1024},
    {"SmallBuffers", 8 * 1024, 8 * 1024, 0},
    {"SmallBuffersSlowReader", 8 * 1024, 8 * 1024, 16 * 1024},
};

// Message i of a test stream: `size` bytes that depend on i and on their place.
std::string TestMessage(int i, size_t size) {
    std::string bytes(size, '\0');
    for (size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>(k * 31 + i * 7 + (k >> 12));
    return bytes;
}

class NetworkSocketConditionsTest : public NetworkFixture,
                                    public ::testing::WithParamInterface<SocketCondition> {
protected:
    // Before the listening socket is made, so that the connections accepted on it have the
    // sizes from their start.
    void SetUp() override {
        plat::SetSocketBufferSizes(GetParam().sendBuffer, GetParam().receiveBuffer);
        NetworkFixture::SetUp();
    }
    void TearDown() override {
        NetworkFixture::TearDown();
        plat::SetSocketBufferSizes(0, 0);
    }
};

// The test's end of a connection, read in a thread of its own: at most `pace` bytes each
// millisecond (0: as fast as they come) until `expected` bytes came or the connection ended.
class PacedReader {
public:
    PacedReader(plat::Socket s, size_t expected, int pace) : socket_(s) {
        thread_ = std::thread([this, expected, pace] { Run(expected, pace); });
    }
    ~PacedReader() { Stop(); }

    // Ends the thread whatever state it is in (a reader still waiting is woken).
    void Stop() {
        if (!thread_.joinable()) return;
        plat::shutdown(socket_, plat::SD_BOTH);
        thread_.join();
    }
    size_t received() const { return received_.load(); }
    // What came, once stopped.
    const std::string& bytes() const { return bytes_; }

private:
    void Run(size_t expected, int pace) {
        std::vector<char> chunk(pace > 0 ? static_cast<size_t>(pace) : 256 * 1024);
        while (bytes_.size() < expected) {
            const size_t want = std::min(chunk.size(), expected - bytes_.size());
            const int got = plat::recv(socket_, chunk.data(), static_cast<int>(want), 0);
            if (got <= 0) break;
            bytes_.append(chunk.data(), static_cast<size_t>(got));
            received_.store(bytes_.size());
            if (pace > 0) plat::SleepMs(1);
        }
    }

    plat::Socket socket_;
    std::string bytes_;
    std::atomic<size_t> received_{0};
    std::thread thread_;
};

// Messages queued faster than the socket takes them leave in pieces: whenever the socket
// takes less than it is offered, the rest goes when it can take more, and all of it reaches
// the reader in order.
TEST_P(NetworkSocketConditionsTest, QueuedMessagesAllReachASlowerReader) {
    plat::Socket peer;
    const HandleValue handle = ConnectPeer(&peer);
    ASSERT_NE(handle, kNoHandle);
    constexpr int kCount = 3;
    constexpr size_t kSize = 4 * 1024 * 1024;
    std::string expected;
    for (int i = 0; i < kCount; ++i) {
        const std::string message = TestMessage(i, kSize);
        ASSERT_EQ(NetWorkSend(handle, message.data(), static_cast<int>(message.size())), 0);
        expected += LengthWord(static_cast<uint32_t>(kSize)) + message;
    }

    PacedReader reader(peer, expected.size(), GetParam().pace);
    const bool all = PumpUntil([&] { return reader.received() == expected.size(); }, 10000);
    const int queued = GetNetWorkSendDataLength(handle);
    reader.Stop();
    ASSERT_TRUE(all) << "the reader got " << reader.received() << " of " << expected.size()
                     << " bytes; " << queued << " stay queued";
    EXPECT_EQ(queued, 0);
    ASSERT_EQ(reader.bytes().size(), expected.size());
    EXPECT_TRUE(reader.bytes() == expected) << "the bytes differ from what was sent";
    plat::closesocket(peer);
}

// The test's end of a connection that sends a burst in a thread of its own: all of it but
// its last `tail` bytes at once, the tail when released, and then closes at once. Stopping
// shuts a writer that is still blocked on a full socket down.
class BurstPeer {
public:
    BurstPeer(plat::Socket s, std::string burst, size_t tail)
        : socket_(s), burst_(std::move(burst)) {
        thread_ = std::thread([this, tail] { Run(tail); });
    }
    ~BurstPeer() { Stop(); }

    void ReleaseTail() { release_ = true; }
    bool closed() {
        std::lock_guard<std::mutex> hold(lock_);
        return closed_;
    }
    // True when the whole burst went out.
    bool Stop() {
        if (thread_.joinable()) {
            stop_ = true;
            {
                std::lock_guard<std::mutex> hold(lock_);
                if (!closed_) plat::shutdown(socket_, plat::SD_BOTH);
            }
            thread_.join();
        }
        return sent_ == burst_.size();
    }

private:
    void Run(size_t tail) {
        if (Send(burst_.size() - tail)) {
            while (!release_ && !stop_) plat::SleepMs(1);
            if (release_) Send(burst_.size());
        }
        std::lock_guard<std::mutex> hold(lock_);
        closed_ = true;
        plat::closesocket(socket_);
    }
    // Sends up to byte `end`; false when the connection failed.
    bool Send(size_t end) {
        while (sent_ < end) {
            const int n =
                plat::send(socket_, burst_.data() + sent_, static_cast<int>(end - sent_), 0);
            if (n <= 0) return false;
            sent_ += static_cast<size_t>(n);
        }
        return true;
    }

    plat::Socket socket_;
    const std::string burst_;
    std::atomic<size_t> sent_{0};
    std::atomic<bool> release_{false};
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    bool closed_ = false;
    std::thread thread_;
};

// A peer sends a burst of framed messages and closes at once. The owner reads the complete
// messages on each pass (at most `pace` bytes a pass for a slow owner) and, when none is left,
// looks at the connection's state. The burst's last message comes together with the close
// while the owner is between its reads and that look: the close is reported only after those
// bytes are received, so the owner reads every message and sees the close on a handle that is
// still there.
TEST_P(NetworkSocketConditionsTest, ABurstThenACloseIsReadWholeBeforeTheCloseIsReported) {
    plat::Socket socket;
    const HandleValue handle = ConnectPeer(&socket);
    ASSERT_NE(handle, kNoHandle);
    constexpr int kCount = 60;
    std::vector<int> sizes(kCount, 50 * 1024);
    sizes.back() = 100;
    std::string burst;
    for (int i = 0; i < kCount; ++i) {
        burst += LengthWord(static_cast<uint32_t>(sizes[i])) + TestMessage(i, sizes[i]);
    }
    BurstPeer peer(socket, burst, 4 + sizes.back());

    const int pace = GetParam().pace;
    int read = 0;
    int state = 1;
    std::vector<char> buffer(sizes.front());
    const uint32_t begin = plat::MillisecondClock();
    while (state == 1 && plat::MillisecondClock() - begin < 10000) {
        ProcessSocketMessages(1);  // as the message pump does
        int takenThisPass = 0;
        int waiting = 0;
        while (read < kCount && (waiting = GetNetWorkDataLength(handle)) >= sizes[read] &&
               (pace == 0 || takenThisPass < pace)) {
            ASSERT_EQ(NetWorkRecv(handle, buffer.data(), sizes[read]), 0);
            ASSERT_TRUE(std::string(buffer.data(), sizes[read]) == TestMessage(read, sizes[read]))
                << "message " << read << " differs";
            takenThisPass += sizes[read];
            ++read;
        }
        if (read == kCount - 1 && !peer.closed()) {
            // The last message and the close reach the socket now.
            peer.ReleaseTail();
            for (int i = 0; i < 2000 && !peer.closed(); ++i) plat::SleepMs(1);
            plat::SleepMs(20);
        }
        if (read == kCount || waiting < sizes[read]) state = GetNetWorkAcceptState(handle);
        plat::SleepMs(1);
    }
    ASSERT_TRUE(peer.Stop()) << "the peer could not send its burst; " << read << " messages read";
    EXPECT_EQ(state, 0) << "the close was not reported on a live handle";
    EXPECT_EQ(read, kCount);
    EXPECT_EQ(GetNetWorkPeerClosed(handle), 1);
    EXPECT_EQ(GetNetWorkDataLength(handle), 0);
    EXPECT_EQ(NewLogText().find("有効なネットワークハンドルではありません"), std::string::npos);
    // Once its owner saw the close, the pump closes the connection.
    ProcessSocketMessages(1);
    EXPECT_EQ(GetNetWorkDataLength(handle), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, NetworkSocketConditionsTest, ::testing::ValuesIn(kConditions),
    [](const ::testing::TestParamInfo<SocketCondition>& info) {
        return std::string(info.param.name);
    });

}  // namespace
