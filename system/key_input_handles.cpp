// The table of string-input handles.
#include <cstring>

#include "base/log.h"
#include "base/sjis_string.h"
#include "base/tracked_memory.h"
#include "system/ime.h"
#include "system/key_input.h"

namespace {

void FreeRecord(KeyInputRecord& record) {
    if (record.text != nullptr) TrackedFree(record.text);
    record = KeyInputRecord{};
}

bool AnyRecordInUse(const CharInputState& state) {
    for (const KeyInputRecord& record : state.keyInputs) {
        if (record.inUse) return true;
    }
    return false;
}

int32_t TakeFreeSlot(CharInputState& state) {
    if (state.keyInputHighWater < kMaxStringInputHandles) return state.keyInputHighWater++;
    for (int32_t slot = 0; slot < kMaxStringInputHandles; ++slot) {
        if (!state.keyInputs[slot].inUse) return slot;
    }
    return -1;
}

}  // namespace

HandleValue CreateKeyInputHandle(int32_t maxLength, int escapeAllowed, int singleByteOnly,
                                 int digitsOnly) {
    if (maxLength < 0) {
        LogFormat("文字列入力ハンドルの最大文字数が不正です( %d )", maxLength);
        return kNoHandle;
    }
    CharInputState& state = GetCharInputState();
    const int32_t slot = TakeFreeSlot(state);
    if (slot < 0) {
        LogWrite("文字列入力ハンドルの数が最大数に達しています\n");
        return kNoHandle;
    }
    char* text = static_cast<char*>(ZN_ALLOC_ZERO(static_cast<size_t>(maxLength) + 1));
    if (text == nullptr) {
        LogFormat("文字列入力用のメモリの確保に失敗しました( %d バイト )", maxLength + 1);
        return kNoHandle;
    }
    KeyInputRecord& record = state.keyInputs[slot];
    record = KeyInputRecord{};
    record.inUse = 1;
    record.check = TakeHandleSerial(&state.keyInputSerial);
    record.maxLength = maxLength;
    record.text = text;
    record.escapeAllowed = escapeAllowed ? 1 : 0;
    record.singleByteOnly = singleByteOnly ? 1 : 0;
    record.digitsOnly = digitsOnly ? 1 : 0;
    return MakeHandleValue(kHandleKindStringInput, record.check, slot);
}

KeyInputRecord* FindKeyInputRecord(HandleValue handle) {
    const int32_t slot = CheckHandleSlot(handle, kHandleKindStringInput, kMaxStringInputHandles);
    if (slot < 0) return nullptr;
    KeyInputRecord& record = GetCharInputState().keyInputs[slot];
    if (!record.inUse || !HandleSerialMatches(handle, record.check)) return nullptr;
    return &record;
}

int DeleteKeyInputHandle(HandleValue handle) {
    KeyInputRecord* record = FindKeyInputRecord(handle);
    if (record == nullptr) return -1;
    FreeRecord(*record);
    CharInputState& state = GetCharInputState();
    if (handle != state.activeKeyInput && !AnyRecordInUse(state)) SetImeEnable(0);
    return 0;
}

int DeleteAllKeyInputHandles() {
    CharInputState& state = GetCharInputState();
    for (KeyInputRecord& record : state.keyInputs) {
        if (record.inUse) FreeRecord(record);
    }
    state.activeKeyInput = kNoHandle;
    return 0;
}

int SetActiveKeyInputHandle(HandleValue handle) {
    CharInputState& state = GetCharInputState();
    if (handle == kNoHandle) {
        state.activeKeyInput = kNoHandle;
        SetImeEnable(0);
        return 0;
    }
    KeyInputRecord* record = FindKeyInputRecord(handle);
    if (record == nullptr) {
        LogFormat("無効な文字列入力ハンドルです( %x )", static_cast<unsigned>(handle));
        return -1;
    }
    record->ended = 0;
    record->cancelled = 0;
    state.activeKeyInput = handle;
    SetImeEnable(record->singleByteOnly || record->digitsOnly ? 0 : 1);
    return 0;
}

int CheckKeyInputState(HandleValue handle) {
    const KeyInputRecord* record = FindKeyInputRecord(handle);
    if (record == nullptr) return -1;
    if (!record->ended) return 0;
    return record->cancelled ? 2 : 1;
}

int GetKeyInputText(HandleValue handle, char* out, int32_t outBytes) {
    const KeyInputRecord* record = FindKeyInputRecord(handle);
    if (record == nullptr || out == nullptr || outBytes <= 0) return -1;
    // The longest whole-character prefix that leaves room for the terminator.
    const int charSet = GetCharSet();
    int32_t copy = 0;
    while (copy < record->length) {
        const int32_t size = KeyInputCharSize(record->text, record->length, copy, charSet);
        if (copy + size > outBytes - 1) break;
        copy += size;
    }
    std::memcpy(out, record->text, static_cast<size_t>(copy));
    out[copy] = '\0';
    return record->length;
}
