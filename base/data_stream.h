// Streams as the image and sound decoders read them: a table of six functions and a handle,
// over a file of the file access table or over a memory block.
#pragma once
#include <cstddef>
#include <cstdint>

struct StreamFunctionTable {
    int64_t (*tell)(uintptr_t handle);
    int (*seek)(uintptr_t handle, int64_t offset, int origin);  // origin 0 set, 1 current, 2 end
    size_t (*read)(void* buffer, size_t size, size_t count, uintptr_t handle);
    int (*eof)(uintptr_t handle);        // non-zero at the end
    int (*idleCheck)(uintptr_t handle);  // 1 when nothing is pending
    int (*close)(uintptr_t handle);
};

// A copy of one table and the handle it works on (a file handle of the file access table or a
// MemStreamRecord); loaders build it and pass it to decoders.
struct DataStream {
    StreamFunctionTable functions;
    uintptr_t handle;
};

// Files, through the thunks of the file access table (so a file stream follows whatever table
// is installed), and memory blocks, through the memory stream functions.
extern StreamFunctionTable FileStreamFunctions;
extern StreamFunctionTable MemStreamFunctions;

// Writes both tables (library start-up).
void InitStreamFunctions();
StreamFunctionTable* GetFileStreamFunctions();
StreamFunctionTable* GetMemStreamFunctions();
