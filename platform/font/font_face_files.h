// Internal to the platform's fonts: which font file serves a face name, and where the files
// are looked for.
#pragma once
#include <string>

namespace plat {

// The file for a face name (Shift-JIS; null or empty: the default face): the proportional
// IPA P Gothic for the proportional Gothic names, else the fixed-pitch IPA Gothic.
std::string FontFileForFace(const char* faceName);

// True when faceName (Shift-JIS, may be null) names a proportional face.
bool IsProportionalFaceName(const char* faceName);

// The folder the font files are looked for in; empty restores the package's folder.
void SetFontFolder(const std::string& folder);

}  // namespace plat
