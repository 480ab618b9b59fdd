// The character-input block: the string-input (key-input) handles and their records, the
// state of the input method that the window procedure keeps (composition string, clauses,
// cursor, candidate list, open status, re-open staging), the string input's display colours
// and the cursor blink. One global, cleared by InitCharInput at start-up. The typed-character
// ring itself is WindowData's (input_char_queue.h).
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "platform/ime/imm.h"

// Bytes of the composition string, the clause data and the saved composition.
constexpr int kImeStringBytes = 1024;
constexpr int kKeyInputColorCount = 10;
constexpr uint32_t kCursorBlinkMs = 500;

// A string input: the text typed into it and how it takes characters.
struct KeyInputRecord {
    uint32_t inUse;
    uint32_t check;           // the handle's check serial
    uint32_t ended;           // 1 once Enter or Escape ended the input
    uint32_t cancelled;       // 1 when Escape ended it
    int32_t length;           // bytes of text, terminator not counted
    int32_t maxLength;        // bytes the text may hold
    int32_t cursor;           // byte offset, always on a character boundary
    char* text;               // maxLength + 1 bytes (tracked memory), NUL-terminated
    uint32_t escapeAllowed;   // 1: Escape cancels the input
    uint32_t singleByteOnly;  // 1: double-byte characters are dropped
    uint32_t digitsOnly;      // 1: only 0-9, and "-" as the first character
};

// What the byte after a typed lead byte (WM_CHAR) does.
enum class TrailByte : uint32_t {
    kNone,   // the next byte is a character of its own
    kQueue,  // the lead byte is queued and room kept for its trail byte
    kDrop,   // the lead byte found no room for the pair: its trail byte is dropped too
};

struct CharInputState {
    // The input method.
    char composition[kImeStringBytes];  // Shift-JIS, always NUL-terminated
    uint32_t composing;
    int32_t compositionCursor;          // in characters
    uint8_t clauses[kImeStringBytes];   // clause starts (bytes), 32 bits each
    int32_t clauseCount;
    char savedComposition[kImeStringBytes];  // kept over the IME's close and re-open
    plat::CandidateList* candidates;    // tracked memory; null when none
    uint32_t candidatesBytes;
    uint32_t imeEnabled;
    uint32_t imeOpen;
    uint32_t imeStage;                  // 0, or the re-open step to run next (1..4)
    uint32_t imeMessageSeen;
    uint32_t inOpenStatusStep;          // IMN_SETOPENSTATUS is being handled

    // Display and cursor blink of the string input.
    uint32_t colors[kKeyInputColorCount];  // 0xRRGGBB; the text colour first
    uint32_t lastKeyTime;               // millisecond clock of the last key or IME message
    uint32_t blinkInterval;
    uint32_t cursorVisible;

    // Typed-character pairing of the window procedure.
    TrailByte trailByte;

    // The string-input handles.
    KeyInputRecord keyInputs[kMaxStringInputHandles];
    int32_t keyInputHighWater;          // slots below it have been handed out
    int32_t keyInputSerial;             // next check serial
    HandleValue activeKeyInput;         // kNoHandle: none
    HandleValue secondKeyInput;         // kNoHandle
};

CharInputState& GetCharInputState();

// Clears the block (freeing what a previous run left), sets the colours and the blink
// interval, and disables the IME (the cleared enabled flag). Returns 0.
int InitCharInput();
