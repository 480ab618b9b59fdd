// The listening socket and the connections accepted on it.
#include "base/log.h"
#include "net/network_internal.h"

namespace {

constexpr int kListenBacklog = 16;
constexpr uint32_t kConnectionEvents = plat::FD_READ | plat::FD_WRITE | plat::FD_CLOSE;

}  // namespace

int StartListenNetWork(int port) {
    NetWorkState& state = GetNetWorkState();
    if (!state.started) return -1;
    if (port < 0 || port > 65535) return LogFormat("待ち受けポート %d は範囲外です", port);
    if (state.listenSocket != plat::INVALID_SOCKET) return LogWrite("既に接続を待ち受けています\n");
    const plat::Socket s = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
    if (s == plat::INVALID_SOCKET) return NetworkLog("socketに失敗しました");
    plat::SockAddrIn address{};
    address.family = plat::AF_INET_WS;
    address.port = plat::htons_ws(static_cast<uint16_t>(port));
    address.address = plat::htonl_ws(plat::INADDR_ANY_WS);
    if (plat::bind(s, &address) != 0 || plat::listen(s, kListenBacklog) != 0 ||
        plat::getsockname(s, &address) != 0 ||
        plat::WSAAsyncSelect(s, state.window, plat::WM_SOCKET_NOTIFY, plat::FD_ACCEPT) != 0) {
        NetworkLog("接続の待ち受けに失敗しました");
        plat::closesocket(s);
        return -1;
    }
    state.listenSocket = s;
    return plat::ntohs_ws(address.port);
}

int StopListenNetWork() {
    NetWorkState& state = GetNetWorkState();
    if (state.listenSocket == plat::INVALID_SOCKET) return -1;
    plat::WSAAsyncSelect(state.listenSocket, 0, 0, 0);
    plat::closesocket(state.listenSocket);
    state.listenSocket = plat::INVALID_SOCKET;
    return 0;
}

HandleValue AcceptNetWork() {
    NetWorkState& state = GetNetWorkState();
    if (!state.started || state.listenSocket == plat::INVALID_SOCKET) return kNoHandle;
    SocketRecord* record = NewSocketRecord();
    if (record == nullptr) {
        // No record for the caller (the table is full, or memory is out; logged): refuse it,
        // accepted and closed at once. Left waiting, it would never be told, and the listener
        // would hear of no caller again (the next FD_ACCEPT comes only after an accept), so
        // that slots freed later would take no one.
        const plat::Socket refused = plat::accept(state.listenSocket, nullptr);
        if (refused != plat::INVALID_SOCKET) plat::closesocket(refused);
        return kNoHandle;
    }
    plat::SockAddrIn address{};
    record->socket = plat::accept(state.listenSocket, &address);
    if (record->socket == plat::INVALID_SOCKET) {
        NetworkLog("acceptに失敗しました");
        FreeSocketRecord(record);
        return kNoHandle;
    }
    record->port = plat::ntohs_ws(address.port);
    const uint32_t host = plat::ntohl_ws(address.address);
    record->ip[0] = static_cast<uint8_t>(host >> 24);
    record->ip[1] = static_cast<uint8_t>(host >> 16);
    record->ip[2] = static_cast<uint8_t>(host >> 8);
    record->ip[3] = static_cast<uint8_t>(host);
    if (plat::WSAAsyncSelect(record->socket, state.window, plat::WM_SOCKET_NOTIFY,
                             kConnectionEvents) != 0) {
        NetworkLog("WSAAsyncSelectのエラー in AcceptNetWork");
        DropSocketRecord(record);
        return kNoHandle;
    }
    record->connected = 1;
    record->accepted = 1;
    return SocketRecordHandle(record);
}

HandleValue GetNewAcceptNetWork() {
    NetWorkState& state = GetNetWorkState();
    if (!state.started) return kNoHandle;
    PumpNetWorkWindow();
    for (int32_t i = 0; i < state.areaEnd; ++i) {
        SocketRecord* record = state.slots[i];
        if (record != nullptr && record->inUse && record->accepted && !record->announced) {
            record->announced = 1;
            return SocketRecordHandle(record);
        }
    }
    return kNoHandle;
}
