#include "platform/testing/font_test_controls.h"

#include "platform/font/font_face_files.h"

namespace plat {

void UseFontFolderForTest(const char* folder) { SetFontFolder(folder != nullptr ? folder : ""); }

void RestoreFontFolder() { SetFontFolder(""); }

}  // namespace plat
