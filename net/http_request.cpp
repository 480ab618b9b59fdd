// Starting HTTP transfers: checking the request, looking the host up, connecting, and
// building the request text.
#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "platform/core/clock.h"
#include "platform/net/winsock.h"
#include "net/http_internal.h"
#include "net/network.h"

namespace {

constexpr const char kGetFormat[] = "GET %s HTTP/1.0\r\nHost: %s:%d\r\nConnection: close\r\n\r\n";
constexpr const char kPostFormat[] = "POST %s HTTP/1.0\nHost: %s:%d\nContent-Length: %d\n\n";
constexpr const char kHeadFormat[] = "HEAD %s HTTP/1.0\n\n";

struct Request {
    HttpRequestType type;
    const char* host;
    const char* path;
    int port;
    const void* data;
    int size;
    const char* fileName;  // null: to memory
    void** bufferOut;
};

// A host or path fits its field and holds no control characters (a line feed in either would
// add lines to the request).
bool IsPlainText(const char* text, size_t limit) {
    if (text == nullptr || text[0] == '\0') return false;
    size_t length = 0;
    for (; text[length] != '\0'; ++length) {
        if (length + 1 >= limit) return false;
        const auto c = static_cast<unsigned char>(text[length]);
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

// The host's first IPv4 address.
bool LookUpHost(const char* host, NetIpv4* ip) {
    const plat::HostEnt* entry = plat::gethostbyname(host);
    if (entry == nullptr || entry->addresses == nullptr || entry->addresses[0] == nullptr) {
        NetworkLog("ホスト %s が見つかりませんでした", host);
        return false;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(entry->addresses[0]);
    *ip = NetIpv4{bytes[0], bytes[1], bytes[2], bytes[3]};
    return true;
}

// The request text (and the POST data after it) in tracked memory.
bool BuildRequest(HttpTransfer* transfer) {
    int length = 0;
    switch (transfer->type) {
        case kHttpGet:
            length = std::snprintf(nullptr, 0, kGetFormat, transfer->path, transfer->host, transfer->port);
            break;
        case kHttpPost:
            length = std::snprintf(nullptr, 0, kPostFormat, transfer->path, transfer->host,
                                   transfer->port, transfer->postSize);
            break;
        default:
            length = std::snprintf(nullptr, 0, kHeadFormat, transfer->path);
            break;
    }
    if (length <= 0) return false;
    const int64_t total = static_cast<int64_t>(length) + transfer->postSize;
    transfer->request = static_cast<char*>(ZN_ALLOC(static_cast<size_t>(total) + 1));
    if (transfer->request == nullptr) return false;
    switch (transfer->type) {
        case kHttpGet:
            std::snprintf(transfer->request, static_cast<size_t>(length) + 1, kGetFormat, transfer->path,
                          transfer->host, transfer->port);
            break;
        case kHttpPost:
            std::snprintf(transfer->request, static_cast<size_t>(length) + 1, kPostFormat, transfer->path,
                          transfer->host, transfer->port, transfer->postSize);
            break;
        default:
            std::snprintf(transfer->request, static_cast<size_t>(length) + 1, kHeadFormat, transfer->path);
            break;
    }
    if (transfer->postSize > 0) std::memcpy(transfer->request + length, transfer->postData, transfer->postSize);
    transfer->requestSize = static_cast<int32_t>(total);
    transfer->requestSent = 0;
    return true;
}

int StartTransfer(const Request& request) {
    if (!IsPlainText(request.host, sizeof(HttpTransfer::host)) ||
        !IsPlainText(request.path, sizeof(HttpTransfer::path))) {
        return LogWrite("HTTP のホスト名かパスが不正です\n");
    }
    if (request.port <= 0 || request.port > 65535) {
        return LogFormat("HTTP のポート番号 %d は範囲外です", request.port);
    }
    if (request.type == kHttpPost &&
        (request.size < 0 || (request.size > 0 && request.data == nullptr))) {
        return LogFormat("POST するデータの指定が不正です(%d byte)", request.size);
    }
    if (request.type != kHttpHead && request.fileName == nullptr && request.bufferOut == nullptr) {
        return LogWrite("HTTP の受信先が指定されていません\n");
    }
    HttpHandleTable& table = GetHttpHandleTable();
    int slot = -1;
    for (int i = 0; i < kMaxHttpTransfers; ++i) {
        if (!table.slots[i].inUse) {
            slot = i;
            break;
        }
    }
    if (slot < 0) return LogWrite("HTTP の転送がいっぱいで開始できません\n");
    if (InitNetWork() != 0) return -1;
    NetIpv4 ip{};
    if (!LookUpHost(request.host, &ip)) return -1;

    HttpTransfer& transfer = table.slots[slot];
    transfer = HttpTransfer{};
    transfer.type = request.type;
    transfer.result = kHttpRunning;
    transfer.detail = kHttpDetailNone;
    transfer.connection = kNoHandle;
    transfer.contentLength = -1;
    std::snprintf(transfer.host, sizeof(transfer.host), "%s", request.host);
    std::snprintf(transfer.path, sizeof(transfer.path), "%s", request.path);
    transfer.port = request.port;
    transfer.timeLimit = table.timeLimitSetting != 0 ? table.timeLimitSetting : kDefaultHttpTimeLimitMs;
    transfer.bodyLimit = table.bodyLimitSetting >= 0 ? table.bodyLimitSetting : kDefaultHttpBodyLimit;
    transfer.toMemory = request.type != kHttpHead && request.fileName == nullptr ? 1 : 0;
    transfer.memoryOut = transfer.toMemory ? request.bufferOut : nullptr;
    if (transfer.memoryOut != nullptr) *transfer.memoryOut = nullptr;

    bool ready = true;
    if (request.type == kHttpPost && request.size > 0) {
        transfer.postData = ZN_ALLOC(static_cast<size_t>(request.size));
        if (transfer.postData == nullptr) {
            ready = false;
        } else {
            std::memcpy(transfer.postData, request.data, static_cast<size_t>(request.size));
            transfer.postSize = request.size;
        }
    }
    if (ready && !BuildRequest(&transfer)) ready = false;
    if (!ready) LogWrite("HTTP の要求を作るメモリが足りません\n");
    if (ready && request.type != kHttpHead && request.fileName != nullptr) {
        transfer.file = plat::OpenFile(request.fileName, plat::FileAccess::Write,
                                       plat::FileCreation::CreateAlways);
        if (transfer.file == nullptr) {
            LogFormat("受信したデータを保存するファイル %s を作れませんでした", request.fileName);
            ready = false;
        }
    }
    if (ready) {
        transfer.connection = ConnectNetWorkWithFraming(ip, request.port, 0, 0);
        if (transfer.connection == kNoHandle) ready = false;
    }
    if (!ready) {
        FinishHttpTransfer(&transfer, kHttpFailed, kHttpDetailConnectionLost);
        transfer = HttpTransfer{};
        return -1;
    }
    transfer.inUse = 1;
    transfer.startTime = plat::MillisecondClock();
    ++table.count;
    return slot;
}

}  // namespace

int HttpGetToFile(const char* host, const char* path, int port, const char* fileName) {
    if (fileName == nullptr) return LogWrite("HTTP の受信先ファイル名がありません\n");
    return StartTransfer({kHttpGet, host, path, port, nullptr, 0, fileName, nullptr});
}

int HttpGetToMemory(const char* host, const char* path, int port, void** bufferOut) {
    return StartTransfer({kHttpGet, host, path, port, nullptr, 0, nullptr, bufferOut});
}

int HttpPostToMemory(const char* host, const char* path, int port, const void* data, int size,
                     void** bufferOut) {
    return StartTransfer({kHttpPost, host, path, port, data, size, nullptr, bufferOut});
}

int HttpHead(const char* host, const char* path, int port) {
    return StartTransfer({kHttpHead, host, path, port, nullptr, 0, nullptr, nullptr});
}
