// Internal to the platform layer: where the instance lock of a class name lives.
#pragma once
#include <string>

namespace plat {

// "zn-window-<hex of the name's bytes>.lock" (long names shortened with a hash).
std::string InstanceLockFileName(const char* className);
// The lock file's full path in the current lock directory.
std::string InstanceLockPath(const char* className);

}  // namespace plat
