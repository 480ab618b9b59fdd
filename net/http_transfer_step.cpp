// Advancing HTTP transfers from the message pump: the request goes out, then the status
// line, the header lines and the body come in, as far as the bytes that have arrived allow.
#include <algorithm>
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "platform/core/clock.h"
#include "platform/net/winsock.h"
#include "net/http_internal.h"
#include "net/http_reply_parser.h"
#include "net/network.h"

namespace {

constexpr int kBodyPiece = 4096;
// Work done in one step at most, so that one transfer cannot hold the pump.
constexpr int kMaxLinesPerStep = 64;
constexpr int kMaxPiecesPerStep = 64;
// The first block of a memory body of unknown length.
constexpr int32_t kFirstBodyBlock = 4096;

enum class Progress { kWaiting, kAdvanced, kEnded };

Progress Fail(HttpTransfer* transfer, int32_t detail) {
    FinishHttpTransfer(transfer, kHttpFailed, detail);
    return Progress::kEnded;
}

Progress Succeed(HttpTransfer* transfer) {
    FinishHttpTransfer(transfer, kHttpDone, kHttpDetailNone);
    return Progress::kEnded;
}

// A raw result below 0 that only means "nothing yet". The error is cleared before each call
// below, so that a failure that set none is not taken for one.
bool WouldBlock(int result) { return result < 0 && plat::WSAGetLastError() == plat::WSAEWOULDBLOCK; }

int Send(HttpTransfer* transfer, const void* data, int length) {
    plat::WSASetLastError(0);
    return NetWorkSend(transfer->connection, data, length);
}

int Take(HttpTransfer* transfer, void* buffer, int length) {
    plat::WSASetLastError(0);
    return NetWorkRecv(transfer->connection, buffer, length);
}

int Peek(HttpTransfer* transfer, void* buffer, int length) {
    plat::WSASetLastError(0);
    return NetWorkRecvToPeek(transfer->connection, buffer, length);
}

// The bytes the next line of the head is looked for in (kNetWorkLineBytes at most). The
// connection takes them out of the socket as they arrive, so that an unfinished line cannot
// hold the socket's receive memory and keep the rest of the head away.
int PeekLine(HttpTransfer* transfer, char* bytes) {
    plat::WSASetLastError(0);
    return PeekNetWorkLine(transfer->connection, bytes);
}
static_assert(kHttpLineBytes == kNetWorkLineBytes, "the connection holds a whole head line");

Progress SendRequest(HttpTransfer* transfer) {
    const int peerClosed = GetNetWorkPeerClosed(transfer->connection);
    if (peerClosed != 0) return Fail(transfer, kHttpDetailConnectionLost);
    const int state = GetNetWorkAcceptState(transfer->connection);
    if (state < 0) return Fail(transfer, kHttpDetailConnectionLost);
    if (state == 0) return Progress::kWaiting;
    while (transfer->requestSent < transfer->requestSize) {
        const int sent = Send(transfer, transfer->request + transfer->requestSent,
                              transfer->requestSize - transfer->requestSent);
        if (WouldBlock(sent)) return Progress::kWaiting;
        if (sent <= 0) return Fail(transfer, kHttpDetailConnectionLost);
        transfer->requestSent += sent;
    }
    transfer->step = 1;
    return Progress::kAdvanced;
}

// Takes the next line of the head into line (kHttpLineBytes + 1 bytes). kAdvanced with a
// line, kWaiting, or kEnded after failing the transfer.
Progress TakeLine(HttpTransfer* transfer, char* line) {
    char peeked[kNetWorkLineBytes];
    const int got = PeekLine(transfer, peeked);
    if (WouldBlock(got)) return Progress::kWaiting;
    if (got <= 0) return Fail(transfer, kHttpDetailConnectionLost);
    int length = 0;
    switch (FindHttpLine(peeked, got, &length)) {
        case HttpLineScan::kFound:
            break;
        case HttpLineScan::kTooLong:
            LogFormat("HTTP の応答の行が %d byte を超えています", kHttpLineBytes);
            return Fail(transfer, kHttpDetailBadReply);
        case HttpLineScan::kNeedMore:
            // A peer that has closed sends no more: the line stays unfinished.
            if (GetNetWorkPeerClosed(transfer->connection) != 0) {
                return Fail(transfer, kHttpDetailConnectionLost);
            }
            return Progress::kWaiting;
    }
    std::memcpy(line, peeked, static_cast<size_t>(length));
    line[length] = '\0';
    if (Take(transfer, peeked, length + 1) != length + 1) {
        return Fail(transfer, kHttpDetailConnectionLost);
    }
    return Progress::kAdvanced;
}

Progress ReadStatus(HttpTransfer* transfer) {
    char line[kHttpLineBytes + 1];
    const Progress progress = TakeLine(transfer, line);
    if (progress != Progress::kAdvanced) return progress;
    const int32_t status = ParseHttpStatusLine(line);
    if (status != 200) {
        if (transfer->type == kHttpGet) LogFormat("接続に失敗しました (戻り値:%d)", static_cast<int>(status));
        return Fail(transfer, status == 404 ? kHttpDetailNotFound : kHttpDetailStatus);
    }
    transfer->step = 2;
    return Progress::kAdvanced;
}

// Room for `extra` more body bytes in memory, growing the block up to the body limit.
bool ReserveBody(HttpTransfer* transfer, int32_t extra) {
    const int64_t needed = static_cast<int64_t>(transfer->received) + extra;
    if (needed <= transfer->bodyCapacity) return true;
    int64_t capacity = std::max<int64_t>(transfer->bodyCapacity * 2LL, kFirstBodyBlock);
    capacity = std::max(capacity, needed);
    capacity = std::min<int64_t>(capacity, std::max<int64_t>(transfer->bodyLimit, 1));
    auto* block = static_cast<unsigned char*>(ZN_ALLOC(static_cast<size_t>(capacity)));
    if (block == nullptr) return false;
    if (transfer->received > 0) std::memcpy(block, transfer->body, static_cast<size_t>(transfer->received));
    TrackedFree(transfer->body);
    transfer->body = block;
    transfer->bodyCapacity = static_cast<int32_t>(capacity);
    if (transfer->memoryOut != nullptr) *transfer->memoryOut = block;
    return true;
}

Progress EndHead(HttpTransfer* transfer) {
    if (transfer->type == kHttpHead) return Succeed(transfer);
    if (transfer->toMemory && transfer->contentLength >= 0) {
        // The whole body's block at once (at least one byte, so that an empty body has one).
        const int32_t length = static_cast<int32_t>(transfer->contentLength);
        if (!ReserveBody(transfer, std::max<int32_t>(length, 1))) {
            LogFormat("受信データ用のメモリ %d byte の確保に失敗しました", static_cast<int>(length));
            return Fail(transfer, kHttpDetailNoMemory);
        }
    }
    transfer->step = 3;
    return Progress::kAdvanced;
}

Progress ReadHeaders(HttpTransfer* transfer) {
    for (int i = 0; i < kMaxLinesPerStep; ++i) {
        char line[kHttpLineBytes + 1];
        const Progress progress = TakeLine(transfer, line);
        if (progress != Progress::kAdvanced) return progress;
        int64_t length = transfer->contentLength;
        switch (ApplyHttpHeaderLine(line, transfer->bodyLimit, &length)) {
            case HttpHeaderLine::kEnd:
                return EndHead(transfer);
            case HttpHeaderLine::kBadLength:
                LogWrite("HTTP の応答の Content-Length が不正です\n");
                return Fail(transfer, kHttpDetailBadReply);
            case HttpHeaderLine::kHeader:
                break;
        }
        if (length > transfer->bodyLimit) {
            LogFormat("HTTP の応答のサイズが上限 %d byte を超えています", static_cast<int>(transfer->bodyLimit));
            return Fail(transfer, kHttpDetailTooLarge);
        }
        transfer->contentLength = length;
    }
    return Progress::kWaiting;
}

Progress ReadBody(HttpTransfer* transfer) {
    for (int i = 0; i < kMaxPiecesPerStep; ++i) {
        const bool lengthKnown = transfer->contentLength >= 0;
        if (lengthKnown && transfer->received >= transfer->contentLength) return Succeed(transfer);
        int32_t want = kBodyPiece;
        if (lengthKnown) {
            want = static_cast<int32_t>(std::min<int64_t>(want, transfer->contentLength - transfer->received));
        } else if (transfer->received >= transfer->bodyLimit) {
            // One more byte would pass the limit: is there one?
            char probe;
            const int got = Peek(transfer, &probe, 1);
            if (WouldBlock(got)) return Progress::kWaiting;
            if (got == 0) return Succeed(transfer);
            LogFormat("HTTP の応答のサイズが上限 %d byte を超えています", static_cast<int>(transfer->bodyLimit));
            return Fail(transfer, kHttpDetailTooLarge);
        } else {
            want = std::min(want, transfer->bodyLimit - transfer->received);
        }
        unsigned char piece[kBodyPiece];
        unsigned char* target = piece;
        if (transfer->toMemory) {
            if (!ReserveBody(transfer, want)) {
                LogWrite("受信データ用のメモリの確保に失敗しました\n");
                return Fail(transfer, kHttpDetailNoMemory);
            }
            target = transfer->body + transfer->received;
        }
        const int got = Take(transfer, target, want);
        if (WouldBlock(got)) return Progress::kWaiting;
        if (got == 0) {
            // The peer closed: the end of a body without a length, else a cut-off one.
            return lengthKnown ? Fail(transfer, kHttpDetailConnectionLost) : Succeed(transfer);
        }
        if (got < 0) return Fail(transfer, kHttpDetailConnectionLost);
        if (!transfer->toMemory && plat::WriteFile(transfer->file, piece, static_cast<size_t>(got)) != got) {
            LogWrite("受信したデータのファイルへの書き込みに失敗しました\n");
            return Fail(transfer, kHttpDetailFileWrite);
        }
        transfer->received += got;
    }
    return Progress::kWaiting;
}

}  // namespace

int StepHttpTransfer(int slot) {
    HttpTransfer* transfer = GetHttpTransfer(slot);
    if (transfer == nullptr) return -1;
    if (transfer->result != kHttpRunning) return 0;
    if (plat::MillisecondClock() - transfer->startTime >= transfer->timeLimit) {
        LogFormat("HTTP の転送が制限時間 %u ms を過ぎたので打ち切ります", transfer->timeLimit);
        Fail(transfer, kHttpDetailTimedOut);
        return 0;
    }
    Progress progress = Progress::kAdvanced;
    while (progress == Progress::kAdvanced) {
        switch (transfer->step) {
            case 0: progress = SendRequest(transfer); break;
            case 1: progress = ReadStatus(transfer); break;
            case 2: progress = ReadHeaders(transfer); break;
            case 3: progress = ReadBody(transfer); break;
            default: progress = Progress::kEnded; break;
        }
    }
    return 0;
}

int StepAllHttpTransfers() {
    const HttpHandleTable& table = GetHttpHandleTable();
    int stepped = 0;
    for (int slot = 0; slot < kMaxHttpTransfers && stepped < table.count; ++slot) {
        if (!table.slots[slot].inUse) continue;
        StepHttpTransfer(slot);
        ++stepped;
    }
    return 0;
}
