// libFuzzer target of the string input's editing: arbitrary bytes (typed text, stray lead
// bytes, control characters, result strings cut anywhere) fed through the typed-character
// ring into string inputs of every kind and size, for both character sets. The text must stay
// inside its buffer, terminated, with the cursor on a character boundary.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/sjis_string.h"
#include "system/input_char_queue.h"
#include "system/key_input.h"
#include "system/window_data.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The record's invariants: length within the maximum, the terminator in place, the cursor
// on a character boundary found from the start of the text.
void CheckRecord(const KeyInputRecord& record, int charSet) {
    Check(record.length >= 0 && record.length <= record.maxLength);
    Check(record.text[record.length] == '\0');
    Check(record.cursor >= 0 && record.cursor <= record.length);
    int32_t at = 0;
    while (at < record.cursor) at += KeyInputCharSize(record.text, record.length, at, charSet);
    Check(at == record.cursor);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int charSet = (data[0] & 1) ? 2 : 1;
    const int32_t maxLength = data[1] % 48;
    data += 2;
    size -= 2;
    SetCharSet(charSet);
    GetWindowData().inputChars = InputCharQueue{};
    InitCharInput();
    const HandleValue handle =
        CreateKeyInputHandle(maxLength, charSet == 2, maxLength % 3 == 1, maxLength % 5 == 2);
    Check(handle != kNoHandle);
    SetActiveKeyInputHandle(handle);
    const KeyInputRecord* record = FindKeyInputRecord(handle);
    // Alternate stretches of typed bytes and result strings; each stretch is edited in.
    size_t at = 0;
    bool typed = true;
    while (at < size) {
        const size_t stretch = 1 + data[at] % 16;
        const size_t end = at + 1 + stretch < size ? at + 1 + stretch : size;
        if (typed) {
            for (size_t i = at + 1; i < end; ++i) QueueTypedChar(data[i]);
        } else if (end > at + 1) {
            QueueCharString(reinterpret_cast<const char*>(data + at + 1),
                            static_cast<int32_t>(end - at - 1));
        }
        typed = !typed;
        ProcessKeyInput();
        CheckRecord(*record, charSet);
        if (record->ended) SetActiveKeyInputHandle(handle);
        at = end;
    }
    DeleteAllKeyInputHandles();
    return 0;
}
