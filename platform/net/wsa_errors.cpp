#include <cerrno>

#include "platform/net/socket_internal.h"

namespace plat {

namespace {
thread_local int lastError = 0;
}  // namespace

int WSAGetLastError() { return lastError; }
void WSASetLastError(int error) { lastError = error; }

namespace net {

int ErrnoToWsaError(int error) {
    switch (error) {
        case EAGAIN: return WSAEWOULDBLOCK;
        case EINPROGRESS: return WSAEWOULDBLOCK;
        case EALREADY: return WSAEALREADY;
        case EINTR: return WSAEINTR;
        case EFAULT: return WSAEFAULT;
        case EBADF:
        case ENOTSOCK: return WSAENOTSOCK;
        case EMFILE:
        case ENFILE: return WSAEMFILE;
        case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
        case EADDRINUSE: return WSAEADDRINUSE;
        case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
        case ENETUNREACH: return WSAENETUNREACH;
        case ECONNABORTED: return WSAECONNABORTED;
        case ECONNRESET:
        case EPIPE: return WSAECONNRESET;
        case ENOBUFS:
        case ENOMEM: return WSAENOBUFS;
        case EISCONN: return WSAEISCONN;
        case ENOTCONN: return WSAENOTCONN;
        case ESHUTDOWN: return WSAESHUTDOWN;
        case ETIMEDOUT: return WSAETIMEDOUT;
        case ECONNREFUSED: return WSAECONNREFUSED;
        case EHOSTUNREACH: return WSAEHOSTUNREACH;
        default: return WSAEINVAL;
    }
}

int FailFromErrno() { return Fail(ErrnoToWsaError(errno)); }

int Fail(int error) {
    WSASetLastError(error);
    return -1;
}

}  // namespace net
}  // namespace plat
