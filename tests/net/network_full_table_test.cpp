// A listener whose connection table is full: a caller beyond the table is refused (accepted
// and closed at once, with the log line), and once connections are closed the freed slots
// take new callers again.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "tests/net/network_fixture.h"

namespace {

class NetworkFullTableTest : public NetworkFixture {
protected:
    void TearDown() override {
        for (plat::Socket caller : callers_) plat::closesocket(caller);
        callers_.clear();
        NetworkFixture::TearDown();
    }

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

    // A caller connected to the listening port (blocking, so the handshake is done).
    plat::Socket Call() {
        const plat::Socket caller = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        EXPECT_NE(caller, plat::INVALID_SOCKET);
        const plat::SockAddrIn address = Loopback(port_);
        EXPECT_EQ(plat::connect(caller, &address), 0);
        callers_.push_back(caller);
        return caller;
    }

    // Pumps (as the message pump does, without sleeping) until `count` new connections were
    // accepted and handed out, or `maxMs` passed; the handles.
    static std::vector<HandleValue> TakeAccepted(size_t count, uint32_t maxMs = 3000) {
        std::vector<HandleValue> handles;
        const uint32_t begin = plat::MillisecondClock();
        while (handles.size() < count && plat::MillisecondClock() - begin < maxMs) {
            ProcessSocketMessages(1);
            for (HandleValue h; (h = GetNewAcceptNetWork()) != kNoHandle;) handles.push_back(h);
            std::this_thread::yield();
        }
        return handles;
    }

    // Pumps until the library has closed the caller's connection (its end reads the close).
    static bool PumpUntilRefused(plat::Socket caller) {
        // Non-blocking and with no notifications: a read that finds nothing returns at once.
        EXPECT_EQ(plat::WSAAsyncSelect(caller, 0, 0, 0), 0);
        return PumpUntil([&] {
            char byte;
            return plat::recv(caller, &byte, 1, 0) == 0;
        });
    }

    std::vector<plat::Socket> callers_;
};

TEST_F(NetworkFullTableTest, AFullTableRefusesTheExcessCallerAndFreedSlotsAcceptAgain) {
    constexpr size_t kTable = kMaxNetConnectionHandles;
    if (!RaiseDescriptorLimit(2 * kTable + 256)) {
        GTEST_SKIP() << "the descriptor limit (RLIMIT_NOFILE) is below " << 2 * kTable + 256
                     << " and cannot be raised";
    }
    // Fill the table, a few callers at a time (within the listener's backlog).
    std::vector<HandleValue> handles;
    while (handles.size() < kTable) {
        const size_t batch = std::min<size_t>(8, kTable - handles.size());
        for (size_t i = 0; i < batch; ++i) Call();
        const std::vector<HandleValue> taken = TakeAccepted(batch);
        ASSERT_EQ(taken.size(), batch) << "after " << handles.size() << " connections";
        handles.insert(handles.end(), taken.begin(), taken.end());
    }
    NewLogText();

    // One more caller: refused, and the log says so.
    const plat::Socket excess = Call();
    EXPECT_TRUE(PumpUntilRefused(excess)) << "the caller beyond the table was left waiting";
    EXPECT_NE(NewLogText().find("空きソケットデータがなかったので accept を拒否しました"),
              std::string::npos);
    EXPECT_EQ(GetNewAcceptNetWork(), kNoHandle);

    // Ten connections close: ten new callers are accepted into their slots and work.
    for (size_t i = 0; i < 10; ++i) ASSERT_EQ(CloseNetWork(handles[100 + i * 7]), 0);
    std::vector<plat::Socket> fresh;
    for (size_t i = 0; i < 10; ++i) fresh.push_back(Call());
    const std::vector<HandleValue> again = TakeAccepted(10);
    ASSERT_EQ(again.size(), 10u) << "freed slots did not accept again";
    for (size_t i = 0; i < fresh.size(); ++i) {
        SendAll(fresh[i], LengthWord(2) + "k" + std::to_string(i));
    }
    for (const HandleValue handle : again) {
        EXPECT_EQ(GetNetWorkAcceptState(handle), 1);
        EXPECT_TRUE(PumpUntil([&] { return GetNetWorkDataLength(handle) == 2; }));
    }

    // The table is full again: the next caller is refused as well.
    EXPECT_TRUE(PumpUntilRefused(Call()));
}

}  // namespace
