// Writes seed inputs for archive_fuzz into a folder: small archives of both entry sizes, with
// nested folders, packed and stored files, unscrambled (the fuzz target scrambles its input).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/archive/archive_key.h"
#include "base/archive/archive_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zn_fuzz_archive_seeds FOLDER\n");
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    std::vector<ArchiveSource> tree(4);
    tree[0].path = "a/b/c.txt";
    tree[0].data = std::string(300, 'c') + "tail";
    tree[1].path = "a/d.bin";
    tree[1].data = "\x01\x02\x03\x01\x02\x03\x01\x02\x03\x01\x02\x03";
    tree[2].path = "e.txt";
    tree[3].path = "f";
    tree[3].directory = true;
    int written = 0;
    for (uint16_t version : {1, 2, 3}) {
        ArchiveWriteOptions options;
        options.version = version;
        std::string error;
        std::vector<unsigned char> bytes = WriteArchive(tree, options, &error);
        if (bytes.empty()) {
            std::fprintf(stderr, "zn_fuzz_archive_seeds: %s\n", error.c_str());
            return 1;
        }
        XorArchiveBytes(bytes.data(), bytes.size(), 0, BuildArchiveKey(nullptr));  // plain
        const std::string name = std::string(argv[1]) + "/v" + std::to_string(version) + ".zna";
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        ++written;
    }
    return written == 3 ? 0 : 1;
}
