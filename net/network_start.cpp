// Starting and ending the network: the socket layer, the hidden network window, the settings
// for new connections, and the network's log line.
#include <cstdarg>
#include <cstdio>

#include "base/log.h"
#include "platform/core/clock.h"
#include "platform/window/window.h"
#include "net/network_internal.h"

namespace {

constexpr const char* kNetWorkWindowClass = "ZnNetWorkWindow";

// Messages the shut-down pumps while it waits for the network window to go.
constexpr int kMaxClosePumps = 1000;

plat::LResult NetWorkWindowProc(plat::WindowHandle window, uint32_t message, plat::WParam wParam,
                                plat::LParam lParam) {
    switch (message) {
        case plat::WM_SOCKET_NOTIFY:
            return HandleSocketMessage(static_cast<uintptr_t>(lParam), wParam);
        case plat::WM_DESTROY:
            GetNetWorkState().windowDestroyed = 1;
            return 0;
        default:
            return plat::DefWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace

int IsNetWorkStarted() { return GetNetWorkState().started; }

int NetworkLog(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof(text), format, arguments);
    va_end(arguments);
    return LogFormat("ネットワークログ。%s[%d]", text, plat::WSAGetLastError());
}

int SetNetWorkFraming(int framedRecv, int framedSend) {
    NetWorkState& state = GetNetWorkState();
    state.rawRecvSetting = framedRecv ? 0 : 1;
    state.rawSendSetting = framedSend ? 0 : 1;
    return 0;
}

int SetNetWorkBufferLimit(int32_t bytes) {
    if (bytes < 0 || bytes > kMaxNetWorkMessage) {
        return LogFormat("受信バッファの上限 %d byte は範囲外です", static_cast<int>(bytes));
    }
    GetNetWorkState().bufferLimitSetting = bytes;
    return 0;
}

int InitNetWork() {
    NetWorkState& state = GetNetWorkState();
    if (state.started) return 0;
    if (plat::WSAStartup() != 0) return NetworkLog("WSAStartup に失敗しました");
    plat::WindowClass windowClass{};
    windowClass.proc = NetWorkWindowProc;
    windowClass.className = kNetWorkWindowClass;
    // A class left registered by an earlier start is used again.
    plat::RegisterWindowClass(windowClass);
    state.window = plat::CreateWindow(kNetWorkWindowClass, "", 0, 0, 0, 0, 1, 1, nullptr);
    if (state.window == 0) {
        plat::WSACleanup();
        return LogWrite("ネットワーク用ウインドウの作成に失敗しました\n");
    }
    state.windowDestroyed = 0;
    state.listenSocket = plat::INVALID_SOCKET;
    state.started = 1;
    return 0;
}

int TermNetWork() {
    NetWorkState& state = GetNetWorkState();
    if (!state.started) return 0;
    LogWrite("ネットワーク関連の終了処理を行います \n");
    for (int32_t i = 0; i < state.areaEnd; ++i) {
        if (state.slots[i] != nullptr) CloseNetWork(SocketRecordHandle(state.slots[i]));
    }
    // Records that would not close through the handle (none should be left) go as well.
    for (int32_t i = state.areaEnd - 1; i >= 0; --i) {
        if (state.slots[i] != nullptr) DropSocketRecord(state.slots[i]);
    }
    StopListenNetWork();

    if (plat::IsWindow(state.window)) {
        plat::PostMessage(state.window, plat::WM_CLOSE, 0, 0);
        plat::Message message;
        for (int i = 0; i < kMaxClosePumps && !state.windowDestroyed; ++i) {
            if (plat::PeekMessage(&message, state.window, 0, 0, plat::PM_REMOVE)) {
                plat::DispatchMessage(&message);
            } else if (plat::IsWindow(state.window)) {
                // Not this thread's window (or the close was lost): take it down directly.
                if (!plat::DestroyWindow(state.window)) break;
            } else {
                break;
            }
        }
    }
    plat::UnregisterWindowClass(kNetWorkWindowClass);

    const int32_t rawRecv = state.rawRecvSetting;
    const int32_t rawSend = state.rawSendSetting;
    const int32_t limit = state.bufferLimitSetting;
    const int32_t counter = state.checkCounter;
    state = NetWorkState{};
    // The settings made by the caller and the check counter outlive one start.
    state.rawRecvSetting = rawRecv;
    state.rawSendSetting = rawSend;
    state.bufferLimitSetting = limit;
    state.checkCounter = counter;
    state.listenSocket = plat::INVALID_SOCKET;
    plat::WSACleanup();
    LogWrite("ネットワーク関連の終了処理は完了しました\n");
    return 0;
}
