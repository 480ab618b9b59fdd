// Temporary files: a new, empty file in the system's temporary directory, open for writing
// (a movie held in memory is written to one so that the platform can play it from a file).
#pragma once

namespace plat {
struct File;
}

// Creates the file and returns it open; its full Shift-JIS path goes to pathOut (260 bytes)
// when given. The caller closes it and deletes it when done. Null on failure.
plat::File* CreateTempFile(char* pathOut);
