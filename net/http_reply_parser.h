// Reading an HTTP/1.0 reply's head: lines ended by a line feed, at most 255 bytes before it;
// the status from the status line; the body length from "Content-Length:".
#pragma once
#include <cstdint>

// Bytes of a line the transfer looks at, its line feed not counted.
constexpr int kHttpLineBytes = 255;

enum class HttpLineScan {
    kFound,     // a whole line is there
    kNeedMore,  // no line feed yet, fewer than kHttpLineBytes bytes
    kTooLong,   // kHttpLineBytes bytes and no line feed: the line cannot be read
};

// Looks for a line feed in the first bytes (count of them) of what has arrived; on kFound
// *lineLength is the number of bytes before it.
HttpLineScan FindHttpLine(const char* bytes, int count, int* lineLength);

// The status of a status line ("HTTP/1.0 200 OK"): the number after the first blank, -1
// without one.
int32_t ParseHttpStatusLine(const char* line);

enum class HttpHeaderLine {
    kHeader,          // a header; *contentLength set when it was "Content-Length:"
    kEnd,             // a line without ':' ends the head
    kBadLength,       // "Content-Length:" with something other than a decimal number
};

// One header line (without its line feed; a CR before it is allowed). A Content-Length above
// lengthCap is reported as lengthCap + 1, so that no caller takes a larger value in.
HttpHeaderLine ApplyHttpHeaderLine(const char* line, int64_t lengthCap, int64_t* contentLength);
