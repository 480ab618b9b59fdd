// The library's log: a Shift-JIS text file "Log.txt" in the start directory, written a piece
// at a time (open, append, close) with a millisecond prefix, indentation and CR LF line ends;
// every piece also goes to the debugger output.
#pragma once
#include <cstdint>

struct AllocHeader;

struct LogState {
    uint32_t logOff = 0;      // 1: nothing is written anywhere (set before start-up)
    uint32_t datedName = 0;   // 1: the file name carries the start date and time
    uint32_t prefixOff = 0;   // 1: lines get no time prefix
    char fileName[64] = {};   // "Log.txt" or the dated name
    uint32_t startTime = 0;   // millisecond clock when the log was started
    int32_t indent = 0;       // tabs at the start of each line, never negative
    uint32_t inLine = 0;      // 1 when the last text did not end with "\n"
    char directory[260] = {}; // the start directory the file lies in; empty: nothing written
};

// The log's own record.
LogState& GetLogState();
// The directory the log file is written to (start-up hands down its start directory). Null or
// "" stops all writing to the file.
void SetLogDirectory(const char* directory);
// The line state back to the start of a line without indentation (the window start-up reset).
void ResetLogLine();

// Names the log file, creates it empty in the start directory and starts its clock. Returns 1.
int StartLog();
// Writes a text as it is: "\n" becomes CR LF, and a text that does not end in "\n" leaves the
// line open for the next one. Returns -1, so that a failure path can return its result.
int LogWrite(const char* text);
// printf-style; the text (cut to 1022 bytes) gets a "\n" and goes to LogWrite. Returns -1.
int LogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// One more or one fewer tab at the start of each line (never below none). Return 0.
int LogIndentAdd();
int LogIndentSub();
// One line about a tracked block: size, file, line, serial and its first bytes (at most
// dataLimit of them, never more than 16; damaged headers pass a smaller limit).
void LogAllocation(const AllocHeader* header, uint32_t dataLimit = 16);
