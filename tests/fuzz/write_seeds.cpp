// Writes the small sample files of every image format into a directory, as seed corpora of the
// decoder fuzz targets: <directory>/<format>/<name> for the formats bmp, tga, dds, bgra, png and
// jpeg.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/graphics/image_fixtures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    for (const fixtures::NamedFile& sample : fixtures::SmallSampleFiles()) {
        const std::string format = sample.name.substr(0, sample.name.find('_'));
        std::filesystem::create_directories(root / format);
        std::ofstream out(root / format / sample.name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(sample.bytes.data()),
                  static_cast<std::streamsize>(sample.bytes.size()));
    }
    return 0;
}
