// The single exit for conditions the library cannot go on from: the text goes to the log, the
// library is shut down and the process ends with exit code -1.
#pragma once

// Called with the library lock held; does not release it and does not return.
[[noreturn]] void FatalError(const char* text);
// Formats into a 1024-byte buffer (cut to fit) and calls FatalError.
[[noreturn]] void FatalErrorFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
