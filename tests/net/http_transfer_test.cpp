// HTTP transfers against a small server on 127.0.0.1 run by the test in a thread of its own:
// GET to memory and to a file, POST, HEAD, a body that ends when the peer closes, error
// statuses, and hostile replies that must fail within their limits.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "base/tracked_memory.h"
#include "platform/core/file.h"
#include "net/http_internal.h"
#include "tests/net/network_fixture.h"

namespace {

// Serves one connection: reads the request (head, and a body of the Content-Length it
// names), sends the reply, then closes, or with `stall` waits until the client goes first.
class TestServer {
public:
    void Start(const std::string& reply, bool stall) {
        listener_ = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
        plat::SockAddrIn address{};
        address.family = plat::AF_INET_WS;
        address.address = plat::inet_addr("127.0.0.1");
        ASSERT_EQ(plat::bind(listener_, &address), 0);
        ASSERT_EQ(plat::listen(listener_, 1), 0);
        ASSERT_EQ(plat::getsockname(listener_, &address), 0);
        port_ = plat::ntohs_ws(address.port);
        thread_ = std::thread([this, reply, stall] { Serve(reply, stall); });
    }

    // Ends the thread whatever state it is in (the client has closed, or the test failed).
    void Stop() {
        if (!thread_.joinable()) return;
        plat::shutdown(listener_, plat::SD_BOTH);
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (connection_ != plat::INVALID_SOCKET) plat::shutdown(connection_, plat::SD_BOTH);
        }
        thread_.join();
        plat::closesocket(listener_);
    }

    ~TestServer() { Stop(); }

    int port() const { return port_; }
    std::string request() {
        std::lock_guard<std::mutex> hold(lock_);
        return request_;
    }

private:
    void Serve(const std::string& reply, bool stall) {
        const plat::Socket s = plat::accept(listener_, nullptr);
        if (s == plat::INVALID_SOCKET) return;
        {
            std::lock_guard<std::mutex> hold(lock_);
            connection_ = s;
        }
        std::string got;
        char buffer[4096];
        for (;;) {
            const size_t head = got.find("\n\n") != std::string::npos ? got.find("\n\n") + 2
                                : got.find("\r\n\r\n") != std::string::npos ? got.find("\r\n\r\n") + 4
                                                                            : std::string::npos;
            if (head != std::string::npos) {
                const size_t field = got.find("Content-Length: ");
                const size_t body = field < head ? std::stoul(got.substr(field + 16)) : 0;
                if (got.size() >= head + body) break;
            }
            const int n = plat::recv(s, buffer, sizeof(buffer), 0);
            if (n <= 0) break;
            got.append(buffer, static_cast<size_t>(n));
        }
        {
            std::lock_guard<std::mutex> hold(lock_);
            request_ = got;
        }
        // In pieces, so that the client meets partial lines and bodies.
        for (size_t at = 0; at < reply.size(); at += 1000) {
            const std::string piece = reply.substr(at, 1000);
            if (plat::send(s, piece.data(), static_cast<int>(piece.size()), 0) <= 0) break;
        }
        if (stall) {
            while (plat::recv(s, buffer, sizeof(buffer), 0) > 0) {
            }
        }
        std::lock_guard<std::mutex> hold(lock_);
        plat::closesocket(s);
        connection_ = plat::INVALID_SOCKET;
    }

    plat::Socket listener_ = plat::INVALID_SOCKET;
    plat::Socket connection_ = plat::INVALID_SOCKET;
    int port_ = 0;
    std::mutex lock_;
    std::string request_;
    std::thread thread_;
};

class HttpTransferTest : public NetworkFixture {
protected:
    void TearDown() override {
        TermHttp();
        server_.Stop();
        SetHttpTimeLimit(kDefaultHttpTimeLimitMs);
        SetHttpBodyLimit(kDefaultHttpBodyLimit);
        NetworkFixture::TearDown();
    }

    // Steps until the transfer ends; its result and detail.
    void Finish(int slot, int32_t* result, int32_t* detail, uint32_t maxMs = 5000) {
        ASSERT_GE(slot, 0);
        EXPECT_TRUE(PumpUntil([&] {
            GetHttpTransferResult(slot, result, detail);
            return *result != kHttpRunning;
        }, maxMs));
    }

    static std::string Reply200(const std::string& body) {
        return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\n\r\n" + body;
    }

    static std::string Pattern(size_t size) {
        std::string text(size, '\0');
        for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 23);
        return text;
    }

    TestServer server_;
};

TEST_F(HttpTransferTest, GetToMemoryTakesTheBodyOfItsLength) {
    server_.Start(Reply200("hello world") + "trailing bytes are not the body", false);
    void* body = nullptr;
    const int slot = HttpGetToMemory("127.0.0.1", "/a.txt", server_.port(), &body);
    int32_t result = 0, detail = 0;
    Finish(slot, &result, &detail);
    EXPECT_EQ(result, kHttpDone);
    EXPECT_EQ(detail, kHttpDetailNone);
    EXPECT_EQ(server_.request(), "GET /a.txt HTTP/1.0\r\nHost: 127.0.0.1:" +
                                     std::to_string(server_.port()) +
                                     "\r\nConnection: close\r\n\r\n");
    int32_t length = 0, received = 0;
    ASSERT_EQ(GetHttpTransferSize(slot, &length, &received), 0);
    EXPECT_EQ(length, 11);
    EXPECT_EQ(received, 11);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(body), 11), "hello world");
    FreeHttpBuffer(body);
    EXPECT_EQ(DeleteHttpTransfer(slot), 0);
    EXPECT_EQ(GetHttpTransferCount(), 0);
    EXPECT_EQ(GetHttpTransferResult(slot, &result, &detail), -1);
}

TEST_F(HttpTransferTest, GetToFileWritesTheBodyInPieces) {
    const std::string body = Pattern(70000);
    server_.Start(Reply200(body), false);
    const std::string path = dir_.str() + "/body.bin";
    const int slot = HttpGetToFile("localhost", "/big", server_.port(), path.c_str());
    int32_t result = 0, detail = 0;
    Finish(slot, &result, &detail);
    EXPECT_EQ(result, kHttpDone);
    EXPECT_EQ(dir_.ReadFile("body.bin"), body);
}

TEST_F(HttpTransferTest, PostSendsItsDataAfterTheHead) {
    server_.Start(Reply200("stored"), false);
    void* body = nullptr;
    const int slot = HttpPostToMemory("127.0.0.1", "/p", server_.port(), "abcde", 5, &body);
    int32_t result = 0, detail = 0;
    Finish(slot, &result, &detail);
    EXPECT_EQ(result, kHttpDone);
    EXPECT_EQ(server_.request(), "POST /p HTTP/1.0\nHost: 127.0.0.1:" +
                                     std::to_string(server_.port()) +
                                     "\nContent-Length: 5\n\nabcde");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(body), 6), "stored");
    FreeHttpBuffer(body);
}

TEST_F(HttpTransferTest, HeadEndsAfterTheHeaders) {
    // The server keeps the connection open: HEAD must not wait for a body.
    server_.Start("HTTP/1.0 200 OK\nContent-Length: 999\n\n", true);
    const int slot = HttpHead("127.0.0.1", "/h", server_.port());
    int32_t result = 0, detail = 0;
    Finish(slot, &result, &detail);
    EXPECT_EQ(result, kHttpDone);
    EXPECT_EQ(server_.request(), "HEAD /h HTTP/1.0\n\n");
    int32_t length = 0, received = -1;
    GetHttpTransferSize(slot, &length, &received);
    EXPECT_EQ(length, 999);
    EXPECT_EQ(received, 0);
}

TEST_F(HttpTransferTest, ABodyWithoutALengthEndsWhenThePeerCloses) {
    const std::string body = Pattern(9000);
    server_.Start("HTTP/1.0 200 OK\r\n\r\n" + body, false);
    void* memory = nullptr;
    const int slot = HttpGetToMemory("127.0.0.1", "/", server_.port(), &memory);
    int32_t result = 0, detail = 0;
    Finish(slot, &result, &detail);
    EXPECT_EQ(result, kHttpDone);
    int32_t length = 0, received = 0;
    GetHttpTransferSize(slot, &length, &received);
    EXPECT_EQ(length, -1);
    ASSERT_EQ(received, 9000);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(memory), 9000), body);
    FreeHttpBuffer(memory);
}

// Replies that end a transfer with a failure, each within its limit, and never with a body.
TEST_F(HttpTransferTest, BadAndHostileRepliesFailCleanly) {
    const struct {
        const char* name;
        std::string reply;
        bool stall;
        int32_t detail;
    } cases[] = {
        {"not found", "HTTP/1.0 404 Not Found\r\n\r\n", false, kHttpDetailNotFound},
        {"server error", "HTTP/1.0 500 Oops\r\n\r\n", false, kHttpDetailStatus},
        {"cut-off body", "HTTP/1.0 200 OK\r\nContent-Length: 50\r\n\r\nshort", false,
         kHttpDetailConnectionLost},
        {"closed in the head", "HTTP/1.0 200 OK\r\nX-A: b", false, kHttpDetailConnectionLost},
        {"nothing at all", "", false, kHttpDetailConnectionLost},
        {"huge length", "HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n", true,
         kHttpDetailTooLarge},
        {"length above the limit", "HTTP/1.0 200 OK\r\nContent-Length: 67108865\r\n\r\n", true,
         kHttpDetailTooLarge},
        {"negative length", "HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\n", true,
         kHttpDetailBadReply},
        {"endless header line", "HTTP/1.0 200 OK\r\nX-Long: " + std::string(1000, 'a'), true,
         kHttpDetailBadReply},
        {"endless status line", std::string(300, 'H'), true, kHttpDetailBadReply},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server_.Start(c.reply, c.stall);
        void* body = reinterpret_cast<void*>(1);
        const int slot = HttpGetToMemory("127.0.0.1", "/x", server_.port(), &body);
        int32_t result = 0, detail = 0;
        Finish(slot, &result, &detail);
        EXPECT_EQ(result, kHttpFailed);
        EXPECT_EQ(detail, c.detail);
        EXPECT_EQ(body, nullptr);
        DeleteHttpTransfer(slot);
        server_.Stop();
    }
}

TEST_F(HttpTransferTest, AStalledPeerIsCutOffAtTheTimeLimit) {
    ASSERT_EQ(SetHttpTimeLimit(300), 0);
    server_.Start("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nsome", true);
    void* body = nullptr;
    const uint32_t begin = plat::MillisecondClock();
    const int slot = HttpGetToMemory("127.0.0.1", "/slow", server_.port(), &body);
    int32_t result = 0, detail = 0;
    Finish(slot, &result, &detail);
    EXPECT_EQ(result, kHttpFailed);
    EXPECT_EQ(detail, kHttpDetailTimedOut);
    EXPECT_GE(plat::MillisecondClock() - begin, 300u);
    EXPECT_EQ(body, nullptr);
    EXPECT_NE(NewLogText().find("制限時間"), std::string::npos);
}

TEST_F(HttpTransferTest, ABodyWithoutALengthStopsAtTheBodyLimit) {
    ASSERT_EQ(SetHttpBodyLimit(1000), 0);
    server_.Start("HTTP/1.0 200 OK\r\n\r\n" + Pattern(5000), true);
    void* body = nullptr;
    const int slot = HttpGetToMemory("127.0.0.1", "/", server_.port(), &body);
    int32_t result = 0, detail = 0;
    Finish(slot, &result, &detail);
    EXPECT_EQ(result, kHttpFailed);
    EXPECT_EQ(detail, kHttpDetailTooLarge);
    EXPECT_EQ(body, nullptr);
}

TEST_F(HttpTransferTest, AHeadOfManyLinesPassesASmallReceiveBuffer) {
    // A head of a few MB in many lines, sent in pieces that end inside lines, to a client
    // whose socket has little receive memory: the body after it must still come, long before
    // the time limit.
    std::string head = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; head.size() < 3'000'000; ++i) {
        head += "X-Filler-" + std::to_string(i) + ": " + Pattern(180) + "\r\n";
    }
    const std::string body = Pattern(50000);
    server_.Start(head + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body, false);
    ASSERT_EQ(SetHttpTimeLimit(5000), 0);
    // The client's socket, made from here on, has little receive memory: a few bytes left
    // unread in it can hold all of it (Linux counts each arrived packet whole until it is read
    // to its end).
    plat::SetSocketBufferSizes(0, 32768);
    void* memory = nullptr;
    const uint32_t begin = plat::MillisecondClock();
    const int slot = HttpGetToMemory("127.0.0.1", "/many-headers", server_.port(), &memory);
    ASSERT_GE(slot, 0);
    int32_t result = 0, detail = 0;
    Finish(slot, &result, &detail, 7000);
    EXPECT_EQ(result, kHttpDone);
    EXPECT_EQ(detail, kHttpDetailNone);
    EXPECT_LT(plat::MillisecondClock() - begin, 5000u);
    ASSERT_NE(memory, nullptr);
    int32_t length = 0, received = 0;
    GetHttpTransferSize(slot, &length, &received);
    ASSERT_EQ(received, static_cast<int32_t>(body.size()));
    EXPECT_EQ(std::string(static_cast<char*>(memory), body.size()), body);
    FreeHttpBuffer(memory);
}

TEST_F(HttpTransferTest, RequestsThatCannotBeMadeAreRefusedOrFail) {
    void* body = nullptr;
    EXPECT_EQ(HttpGetToMemory("127.0.0.1", "/a\r\nX-Injected: 1", 80, &body), -1);
    EXPECT_EQ(HttpGetToMemory("bad\nhost", "/", 80, &body), -1);
    EXPECT_EQ(HttpGetToMemory("127.0.0.1", "/", 0, &body), -1);
    EXPECT_EQ(HttpGetToMemory("127.0.0.1", "/", 80, nullptr), -1);
    EXPECT_EQ(HttpPostToMemory("127.0.0.1", "/", 80, nullptr, 4, &body), -1);
    EXPECT_EQ(HttpGetToFile("127.0.0.1", "/", 80, (dir_.str() + "/no/such/dir/f").c_str()), -1);
    EXPECT_EQ(HttpGetToMemory("no such host.invalid", "/", 80, &body), -1);
    EXPECT_EQ(GetHttpTransferCount(), 0);

    // Nobody listens: the connection is lost.
    server_.Start("", false);
    const int port = server_.port();
    server_.Stop();
    const int slot = HttpGetToMemory("127.0.0.1", "/", port, &body);
    int32_t result = 0, detail = 0;
    Finish(slot, &result, &detail);
    EXPECT_EQ(result, kHttpFailed);
    EXPECT_EQ(detail, kHttpDetailConnectionLost);
}

TEST_F(HttpTransferTest, TermHttpEndsRunningTransfers) {
    server_.Start("HTTP/1.0 200 OK\r\n\r\npartial", true);
    void* body = nullptr;
    const int slot = HttpGetToMemory("127.0.0.1", "/", server_.port(), &body);
    ASSERT_TRUE(PumpUntil([&] {
        int32_t length = 0, received = 0;
        GetHttpTransferSize(slot, &length, &received);
        return received == 7;
    }));
    EXPECT_EQ(TermHttp(), 0);
    EXPECT_EQ(GetHttpTransferCount(), 0);
    // Ended with result done: the body so far is the caller's.
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(body), 7), "partial");
    FreeHttpBuffer(body);
}

}  // namespace
