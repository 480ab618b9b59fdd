// A fixture for the network's tests: a fresh log in a temporary directory, the real clock (the
// peers are real loopback sockets), a clean headless window layer and a started network
// whose listening socket waits on a free loopback port. Pumping is bounded in passes and in
// real time.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/core/clock.h"
#include "platform/window/instance_lock.h"
#include "platform/net/winsock.h"
#include "platform/testing/net_test_controls.h"
#include "platform/testing/window_test_controls.h"
#include "net/http.h"
#include "net/network.h"
#include "net/network_internal.h"
#include "tests/support/log_test_fixture.h"

class NetworkFixture : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        plat::ResetWindowTestControls();
        plat::SetInstanceLockDirectory(dir_.str().c_str());
        plat::UseVirtualClock(false);
        ClearHttpHandleTable();
        SetNetWorkFraming(1, 1);
        SetNetWorkBufferLimit(0);
        ASSERT_EQ(InitNetWork(), 0);
        port_ = StartListenNetWork(0);
        ASSERT_GT(port_, 0);
    }

    void TearDown() override {
        TermHttp();
        TermNetWork();
        SetNetWorkFraming(1, 1);
        SetNetWorkBufferLimit(0);
        plat::ResetWindowTestControls();
        plat::SetSocketBufferSizes(0, 0);
        LogFixture::TearDown();
    }

    // Pumps as the message pump does until done() holds; false after maxMs of real time.
    static bool PumpUntil(const std::function<bool()>& done, uint32_t maxMs = 3000) {
        const uint32_t begin = plat::MillisecondClock();
        for (int pass = 0; pass < 100000; ++pass) {
            ProcessSocketMessages(1);
            StepAllHttpTransfers();
            if (done()) return true;
            if (plat::MillisecondClock() - begin >= maxMs) return false;
            plat::SleepMs(1);
        }
        return false;
    }

    static plat::SockAddrIn Loopback(int port) {
        plat::SockAddrIn address{};
        address.family = plat::AF_INET_WS;
        address.port = plat::htons_ws(static_cast<uint16_t>(port));
        address.address = plat::inet_addr("127.0.0.1");
        return address;
    }

    // A plain blocking socket of the test connected to the listening port, and the
    // connection the library accepted for it.
    HandleValue ConnectPeer(plat::Socket* peer) {
        *peer = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        const plat::SockAddrIn address = Loopback(port_);
        EXPECT_EQ(plat::connect(*peer, &address), 0);
        HandleValue handle = kNoHandle;
        EXPECT_TRUE(PumpUntil([&] { return (handle = GetNewAcceptNetWork()) != kNoHandle; }));
        return handle;
    }

    static void SendAll(plat::Socket peer, const std::string& bytes) {
        ASSERT_EQ(plat::send(peer, bytes.data(), static_cast<int>(bytes.size()), 0),
                  static_cast<int>(bytes.size()));
    }

    // The 4-byte little-endian length word of the framing.
    static std::string LengthWord(uint32_t length) {
        const char word[4] = {static_cast<char>(length), static_cast<char>(length >> 8),
                              static_cast<char>(length >> 16), static_cast<char>(length >> 24)};
        return std::string(word, 4);
    }

    int port_ = 0;
};
