#include "base/data_stream.h"

#include "base/file_access_table.h"
#include "base/memory_stream.h"

namespace {

constexpr StreamFunctionTable kFileStreamFunctions = {
    .tell = FileAccessTell,
    .seek = FileAccessSeek,
    .read = FileAccessRead,
    .eof = FileAccessEof,
    .idleCheck = FileAccessIdleCheck,
    .close = FileAccessClose,
};

constexpr StreamFunctionTable kMemStreamFunctions = {
    .tell = MemStreamTell,
    .seek = MemStreamSeek,
    .read = MemStreamRead,
    .eof = MemStreamEof,
    .idleCheck = MemStreamIdleCheck,
    .close = MemStreamClose,
};

}  // namespace

// Filled from the start, so that a stream built before start-up works as well.
StreamFunctionTable FileStreamFunctions = kFileStreamFunctions;
StreamFunctionTable MemStreamFunctions = kMemStreamFunctions;

void InitStreamFunctions() {
    FileStreamFunctions = kFileStreamFunctions;
    MemStreamFunctions = kMemStreamFunctions;
}

StreamFunctionTable* GetFileStreamFunctions() { return &FileStreamFunctions; }
StreamFunctionTable* GetMemStreamFunctions() { return &MemStreamFunctions; }
