#include "net/http_reply_parser.h"

#include <cstring>

#include "base/sjis_string.h"

namespace {

constexpr const char kContentLength[] = "content-length:";

bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        char c = *text;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != *prefix) return false;
    }
    return true;
}

}  // namespace

HttpLineScan FindHttpLine(const char* bytes, int count, int* lineLength) {
    if (count > kHttpLineBytes) count = kHttpLineBytes;
    if (count > 0) {
        const void* feed = std::memchr(bytes, '\n', static_cast<size_t>(count));
        if (feed != nullptr) {
            *lineLength = static_cast<int>(static_cast<const char*>(feed) - bytes);
            return HttpLineScan::kFound;
        }
    }
    return count >= kHttpLineBytes ? HttpLineScan::kTooLong : HttpLineScan::kNeedMore;
}

int32_t ParseHttpStatusLine(const char* line) { return ParseNumberAfterSpace(line); }

HttpHeaderLine ApplyHttpHeaderLine(const char* line, int64_t lengthCap, int64_t* contentLength) {
    if (std::strchr(line, ':') == nullptr) return HttpHeaderLine::kEnd;
    if (!StartsWithNoCase(line, kContentLength)) return HttpHeaderLine::kHeader;
    const char* p = line + sizeof(kContentLength) - 1;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p < '0' || *p > '9') return HttpHeaderLine::kBadLength;
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        // Counting stops above the cap: the value is only ever "too large" from there on.
        if (value <= lengthCap) value = value * 10 + (*p - '0');
    }
    while (*p == ' ' || *p == '\t' || *p == '\r') ++p;
    if (*p != '\0') return HttpHeaderLine::kBadLength;
    *contentLength = value > lengthCap ? lengthCap + 1 : value;
    return HttpHeaderLine::kHeader;
}
