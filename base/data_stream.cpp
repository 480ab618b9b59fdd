#include "base/data_stream.h"

#include "base/file_access_table.h"
#include "base/memory_stream.h"

namespace {

constexpr StreamFunctionTable kFileStreamFunctions = {
    FileAccessTell, FileAccessSeek,      FileAccessRead,
    FileAccessEof,  FileAccessIdleCheck, FileAccessClose,
};

constexpr StreamFunctionTable kMemStreamFunctions = {
    MemStreamTell, MemStreamSeek, MemStreamRead, MemStreamEof, MemStreamIdleCheck, MemStreamClose,
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
