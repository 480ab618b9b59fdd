#include "save_file.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "hi_score.h"

namespace {

constexpr int kFileSize = 64;
constexpr int kChoiceOffset = 60;
constexpr int kChoiceCount = 5;

int32_t decodeLittleEndian(const unsigned char* p) {
    uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                 static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(v);
}

void encodeLittleEndian(unsigned char* p, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace

bool readSaveFile(const char* path, HiScoreArray& table, int& choice) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    unsigned char bytes[kFileSize] = {};
    in.read(reinterpret_cast<char*>(bytes), kFileSize);
    const std::streamsize got = in.gcount();

    // The value at offset, when the file holds all four of its bytes; else 0.
    auto valueAt = [&](int offset) -> int32_t {
        return offset + 4 <= got ? decodeLittleEndian(bytes + offset) : 0;
    };
    for (uint32_t i = 0; i < table.size(); ++i) {
        int base = static_cast<int>(i) * 12;
        table.at(i).unpack(valueAt(base), valueAt(base + 4), valueAt(base + 8));
    }
    if (kChoiceOffset + 4 <= got) choice = decodeLittleEndian(bytes + kChoiceOffset);
    if (choice < 0 || choice >= kChoiceCount) choice = 0;
    return true;
}

bool writeSaveFile(const char* path, const HiScoreArray& table, int choice) {
    unsigned char bytes[kFileSize] = {};
    for (uint32_t i = 0; i < table.size() && i < 5; ++i) {
        const HiScore& r = table.at(i);
        encodeLittleEndian(bytes + i * 12, r.getScore());
        encodeLittleEndian(bytes + i * 12 + 4, r.packDate());
        encodeLittleEndian(bytes + i * 12 + 8, r.packTime());
    }
    encodeLittleEndian(bytes + kChoiceOffset, choice);

    const std::string target = path;
    const std::string temporary = target + ".tmp";
    std::error_code ec;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.is_open()) return false;
        out.write(reinterpret_cast<const char*>(bytes), kFileSize);
        out.close();
        if (out.fail()) {
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}
