// A peer floods a framed connection over loopback with 1000-byte messages as fast as the
// socket takes them, and the owner reads them one by one (NetWorkRecv while
// GetNetWorkDataLength shows a whole message, else a pump of the network window). Reported:
// the time to read the whole flood and, as counters, the longest single network call (wall
// and processor time), the calls over 100 ms and the number of messages read. The goal is the flood read in a few seconds with no call above
// 100 ms.
//
// The flood's size in megabytes comes from ZN_FLOOD_MB (default 48).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <time.h>
#include <vector>

#include "platform/backend/backend_entries.h"
#include "platform/net/winsock.h"
#include "net/network.h"
#include "net/network_counters.h"

namespace {

constexpr int kMessageBytes = 1000;

// Milliseconds on a clock of the system (the library's clocks may be virtual).
double NowMs(clockid_t clock = CLOCK_MONOTONIC) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

int FloodMegabytes() {
    const char* text = std::getenv("ZN_FLOOD_MB");
    const int mb = text != nullptr ? std::atoi(text) : 48;
    return mb > 0 ? mb : 48;
}

// The framed bytes of `count` messages, each its length word and 1000 bytes that carry
// its number.
std::string FloodBytes(int count) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(count) * (4 + kMessageBytes));
    for (int i = 0; i < count; ++i) {
        const char word[4] = {static_cast<char>(kMessageBytes & 0xFF),
                              static_cast<char>(kMessageBytes >> 8), 0, 0};
        bytes.append(word, 4);
        std::string body(kMessageBytes, static_cast<char>('a' + i % 26));
        std::memcpy(body.data(), &i, sizeof(i));
        bytes += body;
    }
    return bytes;
}

void BM_FramedFloodReadWhole(benchmark::State& state) {
    setenv("ZN_VIDEO", "headless", 1);
    // The network runs here without the library, whose start-up would hand the platform its
    // backends (the network's window needs one).
    plat::UseBackends(plat::PlatformBackends());
    const int count = FloodMegabytes() * 1024 * 1024 / kMessageBytes;
    const std::string flood = FloodBytes(count);
    double longestMs = 0.0;     // wall time
    double longestCpuMs = 0.0;  // the thread's processor time (without waits for a processor)
    int over100Ms = 0;
    double longestWithoutGrowthMs = 0.0;  // calls in which no ring grew
    int read = 0;
    for (auto _ : state) {
        ResetNetWorkCounters();
        SetNetWorkFraming(1, 1);
        SetNetWorkBufferLimit(0);
        if (InitNetWork() != 0) {
            state.SkipWithError("the network did not start");
            return;
        }
        const int port = StartListenNetWork(0);
        plat::Socket peer = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        plat::SockAddrIn address{};
        address.family = plat::AF_INET_WS;
        address.port = plat::htons_ws(static_cast<uint16_t>(port));
        address.address = plat::inet_addr("127.0.0.1");
        plat::connect(peer, &address);
        HandleValue handle = kNoHandle;
        while ((handle = GetNewAcceptNetWork()) == kNoHandle) std::this_thread::yield();

        std::thread sender([&] {
            size_t sent = 0;
            while (sent < flood.size()) {
                const int n = plat::send(peer, flood.data() + sent,
                                         static_cast<int>(std::min<size_t>(flood.size() - sent, 1 << 20)), 0);
                if (n <= 0) break;
                sent += static_cast<size_t>(n);
            }
        });

        // Each network call timed on its own.
        auto timed = [&](auto call) {
            const double begin = NowMs();
            const double beginCpu = NowMs(CLOCK_THREAD_CPUTIME_ID);
            const uint64_t growths = GetNetWorkCounters().ringGrowths;
            const int result = call();
            const double ms = NowMs() - begin;
            const double cpuMs = NowMs(CLOCK_THREAD_CPUTIME_ID) - beginCpu;
            longestMs = std::max(longestMs, ms);
            longestCpuMs = std::max(longestCpuMs, cpuMs);
            if (ms > 100.0) ++over100Ms;
            if (GetNetWorkCounters().ringGrowths == growths) {
                longestWithoutGrowthMs = std::max(longestWithoutGrowthMs, ms);
            }
            return result;
        };
        char buffer[kMessageBytes];
        read = 0;
        const double deadline = NowMs() + 120000.0;
        while (read < count && NowMs() < deadline) {
            if (timed([&] { return GetNetWorkDataLength(handle); }) >= kMessageBytes) {
                if (timed([&] { return NetWorkRecv(handle, buffer, kMessageBytes); }) != 0) break;
                int number = -1;
                std::memcpy(&number, buffer, sizeof(number));
                if (number != read) break;
                ++read;
            } else {
                timed([] { return ProcessSocketMessages(1); });
            }
        }
        // Closing the connection first ends a sender still blocked on a full socket.
        CloseNetWork(handle);
        sender.join();
        plat::closesocket(peer);
        TermNetWork();
        if (read != count) state.SkipWithError("the flood was not read whole in order within 120 s");
    }
    state.counters["longest_call_ms"] = longestMs;
    state.counters["longest_call_cpu_ms"] = longestCpuMs;
    state.counters["calls_over_100ms"] = over100Ms;
    state.counters["longest_call_without_growth_ms"] = longestWithoutGrowthMs;
    state.counters["ring_growths"] = static_cast<double>(GetNetWorkCounters().ringGrowths);
    state.counters["messages_read"] = read;
    state.counters["messages_sent"] = count;
}
BENCHMARK(BM_FramedFloodReadWhole)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
