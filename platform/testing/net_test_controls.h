// Test controls of the socket layer: the buffer sizes of the sockets it makes, so that tests
// can bring about short sends and full sockets on loopback. Only tests use them.
#pragma once

namespace plat {

// Every socket made (socket) from now on gets these SO_SNDBUF and SO_RCVBUF sizes in bytes
// (the system rounds them as it does), and so do the connections accepted on a listening
// socket made then; 0 keeps the system's size. SetSocketBufferSizes(0, 0) returns to the
// system's sizes.
void SetSocketBufferSizes(int sendBytes, int receiveBytes);

}  // namespace plat
