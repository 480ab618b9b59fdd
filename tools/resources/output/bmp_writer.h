// Writes an image as an uncompressed 24-bit bottom-up Windows bitmap.
#pragma once

#include <string>

#include "tools/resources/paint/keyed_image.h"

namespace res {

// True when the file was written whole; on failure a line names the file on stderr.
bool WriteBmp(const std::string& path, const RgbImage& image);

}  // namespace res
