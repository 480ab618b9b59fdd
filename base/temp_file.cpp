#include "base/temp_file.h"

#include <cstring>

#include "platform/core/file.h"

plat::File* CreateTempFile(char* pathOut) {
    char path[plat::kMaxPath];
    plat::File* file = plat::CreateTempFile(path, sizeof(path));
    if (file == nullptr) return nullptr;
    if (pathOut != nullptr) std::memcpy(pathOut, path, std::strlen(path) + 1);
    return file;
}
