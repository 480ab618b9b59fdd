// Sending and receiving bytes, and the re-arming of FD_READ and FD_WRITE that goes with them.
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>

#include "platform/net/socket_internal.h"

namespace plat {

namespace {

int DescriptorOf(Socket s) {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    const net::SocketEntry* entry = net::FindEntryLocked(layer, s);
    return entry != nullptr ? entry->fd : -1;
}

}  // namespace

int send(Socket s, const void* data, int length, int /*flags*/) {
    if (length < 0 || (data == nullptr && length > 0)) return net::Fail(WSAEFAULT);
    const int fd = DescriptorOf(s);
    if (fd < 0) return -1;
    const ssize_t sent = ::send(fd, data, static_cast<size_t>(length), MSG_NOSIGNAL);
    const int error = errno;
    // A send the socket could not take whole, in part (a short send, common on a full
    // socket) or not at all: FD_WRITE comes again once the socket can take more, so that the
    // sender learns when to send the rest.
    const bool full = sent >= 0 ? sent < length : error == EAGAIN || error == EWOULDBLOCK;
    if (full) {
        net::SocketLayer& layer = net::GetSocketLayer();
        std::lock_guard<std::mutex> hold(layer.lock);
        if (net::SocketEntry* entry = net::FindEntryLocked(layer, s)) entry->writeArmed = true;
    }
    if (sent >= 0) return static_cast<int>(sent);
    return net::Fail(net::ErrnoToWsaError(error));
}

int recv(Socket s, void* buffer, int length, int flags) {
    if (length < 0 || (buffer == nullptr && length > 0)) return net::Fail(WSAEFAULT);
    const int fd = DescriptorOf(s);
    if (fd < 0) return -1;
    const int native = (flags & MSG_PEEK_WS) != 0 ? MSG_PEEK : 0;
    const ssize_t got = ::recv(fd, buffer, static_cast<size_t>(length), native);
    const int error = errno;
    {
        // Any recv lets the next FD_READ be posted while data is left.
        net::SocketLayer& layer = net::GetSocketLayer();
        std::lock_guard<std::mutex> hold(layer.lock);
        if (net::SocketEntry* entry = net::FindEntryLocked(layer, s)) {
            entry->readArmed = true;
            entry->peekedLast = native == MSG_PEEK;
        }
    }
    if (got >= 0) return static_cast<int>(got);
    return net::Fail(net::ErrnoToWsaError(error));
}

int BytesWaiting(Socket s, uint32_t* count) {
    if (count == nullptr) return net::Fail(WSAEFAULT);
    const int fd = DescriptorOf(s);
    if (fd < 0) return -1;
    int waiting = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0) return net::FailFromErrno();
    *count = waiting > 0 ? static_cast<uint32_t>(waiting) : 0u;
    return 0;
}

}  // namespace plat
