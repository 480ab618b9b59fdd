// Lines for the person at the terminal: what the program says on stderr when it ends at once or
// runs in a way that would otherwise go unnoticed (the log file is not where they look).
#pragma once

namespace plat {

// Writes the Shift-JIS text, converted to UTF-8, as one line on stderr (a line break is added
// when the text has none).
void WriteTerminalLine(const char* text);

}  // namespace plat
