// The reply head's parsing: line search within the 255-byte line buffer, the status, and the
// Content-Length header with its cap.
#include <gtest/gtest.h>

#include <string>

#include "net/http_reply_parser.h"

namespace {

TEST(HttpReplyParserTest, FindsLinesWithinTheLineBuffer) {
    const struct {
        std::string bytes;
        HttpLineScan scan;
        int length;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nrest", HttpLineScan::kFound, 16},
        {"\n", HttpLineScan::kFound, 0},
        {"no feed yet", HttpLineScan::kNeedMore, -1},
        {"", HttpLineScan::kNeedMore, -1},
        {std::string(254, 'x') + "\n", HttpLineScan::kFound, 254},
        {std::string(255, 'x'), HttpLineScan::kTooLong, -1},
        {std::string(255, 'x') + "\n", HttpLineScan::kTooLong, -1},
        {std::string(254, 'x'), HttpLineScan::kNeedMore, -1},
    };
    for (const auto& c : cases) {
        int length = -1;
        EXPECT_EQ(FindHttpLine(c.bytes.data(), static_cast<int>(c.bytes.size()), &length), c.scan)
            << c.bytes.size();
        if (c.scan == HttpLineScan::kFound) {
            EXPECT_EQ(length, c.length);
        }
    }
}

TEST(HttpReplyParserTest, TheStatusIsTheNumberAfterTheFirstBlank) {
    EXPECT_EQ(ParseHttpStatusLine("HTTP/1.0 200 OK\r"), 200);
    EXPECT_EQ(ParseHttpStatusLine("HTTP/1.1 404 Not Found"), 404);
    EXPECT_EQ(ParseHttpStatusLine("HTTP/1.0"), -1);
}

TEST(HttpReplyParserTest, ContentLengthIsReadStrictlyAndCapped) {
    constexpr int64_t kCap = 1000;
    const struct {
        const char* line;
        HttpHeaderLine kind;
        int64_t length;  // -7: left as it was
    } cases[] = {
        {"Content-Length: 12\r", HttpHeaderLine::kHeader, 12},
        {"content-length:7", HttpHeaderLine::kHeader, 7},
        {"Content-Length: 1000", HttpHeaderLine::kHeader, 1000},
        {"Content-Length: 1001", HttpHeaderLine::kHeader, 1001},
        {"Content-Length: 18446744073709551616999", HttpHeaderLine::kHeader, 1001},
        {"Content-Length: -5", HttpHeaderLine::kBadLength, -7},
        {"Content-Length: 12abc", HttpHeaderLine::kBadLength, -7},
        {"Content-Length:", HttpHeaderLine::kBadLength, -7},
        {"Content-Type: text/html", HttpHeaderLine::kHeader, -7},
        {"\r", HttpHeaderLine::kEnd, -7},
        {"", HttpHeaderLine::kEnd, -7},
        {"no colon here", HttpHeaderLine::kEnd, -7},
    };
    for (const auto& c : cases) {
        int64_t length = -7;
        EXPECT_EQ(ApplyHttpHeaderLine(c.line, kCap, &length), c.kind) << c.line;
        EXPECT_EQ(length, c.length) << c.line;
    }
}

}  // namespace
