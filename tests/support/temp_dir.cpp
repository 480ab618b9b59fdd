#include "tests/support/temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>

ScopedTempDir::ScopedTempDir() {
    previous_ = std::filesystem::current_path();
    std::random_device rd;
    for (;;) {
        std::filesystem::path candidate =
            std::filesystem::temp_directory_path() / ("zn-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            break;
        }
    }
    std::filesystem::current_path(path_);
}

ScopedTempDir::~ScopedTempDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string ScopedTempDir::ReadFile(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}
