// Internal to the platform layer: the file lists behind WM_DROPFILES. A drop handle names a
// list of Shift-JIS file names until DragFinish (declared in window.h) frees it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// A new drop handle (never 0) owning the names.
uintptr_t CreateDrop(std::vector<std::string> sjisNames);
// Number of drops not yet finished.
size_t LiveDropCount();
// Frees every drop (tests).
void ResetDrops();

}  // namespace plat
