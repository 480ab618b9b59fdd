// The network state and the connection table: handles, lookups, new and freed records.
#include <cstring>

#include "base/log.h"
#include "base/handle_area_end.h"
#include "base/tracked_memory.h"
#include "net/network_internal.h"

NetWorkState& GetNetWorkState() {
    static NetWorkState state = [] {
        NetWorkState initial{};
        initial.listenSocket = plat::INVALID_SOCKET;
        return initial;
    }();
    return state;
}

HandleValue SocketRecordHandle(const SocketRecord* record) {
    return MakeHandleValue(kHandleKindNetConnection, record->checkNumber, record->slot);
}

SocketRecord* CheckSocketHandle(HandleValue handle, const char* operation, const char* errorName) {
    NetWorkState& state = GetNetWorkState();
    const int32_t slot = CheckHandleSlot(handle, kHandleKindNetConnection, kMaxNetConnectionHandles);
    if (slot < 0) return nullptr;
    SocketRecord* record = state.slots[slot];
    if (record == nullptr || !record->inUse || !HandleSerialMatches(handle, record->checkNumber)) {
        LogFormat("有効なネットワークハンドルではありません in %s", operation);
        return nullptr;
    }
    if (record->error && errorName != nullptr) {
        LogFormat("このネットワークハンドルにはエラーが発生しています in %s", errorName);
        return nullptr;
    }
    return record;
}

SocketRecord* FindSocketRecord(plat::Socket socket) {
    NetWorkState& state = GetNetWorkState();
    for (int32_t i = 0; i < state.areaEnd; ++i) {
        SocketRecord* record = state.slots[i];
        if (record != nullptr && record->inUse && record->socket == socket) return record;
    }
    return nullptr;
}

SocketRecord* NewSocketRecord() {
    NetWorkState& state = GetNetWorkState();
    int32_t slot = -1;
    if (state.areaEnd < kMaxNetConnectionHandles) {
        slot = state.areaEnd;
    } else {
        for (int32_t i = 0; i < kMaxNetConnectionHandles; ++i) {
            if (state.slots[i] == nullptr) {
                slot = i;
                break;
            }
        }
    }
    if (slot < 0) {
        LogWrite("空きソケットデータがなかったので accept を拒否しました \n");
        return nullptr;
    }
    auto* record = static_cast<SocketRecord*>(ZN_ALLOC_ZERO(sizeof(SocketRecord)));
    if (record == nullptr) {
        LogWrite("ソケット用のメモリの確保に失敗しました\n");
        return nullptr;
    }
    record->inUse = 1;
    record->framedRecv = state.rawRecvSetting ? 0 : 1;
    record->framedSend = state.rawSendSetting ? 0 : 1;
    record->bufferLimit =
        state.bufferLimitSetting > 0 ? state.bufferLimitSetting : kMaxNetWorkMessage;
    record->socket = plat::INVALID_SOCKET;
    record->slot = slot;
    record->checkNumber = TakeHandleSerial(&state.checkCounter);
    state.slots[slot] = record;
    if (slot >= state.areaEnd) state.areaEnd = slot + 1;
    ++state.count;
    return record;
}

void FreeSocketRecord(SocketRecord* record) {
    NetWorkState& state = GetNetWorkState();
    FreeNetWorkRing(&record->recvRing);
    FreeNetWorkRing(&record->sendRing);
    state.slots[record->slot] = nullptr;
    --state.count;
    LowerHandleAreaEnd(state, record->slot);
    TrackedFree(record);
}

void DropSocketRecord(SocketRecord* record) {
    if (record->socket != plat::INVALID_SOCKET) {
        plat::WSAAsyncSelect(record->socket, 0, 0, 0);
        plat::closesocket(record->socket);
    }
    FreeSocketRecord(record);
}
