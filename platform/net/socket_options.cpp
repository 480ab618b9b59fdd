// Socket options: the sizes of a socket's send and receive buffers.
#include <sys/socket.h>

#include <mutex>

#include "platform/net/socket_internal.h"

namespace plat {

namespace {

// The native name of a buffer-size option, or -1 (WSAENOPROTOOPT set) for any other.
int NativeBufferOption(int level, int name) {
    if (level == SOL_SOCKET_WS && name == SO_SNDBUF_WS) return SO_SNDBUF;
    if (level == SOL_SOCKET_WS && name == SO_RCVBUF_WS) return SO_RCVBUF;
    return net::Fail(WSAENOPROTOOPT);
}

}  // namespace

int setsockopt(Socket s, int level, int name, const void* value, int length) {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    const net::SocketEntry* entry = net::FindEntryLocked(layer, s);
    if (entry == nullptr) return -1;
    const int native = NativeBufferOption(level, name);
    if (native < 0) return -1;
    if (value == nullptr || length != static_cast<int>(sizeof(int))) return net::Fail(WSAEFAULT);
    const int bytes = *static_cast<const int*>(value);
    if (bytes < 0) return net::Fail(WSAEINVAL);
    if (::setsockopt(entry->fd, SOL_SOCKET, native, &bytes, sizeof(bytes)) != 0) {
        return net::FailFromErrno();
    }
    return 0;
}

int getsockopt(Socket s, int level, int name, void* value, int* length) {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    const net::SocketEntry* entry = net::FindEntryLocked(layer, s);
    if (entry == nullptr) return -1;
    const int native = NativeBufferOption(level, name);
    if (native < 0) return -1;
    if (value == nullptr || length == nullptr || *length < static_cast<int>(sizeof(int))) {
        return net::Fail(WSAEFAULT);
    }
    int bytes = 0;
    socklen_t size = sizeof(bytes);
    if (::getsockopt(entry->fd, SOL_SOCKET, native, &bytes, &size) != 0) return net::FailFromErrno();
    *static_cast<int*>(value) = bytes;
    *length = static_cast<int>(sizeof(int));
    return 0;
}

}  // namespace plat
