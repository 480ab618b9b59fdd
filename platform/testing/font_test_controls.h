// Test controls of the platform's fonts: where the font files are looked for.
#pragma once

namespace plat {

// Fonts made from now on look for their files in folder (e.g. an empty folder, to see how a
// missing font file is met).
void UseFontFolderForTest(const char* folder);
// Back to the folder of the installed font package.
void RestoreFontFolder();

}  // namespace plat
