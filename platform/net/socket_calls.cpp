// Creating, binding, listening, accepting, connecting and closing sockets.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/net/socket_internal.h"

namespace plat {

namespace {

sockaddr_in ToNative(const SockAddrIn& address) {
    sockaddr_in native{};
    native.sin_family = AF_INET;
    native.sin_port = address.port;
    native.sin_addr.s_addr = address.address;
    return native;
}

void FromNative(const sockaddr_in& native, SockAddrIn* address) {
    *address = SockAddrIn{};
    address->family = AF_INET_WS;
    address->port = native.sin_port;
    address->address = native.sin_addr.s_addr;
}

// The descriptor of an open socket, or -1 with the error set.
int DescriptorOf(Socket s) {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    const net::SocketEntry* entry = net::FindEntryLocked(layer, s);
    return entry != nullptr ? entry->fd : -1;
}

// The buffer sizes chosen for new sockets, if any. Set before connect or listen, they also
// shape the window the connection starts with (accepted sockets take their listener's).
void SetBufferSizes(int fd) {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    if (layer.sendBufferBytes > 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &layer.sendBufferBytes,
                     sizeof(layer.sendBufferBytes));
    }
    if (layer.receiveBufferBytes > 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &layer.receiveBufferBytes,
                     sizeof(layer.receiveBufferBytes));
    }
}

Socket Register(int fd, bool connected) {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    net::SocketEntry entry;
    entry.fd = fd;
    entry.connected = connected;
    // Values are never reused while the process runs, so that a notification still queued
    // for a closed socket cannot reach a new one that got the same descriptor.
    const Socket value = layer.nextValue++;
    layer.sockets[value] = entry;
    return value;
}

}  // namespace

Socket socket(int family, int type, int protocol) {
    {
        net::SocketLayer& layer = net::GetSocketLayer();
        std::lock_guard<std::mutex> hold(layer.lock);
        if (layer.startCount == 0) {
            net::Fail(WSANOTINITIALISED);
            return INVALID_SOCKET;
        }
    }
    if (family != AF_INET_WS) {
        net::Fail(WSAEAFNOSUPPORT);
        return INVALID_SOCKET;
    }
    if (type != SOCK_STREAM_WS || (protocol != 0 && protocol != IPPROTO_TCP_WS)) {
        net::Fail(WSAEINVAL);
        return INVALID_SOCKET;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        net::FailFromErrno();
        return INVALID_SOCKET;
    }
    SetBufferSizes(fd);
    return Register(fd, false);
}

int closesocket(Socket s) {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    const net::SocketEntry* entry = net::FindEntryLocked(layer, s);
    if (entry == nullptr) return -1;
    ::close(entry->fd);
    layer.sockets.erase(s);
    return 0;
}

int bind(Socket s, const SockAddrIn* address) {
    if (address == nullptr) return net::Fail(WSAEFAULT);
    const int fd = DescriptorOf(s);
    if (fd < 0) return -1;
    const int reuse = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof(reuse));
    const sockaddr_in native = ToNative(*address);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&native), sizeof(native)) != 0) {
        return net::FailFromErrno();
    }
    return 0;
}

int listen(Socket s, int backlog) {
    const int fd = DescriptorOf(s);
    if (fd < 0) return -1;
    if (::listen(fd, backlog) != 0) return net::FailFromErrno();
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    if (net::SocketEntry* entry = net::FindEntryLocked(layer, s)) entry->listening = true;
    return 0;
}

Socket accept(Socket s, SockAddrIn* address) {
    const int fd = DescriptorOf(s);
    if (fd < 0) return INVALID_SOCKET;
    sockaddr_in native{};
    socklen_t size = sizeof(native);
    const int client = ::accept4(fd, reinterpret_cast<sockaddr*>(&native), &size, SOCK_CLOEXEC);
    const int error = errno;
    {
        // An accept (even a failed one) lets the next waiting connection be reported.
        net::SocketLayer& layer = net::GetSocketLayer();
        std::lock_guard<std::mutex> hold(layer.lock);
        if (net::SocketEntry* entry = net::FindEntryLocked(layer, s)) entry->acceptArmed = true;
    }
    if (client < 0) {
        net::Fail(net::ErrnoToWsaError(error));
        return INVALID_SOCKET;
    }
    const int noDelay = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof(noDelay));
    if (address != nullptr) FromNative(native, address);
    return Register(client, true);
}

int connect(Socket s, const SockAddrIn* address) {
    if (address == nullptr) return net::Fail(WSAEFAULT);
    const int fd = DescriptorOf(s);
    if (fd < 0) return -1;
    const sockaddr_in native = ToNative(*address);
    const int noDelay = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof(noDelay));
    const int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&native), sizeof(native));
    const int error = errno;
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    net::SocketEntry* entry = net::FindEntryLocked(layer, s);
    if (entry == nullptr) return -1;
    if (result == 0) {
        entry->connected = true;
        // A registered socket still hears of the connection's end.
        entry->connecting = (entry->events & FD_CONNECT) != 0;
        return 0;
    }
    if (error == EINPROGRESS) {
        entry->connecting = true;
        return net::Fail(WSAEWOULDBLOCK);
    }
    return net::Fail(net::ErrnoToWsaError(error));
}

int shutdown(Socket s, int how) {
    const int fd = DescriptorOf(s);
    if (fd < 0) return -1;
    const int native = how == SD_RECEIVE ? SHUT_RD : how == SD_SEND ? SHUT_WR : SHUT_RDWR;
    if (how < SD_RECEIVE || how > SD_BOTH) return net::Fail(WSAEINVAL);
    if (::shutdown(fd, native) != 0) return net::FailFromErrno();
    return 0;
}

int getsockname(Socket s, SockAddrIn* address) {
    if (address == nullptr) return net::Fail(WSAEFAULT);
    const int fd = DescriptorOf(s);
    if (fd < 0) return -1;
    sockaddr_in native{};
    socklen_t size = sizeof(native);
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&native), &size) != 0) {
        return net::FailFromErrno();
    }
    FromNative(native, address);
    return 0;
}

int getpeername(Socket s, SockAddrIn* address) {
    if (address == nullptr) return net::Fail(WSAEFAULT);
    const int fd = DescriptorOf(s);
    if (fd < 0) return -1;
    sockaddr_in native{};
    socklen_t size = sizeof(native);
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&native), &size) != 0) {
        return net::FailFromErrno();
    }
    FromNative(native, address);
    return 0;
}

}  // namespace plat
