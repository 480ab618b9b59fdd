// The pump's side of the network: polling the sockets, the network window's messages, the
// socket notification and the closing of connections that failed or were closed by the peer.
#include "base/log.h"
#include "platform/core/thread.h"
#include "platform/window/window.h"
#include "net/network_internal.h"

namespace {

// Messages dispatched in one call at most, so that a flood cannot hold the pump.
constexpr int kMaxDispatchPerCall = 4096;

}  // namespace

void PumpNetWorkWindow() { ProcessSocketMessages(0); }

int ProcessSocketMessages(int flag) {
    NetWorkState& state = GetNetWorkState();
    if (!state.started || state.window == 0 || state.windowDestroyed) return 0;
    // The notices go to the network window's queue, which only its own thread empties. Another
    // thread (the library's pump thread) does not poll: what it posted would pile up there
    // while that thread is away (each read re-arms FD_READ, and an HTTP step reads many
    // times) until the queue is full and refuses every message, a later FD_READ among them.
    const bool windowThread = plat::GetWindowThreadId(state.window) == plat::CurrentThreadId();
    if (windowThread) plat::PollSocketEvents();
    if (flag == 1) {
        for (int32_t i = 0; i < state.areaEnd; ++i) {
            SocketRecord* record = state.slots[i];
            if (record == nullptr || !record->inUse) continue;
            if (record->error || (record->peerClosed && record->closedPolled)) {
                CloseNetWork(SocketRecordHandle(record));
            }
        }
    }
    if (!windowThread) return 0;
    plat::Message message;
    for (int i = 0; i < kMaxDispatchPerCall; ++i) {
        if (!plat::PeekMessage(&message, state.window, 0, 0, plat::PM_REMOVE)) break;
        plat::DispatchMessage(&message);
    }
    return 0;
}

int HandleSocketMessage(uintptr_t eventWord, uintptr_t socket) {
    NetWorkState& state = GetNetWorkState();
    if (!state.started) return 0;
    const uint32_t event = plat::SelectEvent(eventWord);
    const int error = plat::SelectError(eventWord);
    if (event == plat::FD_ACCEPT && socket == state.listenSocket &&
        state.listenSocket != plat::INVALID_SOCKET) {
        AcceptNetWork();
        return 1;
    }
    SocketRecord* record = FindSocketRecord(socket);
    if (record == nullptr) {
        LogWrite("通信エラー No.1\n");
        return 0;
    }
    const HandleValue handle = SocketRecordHandle(record);
    switch (event) {
        case plat::FD_READ:
            RecvSocket(handle);
            break;
        case plat::FD_WRITE:
            SendSocket(handle);
            break;
        case plat::FD_CONNECT:
            if (error == 0) {
                record->connected = 1;
            } else {
                // A connection that could not be made fails, so that its owner hears of it
                // and the pump closes it.
                record->peerClosed = 1;
                record->error = 1;
                plat::WSASetLastError(error);
                NetworkLog("接続に失敗しました");
            }
            break;
        case plat::FD_CLOSE:
            record->connected = 0;
            record->closedPolled = 0;
            record->peerClosed = 1;
            break;
        default:
            break;
    }
    return 1;
}
