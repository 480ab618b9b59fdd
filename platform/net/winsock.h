// TCP/IPv4 sockets of the platform layer in the shapes of Windows sockets, over POSIX sockets.
//
// A socket is named by a Socket value (INVALID_SOCKET for none). Every call fails with -1
// (or INVALID_SOCKET, or null) and leaves a WSAE* code for WSAGetLastError on the calling
// thread. WSAStartup must have been called (and not yet been balanced by WSACleanup), else
// calls fail with WSANOTINITIALISED.
//
// Notification by window message: WSAAsyncSelect(socket, window, message, events) makes the
// socket non-blocking and has PollSocketEvents post `message` to the window (through the
// window layer's PostMessage) with wParam = the socket and lParam = MAKELONG(event, error)
// when one of the chosen events happens, following the re-enabling rules of Windows sockets:
//   FD_READ     data waits; posted again only after a recv on the socket
//   FD_WRITE    the socket can send: once when connected (or accepted), then only after a
//               send that would have blocked or that took fewer bytes than offered
//   FD_ACCEPT   a connection waits on a listening socket; posted again only after an accept
//   FD_CONNECT  a non-blocking connect has ended (the error word is 0 on success)
//   FD_CLOSE    the peer closed the connection (error 0) or reset it; posted once. A close
//               in order is posted only once every byte the peer sent has been read, or
//               once the last recv only peeked at the bytes left
// Nothing runs in the background: PollSocketEvents, called from the message pump's thread,
// looks at every registered socket without waiting and posts what is due.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/window/window.h"

namespace plat {

using Socket = uintptr_t;
inline constexpr Socket INVALID_SOCKET = ~static_cast<Socket>(0);
inline constexpr int SOCKET_ERROR = -1;

inline constexpr int AF_INET_WS = 2;
inline constexpr int SOCK_STREAM_WS = 1;
inline constexpr int IPPROTO_TCP_WS = 6;
inline constexpr uint32_t INADDR_ANY_WS = 0;
inline constexpr uint32_t INADDR_NONE_WS = 0xFFFFFFFFu;

// Event bits of WSAAsyncSelect.
inline constexpr uint32_t FD_READ = 0x01;
inline constexpr uint32_t FD_WRITE = 0x02;
inline constexpr uint32_t FD_ACCEPT = 0x08;
inline constexpr uint32_t FD_CONNECT = 0x10;
inline constexpr uint32_t FD_CLOSE = 0x20;

// Flag of recv: look at the data without taking it.
inline constexpr int MSG_PEEK_WS = 0x2;

// shutdown directions.
inline constexpr int SD_RECEIVE = 0;
inline constexpr int SD_SEND = 1;
inline constexpr int SD_BOTH = 2;

// Error codes of WSAGetLastError.
inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAEINPROGRESS = 10036;
inline constexpr int WSAEALREADY = 10037;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEAFNOSUPPORT = 10047;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAEADDRNOTAVAIL = 10049;
inline constexpr int WSAENETUNREACH = 10051;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAEISCONN = 10056;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAESHUTDOWN = 10058;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAEHOSTUNREACH = 10065;
inline constexpr int WSANOTINITIALISED = 10093;
inline constexpr int WSAHOST_NOT_FOUND = 11001;
inline constexpr int WSANO_DATA = 11004;

// An IPv4 address and port as in sockaddr_in: port and address in network byte order.
struct SockAddrIn {
    int16_t family;    // AF_INET_WS
    uint16_t port;     // network order
    uint32_t address;  // network order (as the four bytes a.b.c.d lie in memory)
    uint8_t zero[8];
};

// Result of gethostbyname: the IPv4 addresses of a name, each 4 bytes in network order.
struct HostEnt {
    const char* name;
    const char* const* aliases;
    int16_t addressType;  // AF_INET_WS
    int16_t length;       // 4
    char** addresses;     // null-terminated list
};

uint16_t htons_ws(uint16_t value);
uint16_t ntohs_ws(uint16_t value);
uint32_t htonl_ws(uint32_t value);
uint32_t ntohl_ws(uint32_t value);

// Starts the socket layer (counted). 0.
int WSAStartup();
// Balances one WSAStartup; the last one closes every socket still open. 0, or -1 when the
// layer was not started.
int WSACleanup();
// The error code of the calling thread's last failed call.
int WSAGetLastError();
void WSASetLastError(int error);

Socket socket(int family, int type, int protocol);
int closesocket(Socket s);
int bind(Socket s, const SockAddrIn* address);
int listen(Socket s, int backlog);
// A new connected socket (its address to `address` when not null), or INVALID_SOCKET
// (WSAEWOULDBLOCK on a non-blocking socket with no connection waiting).
Socket accept(Socket s, SockAddrIn* address);
// On a non-blocking socket a connect that cannot end at once fails with WSAEWOULDBLOCK and
// goes on; FD_CONNECT reports its end.
int connect(Socket s, const SockAddrIn* address);
// Bytes sent (possibly fewer than `length`), or -1. A peer that went away gives an error,
// never a signal.
int send(Socket s, const void* data, int length, int flags);
// Bytes received, 0 when the peer closed, or -1 (WSAEWOULDBLOCK: nothing waits yet).
int recv(Socket s, void* buffer, int length, int flags);
int shutdown(Socket s, int how);
// The local address the socket is bound to.
int getsockname(Socket s, SockAddrIn* address);
// The peer's address.
int getpeername(Socket s, SockAddrIn* address);
// Bytes that recv could take at once without blocking, into *count. 0 or -1.
int BytesWaiting(Socket s, uint32_t* count);

// "a.b.c.d" to an address in network order, INADDR_NONE_WS when it is not one.
uint32_t inet_addr(const char* text);
// The addresses of a host name (a dotted address is taken as it is), looked up through the
// resolver. The record stays valid until the calling thread's next lookup. Null with
// WSAHOST_NOT_FOUND when the name is unknown.
const HostEnt* gethostbyname(const char* name);

// Chooses the events posted for the socket (0 stops them); makes the socket non-blocking.
int WSAAsyncSelect(Socket s, WindowHandle window, uint32_t message, uint32_t events);
// Posts every event that is due on the registered sockets. Returns the number posted.
int PollSocketEvents();

// MAKELONG(event, error) of a notification and its two halves.
inline uintptr_t MakeSelectLParam(uint32_t event, int error) {
    return (static_cast<uintptr_t>(static_cast<uint32_t>(error) & 0xFFFFu) << 16) |
           (event & 0xFFFFu);
}
inline uint32_t SelectEvent(uintptr_t lParam) { return static_cast<uint32_t>(lParam & 0xFFFFu); }
inline int SelectError(uintptr_t lParam) { return static_cast<int>((lParam >> 16) & 0xFFFFu); }

}  // namespace plat
