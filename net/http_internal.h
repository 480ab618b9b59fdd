// The HTTP transfer table and the record of one transfer.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "platform/core/file.h"
#include "net/http.h"

struct HttpTransfer {
    int32_t inUse;
    int32_t type;            // HttpRequestType
    int32_t step;            // 0 request, 1 status line, 2 headers, 3 body, 4 ended
    int32_t result;
    int32_t detail;
    HandleValue connection;
    int32_t toMemory;        // 0 file, 1 memory
    plat::File* file;
    void** memoryOut;        // where the caller keeps the body's address
    int64_t contentLength;   // -1 unknown
    int32_t received;
    char host[256];
    char path[1024];
    void* postData;
    int32_t postSize;
    int32_t port;
    // The request as it goes out, and how much of it went.
    char* request;
    int32_t requestSize;
    int32_t requestSent;
    // The memory body and its size.
    unsigned char* body;
    int32_t bodyCapacity;
    uint32_t startTime;      // millisecond clock
    uint32_t timeLimit;
    int32_t bodyLimit;
};

struct HttpHandleTable {
    HttpTransfer slots[kMaxHttpTransfers];
    int32_t count;
    uint32_t timeLimitSetting;  // 0: the default
    int32_t bodyLimitSetting;   // -1: the default
};

HttpHandleTable& GetHttpHandleTable();
// The transfer in a slot, or null.
HttpTransfer* GetHttpTransfer(int slot);
// Ends the transfer: closes the connection, frees the request and POST data, closes the
// file; result and detail are set when still unset; a failed memory transfer frees the body
// and clears the caller's pointer.
void FinishHttpTransfer(HttpTransfer* transfer, int32_t result, int32_t detail);
