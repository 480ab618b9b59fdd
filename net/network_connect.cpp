// Connections made by this side, the connection state and the peer's address.
#include "base/log.h"
#include "net/network_internal.h"

namespace {

constexpr uint32_t kConnectEvents =
    plat::FD_CONNECT | plat::FD_READ | plat::FD_WRITE | plat::FD_CLOSE;

}  // namespace

HandleValue ConnectNetWorkWithFraming(NetIpv4 ip, int port, int framedRecv, int framedSend) {
    NetWorkState& state = GetNetWorkState();
    if (!state.started) return kNoHandle;
    if (port <= 0 || port > 65535) {
        LogFormat("接続先ポート %d は範囲外です", port);
        return kNoHandle;
    }
    SocketRecord* record = NewSocketRecord();
    if (record == nullptr) return kNoHandle;
    record->framedRecv = framedRecv ? 1 : 0;
    record->framedSend = framedSend ? 1 : 0;
    record->port = port;
    record->ip[0] = ip.d1;
    record->ip[1] = ip.d2;
    record->ip[2] = ip.d3;
    record->ip[3] = ip.d4;
    record->socket = plat::socket(plat::AF_INET_WS, plat::SOCK_STREAM_WS, 0);
    if (record->socket == plat::INVALID_SOCKET) {
        NetworkLog("socketに失敗しました");
        FreeSocketRecord(record);
        return kNoHandle;
    }
    // Registered before the connect, so that its end comes as FD_CONNECT.
    if (plat::WSAAsyncSelect(record->socket, state.window, plat::WM_SOCKET_NOTIFY,
                             kConnectEvents) != 0) {
        NetworkLog("WSAAsyncSelectのエラー in ConnectNetWork");
        DropSocketRecord(record);
        return kNoHandle;
    }
    plat::SockAddrIn address{};
    address.family = plat::AF_INET_WS;
    address.port = plat::htons_ws(static_cast<uint16_t>(port));
    address.address = plat::htonl_ws((static_cast<uint32_t>(ip.d1) << 24) |
                                     (static_cast<uint32_t>(ip.d2) << 16) |
                                     (static_cast<uint32_t>(ip.d3) << 8) | ip.d4);
    if (plat::connect(record->socket, &address) != 0 &&
        plat::WSAGetLastError() != plat::WSAEWOULDBLOCK) {
        NetworkLog("connectに失敗しました");
        DropSocketRecord(record);
        return kNoHandle;
    }
    return SocketRecordHandle(record);
}

HandleValue ConnectNetWork(NetIpv4 ip, int port) {
    const NetWorkState& state = GetNetWorkState();
    return ConnectNetWorkWithFraming(ip, port, state.rawRecvSetting ? 0 : 1,
                                     state.rawSendSetting ? 0 : 1);
}

int GetNetWorkAcceptState(HandleValue handle) {
    if (!GetNetWorkState().started) return -1;
    PumpNetWorkWindow();
    SocketRecord* record =
        CheckSocketHandle(handle, "GetNetWorkAcceptState", "GetNetWorkAcceptStateh");
    if (record == nullptr) return -1;
    // The owner now knows the peer closed: the pump may close the connection.
    if (!record->connected && record->peerClosed) record->closedPolled = 1;
    return record->connected ? 1 : 0;
}

int GetNetWorkIP(HandleValue handle, NetIpv4* ip, int* port) {
    if (!GetNetWorkState().started) return -1;
    SocketRecord* record = CheckSocketHandle(handle, "GetNetWorkIP", nullptr);
    if (record == nullptr) return -1;
    if (ip != nullptr) *ip = NetIpv4{record->ip[0], record->ip[1], record->ip[2], record->ip[3]};
    if (port != nullptr) *port = record->port;
    return 0;
}

int GetNetWorkPeerClosed(HandleValue handle) {
    if (!GetNetWorkState().started) return -1;
    SocketRecord* record = CheckSocketHandle(handle, "GetNetWorkPeerClosed", nullptr);
    if (record == nullptr) return -1;
    return record->peerClosed ? 1 : 0;
}
