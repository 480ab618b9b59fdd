// libFuzzer target of the HTTP reply parser: the input is a whole reply as it arrives, taken
// apart the way a transfer does it (lines of at most 255 bytes, the status, the headers with
// a capped Content-Length, then the body counted against it).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "net/http_reply_parser.h"

namespace {
constexpr int64_t kBodyLimit = 1 << 20;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    size_t at = 0;
    int64_t contentLength = -1;
    bool status = true;
    for (;;) {
        const int count = static_cast<int>(size - at < static_cast<size_t>(kHttpLineBytes)
                                               ? size - at
                                               : static_cast<size_t>(kHttpLineBytes));
        int length = 0;
        if (FindHttpLine(bytes + at, count, &length) != HttpLineScan::kFound) return 0;
        if (length < 0 || length >= kHttpLineBytes || at + length >= size) __builtin_trap();
        char line[kHttpLineBytes + 1];
        std::memcpy(line, bytes + at, static_cast<size_t>(length));
        line[length] = '\0';
        at += static_cast<size_t>(length) + 1;
        if (status) {
            if (ParseHttpStatusLine(line) != 200) return 0;
            status = false;
            continue;
        }
        int64_t value = contentLength;
        const HttpHeaderLine kind = ApplyHttpHeaderLine(line, kBodyLimit, &value);
        if (kind == HttpHeaderLine::kBadLength) return 0;
        if (kind == HttpHeaderLine::kEnd) break;
        if (value > kBodyLimit + 1 || value < -1) __builtin_trap();
        if (value > kBodyLimit) return 0;
        contentLength = value;
    }
    const int64_t body = static_cast<int64_t>(size - at);
    const int64_t taken = contentLength >= 0 && contentLength < body ? contentLength : body;
    if (taken > kBodyLimit + static_cast<int64_t>(size)) __builtin_trap();
    return 0;
}
