// Closing a connection: what is queued goes out first, then the socket and the record go.
#include "platform/core/clock.h"
#include "net/network_internal.h"
#include "system/window_data.h"

namespace {

// Each of the two waits lasts at most this long.
constexpr uint32_t kCloseWaitMs = 1000;

// Runs step until done() or the time is up, the quit flag is set or the connection fails.
template <class Step, class Done>
void WaitAWhile(SocketRecord* record, Step step, Done done) {
    const uint32_t begin = plat::MillisecondClock();
    while (!done() && !record->error && !IsQuitRequested() &&
           plat::MillisecondClock() - begin < kCloseWaitMs) {
        PumpNetWorkWindow();
        step();
        if (done()) break;
        plat::SleepMs(1);
    }
}

}  // namespace

int CloseNetWork(HandleValue handle) {
    NetWorkState& state = GetNetWorkState();
    if (!state.started) return -1;
    SocketRecord* record = CheckSocketHandle(handle, "CloseNetWork", nullptr);
    if (record == nullptr) return -1;
    if (!record->error) {
        // A message on its way in is received whole while the peer is still there.
        WaitAWhile(
            record, [&] { RecvSocket(handle); },
            [&] { return !record->inMessage || record->peerClosed; });
        if (record->peerClosed) RecvSocket(handle);
        // What is queued is sent.
        if (record->framedSend && record->connected) {
            WaitAWhile(
                record, [&] { SendSocket(handle); },
                [&] { return record->sendRing.length == 0 || record->peerClosed; });
        }
    }
    DropSocketRecord(record);
    return 0;
}
