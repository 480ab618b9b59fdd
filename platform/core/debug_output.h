// Debugger output: the library sends each log piece here as Shift-JIS text. Dropped by
// default; with ZN_DEBUG_OUTPUT=1 it goes to stderr converted to UTF-8. Tests capture it.
#pragma once
#include <string>

namespace plat {

void DebugOutput(const char* text);

// ---- test controls ----
void StartDebugCapture();
// The text sent since the capture started or since the last take (Shift-JIS, as given);
// the capture goes on.
std::string TakeDebugCapture();
void StopDebugCapture();

}  // namespace plat
