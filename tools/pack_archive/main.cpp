// zn_pack: packs a folder into an archive the library reads in place of that folder.
//   zn_pack [--version N] [--store] [--key TEXT] FOLDER ARCHIVE
// Every file and folder under FOLDER is stored under its path relative to FOLDER, so packing
// res/ into res.ZNA lets the library open "res\Player.bmp" from the archive. Names are stored
// in Shift-JIS. Exit code 0 on success, 1 on a failure (with a message), 2 on a bad command.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/pack_archive/pack_folder.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: zn_pack [--version 0-3] [--store] [--key TEXT] FOLDER ARCHIVE\n"
                 "  --version  archive version (default 2; 0 and 1 store files unpacked)\n"
                 "  --store    do not pack files\n"
                 "  --key      the key text the library is set to (default none)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    PackFolderOptions options;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version" && i + 1 < argc) {
            const std::string value = argv[++i];
            if (value.size() != 1 || value[0] < '0' || value[0] > '3') return Usage();
            options.write.version = static_cast<uint16_t>(value[0] - '0');
        } else if (arg == "--store") {
            options.write.pack = false;
        } else if (arg == "--key" && i + 1 < argc) {
            options.keyText = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 2) return Usage();
    std::string error;
    if (!PackFolder(paths[0], paths[1], options, &error)) {
        std::fprintf(stderr, "zn_pack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
