// Receiving: the framed receive step from the socket into the ring, and the reads of the
// connection's owner.
#include <algorithm>
#include <cstring>

#include "base/log.h"
#include "net/network_counters.h"
#include "net/network_internal.h"
#include "net/network_ring.h"

namespace {

// Reads the 4-byte length of the next message, keeping the bytes that have arrived when it
// is not all there. 1 when a message was started, 0 when the length is not all there, -1
// when the length is refused or no room.
int StartMessage(SocketRecord* record) {
    while (record->lengthWordBytes < 4) {
        const int got = plat::recv(record->socket, record->lengthWord + record->lengthWordBytes,
                                   4 - record->lengthWordBytes, 0);
        if (got <= 0) return 0;
        record->lengthWordBytes += got;
    }
    record->lengthWordBytes = 0;
    const uint8_t* word = record->lengthWord;
    const uint32_t length = static_cast<uint32_t>(word[0]) | (static_cast<uint32_t>(word[1]) << 8) |
                            (static_cast<uint32_t>(word[2]) << 16) |
                            (static_cast<uint32_t>(word[3]) << 24);
    // A length beyond the connection's limit is never trusted with memory.
    if (length > static_cast<uint32_t>(record->bufferLimit)) {
        LogFormat("受信データのサイズ %u byte が上限 %d byte を超えているので接続を閉じます",
                  length, static_cast<int>(record->bufferLimit));
        record->error = 1;
        return -1;
    }
    // The ring grows by doubling up to the limit where receiving pauses, so that a run of
    // small messages does not move the whole ring for each one.
    if (ReserveNetWorkRing(length, static_cast<uint32_t>(record->bufferLimit), &record->recvRing) != 0) {
        LogFormat("受信データを保存するリングバッファのリサイズに失敗しました(データサイズ %d byte)",
                  static_cast<int>(length));
        record->error = 1;
        return -1;
    }
    record->inMessage = 1;
    record->messageLength = static_cast<int32_t>(length);
    record->missing = static_cast<int32_t>(length);
    return 1;
}

// Reads what has arrived of the message in progress, up to `budget` bytes, into the ring's
// free part (a part per block, and two when it wraps). The bytes read.
uint32_t ReadMessageBytes(SocketRecord* record, uint32_t budget) {
    NetWorkRing& ring = record->recvRing;
    uint32_t total = 0;
    while (record->missing > 0 && total < budget) {
        unsigned char* at = nullptr;
        const uint32_t room = NetWorkRingWritable(ring, &at);
        const uint32_t want =
            std::min({static_cast<uint32_t>(record->missing), room, budget - total});
        if (want == 0) break;
        const int got = plat::recv(record->socket, at, static_cast<int>(want), 0);
        if (got <= 0) break;
        CommitNetWorkRing(static_cast<uint32_t>(got), &ring);
        record->missing -= got;
        total += static_cast<uint32_t>(got);
        if (static_cast<uint32_t>(got) < want) break;
    }
    return total;
}

// The record for a read, or null; the network is started and the window pumped first.
SocketRecord* RecordForRead(HandleValue handle, const char* operation) {
    if (!GetNetWorkState().started) return nullptr;
    PumpNetWorkWindow();
    return CheckSocketHandle(handle, operation, operation);
}

// True while receiving pauses because the ring holds the connection's limit.
bool RecvPaused(const SocketRecord* record) {
    return record->recvRing.length >= static_cast<uint32_t>(record->bufferLimit) &&
           record->recvRing.length > 0;
}

// Framed reads and peeks of complete-message bytes.
int ReadComplete(SocketRecord* record, void* buffer, int length, int take) {
    if (length < 0 || (buffer == nullptr && length > 0)) return -1;
    if (record->completeBytes < length) return -1;
    const bool paused = take && !record->inMessage && RecvPaused(record);
    if (ReadNetWorkRing(buffer, static_cast<uint32_t>(length), take, &record->recvRing) != 0) {
        return -1;
    }
    if (take) {
        record->completeBytes -= length;
        // Receiving paused at the buffer limit and left the socket unread, so no FD_READ
        // comes for it: room was made, receive now. (While receiving runs, FD_READ brings
        // the rest; receiving after every read would make each read pay for the flood.)
        if (paused) RecvSocket(SocketRecordHandle(record));
    }
    return 0;
}

// Raw reads: the bytes held by a line read, up to `length`, taken or peeked. The count.
int ReadHeldLineBytes(SocketRecord* record, void* buffer, int length, int take) {
    const int count = std::min(length, static_cast<int>(record->lineBytesHeld));
    std::memcpy(buffer, record->lineBytes, static_cast<size_t>(count));
    if (take) {
        record->lineBytesHeld -= count;
        std::memmove(record->lineBytes, record->lineBytes + count,
                     static_cast<size_t>(record->lineBytesHeld));
    }
    return count;
}

// Raw reads that the held bytes answer (a null buffer or a length of 0 still goes to the
// socket, which answers it as it always did).
bool HeldLineBytesAnswer(const SocketRecord* record, const void* buffer, int length) {
    return record->lineBytesHeld > 0 && buffer != nullptr && length > 0;
}

// The bytes the next line is looked for in (kNetWorkLineBytes at most) into `bytes`; see
// PeekNetWorkLine.
int PeekLineBytes(SocketRecord* record, char* bytes) {
    if (record->framedRecv) {
        const int count = std::min(kNetWorkLineBytes, static_cast<int>(record->completeBytes));
        if (count <= 0) return -1;
        if (ReadNetWorkRing(bytes, static_cast<uint32_t>(count), 0, &record->recvRing) != 0) return -1;
        return count;
    }
    int held = record->lineBytesHeld;
    // The socket is read only when the held bytes hold no line and leave room: taking the
    // line's start out of the socket frees the receive memory it held, so the rest can come.
    if (held < kNetWorkLineBytes &&
        std::memchr(record->lineBytes, '\n', static_cast<size_t>(held)) == nullptr) {
        const int got =
            plat::recv(record->socket, record->lineBytes + held, kNetWorkLineBytes - held, 0);
        if (got > 0) {
            held += got;
            record->lineBytesHeld = held;
        } else if (held == 0) {
            return got;
        }
    }
    std::memcpy(bytes, record->lineBytes, static_cast<size_t>(held));
    return held;
}

}  // namespace

int RecvSocket(HandleValue handle) {
    NetWorkState& state = GetNetWorkState();
    if (!state.started) return -1;
    SocketRecord* record = CheckSocketHandle(handle, "RecvSocket", "RecvSocket");
    if (record == nullptr) return -1;
    if (!record->framedRecv || state.recvGuard) return 0;
    state.recvGuard = 1;
    int result = 0;
    uint32_t moved = 0;
    while (moved < kNetWorkRecvStepBytes) {
        if (!record->inMessage) {
            // Receiving pauses while the ring holds its limit; the peer waits for room.
            if (RecvPaused(record) || moved + 4 > kNetWorkRecvStepBytes) break;
            const int started = StartMessage(record);
            if (started < 0) {
                result = -1;
                break;
            }
            if (started == 0) break;
            moved += 4;
        }
        moved += ReadMessageBytes(record, kNetWorkRecvStepBytes - moved);
        if (record->missing > 0) break;
        record->completeBytes += record->messageLength;
        record->inMessage = 0;
        record->messageLength = 0;
    }
    if (moved > 0) NoteNetWorkRecvStep(moved);
    state.recvGuard = 0;
    return result;
}

int NetWorkRecv(HandleValue handle, void* buffer, int length) {
    SocketRecord* record = RecordForRead(handle, "NetWorkRecv");
    if (record == nullptr) return -1;
    if (!record->framedRecv) {
        if (HeldLineBytesAnswer(record, buffer, length)) {
            return ReadHeldLineBytes(record, buffer, length, 1);
        }
        return plat::recv(record->socket, buffer, length, 0);
    }
    return ReadComplete(record, buffer, length, 1);
}

int NetWorkRecvToPeek(HandleValue handle, void* buffer, int length) {
    SocketRecord* record = RecordForRead(handle, "NetWorkRecvToPeek");
    if (record == nullptr) return -1;
    if (!record->framedRecv) {
        if (HeldLineBytesAnswer(record, buffer, length)) {
            return ReadHeldLineBytes(record, buffer, length, 0);
        }
        return plat::recv(record->socket, buffer, length, plat::MSG_PEEK_WS);
    }
    return ReadComplete(record, buffer, length, 0);
}

int PeekNetWorkLine(HandleValue handle, char* bytes) {
    if (bytes == nullptr) return -1;
    SocketRecord* record = RecordForRead(handle, "PeekNetWorkLine");
    if (record == nullptr) return -1;
    return PeekLineBytes(record, bytes);
}

int NetWorkRecvLine(HandleValue handle, char* text) {
    if (text == nullptr) return -1;
    SocketRecord* record = RecordForRead(handle, "NetWorkRecvLine");
    if (record == nullptr) return -1;
    char peeked[kNetWorkLineBytes];
    const int got = PeekLineBytes(record, peeked);
    if (got <= 0) return -1;
    const char* feed = static_cast<const char*>(std::memchr(peeked, '\n', static_cast<size_t>(got)));
    if (feed == nullptr) return -1;
    const int lineLength = static_cast<int>(feed - peeked);
    std::memcpy(text, peeked, static_cast<size_t>(lineLength));
    text[lineLength] = '\0';
    // Through the line feed.
    const int consumed = lineLength + 1;
    if (record->framedRecv) {
        ReadComplete(record, peeked, consumed, 1);
    } else {
        ReadHeldLineBytes(record, peeked, consumed, 1);
    }
    return 0;
}

int GetNetWorkDataLength(HandleValue handle) {
    SocketRecord* record = RecordForRead(handle, "GetNetWorkDataLength");
    if (record == nullptr) return -1;
    if (record->framedRecv) return record->completeBytes;
    if (record->lineBytesHeld > 0) return 1;
    uint32_t waiting = 0;
    if (plat::BytesWaiting(record->socket, &waiting) != 0) return -1;
    return waiting > 0 ? 1 : 0;
}
