// libFuzzer target of the game's save-file reader: any bytes as save.dat. Whatever is read must
// format without overrunning its text buffer, and what is read must survive a write and a
// second read unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hi_score.h"
#include "save_file.h"

namespace {

std::string TempPath(const char* name) {
    return "/tmp/zn_save_fuzz_" + std::to_string(getpid()) + "_" + name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = TempPath("in.dat");
    const std::string output = TempPath("out.dat");
    FILE* file = std::fopen(input.c_str(), "wb");
    if (file == nullptr) return 0;
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);

    HiScoreArray table;
    int choice = 0;
    if (readSaveFile(input.c_str(), table, choice)) {
        if (choice < 0 || choice > 4) std::abort();
        for (uint32_t i = 0; i < HiScoreArray::kSize; ++i) {
            char text[24];
            table.at(i).formatDateTime(text, sizeof text);
            if (std::strlen(text) >= sizeof text) std::abort();
        }
        if (writeSaveFile(output.c_str(), table, choice)) {
            HiScoreArray again;
            int againChoice = -1;
            if (!readSaveFile(output.c_str(), again, againChoice)) std::abort();
            if (againChoice != choice) std::abort();
            for (uint32_t i = 0; i < HiScoreArray::kSize; ++i) {
                if (again.at(i).getScore() != table.at(i).getScore() ||
                    again.at(i).packDate() != table.at(i).packDate() ||
                    again.at(i).packTime() != table.at(i).packTime()) {
                    std::abort();
                }
            }
        }
    }
    std::remove(input.c_str());
    std::remove(output.c_str());
    return 0;
}
