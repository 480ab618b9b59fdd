// The HTTP transfer table: its slots, limits, results, the end of a transfer and deletion.
#include "base/log.h"
#include "base/tracked_memory.h"
#include "net/http_internal.h"
#include "net/network.h"

HttpHandleTable& GetHttpHandleTable() {
    static HttpHandleTable table = [] {
        HttpHandleTable initial{};
        initial.bodyLimitSetting = -1;
        return initial;
    }();
    return table;
}

int ClearHttpHandleTable() {
    HttpHandleTable& table = GetHttpHandleTable();
    for (HttpTransfer& transfer : table.slots) transfer = HttpTransfer{};
    table.count = 0;
    return 0;
}

int GetHttpTransferCount() { return GetHttpHandleTable().count; }

HttpTransfer* GetHttpTransfer(int slot) {
    if (slot < 0 || slot >= kMaxHttpTransfers) return nullptr;
    HttpTransfer* transfer = &GetHttpHandleTable().slots[slot];
    return transfer->inUse ? transfer : nullptr;
}

int SetHttpTimeLimit(uint32_t milliseconds) {
    if (milliseconds == 0) return LogWrite("HTTP の制限時間に 0 は指定できません\n");
    GetHttpHandleTable().timeLimitSetting = milliseconds;
    return 0;
}

int SetHttpBodyLimit(int32_t bytes) {
    if (bytes < 0) return LogFormat("HTTP の受信サイズ上限 %d byte は不正です", static_cast<int>(bytes));
    GetHttpHandleTable().bodyLimitSetting = bytes;
    return 0;
}

int GetHttpTransferResult(int slot, int32_t* result, int32_t* detail) {
    const HttpTransfer* transfer = GetHttpTransfer(slot);
    if (transfer == nullptr) return -1;
    if (result != nullptr) *result = transfer->result;
    if (detail != nullptr) *detail = transfer->detail;
    return 0;
}

int GetHttpTransferSize(int slot, int32_t* contentLength, int32_t* received) {
    const HttpTransfer* transfer = GetHttpTransfer(slot);
    if (transfer == nullptr) return -1;
    if (contentLength != nullptr) *contentLength = static_cast<int32_t>(transfer->contentLength);
    if (received != nullptr) *received = transfer->received;
    return 0;
}

void FreeHttpBuffer(void* buffer) { TrackedFree(buffer); }

void FinishHttpTransfer(HttpTransfer* transfer, int32_t result, int32_t detail) {
    if (transfer->connection != kNoHandle) {
        CloseNetWork(transfer->connection);
        transfer->connection = kNoHandle;
    }
    TrackedFree(transfer->postData);
    transfer->postData = nullptr;
    transfer->postSize = 0;
    TrackedFree(transfer->request);
    transfer->request = nullptr;
    if (transfer->file != nullptr) {
        plat::CloseFile(transfer->file);
        transfer->file = nullptr;
    }
    if (transfer->result == kHttpRunning) {
        transfer->result = result;
        transfer->detail = detail;
    }
    if (transfer->toMemory && transfer->result == kHttpFailed) {
        TrackedFree(transfer->body);
        if (transfer->memoryOut != nullptr) *transfer->memoryOut = nullptr;
    }
    // The body now belongs to the caller (or is gone).
    transfer->body = nullptr;
    transfer->bodyCapacity = 0;
    transfer->step = 4;
}

int DeleteHttpTransfer(int slot) {
    HttpTransfer* transfer = GetHttpTransfer(slot);
    if (transfer == nullptr) return -1;
    if (transfer->step != 4) FinishHttpTransfer(transfer, kHttpDone, kHttpDetailNone);
    *transfer = HttpTransfer{};
    --GetHttpHandleTable().count;
    return 0;
}

int TermHttp() {
    for (int slot = 0; slot < kMaxHttpTransfers; ++slot) DeleteHttpTransfer(slot);
    return 0;
}
