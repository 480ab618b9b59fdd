// Encodes sound as Ogg Vorbis (variable bit rate) and writes it to a file.
#pragma once

#include <string>

#include "tools/resources/output/wav_writer.h"

namespace res {

// True when the file was written whole; on failure a line names the file on stderr. The
// stream's serial number is fixed, so the same sound always gives the same bytes.
bool WriteOgg(const std::string& path, const SoundBuffer& sound, float quality);

}  // namespace res
