// The message box: a text, a title and the buttons OK, OK/Cancel, Yes/No or Yes/No/Cancel
// (MB_* of window_messages.h). Under SDL2 a real box with the texts converted to UTF-8;
// headless (or when no box can be shown) the answer comes from ZN_ANSWER=yes|no|cancel|ok
// (default no). An answer the box does not offer becomes its No, else Cancel, else OK.
// Every box's texts are recorded for tests (platform/testing/window_test_controls.h).
#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "platform/window/window.h"

namespace plat {

// IDOK, IDCANCEL, IDYES or IDNO. Text and title are Shift-JIS.
int ShowMessageBox(WindowHandle owner, const char* text, const char* title, uint32_t type);

// The answer a box of this type gets without a display.
int HeadlessMessageBoxAnswer(uint32_t type);

// Clears the records and the answer set by the test control.
void ResetMessageBoxes();
// A box as shown, kept for the test controls (at most 64, the latest).
struct MessageBoxRecord {
    std::string text;   // Shift-JIS, as given
    std::string title;
    uint32_t type;
    int answer;
};
// The answer the test controls set (0: ZN_ANSWER's) and the records of the boxes shown.
struct MessageBoxLog {
    std::atomic<int> answer{0};
    std::mutex mutex;
    std::deque<MessageBoxRecord> records;
};
MessageBoxLog& MessageBoxLogState();

}  // namespace plat
