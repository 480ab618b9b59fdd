// The network's state: the started flag, the network window, the settings for new
// connections, the check counter, the connection table and list, the listening socket and
// the re-entry guards of the receive and send steps. The live connections are the used slots
// below the table's high-water mark.
#pragma once
#include <cstdint>

#include "net/network_ring.h"
#include "platform/net/winsock.h"
#include "net/network.h"

struct SocketRecord {
    int32_t inUse;
    int32_t error;          // a failure happened; the pump closes the connection
    int32_t connected;
    int32_t closedPolled;   // the owner saw (GetNetWorkAcceptState) that the peer closed
    int32_t framedRecv;
    int32_t framedSend;
    uint32_t checkNumber;
    plat::Socket socket;
    int32_t missing;        // bytes still missing of the message being received
    NetWorkRing recvRing;
    int32_t messageLength;  // length of the message being received
    int32_t completeBytes;  // bytes of complete messages waiting in the receive ring
    NetWorkRing sendRing;   // the bytes as they go out: each length word, then the message
    int32_t port;
    uint8_t ip[4];
    int32_t inMessage;      // a message's length was read and its bytes are coming
    int32_t peerClosed;     // FD_CLOSE (or a failed connect) arrived
    int32_t bufferLimit;    // largest message accepted; also where receiving pauses
    int32_t slot;
    int32_t accepted;       // made by AcceptNetWork
    int32_t announced;      // handed out by GetNewAcceptNetWork
    // The length word of the next message as far as it has arrived (taken from the socket,
    // not peeked: a word's first bytes left in the socket can hold its receive memory so
    // that the peer is never let send the rest).
    uint8_t lengthWord[4];
    int32_t lengthWordBytes;
    // Raw receiving: bytes a line read took from the socket and nobody has read yet; every
    // raw read gives them first. (Taken, not peeked, for the same reason as the length word:
    // an unfinished line left in the socket can hold all of its receive memory.)
    char lineBytes[kNetWorkLineBytes];
    int32_t lineBytesHeld;
};

struct NetWorkState {
    int32_t started;
    plat::WindowHandle window;
    int32_t windowDestroyed;
    int32_t rawRecvSetting;   // new connections receive raw (0: framed)
    int32_t rawSendSetting;   // new connections send raw (0: framed)
    int32_t bufferLimitSetting;  // 0: kMaxNetWorkMessage
    int32_t checkCounter;
    plat::Socket listenSocket;
    int32_t recvGuard;
    int32_t sendGuard;
    SocketRecord* slots[kMaxNetConnectionHandles];
    int32_t count;
    int32_t areaEnd;
};

NetWorkState& GetNetWorkState();

// The record of a handle, checked for kind, slot bound and serial, or null. `operation`
// names the caller in the log lines: a free slot logs "有効なネットワークハンドルでは
// ありません in <operation>", a record with its error flag set "このネットワークハンドルには
// エラーが発生しています in <errorName>" (unless errorName is null: then it is returned).
SocketRecord* CheckSocketHandle(HandleValue handle, const char* operation, const char* errorName);
// The connection whose socket is `socket`, or null.
SocketRecord* FindSocketRecord(plat::Socket socket);
// A new cleared record in a free slot (framing from the settings), linked into the list; null
// after a log line when the table is full or memory is out.
SocketRecord* NewSocketRecord();
// Unlinks and frees the record (its socket must already be closed) and its rings.
void FreeSocketRecord(SocketRecord* record);
HandleValue SocketRecordHandle(const SocketRecord* record);
// Pumps the network window as every connection operation does first.
void PumpNetWorkWindow();
// Closes the record's socket (notifications off first) and frees the record.
void DropSocketRecord(SocketRecord* record);
