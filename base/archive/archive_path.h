// Which archive, if any, stands for a path: data/image/a.png is looked for in data.ZNA (as
// image/a.png), then in data/image.ZNA (as a.png); the shorter prefix is tried first. The last
// archive that resolved a path is remembered and tried before the others.
#pragma once
#include <cstddef>

#include "base/archive/compose_full_path.h"

// The archive of path: returns its slot with a reference taken and writes the path inside the
// archive ('/'-separated, kFullPathSize bytes) to inner; -1 when no archive holds the path's
// folders, which is then a disk path.
int ResolveArchivePath(const char* path, char* inner);
