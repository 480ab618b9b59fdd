// TCP connections of the library: a table of up to 4096 connections (handles of kind 9)
// notified by window messages of a hidden network window, with an optional framing in which
// every message carries a 4-byte little-endian length before its bytes. Everything is driven
// from the message pump: socket events arrive as messages 0x505, which move bytes between the
// sockets and each connection's receive and send rings.
//
// Every connection operation validates the handle, returns -1 when the network is not
// started, and first pumps the network window.
#pragma once
#include <cstdint>

#include "base/handle_value.h"

// An IPv4 address as its four numbers (d1.d2.d3.d4).
struct NetIpv4 {
    uint8_t d1, d2, d3, d4;
};

// Largest framed message a connection ever accepts (its buffer limit may be lower).
constexpr int32_t kMaxNetWorkMessage = 16 * 1024 * 1024;

// ---- start and end -------------------------------------------------------------------------
// Starts the socket layer and the network window. 0 (also when already started), or -1.
int InitNetWork();
// Closes every connection and the listening socket, takes the network window down and ends
// the socket layer. 0.
int TermNetWork();
// 1 while the network is started.
int IsNetWorkStarted();
// Logs "ネットワークログ。%s[%d]" with the text and the socket layer's last error. -1.
int NetworkLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- settings for connections made from now on -----------------------------------------------
// framedRecv / framedSend 0 make new connections raw on that side (both framed by default).
int SetNetWorkFraming(int framedRecv, int framedSend);
// The largest framed message new connections accept (bytes, 0 .. kMaxNetWorkMessage); the
// receive ring is not filled past it either. A larger length closes the connection.
int SetNetWorkBufferLimit(int32_t bytes);

// ---- connections ---------------------------------------------------------------------------
// Listens on the port (0: any free port) of every local address; FD_ACCEPT then makes a
// connection for each caller (AcceptNetWork). The port listened on, or -1.
int StartListenNetWork(int port);
int StopListenNetWork();
// Accepts one waiting connection on the listening socket: its handle, or -1.
HandleValue AcceptNetWork();
// An accepted connection not handed out yet (each is handed out once; the lowest slot
// first), or -1.
HandleValue GetNewAcceptNetWork();
// Starts a connection to the address; it is connected once GetNetWorkAcceptState gives 1.
// The handle, or -1.
HandleValue ConnectNetWork(NetIpv4 ip, int port);
// As ConnectNetWork with the framing of each side chosen by the caller.
HandleValue ConnectNetWorkWithFraming(NetIpv4 ip, int port, int framedRecv, int framedSend);
// Sends what is queued and receives a message in progress (each for up to 1000 ms), then
// closes the socket and frees the connection. 0 or -1.
int CloseNetWork(HandleValue handle);
// 1 connected, 0 not (yet, or no more: closed by the peer), -1.
int GetNetWorkAcceptState(HandleValue handle);
// 1 when the peer closed the connection (or it could not be made), 0 when not, -1. Unlike
// GetNetWorkAcceptState this does not let the pump close the connection.
int GetNetWorkPeerClosed(HandleValue handle);
// The peer's address and port. 0 or -1.
int GetNetWorkIP(HandleValue handle, NetIpv4* ip, int* port);

// ---- data ----------------------------------------------------------------------------------
// Framed: 0 when `length` bytes of complete messages were taken, -1 when fewer wait (nothing
// is taken). Raw: the result of recv on the socket, or the bytes that a line read took from
// it ahead and that are still held (up to `length`; the socket is not read then).
int NetWorkRecv(HandleValue handle, void* buffer, int length);
// As NetWorkRecv without taking the bytes.
int NetWorkRecvToPeek(HandleValue handle, void* buffer, int length);
// Bytes a line is looked for in: its line feed must be among the first kNetWorkLineBytes.
constexpr int kNetWorkLineBytes = 255;
// Takes one line ended by a line feed (among the first kNetWorkLineBytes bytes) into text
// (256 bytes); the line feed is not copied. 0, or -1 when no whole line waits.
int NetWorkRecvLine(HandleValue handle, char* text);
// The bytes the next line is looked for in, up to kNetWorkLineBytes, copied to `bytes`
// without consuming them. Raw: what has arrived is first taken from the socket into the
// connection (a raw read then gives these bytes before the socket's), so that an unfinished
// line never waits in the socket; the count held, else the recv result (0 when the peer
// closed, -1 when nothing has arrived or on failure). Framed: the count of complete-message
// bytes looked at, or -1 when none wait.
int PeekNetWorkLine(HandleValue handle, char* bytes);
// Framed: 0 and the message queued (and as much sent as the socket takes). Raw: the result
// of send. -1 on failure (also when not connected).
int NetWorkSend(HandleValue handle, const void* data, int length);
// Framed: bytes of complete messages waiting; raw: 1 when a byte waits (in the socket or
// held by a line read), else 0; -1.
int GetNetWorkDataLength(HandleValue handle);
// Bytes queued in the send ring and not sent yet, or -1.
int GetNetWorkSendDataLength(HandleValue handle);

// ---- the pump's side -----------------------------------------------------------------------
// Move bytes between the socket and the rings (framed sides). 0 or -1.
int RecvSocket(HandleValue handle);
int SendSocket(HandleValue handle);
// Polls the sockets and dispatches the network window's messages (on the window's own thread
// only: another thread's poll would pile notices up in a queue it cannot empty); with flag 1
// first closes the connections that failed or that the peer closed and whose owner has seen
// that.
int ProcessSocketMessages(int flag);
// The socket notification (message 0x505: lParam the event word, wParam the socket). 1, or 0
// when no connection has the socket.
int HandleSocketMessage(uintptr_t eventWord, uintptr_t socket);
