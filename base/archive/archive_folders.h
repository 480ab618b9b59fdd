// The archive files of disk folders, remembered. An archive is looked for beside every leading
// folder of every path opened; on a file system that tells letter case apart, a name that
// differs from the composed one only in case is found by listing the folder. Each folder is
// listed once and the names of its files that end with the archive extension are kept, so
// that later opens in the same folders list nothing.
//
// What is kept is forgotten at library start-up and shut-down (with the archive tables) and
// when the extension setting changes; an archive written into a listed folder later in the
// same run is found only when its name is exactly the composed one.
#pragma once
#include <cstddef>

// Calls found(path, context) with the path of each file of the folder of candidate (everything
// up to its last '/') whose name equals candidate's last part but for the case of letters,
// until found returns true. Lists the folder only the first time it is asked about. Returns
// whether found returned true.
bool FindArchiveFolderMatch(const char* candidate, bool (*found)(const char* path, void* context),
                            void* context);

// Drops every folder listing kept.
void ForgetArchiveFolders();
// The number of times a folder was listed since the last ForgetArchiveFolders (for the log
// and for checks).
size_t ArchiveFolderListings();
