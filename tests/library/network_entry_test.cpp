// The network through the real start-up: ApiInitLibrary clears the HTTP table and installs
// the pump's network steps, ApiProcessMessage drives a loopback HTTP transfer to its end (the
// socket notifications reach the network window through the library's own pump), and
// ApiTermLibrary ends the transfers and the network.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/net/winsock.h"
#include "system/http.h"
#include "system/network.h"
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

}  // namespace
