// make_resources: draws and synthesises the game's resource files into a folder (the build's
// res/): sixteen bitmap images and six WAV effects plus the Ogg Vorbis music.
//
//   make_resources OUTPUT_FOLDER
//
// Every file is made from code with fixed seeds, so each run writes the same bytes.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/resources/resource_list.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: make_resources OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "make_resources: cannot make the folder %s\n", argv[1]);
        return 1;
    }
    try {
        return res::WriteAllResources(folder.string()) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_resources: %s\n", e.what());
        return 1;
    }
}
