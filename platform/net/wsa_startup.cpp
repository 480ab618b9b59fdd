#include <unistd.h>

#include "platform/net/socket_internal.h"

namespace plat {

namespace net {

SocketLayer& GetSocketLayer() {
    static SocketLayer layer;
    return layer;
}

SocketEntry* FindEntryLocked(SocketLayer& layer, Socket s) {
    if (layer.startCount == 0) {
        Fail(WSANOTINITIALISED);
        return nullptr;
    }
    auto found = layer.sockets.find(s);
    if (found == layer.sockets.end()) {
        Fail(WSAENOTSOCK);
        return nullptr;
    }
    return &found->second;
}

}  // namespace net

int WSAStartup() {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    ++layer.startCount;
    return 0;
}

int WSACleanup() {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    if (layer.startCount == 0) return net::Fail(WSANOTINITIALISED);
    if (--layer.startCount == 0) {
        for (auto& [value, entry] : layer.sockets) ::close(entry.fd);
        layer.sockets.clear();
    }
    return 0;
}

}  // namespace plat
