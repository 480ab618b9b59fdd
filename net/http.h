// HTTP/1.0 transfers: GET, POST and HEAD requests whose reply bodies go to a file or to
// memory, up to 100 at a time, each advanced a step at a time from the message pump over a
// raw network connection (network.h). A transfer is named by its slot (0..99); it stays in
// its slot after it ended until DeleteHttpTransfer, so that its result can be read.
//
// Every transfer has a time limit and a body limit: a reply that does not end in time, whose
// Content-Length is above the limit, whose body grows past it, or whose head has a line
// longer than 255 bytes fails the transfer.
#pragma once
#include <cstdint>

enum HttpRequestType : int32_t { kHttpGet = 0, kHttpPost = 1, kHttpHead = 2 };

// Results.
constexpr int32_t kHttpRunning = -1;
constexpr int32_t kHttpDone = 0;
constexpr int32_t kHttpFailed = 2;

// Details of a failure.
constexpr int32_t kHttpDetailNone = -1;
constexpr int32_t kHttpDetailStatus = 0;          // a status other than 200 and 404
constexpr int32_t kHttpDetailNotFound = 1;        // status 404
constexpr int32_t kHttpDetailNoMemory = 2;
constexpr int32_t kHttpDetailConnectionLost = 3;
constexpr int32_t kHttpDetailTimedOut = 4;        // the time limit passed
constexpr int32_t kHttpDetailBadReply = 5;        // a head line too long, a bad Content-Length
constexpr int32_t kHttpDetailTooLarge = 6;        // the body is above the body limit
constexpr int32_t kHttpDetailFileWrite = 7;       // the body file could not be written

constexpr int kMaxHttpTransfers = 100;

// Defaults of the limits for transfers started from now on.
constexpr uint32_t kDefaultHttpTimeLimitMs = 120000;
constexpr int32_t kDefaultHttpBodyLimit = 64 * 1024 * 1024;

// Limits of transfers started from now on: time in ms of the millisecond clock from the start
// (1 and up), body bytes (0 and up). 0 or -1.
int SetHttpTimeLimit(uint32_t milliseconds);
int SetHttpBodyLimit(int32_t bytes);

// Starting a transfer: the slot, or -1 (log line). The host is a name or a dotted address;
// host and path may hold no control characters. A body to memory is a block of tracked
// memory whose address is written to *bufferOut as soon as it exists (the caller keeps the
// pointer's place valid while the transfer runs and frees the block with FreeHttpBuffer); a
// failed transfer frees it and sets *bufferOut to null. A file is created anew.
int HttpGetToFile(const char* host, const char* path, int port, const char* fileName);
int HttpGetToMemory(const char* host, const char* path, int port, void** bufferOut);
int HttpPostToMemory(const char* host, const char* path, int port, const void* data, int size,
                     void** bufferOut);
int HttpHead(const char* host, const char* path, int port);

// The state of a transfer: result (kHttpRunning, kHttpDone, kHttpFailed) and detail. 0, or -1
// for a slot with no transfer.
int GetHttpTransferResult(int slot, int32_t* result, int32_t* detail);
// The reply's Content-Length (-1 unknown) and the body bytes received so far. 0 or -1.
int GetHttpTransferSize(int slot, int32_t* contentLength, int32_t* received);
// Ends a transfer (one still running ends with result done) and frees its slot. 0 or -1.
int DeleteHttpTransfer(int slot);
void FreeHttpBuffer(void* buffer);

// The pump's steps.
int StepHttpTransfer(int slot);
int StepAllHttpTransfers();
// Deletes every transfer. 0.
int TermHttp();
// Start-up: every slot free and the count 0.
int ClearHttpHandleTable();
// Live transfers.
int GetHttpTransferCount();
