#include "tools/resources/output/byte_writer.h"

#include <cstdio>
#include <fstream>

namespace res {

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
    }
    if (!out) {
        std::fprintf(stderr, "make_resources: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace res
