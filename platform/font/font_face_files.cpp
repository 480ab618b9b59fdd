#include "platform/font/font_face_files.h"

#include <array>
#include <mutex>
#include <string_view>
#include <sys/stat.h>

#include "platform/core/text_encoding.h"
#include "platform/font/font_engine.h"

namespace plat {

namespace {

// The folders of the Debian package fonts-ipafont-gothic (the second is its older layout).
constexpr std::array<const char*, 2> kPackageFolders = {
    "/usr/share/fonts/opentype/ipafont-gothic",
    "/usr/share/fonts/truetype/ipafont-gothic",
};
constexpr const char* kFixedFile = "ipag.ttf";
constexpr const char* kProportionalFile = "ipagp.ttf";

// Proportional Gothic and Mincho names, in UTF-8; matched ignoring ASCII case.
constexpr std::array<std::string_view, 9> kProportionalNames = {
    "ＭＳ Ｐゴシック", "MS PGothic",   "ＭＳ Ｐ明朝",   "MS PMincho", "MS UI Gothic",
    "IPAPGothic",     "IPA Pゴシック", "IPAPゴシック", "IPA PGothic",
};

std::string& OverrideFolder() {
    static std::string folder;
    return folder;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool IsProportionalFaceName(const char* faceName) {
    if (faceName == nullptr || faceName[0] == '\0') return false;
    const std::string utf8 = SjisToUtf8(faceName);
    for (std::string_view name : kProportionalNames) {
        if (EqualsIgnoringAsciiCase(utf8, name)) return true;
    }
    return false;
}

std::string FontFileForFace(const char* faceName) {
    const char* file = IsProportionalFaceName(faceName) ? kProportionalFile : kFixedFile;
    if (!OverrideFolder().empty()) return OverrideFolder() + "/" + file;
    for (const char* folder : kPackageFolders) {
        std::string path = std::string(folder) + "/" + file;
        if (IsRegularFile(path)) return path;
    }
    // Not installed: the first folder's path, which the caller's open then reports.
    return std::string(kPackageFolders[0]) + "/" + file;
}

void SetFontFolder(const std::string& folder) {
    std::lock_guard<std::mutex> hold(FontEngineLock());
    OverrideFolder() = folder;
}

}  // namespace plat
