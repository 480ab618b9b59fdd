// Writes seed inputs for movie_open_fuzz into a folder: two short clips made with FFmpeg's
// encoders (video only, and video with a tone), so the fuzzer starts from files that open.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/testing/movie_test_clips.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zn_fuzz_movie_seeds FOLDER\n");
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    plat::TestClip silent;
    silent.width = 8;
    silent.height = 6;
    silent.frames = 3;
    plat::TestClip withTone = silent;
    withTone.audio = true;
    const std::string folder = argv[1];
    if (!plat::WriteTestClip(folder + "/silent.mkv", silent) ||
        !plat::WriteTestClip(folder + "/tone.mkv", withTone)) {
        std::fprintf(stderr, "zn_fuzz_movie_seeds: FFmpeg refused to write a clip\n");
        return 1;
    }
    return 0;
}
