// The list of resource files the tool writes, and the routine that writes them all.
#pragma once

#include <string>

namespace res {

// Writes every image and sound into folder; false (after a line on stderr) when any failed.
bool WriteAllResources(const std::string& folder);

}  // namespace res
