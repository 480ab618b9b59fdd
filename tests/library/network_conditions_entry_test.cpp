// The network through the assembled library under real socket conditions: the library started
// with ApiInitLibrary and driven only by ApiProcessMessage, over a table of socket buffer sizes
// and of the game's pump rhythms (steady; uneven, with gaps; uneven with the library's own
// pump thread running between the game's calls). Framed messages queued faster than a slow
// peer reads them all reach it; a peer that sends a burst of framed messages and closes at
// once has every message read before its connection goes; an HTTP reply whose head is a few
// MB long delivers its body whole; and framed messages sent while the game stays away from
// the pump (the pump thread stepping HTTP transfers meanwhile) arrive once it pumps again. A
// listener whose connection table has been full refuses the caller beyond it and accepts
// again once connections close.
//
// The library starts on the virtual clock (so that its start-up's timing passes at once) and
// then runs on the real one, as the peers in the test's threads do. The network calls are
// made under the library lock, as the game's entries make them.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "base/api_lock.h"
#include "platform/core/clock.h"
#include "platform/net/winsock.h"
#include "platform/testing/net_test_controls.h"
#include "net/http.h"
#include "net/network.h"
#include "tests/support/library_fixture.h"

namespace {

struct SocketCondition {
    const char* name;
    int sendBuffer;     // SO_SNDBUF of every socket made, bytes; 0: the system's
    int receiveBuffer;  // SO_RCVBUF of every socket made, bytes; 0: the system's
};

struct PumpRhythm {
    const char* name;
    std::vector<uint32_t> gapsMs;  // real time between two of the game's pump calls, in turn
    bool pumpThread;               // the library's pump thread runs as well
};

void PrintTo(const SocketCondition& condition, std::ostream* out) { *out << condition.name; }
void PrintTo(const PumpRhythm& rhythm, std::ostream* out) { *out << rhythm.name; }

const SocketCondition kConditions[] = {
    {"SystemBuffers", 0, 0},
    {"SmallBuffers", 8 * 1024, 8 * 1024},
};

const std::vector<uint32_t> kUneven = {0, 1, 0, 0, 7, 0, 2, 0, 0, 45, 0, 1, 0, 0, 0, 90};

const PumpRhythm kRhythms[] = {
    {"Steady", {1}, false},
    {"UnevenWithGaps", kUneven, false},
    {"UnevenWithPumpThread", kUneven, true},
};

// The library's network routines called as an entry calls them: under the library lock.
template <class Routine, class... Args>
auto Net(Routine routine, Args... args) {
    return LockedCall(routine, args...);
}

// Bytes that depend on the message and on their place.
std::string TestMessage(int i, size_t size) {
    std::string bytes(size, '\0');
    for (size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>(k * 31 + i * 7 + (k >> 12));
    return bytes;
}

std::string LengthWord(uint32_t length) {
    const char word[4] = {static_cast<char>(length), static_cast<char>(length >> 8),
                          static_cast<char>(length >> 16), static_cast<char>(length >> 24)};
    return std::string(word, 4);
}

plat::SockAddrIn Loopback(int port) {
    plat::SockAddrIn address{};
    address.family = plat::AF_INET_WS;
    address.port = plat::htons_ws(static_cast<uint16_t>(port));
    address.address = plat::inet_addr("127.0.0.1");
    return address;
}

// Sends all of bytes on a blocking socket; false when the connection failed.
bool SendAll(plat::Socket s, const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
        const int n = plat::send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// The test's end of a connection in a thread of its own. The reader takes at most `pace`
// bytes a millisecond until `expected` came; the burst sends its bytes as fast as the socket
// takes them and closes at once. Stopping shuts a thread still blocked on the socket down.
class Peer {
public:
    static Peer Reader(plat::Socket s, size_t expected, int pace) {
        return Peer(s, [s, expected, pace](Peer* self) {
            std::vector<char> chunk(static_cast<size_t>(pace));
            std::string got;
            while (got.size() < expected) {
                const size_t want = std::min(chunk.size(), expected - got.size());
                const int n = plat::recv(s, chunk.data(), static_cast<int>(want), 0);
                if (n <= 0) break;
                got.append(chunk.data(), static_cast<size_t>(n));
                self->count_.store(got.size());
                plat::SleepMs(1);
            }
            self->bytes_ = std::move(got);
        });
    }
    // The burst holds back its last `tail` bytes until ReleaseTail, then sends them and closes.
    static Peer Burst(plat::Socket s, std::string burst, size_t tail) {
        return Peer(s, [s, burst = std::move(burst), tail](Peer* self) {
            const size_t body = burst.size() - tail;
            if (SendAll(s, burst.substr(0, body))) {
                while (!self->release_ && !self->stop_) plat::SleepMs(1);
                if (self->release_ && SendAll(s, burst.substr(body))) {
                    self->count_.store(burst.size());
                }
            }
            std::lock_guard<std::mutex> hold(self->lock_);
            plat::closesocket(s);
            self->closed_ = true;
        });
    }

    Peer(Peer&&) = delete;
    ~Peer() { Stop(); }

    void ReleaseTail() { release_ = true; }
    bool closed() {
        std::lock_guard<std::mutex> hold(lock_);
        return closed_;
    }

    void Stop() {
        if (!thread_.joinable()) return;
        stop_ = true;
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (!closed_) plat::shutdown(socket_, plat::SD_BOTH);
        }
        thread_.join();
        std::lock_guard<std::mutex> hold(lock_);
        if (!closed_) plat::closesocket(socket_);
        closed_ = true;
    }
    // Bytes read (reader) or, once all went, sent (burst).
    size_t count() const { return count_.load(); }
    // What the reader got, once stopped.
    const std::string& bytes() const { return bytes_; }

private:
    Peer(plat::Socket s, std::function<void(Peer*)> run) : socket_(s) {
        thread_ = std::thread([this, run = std::move(run)] { run(this); });
    }

    plat::Socket socket_;
    std::atomic<size_t> count_{0};
    std::atomic<bool> release_{false};
    std::atomic<bool> stop_{false};
    std::string bytes_;
    std::mutex lock_;
    bool closed_ = false;
    std::thread thread_;
};

// Serves one HTTP request: reads its head, sends the reply as fast as the socket takes it and
// closes.
class ReplyServer {
public:
    explicit ReplyServer(std::string reply) {
        listener_ = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        plat::SockAddrIn address = Loopback(0);
        plat::bind(listener_, &address);
        plat::listen(listener_, 1);
        plat::getsockname(listener_, &address);
        port_ = plat::ntohs_ws(address.port);
        thread_ = std::thread([this, reply = std::move(reply)] {
            const plat::Socket s = plat::accept(listener_, nullptr);
            if (s == plat::INVALID_SOCKET) return;
            {
                std::lock_guard<std::mutex> hold(lock_);
                connection_ = s;
            }
            std::string got;
            char buffer[1024];
            while (got.find("\r\n\r\n") == std::string::npos) {
                const int n = plat::recv(s, buffer, sizeof(buffer), 0);
                if (n <= 0) break;
                got.append(buffer, static_cast<size_t>(n));
            }
            requested_ = true;
            SendAll(s, reply);
            std::lock_guard<std::mutex> hold(lock_);
            plat::closesocket(s);
            connection_ = plat::INVALID_SOCKET;
        });
    }
    ~ReplyServer() {
        plat::shutdown(listener_, plat::SD_BOTH);
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (connection_ != plat::INVALID_SOCKET) plat::shutdown(connection_, plat::SD_BOTH);
        }
        thread_.join();
        plat::closesocket(listener_);
    }
    int port() const { return port_; }
    // The request's head came.
    bool requested() const { return requested_; }

private:
    plat::Socket listener_;
    plat::Socket connection_ = plat::INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> requested_{false};
    std::mutex lock_;
    std::thread thread_;
};

class NetworkConditionsEntryTest
    : public LibraryFixture,
      public ::testing::WithParamInterface<std::tuple<SocketCondition, PumpRhythm>> {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
        plat::SetSocketBufferSizes(std::get<0>(GetParam()).sendBuffer,
                                   std::get<0>(GetParam()).receiveBuffer);
        plat::WSAStartup();  // the test's own sockets
    }
    void TearDown() override {
        LibraryFixture::TearDown();
        plat::WSACleanup();
        plat::SetSocketBufferSizes(0, 0);
    }

    static const PumpRhythm& Rhythm() { return std::get<1>(GetParam()); }

    // Starts the library as the game does (with its pump thread when the rhythm has it),
    // then goes over to the real clock.
    static void Start() {
        if (Rhythm().pumpThread) {
            ASSERT_EQ(ApiInitLibrary(), 0);
            ASSERT_NE(GetWindowData().window.pumpThread, nullptr);
        } else {
            StartWithoutPumpThread();
        }
        plat::UseVirtualClock(false);
    }

    // The rhythm's gap after pump call `turn`.
    static uint32_t Gap(size_t turn) {
        const std::vector<uint32_t>& gaps = Rhythm().gapsMs;
        return gaps[turn % gaps.size()];
    }

    // The game's loop: ApiProcessMessage in the rhythm until done() holds; false after maxMs.
    static bool PumpUntil(const std::function<bool()>& done, uint32_t maxMs = 3000) {
        const uint32_t begin = plat::MillisecondClock();
        for (size_t turn = 0;; ++turn) {
            EXPECT_EQ(ApiProcessMessage(), 0);
            if (done()) return true;
            if (plat::MillisecondClock() - begin >= maxMs) return false;
            plat::SleepMs(Gap(turn));
        }
    }

    // Starts the network listening and connects a blocking socket of the test to it: the
    // test's socket and the connection the library accepted.
    static HandleValue ConnectPeer(plat::Socket* peer) {
        EXPECT_EQ(Net(InitNetWork), 0);
        const int port = Net(StartListenNetWork, 0);
        EXPECT_GT(port, 0);
        *peer = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        const plat::SockAddrIn address = Loopback(port);
        EXPECT_EQ(plat::connect(*peer, &address), 0);
        HandleValue handle = kNoHandle;
        EXPECT_TRUE(PumpUntil([&] { return (handle = Net(GetNewAcceptNetWork)) != kNoHandle; }));
        return handle;
    }
};

// Framed messages queued at once leave as fast as a slower peer reads them, in pieces while
// the sockets are full, and all of them arrive in order.
TEST_P(NetworkConditionsEntryTest, QueuedMessagesAllReachASlowerReader) {
    ASSERT_NO_FATAL_FAILURE(Start());
    plat::Socket socket;
    const HandleValue handle = ConnectPeer(&socket);
    ASSERT_NE(handle, kNoHandle);
    // Each message many times what the sockets hold, and few enough for a pump that comes
    // every 9 ms on average (each pass sends about what the sockets hold).
    constexpr int kCount = 3;
    constexpr size_t kSize = 256 * 1024;
    std::string expected;
    for (int i = 0; i < kCount; ++i) {
        const std::string message = TestMessage(i, kSize);
        ASSERT_EQ(Net(NetWorkSend, handle, static_cast<const void*>(message.data()),
                      static_cast<int>(message.size())),
                  0);
        expected += LengthWord(static_cast<uint32_t>(kSize)) + message;
    }
    Peer reader = Peer::Reader(socket, expected.size(), 16 * 1024);
    const bool all = PumpUntil([&] { return reader.count() == expected.size(); }, 8000);
    const int queued = Net(GetNetWorkSendDataLength, handle);
    reader.Stop();
    ASSERT_TRUE(all) << "the reader got " << reader.count() << " of " << expected.size()
                     << " bytes; " << queued << " stay queued";
    EXPECT_EQ(queued, 0);
    EXPECT_TRUE(reader.bytes() == expected) << "the bytes differ from what was sent";
    ASSERT_EQ(ApiTermLibrary(), 0);
}

// A peer sends a burst of framed messages, more than one receive step takes, and closes at
// once. On each pass the game pumps, reads every complete message, does the rest of its frame
// (the pump's gap) and then asks whether the connection is still there. The last message and
// the close come during the frame in which the game has read all messages but that one: the
// game learns of the close only once it has read every message, and the connection goes with
// the pump after that.
TEST_P(NetworkConditionsEntryTest, ABurstThenACloseIsReadWholeBeforeTheConnectionGoes) {
    ASSERT_NO_FATAL_FAILURE(Start());
    plat::Socket socket;
    const HandleValue handle = ConnectPeer(&socket);
    ASSERT_NE(handle, kNoHandle);
    constexpr int kCount = 48;
    std::vector<int> sizes(kCount, 50 * 1024);
    sizes.back() = 100;
    std::string burst;
    for (int i = 0; i < kCount; ++i) {
        burst += LengthWord(static_cast<uint32_t>(sizes[i])) + TestMessage(i, sizes[i]);
    }
    Peer peer = Peer::Burst(socket, burst, 4 + sizes.back());

    int read = 0;
    int state = 1;
    std::vector<char> buffer(sizes.front());
    const uint32_t begin = plat::MillisecondClock();
    for (size_t turn = 0; state == 1 && plat::MillisecondClock() - begin < 8000; ++turn) {
        ASSERT_EQ(ApiProcessMessage(), 0);
        while (read < kCount && Net(GetNetWorkDataLength, handle) >= sizes[read]) {
            ASSERT_EQ(Net(NetWorkRecv, handle, static_cast<void*>(buffer.data()), sizes[read]), 0);
            ASSERT_TRUE(std::string(buffer.data(), sizes[read]) == TestMessage(read, sizes[read]))
                << "message " << read << " differs";
            ++read;
        }
        if (read == kCount - 1 && !peer.closed()) {
            // This frame lasts until the last message and the close have reached the socket.
            peer.ReleaseTail();
            for (int i = 0; i < 2000 && !peer.closed(); ++i) plat::SleepMs(1);
            plat::SleepMs(20);
        }
        plat::SleepMs(Gap(turn));
        state = Net(GetNetWorkAcceptState, handle);
    }
    peer.Stop();
    ASSERT_EQ(peer.count(), burst.size()) << "the peer could not send its burst";
    EXPECT_EQ(state, 0) << "the close was not reported on a live connection";
    EXPECT_EQ(read, kCount) << "the close was reported before every message was read";
    EXPECT_EQ(Net(GetNetWorkPeerClosed, handle), 1);
    EXPECT_FALSE(LogHas("有効なネットワークハンドルではありません"))
        << "the connection went while the game still used it";
    // Once the game saw the close, the pump closes the connection.
    EXPECT_TRUE(PumpUntil([&] { return Net(GetNetWorkDataLength, handle) == -1; }, 1000));
    ASSERT_EQ(ApiTermLibrary(), 0);
}

// A reply whose head runs to a few MB of header lines, more than the sockets hold, then a
// body: the transfer ends with the body whole.
TEST_P(NetworkConditionsEntryTest, AReplyWithAHeadOfAFewMegabytesDeliversItsBody) {
    ASSERT_NO_FATAL_FAILURE(Start());
    std::string head = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; head.size() < 2'000'000; ++i) {
        head += "X-Filler-" + std::to_string(i) + ": " + std::string(220, 'a' + i % 23) + "\r\n";
    }
    const std::string body = TestMessage(7, 200'000);
    ReplyServer server(head + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                       body);
    void* memory = nullptr;
    const int slot = Net(HttpGetToMemory, "127.0.0.1", "/long-head", server.port(), &memory);
    ASSERT_GE(slot, 0);
    int32_t result = kHttpRunning, detail = 0;
    PumpUntil([&] {
        Net(GetHttpTransferResult, slot, &result, &detail);
        return result != kHttpRunning;
    }, 8000);
    EXPECT_EQ(result, kHttpDone);
    EXPECT_EQ(detail, kHttpDetailNone);
    int32_t length = 0, received = 0;
    Net(GetHttpTransferSize, slot, &length, &received);
    EXPECT_EQ(received, static_cast<int32_t>(body.size()));
    ASSERT_NE(memory, nullptr);
    if (received == static_cast<int32_t>(body.size())) {
        EXPECT_TRUE(std::string(static_cast<char*>(memory), body.size()) == body)
            << "the body differs from what was sent";
    }
    Net([](void* block) {
        FreeHttpBuffer(block);
        return 0;
    }, memory);
    EXPECT_EQ(Net(DeleteHttpTransfer, slot), 0);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

// The game away from the pump for a while, with the library's pump thread running. The pump
// thread steps the HTTP transfers (each step reads many head lines) and leaves the socket
// notices to the game's thread: the game's queue does not fill up with them while it is away,
// so framed messages a peer sends in that time arrive once the game pumps again, and the
// transfers end with their bodies.
class NetworkGameAwayEntryTest : public NetworkConditionsEntryTest {};

TEST_P(NetworkGameAwayEntryTest, MessagesSentWhileTheGameIsAwayArriveWhenItPumpsAgain) {
    ASSERT_NO_FATAL_FAILURE(Start());
    plat::Socket socket;
    const HandleValue handle = ConnectPeer(&socket);
    ASSERT_NE(handle, kNoHandle);
    // Transfers with heads long enough to keep the pump thread reading them all the time away.
    std::string head = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; head.size() < 2'000'000; ++i) {
        head += "X-Filler-" + std::to_string(i) + ": " + std::string(220, 'a' + i % 23) + "\r\n";
    }
    const std::string body = TestMessage(3, 1000);
    const std::string reply =
        head + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    constexpr int kTransfers = 4;
    std::vector<std::unique_ptr<ReplyServer>> servers;
    void* memory[kTransfers] = {};
    int slots[kTransfers];
    for (int k = 0; k < kTransfers; ++k) {
        servers.push_back(std::make_unique<ReplyServer>(reply));
        slots[k] = Net(HttpGetToMemory, "127.0.0.1", "/away", servers[k]->port(), &memory[k]);
        ASSERT_GE(slots[k], 0);
    }
    // The requests go out: their connections are made through the game's pump.
    ASSERT_TRUE(PumpUntil([&] {
        return std::all_of(servers.begin(), servers.end(),
                           [](const std::unique_ptr<ReplyServer>& s) { return s->requested(); });
    }));

    // Away; the peer sends its messages late in that time.
    constexpr int kCount = 3;
    constexpr int kSize = 1000;
    plat::SleepMs(1200);
    std::string sent;
    for (int i = 0; i < kCount; ++i) sent += LengthWord(kSize) + TestMessage(i, kSize);
    ASSERT_TRUE(SendAll(socket, sent));
    plat::SleepMs(500);

    int read = 0;
    std::vector<char> buffer(kSize);
    const bool all = PumpUntil([&] {
        while (read < kCount && Net(GetNetWorkDataLength, handle) >= kSize) {
            EXPECT_EQ(Net(NetWorkRecv, handle, static_cast<void*>(buffer.data()), kSize), 0);
            EXPECT_TRUE(std::string(buffer.data(), kSize) == TestMessage(read, kSize))
                << "message " << read << " differs";
            ++read;
        }
        return read == kCount;
    });
    EXPECT_TRUE(all) << read << " of " << kCount << " messages arrived";
    for (int k = 0; k < kTransfers; ++k) {
        int32_t result = kHttpRunning, detail = 0;
        PumpUntil([&] {
            Net(GetHttpTransferResult, slots[k], &result, &detail);
            return result != kHttpRunning;
        }, 8000);
        EXPECT_EQ(result, kHttpDone) << "transfer " << k;
        if (result == kHttpDone) {
            EXPECT_TRUE(std::string(static_cast<char*>(memory[k]), body.size()) == body)
                << "the body of transfer " << k << " differs";
        }
        Net([](void* block) {
            FreeHttpBuffer(block);
            return 0;
        }, memory[k]);
        EXPECT_EQ(Net(DeleteHttpTransfer, slots[k]), 0);
    }
    plat::closesocket(socket);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

class NetworkFullTableEntryTest : public NetworkConditionsEntryTest {
protected:
    // Enough descriptors for a full table and the test's ends of its connections; false when
    // the limit is below that and cannot be raised.
    static bool RaiseDescriptorLimit(rlim_t needed) {
        rlimit limit{};
        if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
        if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < needed) {
            if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < needed) limit.rlim_max = needed;
            limit.rlim_cur = needed;
            if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
        }
        return true;
    }

    // A blocking socket of the test connected to the port (the handshake done).
    plat::Socket Call(int port) {
        const plat::Socket caller = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        EXPECT_NE(caller, plat::INVALID_SOCKET);
        const plat::SockAddrIn address = Loopback(port);
        EXPECT_EQ(plat::connect(caller, &address), 0);
        callers_.push_back(caller);
        return caller;
    }

    // The game's loop until `count` new connections were handed out; their handles.
    static std::vector<HandleValue> TakeAccepted(size_t count) {
        std::vector<HandleValue> handles;
        PumpUntil([&] {
            for (HandleValue h; (h = Net(GetNewAcceptNetWork)) != kNoHandle;) handles.push_back(h);
            return handles.size() >= count;
        });
        return handles;
    }

    // The game's loop until the library has closed the caller's connection (its end reads
    // the close).
    static bool PumpUntilRefused(plat::Socket caller) {
        // Non-blocking and with no notifications: a read that finds nothing returns at once.
        EXPECT_EQ(plat::WSAAsyncSelect(caller, 0, 0, 0), 0);
        return PumpUntil([&] {
            char byte;
            return plat::recv(caller, &byte, 1, 0) == 0;
        });
    }

    void TearDown() override {
        for (plat::Socket caller : callers_) plat::closesocket(caller);
        callers_.clear();
        NetworkConditionsEntryTest::TearDown();
    }

    std::vector<plat::Socket> callers_;
};

TEST_P(NetworkFullTableEntryTest, AFullTableRefusesTheExcessCallerAndFreedSlotsAcceptAgain) {
    constexpr size_t kTable = kMaxNetConnectionHandles;
    if (!RaiseDescriptorLimit(2 * kTable + 256)) {
        GTEST_SKIP() << "the descriptor limit (RLIMIT_NOFILE) is below " << 2 * kTable + 256
                     << " and cannot be raised";
    }
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(Net(InitNetWork), 0);
    const int port = Net(StartListenNetWork, 0);
    ASSERT_GT(port, 0);
    // Fill the table, a few callers at a time (within the listener's backlog).
    std::vector<HandleValue> handles;
    while (handles.size() < kTable) {
        const size_t batch = std::min<size_t>(8, kTable - handles.size());
        for (size_t i = 0; i < batch; ++i) Call(port);
        const std::vector<HandleValue> taken = TakeAccepted(batch);
        ASSERT_EQ(taken.size(), batch) << "after " << handles.size() << " connections";
        handles.insert(handles.end(), taken.begin(), taken.end());
    }
    // One more caller: refused at once rather than left waiting.
    EXPECT_TRUE(PumpUntilRefused(Call(port))) << "the caller beyond the table was left waiting";
    // Ten connections close: ten new callers are accepted into their slots.
    for (size_t i = 0; i < 10; ++i) ASSERT_EQ(Net(CloseNetWork, handles[100 + i * 7]), 0);
    for (size_t i = 0; i < 10; ++i) Call(port);
    const std::vector<HandleValue> again = TakeAccepted(10);
    ASSERT_EQ(again.size(), 10u) << "freed slots did not accept again";
    for (const HandleValue handle : again) EXPECT_EQ(Net(GetNetWorkAcceptState, handle), 1);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

std::string CaseName(
    const ::testing::TestParamInfo<NetworkConditionsEntryTest::ParamType>& info) {
    return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(ConditionsAndRhythms, NetworkConditionsEntryTest,
                         ::testing::Combine(::testing::ValuesIn(kConditions),
                                            ::testing::ValuesIn(kRhythms)),
                         CaseName);

INSTANTIATE_TEST_SUITE_P(Conditions, NetworkGameAwayEntryTest,
                         ::testing::Combine(::testing::ValuesIn(kConditions),
                                            ::testing::Values(kRhythms[2])),
                         CaseName);

// Thousands of connections are made one pump pass after another: the steady rhythm only.
INSTANTIATE_TEST_SUITE_P(SteadyPump, NetworkFullTableEntryTest,
                         ::testing::Combine(::testing::Values(kConditions[0]),
                                            ::testing::Values(kRhythms[0])),
                         CaseName);

}  // namespace
