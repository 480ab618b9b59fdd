// String input: key-input handles (kind 10, 20 slots) whose text is edited with the typed
// characters of the character queue, on every message-pump call, while the handle is active.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "system/key_input_state.h"

// ---- handles (key_input_handles.cpp) -------------------------------------------------------
// A new string input for up to maxLength bytes of text; escapeAllowed: Escape cancels it;
// singleByteOnly: double-byte characters are dropped; digitsOnly: only 0-9 and a leading "-".
// The handle takes the high-water slot while it is below 20, else the first free one. -1 after
// a log line for a negative length, a full table or no memory.
HandleValue CreateKeyInputHandle(int32_t maxLength, int escapeAllowed, int singleByteOnly,
                                 int digitsOnly);
// The record of a valid handle (kind, slot, use and check serial), else null.
KeyInputRecord* FindKeyInputRecord(HandleValue handle);
// Frees the handle's text and clears its record; when it was not the active handle and no
// record is left in use, the IME is disabled. 0, or -1 for an invalid handle.
int DeleteKeyInputHandle(HandleValue handle);
// Deletes every handle in use; no handle is active afterwards. Returns 0.
int DeleteAllKeyInputHandles();
// Makes the handle the one typed characters go to, its end and cancel flags cleared; the IME
// is enabled for it unless it takes single-byte characters or digits only. kNoHandle: none is
// active and the IME is disabled. 0, or -1 after a log line for an invalid handle.
int SetActiveKeyInputHandle(HandleValue handle);
// 0 while the input runs, 1 once Enter ended it, 2 once Escape cancelled it; -1 for an
// invalid handle.
int CheckKeyInputState(HandleValue handle);
// Copies the text (terminated, cut at a character boundary to fit) into out of outBytes
// bytes. The text's length, or -1 for an invalid handle or no buffer.
int GetKeyInputText(HandleValue handle, char* out, int32_t outBytes);

// ---- editing (key_input_edit.cpp) ----------------------------------------------------------
// One character from the queue (1 or 2 bytes) applied to the record: the control characters
// edit (8 backspace, 13 Enter, 16 delete, 27 Escape, 28 right, 29 left; 9, 30, 31 ignored),
// everything else passes the filters and is inserted at the cursor, the text's last
// characters giving way when it is full. Double-byte text by charSet.
void ApplyKeyInputChar(KeyInputRecord& record, const uint8_t* bytes, int size, int charSet);
// Byte offset of the character before pos, found by scanning the text from its start.
int32_t KeyInputPrevChar(const char* text, int32_t pos, int charSet);
// Bytes of the character at pos (2 for a lead byte with its trail byte inside length).
int32_t KeyInputCharSize(const char* text, int32_t length, int32_t pos, int charSet);

// ---- the pump's step (key_input_process.cpp) -------------------------------------------------
// Runs the IME's re-open staging, then feeds the queued characters to the active handle until
// the queue is empty or the input ends. 0; -1 when the active handle is invalid.
int ProcessKeyInput();
// ProcessKeyInput as the message pump's key-input step.
void StepKeyInput();
