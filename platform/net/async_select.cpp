// WSAAsyncSelect and the poll step that turns socket readiness into window messages.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>
#include <vector>

#include "platform/net/socket_internal.h"

namespace plat {

int WSAAsyncSelect(Socket s, WindowHandle window, uint32_t message, uint32_t events) {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    net::SocketEntry* entry = net::FindEntryLocked(layer, s);
    if (entry == nullptr) return -1;
    if ((events & ~(FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE)) != 0) {
        return net::Fail(WSAEINVAL);
    }
    if (events != 0 && window == 0) return net::Fail(WSAEINVAL);
    const int flags = ::fcntl(entry->fd, F_GETFL, 0);
    if (flags < 0 || ::fcntl(entry->fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        return net::FailFromErrno();
    }
    entry->window = window;
    entry->message = message;
    entry->events = events;
    // A new registration reports what is already true of the socket.
    entry->readArmed = true;
    entry->writeArmed = true;
    entry->acceptArmed = true;
    return 0;
}

namespace {

struct Notice {
    WindowHandle window;
    uint32_t message;
    Socket socket;
    uint32_t event;
    int error;
};

int PendingError(int fd) {
    int error = 0;
    socklen_t size = sizeof(error);
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return WSAENOTSOCK;
    return error == 0 ? 0 : net::ErrnoToWsaError(error);
}

// The events due on one socket, given what poll saw; updates its arming.
void CollectDue(Socket s, net::SocketEntry& entry, short seen, std::vector<Notice>& out) {
    auto post = [&](uint32_t event, int error) {
        if ((entry.events & event) != 0) out.push_back({entry.window, entry.message, s, event, error});
    };
    if (entry.listening) {
        if ((seen & POLLIN) != 0 && entry.acceptArmed) {
            entry.acceptArmed = false;
            post(FD_ACCEPT, 0);
        }
        return;
    }
    if (entry.connecting) {
        if ((seen & (POLLOUT | POLLERR | POLLHUP)) == 0) return;
        entry.connecting = false;
        const int error = PendingError(entry.fd);
        post(FD_CONNECT, error);
        if (error != 0) {
            entry.closePosted = true;  // a connection that never was does not close
            return;
        }
        entry.connected = true;
    }
    if (!entry.connected) return;

    int waiting = 0;
    if ((seen & POLLIN) != 0 && ::ioctl(entry.fd, FIONREAD, &waiting) != 0) waiting = 0;
    if (waiting > 0 && entry.readArmed) {
        entry.readArmed = false;
        post(FD_READ, 0);
    }
    if ((seen & POLLOUT) != 0 && entry.writeArmed && (seen & (POLLHUP | POLLERR)) == 0) {
        entry.writeArmed = false;
        post(FD_WRITE, 0);
    }
    const bool peerGone = (seen & (POLLRDHUP | POLLHUP | POLLERR)) != 0 ||
                          ((seen & POLLIN) != 0 && waiting == 0);
    if (peerGone && !entry.closePosted) {
        const int error = (seen & POLLERR) != 0 ? PendingError(entry.fd) : 0;
        // A peer that closed in order is reported once every byte it sent has been read
        // (the FD_READs before the close bring them), so that no byte is left behind the
        // close; or once the reader only looked at the bytes left and took none (a peek):
        // it waits for more, which will not come. A reset is reported at once (what it left
        // cannot be read).
        if (error != 0 || waiting == 0 || entry.peekedLast) {
            entry.closePosted = true;
            post(FD_CLOSE, error);
        }
    }
}

}  // namespace

int PollSocketEvents() {
    std::vector<Notice> notices;
    {
        net::SocketLayer& layer = net::GetSocketLayer();
        std::lock_guard<std::mutex> hold(layer.lock);
        if (layer.startCount == 0) return 0;
        std::vector<pollfd> polls;
        std::vector<Socket> owners;
        for (auto& [value, entry] : layer.sockets) {
            if (entry.events == 0 || entry.window == 0) continue;
            polls.push_back(pollfd{entry.fd, static_cast<short>(POLLIN | POLLOUT | POLLRDHUP), 0});
            owners.push_back(value);
        }
        if (polls.empty()) return 0;
        if (::poll(polls.data(), polls.size(), 0) < 0) return 0;
        for (size_t i = 0; i < polls.size(); ++i) {
            if (polls[i].revents == 0) continue;
            CollectDue(owners[i], layer.sockets[owners[i]], polls[i].revents, notices);
        }
    }
    int posted = 0;
    for (const Notice& notice : notices) {
        if (PostMessage(notice.window, notice.message, notice.socket,
                        static_cast<LParam>(MakeSelectLParam(notice.event, notice.error)))) {
            ++posted;
        }
    }
    return posted;
}

}  // namespace plat
