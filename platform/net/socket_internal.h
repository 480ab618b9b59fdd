// What the socket calls keep about each socket: its descriptor, the WSAAsyncSelect
// registration and the re-enabling state of each notification. One record per open socket,
// under one lock (the pump thread and the main thread both poll).
#pragma once
#include <cstdint>
#include <map>
#include <mutex>

#include "platform/net/winsock.h"

namespace plat::net {

struct SocketEntry {
    int fd = -1;
    bool listening = false;
    bool connecting = false;  // a non-blocking connect has not ended yet
    bool connected = false;   // connected or accepted
    // WSAAsyncSelect registration.
    WindowHandle window = 0;
    uint32_t message = 0;
    uint32_t events = 0;
    // Re-enabling: an event is posted only while it is armed.
    bool readArmed = true;
    bool writeArmed = true;
    bool acceptArmed = true;
    bool closePosted = false;
    // The last recv only looked at the bytes (MSG_PEEK) and left them.
    bool peekedLast = false;
};

struct SocketLayer {
    std::mutex lock;
    int startCount = 0;
    std::map<Socket, SocketEntry> sockets;
    Socket nextValue = 0x100;  // the value of the next socket made
    // SO_SNDBUF and SO_RCVBUF given to each socket made; 0: the system's (only tests set
    // them, through the test controls).
    int sendBufferBytes = 0;
    int receiveBufferBytes = 0;
};

SocketLayer& GetSocketLayer();

// The error code for an errno value.
int ErrnoToWsaError(int error);
// Sets the calling thread's error from errno and returns -1.
int FailFromErrno();
// Sets the calling thread's error and returns -1.
int Fail(int error);

// The entry of an open socket, with the layer locked by the caller; null (and WSAENOTSOCK or
// WSANOTINITIALISED set) when there is none.
SocketEntry* FindEntryLocked(SocketLayer& layer, Socket s);

}  // namespace plat::net
