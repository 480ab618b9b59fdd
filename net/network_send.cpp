// Sending: the owner's sends and the framed send step from the ring to the socket.
#include <algorithm>

#include "base/log.h"
#include "net/network_internal.h"
#include "net/network_ring.h"

int SendSocket(HandleValue handle) {
    NetWorkState& state = GetNetWorkState();
    if (!state.started) return -1;
    SocketRecord* record = CheckSocketHandle(handle, "SendSocket", "SendSocket");
    if (record == nullptr) return -1;
    if (!record->framedSend || state.sendGuard) return 0;
    state.sendGuard = 1;
    NetWorkRing& ring = record->sendRing;
    // The ring holds the bytes as they go out (each length word before its message): send
    // from its start, a block's part at a time, until the socket takes less than offered
    // (FD_WRITE then brings the rest, once the socket can take more).
    while (ring.length > 0) {
        const unsigned char* at = nullptr;
        const uint32_t offered = NetWorkRingReadable(ring, &at);
        const int sent = plat::send(record->socket, at, static_cast<int>(offered), 0);
        if (sent <= 0) break;
        DropNetWorkRing(static_cast<uint32_t>(sent), &ring);
        if (static_cast<uint32_t>(sent) < offered) break;
    }
    state.sendGuard = 0;
    return 0;
}

int NetWorkSend(HandleValue handle, const void* data, int length) {
    if (!GetNetWorkState().started) return -1;
    PumpNetWorkWindow();
    SocketRecord* record = CheckSocketHandle(handle, "NetWorkSend", "NetWorkSend");
    if (record == nullptr) return -1;
    if (length < 0 || (data == nullptr && length > 0)) {
        return LogFormat("送信データの指定が不正です(長さ %d byte) in NetWorkSend", length);
    }
    if (!record->connected) return -1;
    if (!record->framedSend) return plat::send(record->socket, data, length, 0);
    // No framed receiver takes more in one message.
    if (length > kMaxNetWorkMessage) {
        return LogFormat("送信データ %d byte は一度に送れる上限 %d byte を超えています in NetWorkSend",
                         length, static_cast<int>(kMaxNetWorkMessage));
    }

    const uint32_t size = static_cast<uint32_t>(length);
    const unsigned char word[4] = {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                   static_cast<unsigned char>(size >> 16),
                                   static_cast<unsigned char>(size >> 24)};
    // Room for both first, so that a length word never goes out without its message (the
    // ring doubles as it grows, so queuing many small messages stays linear).
    if (ReserveNetWorkRing(4 + size, UINT32_MAX, &record->sendRing) != 0) {
        LogFormat("リングバッファへのデータの追加に失敗しました(追加する長さ %d byte)", length + 4);
        return LogFormat("送信データ %d byte の追加に失敗しました in NewWorkSend", length);
    }
    AddNetWorkRing(word, 4, &record->sendRing);
    AddNetWorkRing(data, size, &record->sendRing);
    SendSocket(handle);
    return 0;
}

int GetNetWorkSendDataLength(HandleValue handle) {
    if (!GetNetWorkState().started) return -1;
    SocketRecord* record = CheckSocketHandle(handle, "GetNetWorkSendDataLength", nullptr);
    if (record == nullptr) return -1;
    return static_cast<int>(record->sendRing.length);
}
